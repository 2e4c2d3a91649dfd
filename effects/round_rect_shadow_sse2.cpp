// SSE2 forms of the shadow's row kernels, four coverages a step; products
// in 64-bit halves, so exactly the plain forms' values.
#include <emmintrin.h>

#include "effects/round_rect_shadow.h"

namespace owl {
namespace {

// round(a * b) per 32-bit lane for a * b + 32768 below 2^48.
inline __m128i MulRound(__m128i a, __m128i b) {
  const __m128i half = _mm_set1_epi64x(32768);
  const __m128i even = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(a, b), half), 16);
  const __m128i odd = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32)), half), 16);
  return _mm_or_si128(_mm_and_si128(even, _mm_set1_epi64x(0xFFFFFFFF)), _mm_slli_epi64(odd, 32));
}

}  // namespace

void ShadowCover_SSE2(int32_t* cover, const int32_t* across, uint32_t down, int32_t count) {
  const __m128i d = _mm_set1_epi32(int32_t(down));
  int32_t i = 0;
  for (; i + 4 <= count; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cover + i),
                     MulRound(_mm_loadu_si128(reinterpret_cast<const __m128i*>(across + i)), d));
  ShadowCover_C(cover + i, across + i, down, count - i);
}

void ShadowCut_SSE2(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count) {
  const __m128i w = _mm_set1_epi32(int32_t(weight));
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i* c = reinterpret_cast<__m128i*>(cover + i);
    const __m128i diff = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hi + i)),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo + i)));
    _mm_storeu_si128(c, _mm_sub_epi32(_mm_loadu_si128(c), MulRound(diff, w)));
  }
  ShadowCut_C(cover + i, hi + i, lo + i, weight, count - i);
}

void ShadowTint_SSE2(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count) {
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi32(65536);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cover + i));
    a = _mm_and_si128(a, _mm_cmpgt_epi32(a, zero));  // below 0: 0
    const __m128i over = _mm_cmpgt_epi32(a, one);
    a = _mm_or_si128(_mm_andnot_si128(over, a), _mm_and_si128(over, one));
    __m128i v = zero;
    for (int k = 0; k < 32; k += 8)
      v = _mm_or_si128(v, _mm_slli_epi32(MulRound(a, _mm_set1_epi32(int32_t(color >> k & 0xFF))), k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(line + i), v);
  }
  ShadowTint_C(line + i, cover + i, color, count - i);
}

}  // namespace owl
