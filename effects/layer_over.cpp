// The per-call choice of form for translucent layers.
//
// Same-size blocks take the source-over rows with a constant alpha and
// their vector forms; nearest stretches the matching stretch rows. The
// bilinear layer keeps the plain one-pass interpolation at every alpha (the
// separable vector form of the opaque stretch may differ by one), so its
// rows are the plain ones. Blocks that overlap run the plain rows whatever
// the processor has: a vector row reads ahead of what it has written.
#include "effects/layer_over.h"

#include "core/geometry.h"
#include "resample/stretch_over.h"
#include "resample/stretch_over_rows.h"
#include "resample/stretch_walk.h"
#include "rows/row_ops.h"

namespace owl {

void LayerOver(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha, bool bilinear, bool inOrder) {
  if (alpha == 0) return;
  if (dst.width == src.width && dst.height == src.height) {
    if (!inOrder) {
      BlendRowsAlpha(dst, src, alpha);
      return;
    }
    for (int32_t y = 0; y < dst.height; ++y) BlendRowAlpha_C(RowAt(dst, y), RowAt(src, y), dst.width, alpha);
    return;
  }
  bool ready;
  if (!BlocksReady(dst, src, &ready)) return;
  if (bilinear) {
    WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
      StretchBilinearOverAlphaRow_C(d, r0, r1, dst.width, step, fy, alpha);
    });
  } else if (!inOrder) {
    StretchNearestOverAlpha(dst, src, alpha);
  } else {
    WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) {
      StretchNearestOverAlphaRow_C(d, s, dst.width, step, alpha);
    });
  }
}

}  // namespace owl
