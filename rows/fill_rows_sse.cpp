// 64-bit SSE form of the blend fill row; ends with _mm_empty().
#include "rows/fill_rows.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstring>

namespace owl {
namespace {

// s + ((w * d) >> 8) per channel, the sum saturating; w per 16-bit lane.
inline __m64 BlendFill2(__m64 d, __m64 s, __m64 w) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(d, zero), w), 8);
  const __m64 hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(d, zero), w), 8);
  return _mm_adds_pu8(s, _mm_packs_pu16(lo, hi));
}

}  // namespace

void BlendFillRow_SSE(uint32_t* dst, int32_t width, uint32_t color) {
  const __m64 s = _mm_set1_pi32(int(color));
  const __m64 w = _mm_set1_pi16(int16_t(256 - (color >> 24)));
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) {
    __m64 d;
    std::memcpy(&d, dst + x, 8);
    d = BlendFill2(d, s, w);
    std::memcpy(dst + x, &d, 8);
  }
  // Tail: the odd pixel with the same arithmetic.
  if (x < width) dst[x] = uint32_t(_mm_cvtsi64_si32(BlendFill2(_mm_cvtsi32_si64(int(dst[x])), s, w)));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
