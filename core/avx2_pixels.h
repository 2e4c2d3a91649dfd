// Pixel arithmetic on 256-bit registers, eight pixels a step, for the
// *_avx2.cpp files only. Every helper is static so that each of those files
// keeps its own copy, compiled with AVX2: no code built for AVX2 may be
// shared with a file built for the baseline processor.
#pragma once

#include "core/cpu_features.h"

#if defined(OWL_X86)
#include <immintrin.h>

#include <cstdint>

namespace owl {

static inline __m256i Load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
static inline void Store8(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// The walk of a same-size row kernel: one(j) for single pixels until dst + j
// lies on a 32-byte boundary, so that no eight-pixel store splits a cache
// line (none for rows under eight pixels or a pointer off a pixel boundary),
// then eight(j) sixteen pixels a step, in order, and one more eight where it
// fits. Returns the first pixel left for the tail.
template <typename One, typename Eight>
inline int32_t WalkAligned(const uint32_t* dst, int32_t width, One one, Eight eight) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(dst);
  const int32_t head = width < 8 || (a & 3) ? 0 : int32_t((32 - (a & 31)) & 31) / 4;
  int32_t j = 0;
  for (; j < head; ++j) one(j);
  for (; j + 16 <= width; j += 16) eight(j), eight(j + 8);
  if (j + 8 <= width) eight(j), j += 8;
  return j;
}

// One pixel through the eight-pixel arithmetic (the other lanes are not
// looked at): the tails of the rows.
static inline __m256i OnePixel(uint32_t p) { return _mm256_castsi128_si256(_mm_cvtsi32_si128(int(p))); }
static inline uint32_t FirstPixel(__m256i v) { return uint32_t(_mm_cvtsi128_si32(_mm256_castsi256_si128(v))); }

// (p * factor) >> 8 per channel, factor a 16-bit value (at most 256) in both
// halves of every 32-bit lane. B and R, moved into the high bytes of their
// 16-bit lanes, give the result as the high half of the product; G and A,
// moved down, give it as the high byte of the low half, where they sit.
static inline __m256i ScaleChannels8(__m256i p, __m256i factor) {
  const __m256i br = _mm256_mulhi_epu16(_mm256_slli_epi16(p, 8), factor);
  const __m256i ga = _mm256_and_si256(_mm256_mullo_epi16(_mm256_srli_epi16(p, 8), factor),
                                      _mm256_set1_epi16(int16_t(0xFF00)));
  return _mm256_or_si256(br, ga);
}

// (d * (m + 1)) >> 8 per channel, each channel of d with the same channel
// of m: d unpacked into the high byte of a 16-bit lane is d * 256, so the
// high half of its product with m + 1 is the result.
static inline __m256i MultiplyChannels8(__m256i d, __m256i m) {
  const __m256i z = _mm256_setzero_si256(), one = _mm256_set1_epi16(1);
  const __m256i lo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, d), _mm256_add_epi16(_mm256_unpacklo_epi8(m, z), one));
  const __m256i hi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, d), _mm256_add_epi16(_mm256_unpackhi_epi8(m, z), one));
  return _mm256_packus_epi16(lo, hi);
}

// The factor alpha + 1 for every channel of every pixel.
static inline __m256i AlphaFactor8(uint32_t alpha) { return _mm256_set1_epi16(int16_t((alpha & 0xFF) + 1)); }

// Source-over of eight pixels: s + (((256 - s.A) * d) >> 8) per channel,
// added with unsigned saturation.
static inline __m256i Over8(__m256i s, __m256i d) {
  const __m256i alpha = _mm256_srli_epi32(s, 24);
  const __m256i w = _mm256_sub_epi16(_mm256_set1_epi16(256), _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16)));
  return _mm256_adds_epu8(s, ScaleChannels8(d, w));
}

// Asks for the source 1 KiB ahead of p. The stretch rows read each source
// row in order, but a reduction skips rows, so every row is a new stream
// that the processor's own prefetcher finds only late. Never faults.
static inline void PrefetchAhead(const uint32_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + 1024), _MM_HINT_T0);
}

// 16.16 positions x, x + step, ..., x + 7 * step (modulo 2^32).
static inline __m256i Positions8(uint32_t x, uint32_t step) {
  const __m256i k = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  return _mm256_add_epi32(_mm256_set1_epi32(int(x)), _mm256_mullo_epi32(_mm256_set1_epi32(int(step)), k));
}

// src[x >> 16] for the positions x, x + step, ..., x + 7 * step (modulo
// 2^32), loaded one by one: the gather instruction is slower on some
// processors with AVX2.
static inline __m256i Nearest8(const uint32_t* src, uint32_t x, uint32_t step) {
  const uint32_t x1 = x + step, x2 = x1 + step, x3 = x2 + step, x4 = x3 + step, x5 = x4 + step, x6 = x5 + step,
                 x7 = x6 + step;
  return _mm256_setr_epi32(int(src[x >> 16]), int(src[x1 >> 16]), int(src[x2 >> 16]), int(src[x3 >> 16]),
                           int(src[x4 >> 16]), int(src[x5 >> 16]), int(src[x6 >> 16]), int(src[x7 >> 16]));
}

}  // namespace owl
#endif  // OWL_X86
