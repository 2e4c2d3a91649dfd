// The Gaussian blur and the shadows made from it.
#include <memory>
#include <new>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/texture.h"
#include "effects/gaussian_blur.h"
#include "effects/round_rect_shadow.h"
#include "owlgraphic.h"

namespace {

// round(c * a / 255) for bytes, exactly.
inline uint32_t Scale255(uint32_t c, uint32_t a) {
  const uint32_t v = c * a + 128;
  return (v + (v >> 8)) >> 8;
}

}  // namespace

int OWL_CALL GaussianBlurTexture(HGTEXTURE dst, HGTEXTURE src, int32_t radius) {
  const owl::Texture* d = owl::TextureFromHandle(dst);
  const owl::Texture* s = owl::TextureFromHandle(src);
  if (!d || !s) return 0;
  return owl::GaussianBlur(d->pixels(), s->pixels(), radius) ? 1 : 0;
}

int OWL_CALL ShadowTexture(HGTEXTURE dst, HGTEXTURE src, int32_t radius, uint32_t color) {
  const owl::Texture* d = owl::TextureFromHandle(dst);
  const owl::Texture* s = owl::TextureFromHandle(src);
  if (!d || !s || radius < 0 || radius > owl::kMaxGaussianRadius) return 0;
  const BitmapBits& in = s->pixels();
  const BitmapBits& out = d->pixels();
  if (in.width != out.width || in.height != out.height) return 0;
  // The alpha in every byte, blurred, then the colour scaled by it.
  const int32_t w = in.width, h = in.height;
  std::unique_ptr<uint32_t[]> mask(new (std::nothrow) uint32_t[size_t(w) * size_t(h)]);
  if (!mask) return 0;
  const BitmapBits m{w, h, 4 * w, mask.get()};
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = owl::RowAt(in, y);
    uint32_t* to = owl::RowAt(m, y);
    for (int32_t x = 0; x < w; ++x) to[x] = (row[x] >> 24) * 0x01010101u;
  }
  if (!owl::GaussianBlur(m, m, radius)) return 0;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* from = owl::RowAt(m, y);
    uint32_t* row = owl::RowAt(out, y);
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t a = from[x] & 0xFF;
      uint32_t p = 0;
      for (int k = 0; k < 32; k += 8) p |= Scale255(color >> k & 0xFF, a) << k;
      row[x] = p;
    }
  }
  return 1;
}

int OWL_CALL DrawRoundRectShadow(HGCANVAS canvas, const owlRect* rect, int32_t corner, int32_t radius,
                                 uint32_t color, int32_t dx, int32_t dy) {
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  if (!c || !rect || corner < 0 || corner > 65535 || radius < 0 || radius > owl::kMaxGaussianRadius) return 0;
  if (rect->left > rect->right || rect->top > rect->bottom) return 0;
  owlRect shape = *rect;
  owl::Offset(shape, dx, dy);
  // A shape the offset wrapped around is refused like a reversed one.
  if (shape.left > shape.right || shape.top > shape.bottom) return 0;
  return owl::DrawShadowOfRoundRect(*c, shape, corner, radius, color) ? 1 : 0;
}
