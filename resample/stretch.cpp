// The stretch loops: the per-call choice of row kernel and the walk over the
// destination block. The bicubic loop takes the sampler form that matches the
// kernel table's format (resample/bicubic_walk.h).
#include "core/cpu_features.h"
#include "resample/bicubic_walk.h"
#include "resample/samplers.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

bool StretchNearest(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? StretchNearestRow_AVX2 : StretchNearestRow_SSE;  // 8 or 4 px a step
#endif
  WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step); });
  return true;
}

bool StretchNearestKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestKeyedRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = StretchNearestKeyedRow_SSE;  // 4 px a step, destination prefetched
#endif
  WalkNearestRows(dst, src,
                  [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step, key); });
  return true;
}

bool StretchBilinear(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchBilinearRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = HasAVX2() ? StretchBilinearRow_AVX2 : StretchBilinearRow_MMX;  // separable, 8 or 2 px a step
#endif
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
    row(d, r0, r1, dst.width, step, fy);
  });
  return true;
}

bool StretchMultiply(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchMultiplyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = StretchMultiplyRow_MMX;  // 2 px a step
#endif
  WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step); });
  return true;
}

bool StretchBicubic(const BitmapBits& dst, const BitmapBits& src) {
  const BicubicSamplers<decltype(&SampleBicubic)> integer{SampleBicubic, SampleBicubicClamped};
#if defined(OWL_HAVE_MMX)
  return StretchBicubicWith(dst, src, integer, {SampleBicubic_MMX, SampleBicubicClamped_MMX, BicubicRow_AVX2});
#else
  return StretchBicubicWith(dst, src, integer, integer);
#endif
}

}  // namespace owl
