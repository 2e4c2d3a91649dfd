// Bilinear stretch loop: plain row and the per-call choice.
#include "core/cpu_features.h"
#include "resample/samplers.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

void StretchBilinearRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                          uint32_t step, uint32_t fy) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t ix = x >> 16;
    SampleBilinear(row0 + ix, row1 + ix, (x >> 8) & 255, fy, dst + j);
  }
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

}  // namespace owl
