// Solid fills of a canvas rectangle.
#include "draw/fill_rect.h"

#include "draw/draw_geometry.h"
#include "rows/fill_rows.h"
#include "rows/row_ops.h"

namespace owl {

bool FillChangesNothing(uint32_t color, uint32_t kind) {
  switch (kind) {
    case kFillBlend:
    case kFillBlendAlso:
      return color < 0x01000000u;
    case kFillMultiply:
      return color == 0xFFFFFFFFu;
    case kFillOr:
      return color == 0;
    default:
      return false;
  }
}

void FillCanvasRect(const Canvas& canvas, uint32_t color, const owlRect& rect, uint32_t filter) {
  const uint32_t kind = filter >> 24;
  if (FillChangesNothing(color, kind)) return;
  owlRect clipped;
  if (!ClipToCanvas(&canvas, &rect, &clipped)) return;
  BitmapBits view;
  if (!canvas.Lock(&view, clipped)) return;
  switch (kind) {
    case kFillBlend:
    case kFillBlendAlso:
      BlendFillRows(view, color);
      break;
    case kFillMultiply:
      MultiplyFillRows(view, color);
      break;
    case kFillOr:
      OrFillRows(view, color);
      break;
    default:
      FillRows(view, color);
      break;
  }
  canvas.Unlock();
}

}  // namespace owl
