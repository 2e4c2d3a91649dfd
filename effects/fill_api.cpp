// Exported fills: solid (blend, multiply, OR or copy) and two-colour
// gradients on a canvas rectangle.
#include <cstdint>

#include "core/canvas.h"
#include "core/handle_table.h"
#include "core/x87_precision.h"
#include "draw/draw_geometry.h"
#include "draw/fill_rect.h"
#include "owlgraphic.h"
#include "rows/fill_rows.h"

namespace {

// Colour at p between p0 (color1) and p1 (color2, excluded), interpolated in
// double precision and truncated per channel.
uint32_t GradientColor(uint32_t color1, uint32_t color2, int64_t p, int64_t p0, int64_t p1) {
  const double t = double(p - p0) / double(p1 - p0);
  const double u = 1.0 - t;
  uint32_t out = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const double v = u * double((color1 >> shift) & 0xFF) + t * double((color2 >> shift) & 0xFF);
    out |= (uint32_t(int32_t(v)) & 0xFF) << shift;
  }
  return out;
}

// The solid fill behind both exports: nothing to change ends the call
// before the handle is looked at.
int FillSolid(HGCANVAS canvas, uint32_t color, const owlRect* rect, uint32_t filter) {
  if (owl::FillChangesNothing(color, filter >> 24)) return 1;
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  if (!c || !rect) return 0;
  owl::FillCanvasRect(*c, color, *rect, filter);
  return 1;
}

}  // namespace

int OWL_CALL FillSolidRect(HGCANVAS canvas, uint32_t color, const owlRect* rect) {
  return FillSolid(canvas, color, rect, OWL_FILL_SOURCE_OVER);
}

int OWL_CALL FillSolidRectEx(HGCANVAS canvas, uint32_t color, const owlRect* rect, uint32_t filter) {
  return FillSolid(canvas, color, rect, filter);
}

int OWL_CALL FillGradualRect(HGCANVAS canvas, uint32_t color1, uint32_t color2, const owlRect* rect, int direction) {
  const owl::ScopedDoublePrecision precision;  // the same colours on x87 builds
  if (color1 == color2) return FillSolid(canvas, color1, rect, OWL_FILL_SOURCE_OVER);
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  if (!c || !rect) return 0;
  owlRect clipped;
  if (!owl::ClipToCanvas(c, rect, &clipped)) return 1;
  if (direction != OWL_GRADIENT_TOP_TO_BOTTOM && direction != OWL_GRADIENT_LEFT_TO_RIGHT)
    return FillSolid(canvas, color1, rect, OWL_FILL_SOURCE_OVER);
  BitmapBits view;
  if (!c->Lock(&view, clipped)) return 1;
  if (direction == OWL_GRADIENT_TOP_TO_BOTTOM) {
    for (int32_t y = 0; y < view.height; ++y) {
      const uint32_t color = GradientColor(color1, color2, int64_t(clipped.top) + y, rect->top, rect->bottom);
      owl::BlendFillRows(BitmapBits{view.width, 1, view.pitch, owl::RowAt(view, y)}, color);
    }
  } else {
    for (int32_t x = 0; x < view.width; ++x) {
      const uint32_t color = GradientColor(color1, color2, int64_t(clipped.left) + x, rect->left, rect->right);
      owl::BlendFillRows(BitmapBits{1, view.height, view.pitch, owl::RowAt(view, 0) + x}, color);
    }
  }
  c->Unlock();
  return 1;
}
