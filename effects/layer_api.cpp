// Exported translucent layers: source-over of one canvas rectangle onto
// another with the source's own alpha.
//
// The rectangles follow the composition rules: locked as given, without
// the clip; one reversed as given, or mapped outside its canvas, draws
// nothing.
#include <cstdint>

#include "core/canvas.h"
#include "core/handle_table.h"
#include "effects/layer_over.h"
#include "owlgraphic.h"

namespace {

bool Reversed(const owlRect& r) { return r.left > r.right || r.top > r.bottom; }

// True when the bytes the two blocks span meet (one canvas given twice).
bool Overlap(const BitmapBits& a, const BitmapBits& b) {
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  const auto start = [](const BitmapBits& v) { return reinterpret_cast<uintptr_t>(v.bits); };
  const auto end = [&](const BitmapBits& v) {
    return start(v) + uintptr_t(v.height - 1) * uintptr_t(v.pitch) + uintptr_t(v.width) * 4;
  };
  return start(a) < end(b) && start(b) < end(a);
}

}  // namespace

int OWL_CALL CompositeCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect,
                             uint8_t alpha, unsigned int resampleFilter) {
  const owl::Canvas* d = owl::CanvasFromHandle(dst);
  if (!d) return 0;
  const owl::Canvas* s = owl::CanvasFromHandle(src);
  if (!s) return 0;
  if (!dstRect || !srcRect || Reversed(*dstRect) || Reversed(*srcRect)) return 1;
  BitmapBits db, sb;
  if (!d->Lock(&db, *dstRect)) return 1;
  if (s->Lock(&sb, *srcRect)) {
    owl::LayerOver(db, sb, alpha, resampleFilter != 0, d == s && Overlap(db, sb));
    s->Unlock();
  }
  d->Unlock();
  return 1;
}
