// Multiplying loops: plain rows and the per-call choice.
#include "core/cpu_features.h"
#include "resample/pixel_math.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

void StretchMultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = MultiplyPixel(dst[j], src[x >> 16]);
}

void MultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width) {
  for (int32_t j = 0; j < width; ++j) dst[j] = MultiplyPixel(dst[j], src[j]);
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

// dst's size drives the loop; a smaller source is refused rather than read
// past its end.
bool MultiplyRows(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  if (src.width < dst.width || src.height < dst.height) return false;
  auto row = MultiplyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = MultiplyRow_MMX;  // 2 px a step
#endif
#if defined(OWL_X86)
  if (HasSSE2()) row = HasAVX2() ? MultiplyRow_AVX2 : MultiplyRow_SSE2;  // 8 or 4 px a step
#endif
  for (int32_t i = 0; i < dst.height; ++i) row(RowAt(dst, i), RowAt(src, i), dst.width);
  return true;
}

}  // namespace owl
