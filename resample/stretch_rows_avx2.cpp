// Nearest and bilinear stretch rows, AVX2 kernels of the SSE nearest and the
// MMX bilinear forms: eight pixels a step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "resample/avx2_bilinear.h"
#include "resample/halve_plan.h"

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

namespace {

// One block of eight pixels of the row near 0.5x, from 16.16 position x:
// pixel k reads texels base + at[k] and + 1 with fraction f[k].
struct HalveBlock {
  uint32_t base;
  int32_t at[8];
  uint32_t f[8];

  HalveBlock(uint32_t x, uint32_t step) : base(x >> 16) {
    for (int k = 0; k < 8; ++k, x += step) at[k] = int32_t((x >> 16) - base), f[k] = (x >> 8) & 255;
  }
  // How the row reads the block: 0 as two loads of eight texels from base
  // and base + 8 (pixel k reads texels 2k and 2k + 1, fraction above 0);
  // otherwise, where each lane's two pixels lie within four texels from the
  // first one's, the start of the second load (the first from base), which
  // ends at the last texel the block reads; -1 pair by pair (any other step).
  int32_t Kind() const {
    bool regular = true;
    for (int k = 0; k < 8; ++k) regular = regular && at[k] == 2 * k && f[k] != 0;
    if (regular) return 0;
    const int32_t second = at[7] - 6;
    if (second < 1) return -1;
    for (int lane = 0; lane < 4; ++lane) {
      const int32_t first = at[2 * lane], from = lane < 2 ? 0 : second;
      if (first < from || first - from > 4 || at[2 * lane + 1] - first > 2) return -1;
    }
    return second;
  }
};

}  // namespace

size_t BilinearHalvePlanWords(int32_t width, uint32_t step) {
  const int32_t blocks = width / 8;
  size_t words = size_t(blocks) * 24;
  for (int32_t b = 0; b < blocks; ++b)
    if (HalveBlock(uint32_t(b) * 8 * step, step).Kind() > 0) words += 32;
  return words;
}

void BilinearHalvePlan_AVX2(uint32_t* plan, int32_t width, uint32_t step) {
  // 24 words per block: the weights of pixels 0..3 and 4..7, one word per
  // channel pair in lane order (pixels 0 1 | 2 3); the byte offset of the
  // first texel, with the top bit set unless the block is of kind 0; the
  // kind; the block's position; for a kind above 0, where its texel permutes
  // for the two loads and its pair shuffles (eight words each) start, after
  // the last block.
  const int32_t blocks = width / 8;
  uint32_t* special = plan + size_t(blocks) * 24;
  for (int32_t b = 0; b < blocks; ++b, plan += 24) {
    const HalveBlock block(uint32_t(b) * 8 * step, step);
    for (int k = 0; k < 8; ++k)
      for (int c = 0; c < 2; ++c) plan[2 * k + c] = PairWeights(block.f[k]) * 0x10001u;
    const int32_t kind = block.Kind();
    plan[16] = block.base * 4 | (kind ? 0x80000000u : 0);
    plan[17] = uint32_t(kind);
    plan[18] = uint32_t(b) * 8 * step;
    plan[19] = uint32_t(special - plan);
    for (int w = 20; w < 24; ++w) plan[w] = 0;
    if (kind <= 0) continue;
    for (int lane = 0; lane < 4; ++lane) {
      const int32_t first = block.at[2 * lane], from = lane < 2 ? 0 : kind;
      for (int t = 0; t < 4; ++t) special[(lane / 2) * 8 + (lane % 2) * 4 + t] = uint32_t(first - from + t);
      uint32_t shuffle[4];
      PairShuffle(block.at, block.f, 2 * lane, first, shuffle);
      for (int w = 0; w < 4; ++w) special[16 + (lane / 2) * 8 + (lane % 2) * 4 + w] = shuffle[w];
    }
    special += 32;
  }
}

void StretchBilinearHalveRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                  uint32_t step, uint32_t fy, const uint32_t* plan, std::ptrdiff_t ahead) {
  if (width <= 0) return;
  // Texels biased to signed bytes (t - 128) times the byte weights: one
  // multiply-add gives (256 - fx) * t0 + fx * t1 - 32768, whose high byte
  // is the horizontal sample - 128. Those high bytes times 256 - fy and fy
  // (byte multiply-adds against weights that are 0 for the low bytes) add
  // up to the vertical sum - 32768 the same way. At fy = 0 the upper row is
  // taken twice at 128 each.
  const __m256i bias = _mm256_set1_epi8(-128);
  const __m256i wtop = _mm256_set1_epi16(int16_t((fy ? 256 - fy : 128) << 8));
  const __m256i wbottom = _mm256_set1_epi16(int16_t((fy ? fy : 128) << 8));
  if (fy == 0) row1 = row0;
  const __m256i pairs = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6, 3, 7,
                                         8, 12, 9, 13, 10, 14, 11, 15);
  auto load = [&](const uint32_t* p) { return _mm256_xor_si256(Load8(p), bias); };
  auto at = [](const uint32_t* row, uint32_t offset) {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const char*>(row) + offset);
  };
  const int32_t blocks = width / 8;
  for (uint32_t *d = dst, *end = dst + 8 * blocks; d != end; d += 8, plan += 24) {
    const uint32_t head = plan[16], offset = head & 0x7FFFFFFF;
    // The next output row's texels at this block, a row of output ahead.
    _mm_prefetch(reinterpret_cast<const char*>(row0) + ahead + offset, _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row1) + ahead + offset, _MM_HINT_T0);
    const __m256i w0 = Load8(plan), w1 = Load8(plan + 8);
    __m256i s[4];  // the sums of pixels 0..3 and 4..7 of the upper, then the lower row
    if (!(head >> 31)) {
      for (int r = 0; r < 2; ++r) {
        const uint32_t* t = at(r ? row1 : row0, offset);
        s[2 * r] = _mm256_maddubs_epi16(w0, _mm256_shuffle_epi8(load(t), pairs));
        s[2 * r + 1] = _mm256_maddubs_epi16(w1, _mm256_shuffle_epi8(load(t + 8), pairs));
      }
    } else if (plan[17] == ~0u) {
      Store8(d, Bilinear8(row0, row1, plan[18], step, 8, VerticalWeight(fy)));
      continue;
    } else {
      // Each lane's four texels placed by a permute, the pairs by the
      // block's own shuffle.
      const uint32_t second = plan[17], *special = plan + plan[19];
      const __m256i p0 = Load8(special), p1 = Load8(special + 8), q0 = Load8(special + 16), q1 = Load8(special + 24);
      for (int r = 0; r < 2; ++r) {
        const uint32_t* t = at(r ? row1 : row0, offset);
        s[2 * r] = _mm256_maddubs_epi16(w0, _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(load(t), p0), q0));
        s[2 * r + 1] =
            _mm256_maddubs_epi16(w1, _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(load(t + second), p1), q1));
      }
    }
    auto vertical = [&](__m256i top, __m256i bottom) {
      const __m256i sum = _mm256_add_epi16(_mm256_maddubs_epi16(wtop, top), _mm256_maddubs_epi16(wbottom, bottom));
      return _mm256_srli_epi16(sum, 8);
    };
    const __m256i out = _mm256_xor_si256(_mm256_packus_epi16(vertical(s[0], s[2]), vertical(s[1], s[3])), bias);
    Store8(d, _mm256_permute4x64_epi64(out, _MM_SHUFFLE(3, 1, 2, 0)));  // pixels 0 1 4 5 | 2 3 6 7 before
  }
  const int32_t j = blocks * 8;
  if (j < width) {
    uint32_t out[8];
    Store8(out, Bilinear8(row0, row1, uint32_t(j) * step, step, width - j, VerticalWeight(fy)));
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
