// SaveBitsPng, SaveTexturePng and SaveCanvasPng: premultiplied pixels out
// as 8-bit RGB or RGBA PNG files, colour divided by alpha again.
#include "owlgraphic_png.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "png/png_errors.h"

namespace owl_png {
namespace {

constexpr int32_t kMaxSide = 32767;

// kStraight[a][c]: the straight value written for colour c under alpha a:
// among the v with (v * (a + 1)) >> 8 == c, the one nearest 255 * c / a
// (halves up), so that loading premultiplies it back to c. Colours above
// alpha count as alpha; alpha 0 writes 0.
struct StraightTable {
  uint8_t value[256][256];
  StraightTable() {
    for (int a = 0; a < 256; ++a)
      for (int c = 0; c < 256; ++c) {
        const int p = c < a ? c : a;
        if (a == 0) {
          value[a][c] = 0;
          continue;
        }
        const int lo = (256 * p + a) / (a + 1);
        int hi = (256 * p + 255) / (a + 1);
        if (hi > 255) hi = 255;
        const int nearest = (2 * 255 * p + a) / (2 * a);
        value[a][c] = uint8_t(nearest < lo ? lo : nearest > hi ? hi : nearest);
      }
  }
};

const StraightTable& Straight() {
  static const StraightTable table;
  return table;
}

const uint32_t* RowOf(const BitmapBits& bits, int y) {
  return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(bits.bits) + ptrdiff_t(y) * bits.pitch);
}

bool AllOpaque(const BitmapBits& bits) {
  for (int y = 0; y < bits.height; ++y) {
    const uint32_t* row = RowOf(bits, y);
    for (int x = 0; x < bits.width; ++x)
      if ((row[x] >> 24) != 0xFF) return false;
  }
  return true;
}

void WriteBytes(png_structp png, png_bytep data, size_t count) {
  std::FILE* file = static_cast<std::FILE*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, count, file) != count) png_error(png, "write");
}

void FlushBytes(png_structp) {}

// What an encode leaves for its caller to clean up, also after a jump.
struct Encode {
  png_structp png;
  png_infop info;
  uint8_t* row;  // one output row, malloc'ed by the caller
};

// Holds only trivially destructible locals, none read after a jump (see
// png_errors.h).
bool EncodeFrom(Encode* e, const BitmapBits& bits, std::FILE* file, bool opaque) {
  png_structp png = e->png;
  png_infop info = e->info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, file, WriteBytes, FlushBytes);
  png_set_IHDR(png, info, png_uint_32(bits.width), png_uint_32(bits.height), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const StraightTable& table = Straight();
  for (int y = 0; y < bits.height; ++y) {
    const uint32_t* in = RowOf(bits, y);
    uint8_t* out = e->row;
    for (int x = 0; x < bits.width; ++x) {
      const uint32_t p = in[x], a = p >> 24;
      const uint8_t* straight = table.value[a];
      *out++ = straight[(p >> 16) & 0xFF];
      *out++ = straight[(p >> 8) & 0xFF];
      *out++ = straight[p & 0xFF];
      if (!opaque) *out++ = uint8_t(a);
    }
    png_write_row(png, e->row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace
}  // namespace owl_png

OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveBitsPng(const BitmapBits* bits, const char* path) {
  using namespace owl_png;
  if (!bits || !path || !bits->bits || bits->width <= 0 || bits->height <= 0 || bits->width > kMaxSide ||
      bits->height > kMaxSide)
    return 0;
  if (std::llabs(int64_t(bits->pitch)) < int64_t(bits->width) * 4) return 0;
  const bool opaque = AllOpaque(*bits);
  Encode e{};
  e.row = static_cast<uint8_t*>(std::malloc(size_t(bits->width) * 4));
  e.png = e.row ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning) : nullptr;
  e.info = e.png ? png_create_info_struct(e.png) : nullptr;
  std::FILE* file = e.info ? std::fopen(path, "wb") : nullptr;
  bool ok = file && EncodeFrom(&e, *bits, file, opaque);
  if (e.png) png_destroy_write_struct(&e.png, e.info ? &e.info : nullptr);
  std::free(e.row);
  if (file) ok = std::fclose(file) == 0 && ok;
  return ok ? 1 : 0;
}

OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveTexturePng(HGTEXTURE texture, const owlRect* rect, const char* path) {
  BitmapBits bits{};
  if (!LockTextureBits(texture, &bits, rect)) return 0;
  const int ok = SaveBitsPng(&bits, path);
  UnlockTextureBits(texture);
  return ok;
}

OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveCanvasPng(HGCANVAS canvas, const owlRect* rect, const char* path) {
  BitmapBits bits{};
  if (!rect || !LockCanvasBits(canvas, &bits, rect)) return 0;
  const int ok = SaveBitsPng(&bits, path);
  UnlockCanvasBits(canvas);
  return ok;
}
