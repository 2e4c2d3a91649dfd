// Exported fills: solid (blend, multiply, OR or copy) and two-colour
// gradients on a canvas rectangle.
#include <cstdint>
#include <cstdlib>

#include "core/canvas.h"
#include "core/handle_table.h"
#include "core/x87_precision.h"
#include "draw/draw_geometry.h"
#include "draw/fill_rect.h"
#include "owlgraphic.h"
#include "rows/fill_rows.h"
#include "rows/row_ops.h"

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

bool Premultiplied(uint32_t c) {
  const uint32_t a = c >> 24;
  return ((c >> 16) & 0xFF) <= a && ((c >> 8) & 0xFF) <= a && (c & 0xFF) <= a;
}

// Columns of colours: the row of colours is computed once and laid over
// every row by source-over, whose pixels equal the blend fill's for
// premultiplied colours in every form (as they are when both ends are).
// Other colours, on which the forms of the two operations may differ, and a
// failed allocation take the fill column by column.
void HorizontalGradient(const BitmapBits& view, uint32_t color1, uint32_t color2, int32_t left, const owlRect& rect) {
  uint32_t* colors = static_cast<uint32_t*>(std::malloc(size_t(view.width) * 4));
  bool rows = colors != nullptr;
  for (int32_t x = 0; rows && x < view.width; ++x) {
    colors[x] = GradientColor(color1, color2, int64_t(left) + x, rect.left, rect.right);
    rows = Premultiplied(colors[x]);
  }
  if (rows) {
    const BitmapBits from{view.width, 1, view.width * 4, colors};
    for (int32_t y = 0; y < view.height; ++y)
      owl::BlendRows(BitmapBits{view.width, 1, view.pitch, owl::RowAt(view, y)}, from);
  } else {
    for (int32_t x = 0; x < view.width; ++x) {
      const uint32_t color = GradientColor(color1, color2, int64_t(left) + x, rect.left, rect.right);
      owl::BlendFillRows(BitmapBits{1, view.height, view.pitch, owl::RowAt(view, 0) + x}, color);
    }
  }
  std::free(colors);
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
    HorizontalGradient(view, color1, color2, clipped.left, *rect);
  }
  c->Unlock();
  return 1;
}
