// Pixel arithmetic on 128-bit registers, four pixels a step, for the
// *_sse2.cpp files only: the same helpers as core/avx2_pixels.h at half the
// width. Every helper is static so that each of those files keeps its own
// copy, compiled with SSE2: no code built for SSE2 may be shared with a file
// built for the baseline processor.
#pragma once

#include "core/cpu_features.h"

#if defined(OWL_X86)
#include <emmintrin.h>

#include <cstdint>

namespace owl {

static inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
static inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// One pixel through the four-pixel arithmetic (the other lanes are not
// looked at): the tails of the rows.
static inline __m128i OnePixel4(uint32_t p) { return _mm_cvtsi32_si128(int(p)); }
static inline uint32_t FirstPixel4(__m128i v) { return uint32_t(_mm_cvtsi128_si32(v)); }

// (p * factor) >> 8 per channel, factor a 16-bit value (at most 256) in both
// halves of every 32-bit lane. B and R, moved into the high bytes of their
// 16-bit lanes, give the result as the high half of the product; G and A,
// moved down, give it as the high byte of the low half, where they sit.
static inline __m128i ScaleChannels4(__m128i p, __m128i factor) {
  const __m128i br = _mm_mulhi_epu16(_mm_slli_epi16(p, 8), factor);
  const __m128i ga = _mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(p, 8), factor), _mm_set1_epi16(int16_t(0xFF00)));
  return _mm_or_si128(br, ga);
}

// (d * (m + 1)) >> 8 per channel, each channel of d with the same channel
// of m: the factors of B and R, and of G and A, are the 16-bit halves of
// two factor lanes.
static inline __m128i MultiplyChannels4(__m128i d, __m128i m) {
  const __m128i low = _mm_set1_epi32(0x00FF00FF), one = _mm_set1_epi32(0x00010001);
  const __m128i f_br = _mm_add_epi16(_mm_and_si128(m, low), one);
  const __m128i f_ga = _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(m, 8), low), one);
  const __m128i br = _mm_mulhi_epu16(_mm_slli_epi16(d, 8), f_br);
  const __m128i ga = _mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(d, 8), f_ga), _mm_set1_epi16(int16_t(0xFF00)));
  return _mm_or_si128(br, ga);
}

// The factor alpha + 1 for every channel of every pixel.
static inline __m128i AlphaFactor4(uint32_t alpha) { return _mm_set1_epi16(int16_t((alpha & 0xFF) + 1)); }

// Source-over of four pixels: s + (((256 - s.A) * d) >> 8) per channel,
// added with unsigned saturation.
static inline __m128i Over4(__m128i s, __m128i d) {
  const __m128i alpha = _mm_srli_epi32(s, 24);
  const __m128i w = _mm_sub_epi16(_mm_set1_epi16(256), _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16)));
  return _mm_adds_epu8(s, ScaleChannels4(d, w));
}

}  // namespace owl
#endif  // OWL_X86
