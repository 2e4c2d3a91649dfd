// Bicubic stretch loop: interior pixels through the plain sampler, the
// border bands through its edge-clamping wrapper.
#include "core/cpu_features.h"
#include "resample/kernel_table.h"
#include "resample/samplers.h"
#include "resample/stretch.h"
#include "resample/stretch_walk.h"

namespace owl {

bool StretchBicubic(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  GetKernelTable();
  auto inner = SampleBicubic;
  auto edge = SampleBicubicClamped;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) {
    inner = SampleBicubicMmx;
    edge = SampleBicubicMmxClamped;
  }
#endif
  if (inner == SampleBicubic) GetClampTable();
  WalkBicubicPixels(
      dst, src, [&](int32_t x, int32_t y, uint32_t* d) { inner(src, x, y, d); },
      [&](int32_t x, int32_t y, uint32_t* d) { edge(src, x, y, d); });
  return true;
}

}  // namespace owl
