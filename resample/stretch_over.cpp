// Source-over stretch loops: the per-call choice of row kernel and the walk
// over the destination block.
//
// The alpha shortcuts come first: alpha 0 draws nothing, alpha 255 is the
// plain source-over loop. The bicubic loops take the sampler form that
// matches the kernel table's format (resample/bicubic_walk.h).
#include "resample/stretch_over.h"

#include "core/cpu_features.h"
#include "resample/bicubic_walk.h"
#include "resample/samplers.h"
#include "resample/stretch_over_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

bool StretchNearestOver(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestOverRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? StretchNearestOverRow_AVX2 : StretchNearestOverRow_SSE;  // 8 or 2 px a step
#endif
  WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step); });
  return true;
}

bool StretchNearestOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return true;
  if (alpha == 255) return StretchNearestOver(dst, src);
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestOverAlphaRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? StretchNearestOverAlphaRow_AVX2 : StretchNearestOverAlphaRow_SSE;
#endif
  WalkNearestRows(dst, src,
                  [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step, alpha); });
  return true;
}

bool StretchBilinearOver(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchBilinearOverRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = HasAVX2() ? StretchBilinearOverRow_AVX2 : StretchBilinearOverRow_MMX;  // separable
#endif
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
    row(d, r0, r1, dst.width, step, fy);
  });
  return true;
}

bool StretchBilinearOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return true;
  if (alpha == 255) return StretchBilinearOver(dst, src);
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
    StretchBilinearOverAlphaRow_C(d, r0, r1, dst.width, step, fy, alpha);
  });
  return true;
}

bool StretchBicubicOver(const BitmapBits& dst, const BitmapBits& src) {
  const BicubicSamplers<decltype(&SampleBicubicOver)> integer{SampleBicubicOver, SampleBicubicOverClamped};
#if defined(OWL_HAVE_MMX)
  return StretchBicubicWith(dst, src, integer,
                            {SampleBicubicOver_MMX, SampleBicubicOverClamped_MMX, BicubicOverRow_AVX2,
                             BicubicOverBlock_AVX2});
#else
  return StretchBicubicWith(dst, src, integer, integer);
#endif
}

bool StretchBicubicOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return true;
  if (alpha == 255) return StretchBicubicOver(dst, src);
  const uint32_t a = alpha;
  const BicubicSamplers<decltype(&SampleBicubicOverAlpha)> integer{SampleBicubicOverAlpha,
                                                                   SampleBicubicOverAlphaClamped};
#if defined(OWL_HAVE_MMX)
  return StretchBicubicWith(dst, src, integer,
                            {SampleBicubicOverAlpha_MMX, SampleBicubicOverAlphaClamped_MMX, BicubicOverAlphaRow_AVX2,
                             BicubicOverAlphaBlock_AVX2},
                            a);
#else
  return StretchBicubicWith(dst, src, integer, integer, a);
#endif
}

}  // namespace owl
