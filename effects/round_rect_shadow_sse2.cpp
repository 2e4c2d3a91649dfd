// SSE2 forms of the shadow's row kernels, four words a step: the rounded
// 15-bit product (a * b + 16384) >> 15 from the two halves of the 16-bit
// multiplication (a * b stays below 2^30, so (a * b) >> 14 fits 16 bits and
// the average with 0 adds the rounding bit), and the source-over of
// core/sse2_pixels.h.
#include <emmintrin.h>

#include "core/sse2_pixels.h"
#include "effects/round_rect_shadow.h"

namespace owl {
namespace {

inline __m128i Mul15(__m128i a, __m128i b) {
  const __m128i high = _mm_slli_epi16(_mm_mulhi_epu16(a, b), 2), low = _mm_srli_epi16(_mm_mullo_epi16(a, b), 14);
  return _mm_avg_epu16(_mm_or_si128(high, low), _mm_setzero_si128());
}

template <int step>
inline __m128i Corrections4(const uint32_t* corr) {
  if (step > 0) return Load4(corr);
  return _mm_shuffle_epi32(Load4(corr - 3), _MM_SHUFFLE(0, 1, 2, 3));
}

template <int step>
int32_t Row(uint32_t* dst, const uint32_t* across, uint32_t down, const uint32_t* corr, uint32_t color,
            int32_t count) {
  const __m128i d = _mm_set1_epi16(int16_t(down & 0xFFFF)), zero = _mm_setzero_si128();
  const __m128i br = _mm_set1_epi32(int32_t((color & 0xFF) | (color >> 16 & 0xFF) << 16));
  const __m128i ga = _mm_set1_epi32(int32_t((color >> 8 & 0xFF) | (color >> 24) << 16));
  const __m128i aa = _mm_set1_epi16(int16_t(color >> 24)), full = _mm_set1_epi16(256);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i q = Mul15(Load4(across + i), d);
    if (step != 0) q = _mm_max_epi16(_mm_sub_epi16(q, Corrections4<step>(corr + i * step)), zero);
    const __m128i s = _mm_or_si128(Mul15(q, br), _mm_slli_epi16(Mul15(q, ga), 8));
    const __m128i f = _mm_sub_epi16(full, Mul15(q, aa));
    Store4(dst + i, _mm_add_epi8(s, ScaleChannels4(Load4(dst + i), f)));
  }
  return i;
}

}  // namespace

void ShadowCornerRow_SSE2(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                          int32_t n, int32_t count) {
  const __m128i half = _mm_set1_epi32(16384), top = _mm_set1_epi32(32767);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i sum = _mm_setzero_si128();
    const uint32_t* line = lines + i;
    for (int32_t k = 0; k < n; ++k, line += stride)
      sum = _mm_add_epi32(sum, _mm_madd_epi16(Load4(line), _mm_set1_epi32(int32_t(weights[k]))));
    __m128i c = _mm_srli_epi32(_mm_add_epi32(sum, half), 15);  // at most 2^17
    const __m128i over = _mm_cmpgt_epi32(c, top);
    c = _mm_or_si128(_mm_andnot_si128(over, c), _mm_and_si128(over, top));
    Store4(out + i, _mm_or_si128(c, _mm_slli_epi32(c, 16)));
  }
  // The last words in the same integer arithmetic.
  ShadowCornerRow_C(out + i, lines + i, stride, weights, n, count - i);
}

void ShadowRow_SSE2(uint32_t* dst, const uint32_t* across, uint32_t down, const uint32_t* corr, int32_t step,
                    uint32_t color, int32_t count) {
  const int32_t done = !corr ? Row<0>(dst, across, down, corr, color, count)
                       : step > 0 ? Row<1>(dst, across, down, corr, color, count)
                                  : Row<-1>(dst, across, down, corr, color, count);
  // The last pixels: the plain form's arithmetic is the same (no sum
  // exceeds 255, so nothing saturates or wraps).
  ShadowRow_C(dst + done, across + done, down, corr ? corr + done * step : nullptr, step, color, count - done);
}

}  // namespace owl
