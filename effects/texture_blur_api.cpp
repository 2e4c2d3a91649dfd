// The 3x3 box blur and the glow built from it.
#include <memory>
#include <new>

#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/texture.h"
#include "owlgraphic.h"
#include "rows/blur_rows.h"

namespace {

// Blurs src into dst over src's size. Reads past an edge repeat the edge
// pixel, and writes past dst's last column or row land on it, so nothing
// outside either buffer is touched. dst may alias src: every pixel is read
// before it is written, in the same order as nine clamped reads would.
void BoxBlurInPlace(const BitmapBits& dst, const BitmapBits& src) {
  for (int32_t y = 0; y < src.height; ++y) {
    const uint32_t* rows[3] = {owl::PixelAt(src, 0, y - 1), owl::PixelAt(src, 0, y), owl::PixelAt(src, 0, y + 1)};
    uint32_t* out = owl::PixelAt(dst, 0, y);
    for (int32_t x = 0; x < src.width; ++x) {
      const int32_t cols[3] = {x > 0 ? x - 1 : 0, x, x + 1 < src.width ? x + 1 : x};
      uint32_t sum[4] = {0, 0, 0, 0};
      for (const uint32_t* row : rows)
        for (int32_t col : cols) {
          const uint32_t p = row[col];
          for (int k = 0; k < 4; ++k) sum[k] += p >> (8 * k) & 0xFF;
        }
      out[x < dst.width ? x : dst.width - 1] =
          (sum[3] / 9) << 24 | (sum[2] / 9) << 16 | (sum[1] / 9) << 8 | sum[0] / 9;
    }
  }
}

// Two different buffers go through the row kernels; in place, or without
// memory for their scratch rows, pixel by pixel.
void BoxBlur(const BitmapBits& dst, const BitmapBits& src) {
  if (dst.bits == src.bits || !owl::BlurRows(dst, src)) BoxBlurInPlace(dst, src);
}

void BlurTextures(const owl::Texture& dst, const owl::Texture& src) {
  BitmapBits s, d;
  if (!src.Lock(&s, nullptr)) return;
  if (dst.Lock(&d, nullptr)) {
    BoxBlur(d, s);
    dst.Unlock();
  }
  src.Unlock();
}

}  // namespace

int OWL_CALL BlurTexture(HGTEXTURE dst, HGTEXTURE src) {
  const owl::Texture* d = owl::TextureFromHandle(dst);
  if (!d) return 0;
  const owl::Texture* s = owl::TextureFromHandle(src);
  if (!s) return 0;
  BlurTextures(*d, *s);
  return 1;
}

int OWL_CALL LightTexture(HGTEXTURE texture) {
  const owl::Texture* t = owl::TextureFromHandle(texture);
  if (!t) return 0;
  // The scratch texture is made as CreateTexture makes one, so it takes and
  // then frees a handle (later handle values depend on that); when the
  // table is full it works without one. Without memory for it the texture is
  // left as it was.
  std::unique_ptr<owl::Texture> made(new (std::nothrow) owl::Texture);
  BitmapBits mask;
  if (!made || !made->Create(t->width(), t->height()) || !made->Lock(&mask, nullptr)) return 1;
  const uint32_t handle = owl::RegisterTexture(made.get());
  const owl::Texture& scratch = *made;
  BlurTextures(scratch, *t);
  for (int32_t y = 0; y < mask.height; ++y) {
    uint32_t* row = owl::RowAt(mask, y);
    for (int32_t x = 0; x < mask.width; ++x)
      if (row[x] >> 24) row[x] = 0xFFFFFFFFu;
  }
  BlurTextures(*t, scratch);
  BlurTextures(scratch, *t);
  BlurTextures(*t, scratch);
  if (handle != 0) owl::ReleaseHandle(handle);
  return 1;
}
