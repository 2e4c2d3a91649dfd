// Separable bilinear interpolation of eight pixels on 256-bit registers, for
// the *_avx2.cpp files only (every helper static, as in core/avx2_pixels.h).
//
// The arithmetic is that of the MMX rows: top = (t0 * (256 - fx) + t1 * fx)
// >> 8 from the upper row, bottom likewise from the lower row, then
// (top * (256 - fy) + bottom * fy) >> 8; each is the exact floor of the MMX
// form's t0 * 256 + (t1 - t0) * fx, whose true value never leaves 0..65280.
// Each texel pair is spread to 16-bit lanes interleaved by channel
// (t0.B, t1.B, t0.G, t1.G, ...), so one multiply-add gives both products
// and their sum.
#pragma once

#include "core/avx2_pixels.h"

#if defined(OWL_X86)

namespace owl {

// The pairs (row[ix], row[ix + 1]) of four columns: [c0 c1 | c2 c3].
static inline __m256i LoadTexelPairs4(const uint32_t* row, const uint32_t* ix) {
  auto pair = [row](uint32_t a, uint32_t b) {
    const __m128d lo = _mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + a)));
    return _mm_castpd_si128(_mm_loadh_pd(lo, reinterpret_cast<const double*>(row + b)));
  };
  return _mm256_inserti128_si256(_mm256_castsi128_si256(pair(ix[0], ix[1])), pair(ix[2], ix[3]), 1);
}

// Both rows of one column of each 128-bit half: per channel the weighted
// sum (not yet shifted), as 32-bit lanes.
static inline __m256i HorizontalSums(__m256i pairs, __m256i spread, __m256i wx) {
  return _mm256_madd_epi16(_mm256_shuffle_epi8(pairs, spread), wx);
}

static inline __m256i VerticalSample(__m256i top, __m256i bottom, __m256i wy) {
  // top >> 8 in the low, bottom >> 8 in the high half of each 32-bit lane.
  const __m256i v = _mm256_blend_epi16(_mm256_srli_epi32(top, 8), _mm256_slli_epi32(bottom, 8), 0xAA);
  return _mm256_srli_epi32(_mm256_madd_epi16(v, wy), 8);
}

// Eight samples at 16.16 columns x + k * step (k = 0..7) between row0 and
// row1; wy holds (256 - fy) | fy << 16 in every lane. Only the first count
// columns are read; later lanes repeat the last column read.
static inline __m256i Bilinear8(const uint32_t* row0, const uint32_t* row1, uint32_t x, uint32_t step, int count,
                                __m256i wy) {
  uint32_t ix[8];
  uint32_t p = x;
  for (int k = 0; k < 8; ++k) {
    ix[k] = p >> 16;
    if (k + 1 < count) p += step;
  }
  const __m256i f = _mm256_and_si256(_mm256_srli_epi32(Positions8(x, step), 8), _mm256_set1_epi32(255));
  const __m256i wx = _mm256_or_si256(_mm256_sub_epi32(_mm256_set1_epi32(256), f), _mm256_slli_epi32(f, 16));
  // Spreads the pair in the low (first) or high (second) 64 bits of a lane.
  const __m256i low = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4, -1, 1, -1, 5,
                                       -1, 2, -1, 6, -1, 3, -1, 7, -1);
  const __m256i high = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, 8, -1, 12, -1, 9,
                                        -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
  __m256i halves[2];
  for (int h = 0; h < 2; ++h) {
    const __m256i r0 = LoadTexelPairs4(row0, ix + 4 * h), r1 = LoadTexelPairs4(row1, ix + 4 * h);
    const int c = 4 * h;
    const __m256i w_low = _mm256_permutevar8x32_epi32(wx, _mm256_setr_epi32(c, c, c, c, c + 2, c + 2, c + 2, c + 2));
    const __m256i w_high =
        _mm256_permutevar8x32_epi32(wx, _mm256_setr_epi32(c + 1, c + 1, c + 1, c + 1, c + 3, c + 3, c + 3, c + 3));
    const __m256i s_low = VerticalSample(HorizontalSums(r0, low, w_low), HorizontalSums(r1, low, w_low), wy);
    const __m256i s_high = VerticalSample(HorizontalSums(r0, high, w_high), HorizontalSums(r1, high, w_high), wy);
    halves[h] = _mm256_packus_epi32(s_low, s_high);  // [c0 c1 | c2 c3] as 16-bit lanes
  }
  // Bytes come out as [c0 c1 c4 c5 | c2 c3 c6 c7].
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(halves[0], halves[1]), _MM_SHUFFLE(3, 1, 2, 0));
}

static inline __m256i VerticalWeight(uint32_t fy) { return _mm256_set1_epi32(int((256 - fy) | (fy << 16))); }

}  // namespace owl
#endif  // OWL_X86
