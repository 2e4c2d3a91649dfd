// Stretch multiplying row, two pixels a step on 16-bit lanes: the multiplier is the
// source byte plus 1 (saturating add), the product fits 16 bits.
#include "resample/stretch_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {
namespace {

inline __m64 MultiplyLanes(__m64 d, __m64 m) {
  return _mm_srli_pi16(_mm_mullo_pi16(d, _mm_adds_pu16(m, _mm_set1_pi16(1))), 8);
}

inline __m64 MultiplyPair(__m64 d, __m64 m) {
  const __m64 zero = _mm_setzero_si64();
  return _mm_packs_pu16(MultiplyLanes(_mm_unpacklo_pi8(d, zero), _mm_unpacklo_pi8(m, zero)),
                        MultiplyLanes(_mm_unpackhi_pi8(d, zero), _mm_unpackhi_pi8(m, zero)));
}

}  // namespace

void StretchMultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels.
  for (; j + 2 <= width; j += 2) {
    const uint32_t a = src[x >> 16]; x += step;
    const uint32_t b = src[x >> 16]; x += step;
    StorePair(dst + j, MultiplyPair(LoadPair(dst + j), _mm_set_pi32(int(b), int(a))));
  }
  // Tail: an odd last pixel.
  if (j < width) dst[j] = PackPixel(MultiplyLanes(UnpackPixel(dst[j]), UnpackPixel(src[x >> 16])));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
