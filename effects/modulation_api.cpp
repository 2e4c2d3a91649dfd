// A texture drawn unscaled, multiplied by a colour: as a translucent tint
// laid source-over, or, for an opaque colour, as per-channel coverage.
// Plain per-pixel loops, each result stored as a byte.
#include <algorithm>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/pixel_math.h"
#include "core/texture.h"
#include "draw/draw_geometry.h"
#include "owlgraphic.h"

namespace owl {
namespace {

inline uint32_t Ch(uint32_t p, int k) { return p >> (8 * k) & 0xFF; }  // k: 0 B, 1 G, 2 R, 3 A

// The texture times the colour on all four channels, then source-over.
uint32_t Tint(uint32_t d, uint32_t t, uint32_t color) { return OverWrap(MultiplyPixel(color, t), d); }

// Each of the texture's R, G, B covers the same channel of the canvas;
// factor[k] = 255 - ((255 - c_k) >> 2), computed once per call.
uint32_t Cover(uint32_t d, uint32_t t, uint32_t color, const uint32_t factor[3]) {
  const uint32_t lum = (Ch(t, 2) + 2 * Ch(t, 1) + Ch(t, 0)) >> 2;
  const uint32_t sa = (Ch(color, 3) * (lum + 1)) >> 8;
  uint32_t out = ((sa + (((256 - sa) * Ch(d, 3)) >> 8)) & 0xFF) << 24;
  for (int k = 0; k < 3; ++k) {
    const uint32_t tk = Ch(t, k);
    const uint32_t e = (tk * (tk == 255 ? 255 : factor[k])) >> 8;
    const uint32_t s = (Ch(color, k) * e) >> 8;
    out |= ((s + (((255 - e) * Ch(d, k)) >> 8)) & 0xFF) << (8 * k);
  }
  return out;
}

}  // namespace
}  // namespace owl

int OWL_CALL DrawModulation(HGCANVAS canvas, int32_t x, int32_t y, HGTEXTURE texture, uint32_t color) {
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  if (!c) return 0;
  const owl::Texture* t = owl::TextureFromHandle(texture);
  if (!t) return 0;
  owlRect src;
  if (!owl::ValidateSourceRect(t, &src, t->CurrentSlice())) return 0;
  // A rectangle that wraps past INT32_MAX comes out reversed and is
  // clipped away.
  const owlRect dst{x, y, owl::AddWrap(x, owl::Width(src)), owl::AddWrap(y, owl::Height(src))};
  owlRect clipped, part;
  if (!owl::ClipToCanvas(c, &dst, &clipped) || !owl::MapToSource(&dst, &src, &clipped, &part)) return 1;
  BitmapBits db, sb;
  if (!c->Lock(&db, clipped)) return 1;
  if (!t->Lock(&sb, &part)) {
    c->Unlock();
    return 1;
  }
  const int32_t width = std::min(db.width, sb.width), height = std::min(db.height, sb.height);
  if (color < 0xFF000000u) {
    for (int32_t row = 0; row < height; ++row) {
      uint32_t* d = owl::RowAt(db, row);
      const uint32_t* s = owl::RowAt(sb, row);
      for (int32_t col = 0; col < width; ++col) d[col] = owl::Tint(d[col], s[col], color);
    }
  } else {
    uint32_t factor[3];
    for (int k = 0; k < 3; ++k) factor[k] = 255 - ((255 - owl::Ch(color, k)) >> 2);
    for (int32_t row = 0; row < height; ++row) {
      uint32_t* d = owl::RowAt(db, row);
      const uint32_t* s = owl::RowAt(sb, row);
      for (int32_t col = 0; col < width; ++col) d[col] = owl::Cover(d[col], s[col], color, factor);
    }
  }
  t->Unlock();
  c->Unlock();
  return 1;
}
