// Exported anti-aliased rounded rectangles, filled and stroked.
#include <cstdint>

#include "core/canvas.h"
#include "core/handle_table.h"
#include "core/x87_precision.h"
#include "effects/round_rect.h"
#include "owlgraphic.h"

namespace {

// Checks the arguments shared by both exports and builds the outer shape.
bool OuterShape(const owlRect* rect, const int32_t radii[4], owl::RoundShape* out) {
  if (!rect || !radii) return false;
  double r[4];
  for (int k = 0; k < 4; ++k) {
    if (radii[k] < 0) return false;
    r[k] = double(radii[k]);
  }
  *out = owl::MakeRoundShape(rect->left, rect->top, rect->right, rect->bottom, r);
  return true;
}

}  // namespace

int OWL_CALL FillRoundRect(HGCANVAS canvas, const owlRect* rect, const int32_t radii[4], uint32_t color) {
  const owl::ScopedDoublePrecision precision;  // the same coverage on x87 builds
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  owl::RoundShape outer;
  if (!c || !OuterShape(rect, radii, &outer)) return 0;
  owl::DrawRoundShape(*c, outer, owl::RoundShape{}, color);
  return 1;
}

int OWL_CALL StrokeRoundRect(HGCANVAS canvas, const owlRect* rect, const int32_t radii[4], int32_t width,
                             uint32_t color) {
  const owl::ScopedDoublePrecision precision;
  const owl::Canvas* c = owl::CanvasFromHandle(canvas);
  owl::RoundShape outer;
  if (!c || width < 1 || !OuterShape(rect, radii, &outer)) return 0;
  owl::DrawRoundShape(*c, outer, owl::InsetRoundShape(outer, width), color);
  return 1;
}
