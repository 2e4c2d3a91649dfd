// AVX2 forms of the shadow's row kernels, eight coverages a step. Every
// product below 2^32 - 32768 is taken in 32-bit lanes; the one product that
// could reach 2^32 (a factor of 65536) is exact without multiplying.
#include <immintrin.h>

#include <algorithm>

#include "effects/round_rect_shadow.h"

namespace owl {
namespace {

// round(a * b) per lane for a * b at most 65536 * 65535.
inline __m256i MulRound(__m256i a, __m256i b) {
  return _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(a, b), _mm256_set1_epi32(32768)), 16);
}

}  // namespace

void ShadowCover_AVX2(int32_t* cover, const int32_t* across, uint32_t down, int32_t count) {
  if (down >= 65536) {  // round(a * 65536) is a
    std::copy(across, across + count, cover);
    return;
  }
  const __m256i d = _mm256_set1_epi32(int32_t(down));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(cover + i),
                        MulRound(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(across + i)), d));
  ShadowCover_SSE2(cover + i, across + i, down, count - i);
}

void ShadowCut_AVX2(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count) {
  if (weight >= 65536) return ShadowCut_SSE2(cover, hi, lo, weight, count);
  const __m256i w = _mm256_set1_epi32(int32_t(weight));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i* c = reinterpret_cast<__m256i*>(cover + i);
    const __m256i diff = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(hi + i)),
                                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lo + i)));
    _mm256_storeu_si256(c, _mm256_sub_epi32(_mm256_loadu_si256(c), MulRound(diff, w)));
  }
  ShadowCut_SSE2(cover + i, hi + i, lo + i, weight, count - i);
}

void ShadowTint_AVX2(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count) {
  const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(65536);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i a = _mm256_min_epi32(_mm256_max_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(cover + i)), zero), one);
    __m256i v = zero;
    for (int k = 0; k < 32; k += 8)  // 255 * 65536 fits a lane
      v = _mm256_or_si256(v, _mm256_slli_epi32(MulRound(a, _mm256_set1_epi32(int32_t(color >> k & 0xFF))), k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + i), v);
  }
  ShadowTint_SSE2(line + i, cover + i, color, count - i);
}

}  // namespace owl
