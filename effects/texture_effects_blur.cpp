// The 3x3 box blur and the glow built from it.
#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/texture.h"
#include "owlgraphic.h"

namespace {

// Blurs src into dst over src's size. Reads and writes go through the
// clamping PixelAt, so a smaller dst takes the overflow on its last column
// and row and nothing outside either buffer is touched. dst may alias src.
void BoxBlur(const BitmapBits& dst, const BitmapBits& src) {
  for (int32_t y = 0; y < src.height; ++y) {
    for (int32_t x = 0; x < src.width; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const uint32_t p = *owl::PixelAt(src, x + dx, y + dy);
          for (int k = 0; k < 4; ++k) sum[k] += p >> (8 * k) & 0xFF;
        }
      *owl::PixelAt(dst, x, y) = (sum[3] / 9) << 24 | (sum[2] / 9) << 16 | (sum[1] / 9) << 8 | sum[0] / 9;
    }
  }
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
  // The scratch texture needs no handle; without memory for it the texture
  // is left as it was.
  owl::Texture scratch;
  BitmapBits mask;
  if (!scratch.Create(t->width(), t->height()) || !scratch.Lock(&mask, nullptr)) return 1;
  BlurTextures(scratch, *t);
  for (int32_t y = 0; y < mask.height; ++y) {
    uint32_t* row = owl::RowAt(mask, y);
    for (int32_t x = 0; x < mask.width; ++x)
      if (row[x] >> 24) row[x] = 0xFFFFFFFFu;
  }
  BlurTextures(*t, scratch);
  BlurTextures(scratch, *t);
  BlurTextures(*t, scratch);
  return 1;
}
