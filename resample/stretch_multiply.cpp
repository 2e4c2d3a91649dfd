// Multiplying loops: plain rows and the per-call choice.
#include "core/cpu_features.h"
#include "core/pixel_math.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

void StretchMultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = MultiplyPixel(dst[j], src[x >> 16]);
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

}  // namespace owl
