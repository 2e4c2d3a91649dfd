#include "png_io.h"

#include <png.h>

#include <cstdio>
#include <cstdint>
#include <vector>

namespace {

uint32_t* Row(const BitmapBits& bits, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + std::ptrdiff_t(y) * bits.pitch);
}

}  // namespace

bool WritePng(const BitmapBits& bits, const char* path) {
  const size_t width = size_t(bits.width);
  std::vector<uint8_t> rgba(width * size_t(bits.height) * 4);
  for (int y = 0; y < bits.height; ++y) {
    const uint32_t* row = Row(bits, y);
    for (size_t x = 0; x < width; ++x) {
      const uint32_t p = row[x], a = p >> 24;
      uint8_t* out = &rgba[(size_t(y) * width + x) * 4];
      for (int k = 0; k < 3; ++k) {
        const uint32_t v = (p >> (16 - 8 * k)) & 0xFF;
        const uint32_t straight = a ? (v * 255 + a / 2) / a : 0;
        out[k] = uint8_t(straight > 255 ? 255 : straight);
      }
      out[3] = uint8_t(a);
    }
  }

  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(bits.width), png_uint_32(bits.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bits.height; ++y) png_write_row(png, &rgba[size_t(y) * width * 4]);
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

bool WriteCanvasPng(HGCANVAS canvas, int width, int height, const char* path) {
  const owlRect whole{0, 0, width, height};
  BitmapBits bits{};
  const bool ok = LockCanvasBits(canvas, &bits, &whole) && WritePng(bits, path);
  UnlockCanvasBits(canvas);
  return ok;
}

HGTEXTURE LoadPngTexture(const char* path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return HGTEXTURE(0u);
  // libpng hands out straight-alpha B, G, R, A bytes: owlgraphic's layout.
  image.format = PNG_FORMAT_BGRA;
  HGTEXTURE texture = CreateTexture(int(image.width), int(image.height));
  BitmapBits bits{};
  if (texture.value == 0 || !LockTextureBits(texture, &bits, nullptr) ||
      !png_image_finish_read(&image, nullptr, bits.bits, bits.pitch, nullptr)) {
    png_image_free(&image);
    DeleteTexture(texture);
    return HGTEXTURE(0u);
  }
  UnlockTextureBits(texture);
  NormalizeTexture(texture);  // premultiply
  return texture;
}
