// 128-bit forms of the blend and multiply fill rows.
#include "rows/fill_rows.h"

#if defined(OWL_X86)
#include <emmintrin.h>

namespace owl {
namespace {

// (d * factor) >> 8 per channel, factor a 16-bit value per lane.
inline __m128i MulShift(__m128i d, __m128i factor) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), factor), 8);
  const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), factor), 8);
  return _mm_packus_epi16(lo, hi);
}

// Runs op four pixels a step, then on each remaining pixel alone.
template <typename Op>
inline void Row4(uint32_t* dst, int32_t width, Op op) {
  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    __m128i* p = reinterpret_cast<__m128i*>(dst + x);
    _mm_storeu_si128(p, op(_mm_loadu_si128(p)));
  }
  for (; x < width; ++x) dst[x] = uint32_t(_mm_cvtsi128_si32(op(_mm_cvtsi32_si128(int(dst[x])))));
}

}  // namespace

void BlendFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m128i s = _mm_set1_epi32(int(color));
  const __m128i w = _mm_set1_epi16(int16_t(256 - (color >> 24)));
  Row4(dst, width, [&](__m128i d) { return _mm_adds_epu8(s, MulShift(d, w)); });
}

void MultiplyFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i factor =
      _mm_add_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(int(color)), zero), _mm_set1_epi16(1));
  Row4(dst, width, [&](__m128i d) { return MulShift(d, factor); });
}

}  // namespace owl
#endif  // OWL_X86
