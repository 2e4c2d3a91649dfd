// SSE2 form of the Gaussian blur's box pass: 16 channels a step, each
// weighted sum one multiply-add of 16-bit pairs.
#include <emmintrin.h>

#include "effects/gaussian_blur.h"

namespace owl {
namespace {

// (W * s + A * e + half) >> k for eight 16-bit lanes, as 16-bit lanes: the
// sums, up to 65025, enter the signed multiply-add as s - 32768, and bias
// (half + 32768 W) puts the difference back.
inline __m128i Weigh(__m128i s, __m128i e, __m128i weights, __m128i bias, __m128i shift) {
  const __m128i x = _mm_xor_si128(s, _mm_set1_epi16(int16_t(0x8000)));
  const __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(x, e), weights), bias);
  const __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(x, e), weights), bias);
  return _mm_packs_epi32(_mm_srl_epi32(lo, shift), _mm_srl_epi32(hi, shift));  // every value is at most 255
}

}  // namespace

void BoxPassRow_SSE2(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                     int32_t count, const BoxPass& pass) {
  const __m128i weights = _mm_set1_epi32(int32_t(uint32_t(pass.end) << 16 | pass.inner));
  const __m128i bias = _mm_set1_epi32(int32_t((1u << (pass.shift - 1)) + 32768u * pass.inner));
  const __m128i shift = _mm_cvtsi32_si128(int32_t(pass.shift));
  const __m128i zero = _mm_setzero_si128();
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo + i));
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sub + i));
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi + i));
    __m128i* s = reinterpret_cast<__m128i*>(sums + i);
    const __m128i s0 = _mm_loadu_si128(s), s1 = _mm_loadu_si128(s + 1);
    const __m128i h0 = _mm_unpacklo_epi8(h, zero), h1 = _mm_unpackhi_epi8(h, zero);
    const __m128i e0 = _mm_add_epi16(_mm_unpacklo_epi8(l, zero), h0);
    const __m128i e1 = _mm_add_epi16(_mm_unpackhi_epi8(l, zero), h1);
    const __m128i v = _mm_packus_epi16(Weigh(s0, e0, weights, bias, shift), Weigh(s1, e1, weights, bias, shift));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
    _mm_storeu_si128(s, _mm_sub_epi16(_mm_add_epi16(s0, h0), _mm_unpacklo_epi8(u, zero)));
    _mm_storeu_si128(s + 1, _mm_sub_epi16(_mm_add_epi16(s1, h1), _mm_unpackhi_epi8(u, zero)));
  }
  BoxPassRow_C(out + i, sums + i, lo + i, sub + i, hi + i, count - i, pass);
}

}  // namespace owl
