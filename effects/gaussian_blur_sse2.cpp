// SSE2 form of the Gaussian blur's box pass: 16 channels a step, products
// in 32 bits from the low and high halves of 16-bit multiplies.
#include <emmintrin.h>

#include "effects/gaussian_blur.h"

namespace owl {
namespace {

// (W * s + A * e + half) >> k for eight 16-bit lanes, as 16-bit lanes.
inline __m128i Weigh(__m128i s, __m128i e, __m128i w, __m128i a, __m128i half, __m128i shift) {
  const __m128i sl = _mm_mullo_epi16(s, w), sh = _mm_mulhi_epu16(s, w);
  const __m128i el = _mm_mullo_epi16(e, a), eh = _mm_mulhi_epu16(e, a);
  __m128i lo = _mm_add_epi32(_mm_unpacklo_epi16(sl, sh), _mm_unpacklo_epi16(el, eh));
  __m128i hi = _mm_add_epi32(_mm_unpackhi_epi16(sl, sh), _mm_unpackhi_epi16(el, eh));
  lo = _mm_srl_epi32(_mm_add_epi32(lo, half), shift);
  hi = _mm_srl_epi32(_mm_add_epi32(hi, half), shift);
  return _mm_packs_epi32(lo, hi);  // every value is at most 255
}

}  // namespace

void BoxPassRow_SSE2(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                     int32_t count, const BoxPass& pass) {
  const __m128i w = _mm_set1_epi16(int16_t(pass.inner)), a = _mm_set1_epi16(int16_t(pass.end));
  const __m128i half = _mm_set1_epi32(int32_t(1u << (pass.shift - 1)));
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
    const __m128i v = _mm_packus_epi16(Weigh(s0, e0, w, a, half, shift), Weigh(s1, e1, w, a, half, shift));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
    _mm_storeu_si128(s, _mm_sub_epi16(_mm_add_epi16(s0, h0), _mm_unpacklo_epi8(u, zero)));
    _mm_storeu_si128(s + 1, _mm_sub_epi16(_mm_add_epi16(s1, h1), _mm_unpackhi_epi8(u, zero)));
  }
  BoxPassRow_C(out + i, sums + i, lo + i, sub + i, hi + i, count - i, pass);
}

}  // namespace owl
