// LoadPngTexture and LoadPngTextureFromMemory: any PNG into a new texture of
// premultiplied pixels, through owlgraphic's exports only.
#include "owlgraphic_png.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "png/png_errors.h"

namespace owl_png {
namespace {

constexpr png_uint_32 kMaxSide = 32767;
// Deflate needs at least two bits for a 258-byte match, so no stream
// inflates more than 1032 times its size.
constexpr uint64_t kMaxInflation = 1032;

// Where the bytes come from: a FILE or a block of memory. size is the whole
// input's size, known before decoding starts.
struct Source {
  std::FILE* file;
  const uint8_t* data;
  size_t left;
  uint64_t size;
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  Source* s = static_cast<Source*>(png_get_io_ptr(png));
  if (s->file) {
    if (std::fread(out, 1, count, s->file) != count) png_error(png, "read");
    return;
  }
  if (count > s->left) png_error(png, "truncated");
  std::memcpy(out, s->data, count);
  s->data += count;
  s->left -= count;
}

HGTEXTURE NoTexture() {
  HGTEXTURE none;
  none.value = 0;
  return none;
}

// What a decode leaves for its caller to clean up, also after a jump.
struct Decode {
  png_structp png;
  png_infop info;
  HGTEXTURE texture;
  bool locked;
};

// Reads the image into d->texture as straight B, G, R, A bytes. Holds only
// trivially destructible locals, none read after a jump (see png_errors.h).
bool DecodeInto(Decode* d, Source* source) {
  png_structp png = d->png;
  png_infop info = d->info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, source, ReadBytes);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  // A bad CRC in an ancillary chunk (tRNS among them) refuses the file too,
  // instead of dropping the chunk.
  png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
  // Ancillary chunks other than tRNS change nothing here: skip them unread
  // (their CRCs are still checked) rather than parse or inflate them.
  static const png_byte kSkipped[] =
      "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, int(sizeof kSkipped / 5));
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  const uint64_t bits = uint64_t(width) * height * png_get_channels(png, info) * unsigned(depth);
  if (bits / 8 > kMaxInflation * source->size) return false;

  if (depth == 16) png_set_scale_16(png);
  png_set_expand(png);  // palette to RGB, grey to 8 bits, tRNS to alpha
  if (!(colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!(colour & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) return false;

  d->texture = CreateTexture(int(width), int(height));
  BitmapBits view{};
  if (d->texture.value == 0 || !LockTextureBits(d->texture, &view, nullptr)) return false;
  d->locked = true;
  // Every pass writes its own pixels into the full rows; after the last one
  // every pixel has been written once.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, static_cast<png_bytep>(view.bits) + ptrdiff_t(y) * view.pitch, nullptr);
  png_read_end(png, nullptr);
  return true;
}

HGTEXTURE Load(Source* source) {
  Decode d{};
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!d.png) return NoTexture();
  d.info = png_create_info_struct(d.png);
  const bool ok = d.info && DecodeInto(&d, source);
  png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr);
  if (d.locked) UnlockTextureBits(d.texture);
  if (!ok || !NormalizeTexture(d.texture)) {
    if (d.texture.value) DeleteTexture(d.texture);
    return NoTexture();
  }
  return d.texture;
}

}  // namespace
}  // namespace owl_png

OWL_EXTERN_C OWL_PNG_API HGTEXTURE OWL_CALL LoadPngTexture(const char* path) {
  if (!path) return owl_png::NoTexture();
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return owl_png::NoTexture();
  owl_png::Source source{file, nullptr, 0, 0};
  HGTEXTURE texture = owl_png::NoTexture();
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
      source.size = uint64_t(size);
      texture = owl_png::Load(&source);
    }
  }
  std::fclose(file);
  return texture;
}

OWL_EXTERN_C OWL_PNG_API HGTEXTURE OWL_CALL LoadPngTextureFromMemory(const void* data, size_t size) {
  if (!data || size == 0) return owl_png::NoTexture();
  owl_png::Source source{nullptr, static_cast<const uint8_t*>(data), size, size};
  return owl_png::Load(&source);
}
