// Bilinear source-over row: separable interpolation on 16-bit lanes, then
// source-over with the sample's own alpha, adding with saturation.
#include "resample/stretch_over_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void StretchBilinearOverRow_MMX(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                uint32_t step, uint32_t fy) {
  const __m64 vfy = _mm_set1_pi16(short(fy));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels.
  for (; j + 2 <= width; j += 2) {
    const __m64 s0 = BilinearLanes(row0, row1, x, vfy);
    const __m64 s1 = BilinearLanes(row0, row1, x + step, vfy);
    x += 2 * step;
    OverLanesPair(s0, s1, dst + j);
  }
  // Tail: an odd last pixel.
  if (j < width) dst[j] = OverLanes(BilinearLanes(row0, row1, x, vfy), dst[j]);
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
