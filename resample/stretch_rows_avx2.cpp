// Nearest and bilinear stretch rows, AVX2 kernels of the SSE nearest and the
// MMX bilinear forms: eight pixels a step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "resample/avx2_bilinear.h"

namespace owl {

namespace {

// Step 0x8000 (exactly 2x): pixel j is texel j / 2.
int32_t Double(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 16 <= width; j += 16) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + j / 2));
    const __m256i lo = _mm256_unpacklo_epi32(s, s), hi = _mm256_unpackhi_epi32(s, s);
    Store8(dst + j, _mm256_permute2x128_si256(lo, hi, 0x20));
    Store8(dst + j + 8, _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  return j;
}

// Step 0x20000 (exactly 0.5x): pixel j is texel 2j. Sixteen texels are
// loaded for eight pixels; the last of them is read only when a later pixel
// reads it.
int32_t Halve(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 8 < width; j += 8) {
    const __m256 a = _mm256_loadu_ps(reinterpret_cast<const float*>(src + 2 * j));
    const __m256 b = _mm256_loadu_ps(reinterpret_cast<const float*>(src + 2 * j + 8));
    const __m256i even = _mm256_castps_si256(_mm256_shuffle_ps(a, b, 0x88));  // a0 a2 b0 b2 | a4 a6 b4 b6
    Store8(dst + j, _mm256_permute4x64_epi64(even, 0xD8));
  }
  return j;
}

// Steps below 0x10000: eight pixels read at most eight neighbouring texels,
// so one load and a permute place them, as long as the load stays within
// the texels the row reads (up to last).
int32_t Magnify(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t last) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i pos = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(int(step)));  // positions from x = 0
  const __m256i advance = _mm256_set1_epi32(int(8 * step));
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step, pos = _mm256_add_epi32(pos, advance)) {
    const uint32_t base = x >> 16;
    if (base + 7 > last) break;
    const __m256i index = _mm256_sub_epi32(_mm256_srli_epi32(pos, 16), _mm256_set1_epi32(int(base)));
    Store8(dst + j, _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + base)), index));
  }
  return j;
}

}  // namespace

void StretchNearestRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  if (width <= 0) return;
  int32_t j = 0;
  if (step == 0x8000) {
    j = Double(dst, src, width);
  } else if (step == 0x20000) {
    j = Halve(dst, src, width);
  } else if (step < 0x10000) {
    j = Magnify(dst, src, width, step, (uint32_t(width - 1) * step) >> 16);
  }
  uint32_t x = uint32_t(j) * step;
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    PrefetchAhead(src + (x >> 16));
    Store8(dst + j, Nearest8(src, x, step));
  }
  for (; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

void StretchBilinearRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                             uint32_t step, uint32_t fy) {
  const __m256i wy = VerticalWeight(fy);
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    PrefetchAhead(row0 + (x >> 16));
    PrefetchAhead(row1 + (x >> 16));
    Store8(dst + j, Bilinear8(row0, row1, x, step, 8, wy));
  }
  // Tail: the last width mod 8 pixels through the same arithmetic.
  if (j < width) {
    uint32_t out[8];
    Store8(out, Bilinear8(row0, row1, x, step, width - j, wy));
    for (int32_t k = 0; j + k < width; ++k) dst[j + k] = out[k];
  }
}

void BilinearHalveWeights_AVX2(uint32_t* weights, int32_t width, uint32_t step) {
  // The multiply-add weights (256 - fx) | fx << 16 of pixels 0 | 2, 1 | 3,
  // 4 | 6 and 5 | 7 of each eight, four words each: the lanes of the pairs
  // as two 256-bit loads place them.
  static const int kOrder[8] = {0, 2, 1, 3, 4, 6, 5, 7};
  for (int32_t j = 0; j + 8 <= width; j += 8)
    for (int k = 0; k < 8; ++k) {
      const uint32_t f = ((uint32_t(j + kOrder[k]) * step) >> 8) & 255;
      for (int c = 0; c < 4; ++c) *weights++ = (256 - f) | f << 16;
    }
}

void StretchBilinearHalveRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                  uint32_t step, uint32_t fy, const uint32_t* weights) {
  if (width <= 0) return;
  // The shifts are done as multiplies, whose ports the shuffles leave idle:
  // p >> 8 as the high half of p * 256, and (bottom - top) * fy >> 8 as the
  // high half of (bottom - top) * 2 times fy * 128.
  const __m256i wy = VerticalWeight(fy), w2 = _mm256_set1_epi16(int16_t(fy << 7));
  const __m256i down8 = _mm256_set1_epi16(256);
  const __m256i low = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4, -1, 1, -1, 5,
                                       -1, 2, -1, 6, -1, 3, -1, 7, -1);
  const __m256i high = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, 8, -1, 12, -1, 9,
                                        -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
  // x + k * step = x + 2k * 65536 - k * shortfall: while the fraction of x
  // is at least 7 * shortfall, pixel k reads texels base + 2k and + 2k + 1.
  const uint32_t shortfall = 0x20000 - step, regular = 7 * shortfall;
  const uint32_t last = ((uint32_t(width - 1) * step) >> 16) + 1;
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step, weights += 32) {
    const uint32_t base = x >> 16;
    PrefetchAhead(row0 + base);
    PrefetchAhead(row1 + base);
    if ((x & 0xFFFF) < regular || base + 15 > last) {
      Store8(dst + j, Bilinear8(row0, row1, x, step, 8, wy));
      continue;
    }
    __m256i halves[2];
    for (int h = 0; h < 2; ++h) {
      const __m256i wl = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights) + 2 * h);
      const __m256i wh = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights) + 2 * h + 1);
      // The sums of pixels 0 | 2 and 1 | 3 (of this half) as 16-bit
      // lanes [0 1 | 2 3], then >> 8.
      auto filtered = [&](const uint32_t* row) {
        const __m256i t = Load8(row + base + 8 * h);
        return _mm256_mulhi_epu16(_mm256_packus_epi32(HorizontalSums(t, low, wl), HorizontalSums(t, high, wh)), down8);
      };
      const __m256i top = filtered(row0), bottom = filtered(row1);
      // top + ((bottom - top) * fy >> 8), as the two-pass vertical row.
      const __m256i diff = _mm256_sub_epi16(bottom, top);
      halves[h] = _mm256_add_epi16(top, _mm256_mulhi_epi16(_mm256_add_epi16(diff, diff), w2));
    }
    Store8(dst + j, _mm256_permute4x64_epi64(_mm256_packus_epi16(halves[0], halves[1]), _MM_SHUFFLE(3, 1, 2, 0)));
  }
  if (j < width) {
    uint32_t out[8];
    Store8(out, Bilinear8(row0, row1, x, step, width - j, wy));
    for (int32_t k = 0; j + k < width; ++k) dst[j + k] = out[k];
  }
}

namespace {

// (a * (256 - f) + b * f) >> 8 on 16-bit channels as a * 256 + (b - a) * f,
// in wrapping 16-bit arithmetic: the true value lies in 0..65280, so the
// wrapped sum is exact.
inline __m256i Lerp16(__m256i a, __m256i b, __m256i f) {
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_slli_epi16(a, 8), _mm256_mullo_epi16(_mm256_sub_epi16(b, a), f)),
                           8);
}

// Eight horizontally filtered pixels from the texel pairs (t0[k], t1[k])
// and the 16.16 positions pos (fraction (pos >> 8) & 255).
inline __m256i Horizontal8(__m256i t0, __m256i t1, __m256i pos) {
  const __m256i f = _mm256_and_si256(_mm256_srli_epi32(pos, 8), _mm256_set1_epi32(255));
  const __m256i f2 = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));  // f in both 16-bit halves
  const __m256i z = _mm256_setzero_si256();
  const __m256i lo = Lerp16(_mm256_unpacklo_epi8(t0, z), _mm256_unpacklo_epi8(t1, z), _mm256_unpacklo_epi32(f2, f2));
  const __m256i hi = Lerp16(_mm256_unpackhi_epi8(t0, z), _mm256_unpackhi_epi8(t1, z), _mm256_unpackhi_epi32(f2, f2));
  return _mm256_packus_epi16(lo, hi);
}

// Lanes index (0..15) of the sixteen texels in a and b.
inline __m256i Pick16(__m256i a, __m256i b, __m256i index) {
  return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(a, index), _mm256_permutevar8x32_epi32(b, index),
                            _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7)));
}

inline uint32_t HorizontalPixel(const uint32_t* row, uint32_t x) {
  const uint32_t t0 = row[x >> 16], t1 = row[(x >> 16) + 1], f = (x >> 8) & 255;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) out |= (((t0 >> s & 0xFF) * (256 - f) + (t1 >> s & 0xFF) * f) >> 8) << s;
  return out;
}

}  // namespace

void BilinearHorizontalRow_AVX2(uint32_t* out, const uint32_t* row, int32_t width, uint32_t step) {
  if (width <= 0) return;
  // The last texel the row reads; sixteen-texel loads stay at or below it.
  const uint32_t last = ((uint32_t(width - 1) * step) >> 16) + 1;
  const __m256i one = _mm256_set1_epi32(1);
  uint32_t x = 0;
  int32_t j = 0;
  if (step < 0x10000) {  // eight pairs within nine texels: one load for each texel of a pair
    for (; j + 8 <= width; j += 8, x += 8 * step) {
      const uint32_t base = x >> 16;
      if (base + 8 > last) break;
      const __m256i pos = Positions8(x, step);
      const __m256i index = _mm256_sub_epi32(_mm256_srli_epi32(pos, 16), _mm256_set1_epi32(int(base)));
      Store8(out + j, Horizontal8(_mm256_permutevar8x32_epi32(Load8(row + base), index),
                                  _mm256_permutevar8x32_epi32(Load8(row + base + 1), index), pos));
    }
  } else if (uint64_t(step) * 7 < (uint64_t(14) << 16)) {  // eight pairs within sixteen texels
    for (; j + 8 <= width; j += 8, x += 8 * step) {
      const uint32_t base = x >> 16;
      if (base + 15 > last) break;
      const __m256i pos = Positions8(x, step);
      const __m256i index = _mm256_sub_epi32(_mm256_srli_epi32(pos, 16), _mm256_set1_epi32(int(base)));
      const __m256i a = Load8(row + base), b = Load8(row + base + 8);
      Store8(out + j, Horizontal8(Pick16(a, b, index), Pick16(a, b, _mm256_add_epi32(index, one)), pos));
    }
  }
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    const __m256i pos = Positions8(x, step);
    Store8(out + j, Horizontal8(Nearest8(row, x, step), Nearest8(row + 1, x, step), pos));
  }
  for (; j < width; ++j, x += step) out[j] = HorizontalPixel(row, x);
}

void BilinearVerticalRow_AVX2(uint32_t* dst, const uint32_t* top, const uint32_t* bottom, int32_t width,
                              uint32_t fy) {
  // top + ((bottom - top) * fy >> 8): the difference times 128 and fy times
  // 2 make the high half of their product that floor exactly.
  const __m256i w = _mm256_set1_epi16(int16_t(fy << 1)), z = _mm256_setzero_si256();
  auto lerp = [&](__m256i a, __m256i b) {
    return _mm256_add_epi16(a, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(b, a), 7), w));
  };
  int32_t j = 0;
  for (; j + 8 <= width; j += 8) {
    const __m256i a = Load8(top + j), b = Load8(bottom + j);
    Store8(dst + j, _mm256_packus_epi16(lerp(_mm256_unpacklo_epi8(a, z), _mm256_unpacklo_epi8(b, z)),
                                        lerp(_mm256_unpackhi_epi8(a, z), _mm256_unpackhi_epi8(b, z))));
  }
  for (; j < width; ++j) {
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) out |= (((top[j] >> s & 0xFF) * (256 - fy) + (bottom[j] >> s & 0xFF) * fy) >> 8) << s;
    dst[j] = out;
  }
}

}  // namespace owl
#endif  // OWL_X86
