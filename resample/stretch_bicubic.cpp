// Bicubic stretch loop: interior pixels through the plain sampler, the
// border bands through its edge-clamping wrapper.
#include "resample/bicubic_walk.h"
#include "resample/samplers.h"
#include "resample/stretch.h"

namespace owl {

bool StretchBicubic(const BitmapBits& dst, const BitmapBits& src) {
  const BicubicSamplers<decltype(&SampleBicubic)> integer{SampleBicubic, SampleBicubicClamped};
#if defined(OWL_HAVE_MMX)
  return StretchBicubicWith(dst, src, integer, {SampleBicubic_MMX, SampleBicubicClamped_MMX, BicubicRow_AVX2});
#else
  return StretchBicubicWith(dst, src, integer, integer);
#endif
}

}  // namespace owl
