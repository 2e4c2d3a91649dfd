// AVX2 kernel of the Gaussian blur's SSE2 box pass: 32 channels a step,
// exactly the SSE2 form's values.
#include <immintrin.h>

#include "effects/gaussian_blur.h"

namespace owl {
namespace {

// (W * s + A * e + half) >> k for sixteen 16-bit lanes, in lane order (see
// the SSE2 form for the bias).
inline __m256i Weigh(__m256i s, __m256i e, __m256i weights, __m256i bias, __m128i shift) {
  const __m256i x = _mm256_xor_si256(s, _mm256_set1_epi16(int16_t(0x8000)));
  const __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(x, e), weights), bias);
  const __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(x, e), weights), bias);
  return _mm256_packs_epi32(_mm256_srl_epi32(lo, shift), _mm256_srl_epi32(hi, shift));  // lane by lane
}

inline __m256i Widen(const uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

}  // namespace

void BoxPassRow_AVX2(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                     int32_t count, const BoxPass& pass) {
  const __m256i weights = _mm256_set1_epi32(int32_t(uint32_t(pass.end) << 16 | pass.inner));
  const __m256i bias = _mm256_set1_epi32(int32_t((1u << (pass.shift - 1)) + 32768u * pass.inner));
  const __m128i shift = _mm_cvtsi32_si128(int32_t(pass.shift));
  int32_t i = 0;
  for (; i + 32 <= count; i += 32) {
    __m256i* s = reinterpret_cast<__m256i*>(sums + i);
    const __m256i s0 = _mm256_loadu_si256(s), s1 = _mm256_loadu_si256(s + 1);
    const __m256i h0 = Widen(hi + i), h1 = Widen(hi + i + 16);
    const __m256i e0 = _mm256_add_epi16(Widen(lo + i), h0), e1 = _mm256_add_epi16(Widen(lo + i + 16), h1);
    const __m256i v = _mm256_packus_epi16(Weigh(s0, e0, weights, bias, shift), Weigh(s1, e1, weights, bias, shift));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permute4x64_epi64(v, 0xD8));
    _mm256_storeu_si256(s, _mm256_sub_epi16(_mm256_add_epi16(s0, h0), Widen(sub + i)));
    _mm256_storeu_si256(s + 1, _mm256_sub_epi16(_mm256_add_epi16(s1, h1), Widen(sub + i + 16)));
  }
  BoxPassRow_SSE2(out + i, sums + i, lo + i, sub + i, hi + i, count - i, pass);
}

}  // namespace owl
