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

// Coverage q less the corrections of the step at pixel i, each taken off
// with the result kept at 0 or more. Kinds: 0 none, 1 one forward, 2 one
// backward, 3 any.
template <int kind>
inline __m128i Less(__m128i q, const ShadowCorrections& c, int32_t i) {
  const __m128i zero = _mm_setzero_si128();
  auto forward = [&](const uint32_t* p) { return _mm_max_epi16(_mm_sub_epi16(q, Load4(p)), zero); };
  auto backward = [&](const uint32_t* p) { return _mm_max_epi16(_mm_sub_epi16(q, _mm_shuffle_epi32(Load4(p - 3), _MM_SHUFFLE(0, 1, 2, 3))), zero); };
  if (kind == 1) q = forward(c.forward[0] + i);
  if (kind == 2) q = backward(c.backward[0] - i);
  if (kind == 3)
    for (int k = 0; k < 2; ++k) {
      if (c.forward[k]) q = forward(c.forward[k] + i);
      if (c.backward[k]) q = backward(c.backward[k] - i);
    }
  return q;
}

template <int kind>
int32_t Row(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& given, uint32_t color,
            int32_t count) {
  const ShadowCorrections corr = given;  // a copy the stores to dst cannot change
  const __m128i d = _mm_set1_epi16(int16_t(down & 0xFFFF));
  const __m128i br = _mm_set1_epi32(int32_t((color & 0xFF) | (color >> 16 & 0xFF) << 16));
  const __m128i ga = _mm_set1_epi32(int32_t((color >> 8 & 0xFF) | (color >> 24) << 16));
  const __m128i aa = _mm_set1_epi16(int16_t(color >> 24)), full = _mm_set1_epi16(256);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i q = Mul15(Load4(across + i), d);
    q = Less<kind>(q, corr, i);
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

void ShadowRow_SSE2(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                    uint32_t color, int32_t count) {
  const int present = (corr.forward[0] != nullptr) + (corr.forward[1] != nullptr) + (corr.backward[0] != nullptr) +
                      (corr.backward[1] != nullptr);
  const int32_t done = present == 0                 ? Row<0>(dst, across, down, corr, color, count)
                       : present > 1                ? Row<3>(dst, across, down, corr, color, count)
                       : corr.forward[0] != nullptr ? Row<1>(dst, across, down, corr, color, count)
                       : corr.backward[0] != nullptr ? Row<2>(dst, across, down, corr, color, count)
                                                    : Row<3>(dst, across, down, corr, color, count);
  // The last pixels: the plain form's arithmetic is the same (no sum
  // exceeds 255 for a premultiplied colour, and both keep the low 8 bits).
  ShadowRow_C(dst + done, across + done, down, Advance(corr, done), color, count - done);
}

}  // namespace owl
