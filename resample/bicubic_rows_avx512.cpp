// AVX-512 forms of two parts of the bicubic block kernel (copy): the exact
// halving pass, and the output rows from kept sums. The AVX2 kernel's
// arithmetic on 512-bit registers, one block of eight pixels a register,
// two blocks (sixteen pixels) a step. Everything else, the run's weights
// and the filtering of texel rows included, is the AVX2 kernel's.
#include "resample/samplers.h"

#if defined(OWL_X86)
#include <cstddef>

#include "core/avx512_pixels.h"
#include "resample/bicubic_blocks.h"

namespace owl {
namespace {

// The sums of an exact halving block from its texels t[0 .. 17] (t0 holds
// t[0 .. 15], t2 t[2 .. 17]), in pixel order, the block's 32 kept sums.
// Each 128-bit lane of t0 holds taps 0 and 1 of two pixels, the same lane
// of t2 their taps 2 and 3; a byte shuffle pairs each channel of the two
// taps and one multiply-add by the bytes m sums their products (m01: taps
// 0 and 1 of pixels 0 to 3, then 4 to 7; m23 taps 2 and 3).
__attribute__((always_inline)) inline __m512i HalvingSums(__m512i t0, __m512i t2, __m512i m01, __m512i m23) {
  // Bytes 0, 4, 1, 5, 2, 6, 3, 7, then the same plus 8, of each lane.
  const int64_t lo = 0x0703060205010400, hi = 0x0F0B0E0A0D090C08;
  const __m512i order = _mm512_setr_epi64(lo, hi, lo, hi, lo, hi, lo, hi);
  return _mm512_add_epi16(_mm512_maddubs_epi16(_mm512_shuffle_epi8(t0, order), m01),
                          _mm512_maddubs_epi16(_mm512_shuffle_epi8(t2, order), m23));
}

// A block's bytes m as kept (four 256-bit registers from w): taps 0 and 1,
// then 2 and 3. (Here and below the masked forms with every lane set stand
// for the plain ones, whose definitions GCC 12 warns about.)
inline void BlockBytes(const int32_t* w, __m512i* m01, __m512i* m23) {
  const __m512i first = _mm512_loadu_si512(w), second = _mm512_loadu_si512(w + 16);
  *m01 = _mm512_maskz_shuffle_i64x2(0xFF, first, second, _MM_SHUFFLE(1, 0, 1, 0));
  *m23 = _mm512_maskz_shuffle_i64x2(0xFF, first, second, _MM_SHUFFLE(3, 2, 3, 2));
}

// Sixteen texels from p, as two loads of eight: most loads of a block
// start off a cache line, and where the texels come from memory further
// out, one 64-byte load across two lines took longer than two 32-byte
// loads, one of them across.
inline __m512i Load16(const uint32_t* p) {
  const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
  return _mm512_maskz_inserti64x4(0xFF, _mm512_castsi256_si512(lo), hi, 1);
}

// The 24 texels at one end of a row of kEnd texels or more, from column
// first (0 or width - kEnd): columns first to first + 15 (lo), first + 8
// to first + 23 (hi). Blocks near the row's ends read only these.
struct EndTexels {
  __m512i lo, hi;
};
inline EndTexels LoadEnd(const uint32_t* texels, int32_t first) {
  static_assert(kEnd == 24, "two registers an end");
  return {_mm512_loadu_si512(texels + first), _mm512_loadu_si512(texels + first + 8)};
}

// Texels c .. c + 15, clamped into the row, from the end whose first
// column is first (every one of them within the end's 24 when clamped).
inline __m512i TexelsAt(const EndTexels& end, std::ptrdiff_t c, int32_t first) {
  const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i at = _mm512_add_epi32(_mm512_set1_epi32(int32_t(c - first)), lanes);
  const __m512i j = _mm512_maskz_min_epi32(0xFFFF, _mm512_maskz_max_epi32(0xFFFF, at, _mm512_setzero_si512()),
                                           _mm512_set1_epi32(kEnd - 1));
  // Column j in lane j of lo below 16, in lane j - 8 of hi (index j + 8).
  const __m512i sixteen = _mm512_set1_epi32(16);
  const __m512i index = _mm512_mask_add_epi32(j, _mm512_cmpge_epi32_mask(j, sixteen), j, _mm512_set1_epi32(8));
  return _mm512_permutex2var_epi32(end.lo, index, end.hi);
}

// One output row of the pass: its first two texel rows' kept sums, its
// last two's (written), its pixels, its vertical weights and the offsets
// of the texel rows asked for ahead.
struct HalvingRow {
  const int16_t* s0;
  const int16_t* s1;
  int16_t* out2;
  int16_t* out3;
  uint32_t* out;
  __m512i w0, w1, w2, w3;
  std::ptrdiff_t ahead0, ahead1;
};

// A block's two new rows (texels t0 and t2 of each, as HalvingSums reads
// them) filtered and kept (out2, out3), and its output pixels before the
// shift and pack (s0, s1 the first two rows' sums).
__attribute__((always_inline)) inline __m512i HalvingBlock(__m512i row2_t0, __m512i row2_t2, __m512i row3_t0,
                                                           __m512i row3_t2, __m512i m01, __m512i m23,
                                                           const int16_t* s0, const int16_t* s1, int16_t* out2,
                                                           int16_t* out3, __m512i w0, __m512i w1, __m512i w2,
                                                           __m512i w3) {
  const __m512i a = HalvingSums(row2_t0, row2_t2, m01, m23), z = HalvingSums(row3_t0, row3_t2, m01, m23);
  _mm512_storeu_si512(out2, a);
  _mm512_storeu_si512(out3, z);
  const __m512i p01 = _mm512_add_epi16(_mm512_mulhi_epi16(_mm512_loadu_si512(s0), w0),
                                       _mm512_mulhi_epi16(_mm512_loadu_si512(s1), w1));
  const __m512i v = _mm512_add_epi16(p01, _mm512_add_epi16(_mm512_mulhi_epi16(a, w2), _mm512_mulhi_epi16(z, w3)));
  return _mm512_srai_epi16(v, 3);
}

// Where a run of blocks reads its texels: inside the rows, or near their
// first or last texels (from the ends' registers, clamped).
enum class Where { kInside, kLeft, kRight };

// Blocks from .. to of a row whose new texel rows are texels[0] and
// texels[1]; in a run whose blocks start 16 texels apart and share their
// weights (regular), the texels walked and the weights held. Two blocks a
// step, one alone first where the pair's sixteen pixels would split a
// cache line, and one alone at the end.
template <bool kFetch, bool kRegular, Where kWhere>
__attribute__((always_inline)) inline void HalvingRun(const HalvingRow& row, const int32_t* weights,
                                                      const int32_t* columns, int32_t width, int32_t from, int32_t to,
                                                      const uint32_t* const texels[2]) {
  // Held in locals: the stores of sums may alias anything.
  const int16_t* const s0 = row.s0;
  const int16_t* const s1 = row.s1;
  int16_t* const out2 = row.out2;
  int16_t* const out3 = row.out3;
  uint32_t* const out = row.out;
  const __m512i w0 = row.w0, w1 = row.w1, w2 = row.w2, w3 = row.w3;
  const std::ptrdiff_t ahead0 = row.ahead0, ahead1 = row.ahead1;
  const uint32_t* const base0 = texels[0];
  const uint32_t* const base1 = texels[1];
  const int32_t end_first = kWhere == Where::kRight ? width - kEnd : 0;
  EndTexels end0{}, end1{};
  if (kWhere != Where::kInside) end0 = LoadEnd(base0, end_first), end1 = LoadEnd(base1, end_first);
  // Eight pixels' qwords in order from the pack of two blocks' rows: the
  // first block's, then the second's.
  const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
  const std::ptrdiff_t first = columns[8 * std::ptrdiff_t(from)];
  __m512i m01, m23;
  BlockBytes(weights + 8 * kBlockWeights * std::ptrdiff_t(from), &m01, &m23);
  // In a regular run inside the rows, texels 0 to 15 of the next block
  // (next0, next1), loaded with the block before: texels 2 to 17 of a block
  // are its texels 2 to 15 and the next one's 0 and 1.
  __m512i next0 = _mm512_setzero_si512(), next1 = next0;
  if (kRegular && kWhere == Where::kInside) next0 = Load16(base0 + first), next1 = Load16(base1 + first);
  auto one = [&](int32_t b) {
    const std::ptrdiff_t c = kRegular ? first + 16 * std::ptrdiff_t(b - from) : columns[8 * std::ptrdiff_t(b)];
    if (!kRegular) BlockBytes(weights + 8 * kBlockWeights * std::ptrdiff_t(b), &m01, &m23);
    const std::ptrdiff_t o = 32 * std::ptrdiff_t(b);
    if (kWhere != Where::kInside)
      return HalvingBlock(TexelsAt(end0, c, end_first), TexelsAt(end0, c + 2, end_first), TexelsAt(end1, c, end_first),
                          TexelsAt(end1, c + 2, end_first), m01, m23, s0 + o, s1 + o, out2 + o, out3 + o, w0, w1, w2,
                          w3);
    const uint32_t* const p0 = base0 + c;
    const uint32_t* const p1 = base1 + c;
    if (kFetch) {
      // The texel rows of the next output row asked for ahead (texel 17 of
      // the block, the last it reads).
      _mm_prefetch(reinterpret_cast<const char*>(p0 + 17) + ahead0, _MM_HINT_T0);
      _mm_prefetch(reinterpret_cast<const char*>(p1 + 17) + ahead1, _MM_HINT_T0);
    }
    if (kRegular && b + 1 < to) {
      const __m512i a0 = next0, z0 = next1;
      next0 = Load16(p0 + 16), next1 = Load16(p1 + 16);
      return HalvingBlock(a0, _mm512_maskz_alignr_epi32(0xFFFF, next0, a0, 2), z0, _mm512_maskz_alignr_epi32(0xFFFF, next1, z0, 2), m01, m23,
                          s0 + o, s1 + o, out2 + o, out3 + o, w0, w1, w2, w3);
    }
    return HalvingBlock(kRegular ? next0 : Load16(p0), Load16(p0 + 2), kRegular ? next1 : Load16(p1), Load16(p1 + 2),
                        m01, m23, s0 + o, s1 + o, out2 + o, out3 + o, w0, w1, w2, w3);
  };
  auto single = [&](int32_t b) {
    const __m512i v = one(b);
    const __m512i s = _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(v, v));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * b), _mm512_maskz_extracti64x4_epi64(0x0F, s, 0));
  };
  int32_t b = from;
  if (b + 1 < to && (reinterpret_cast<uintptr_t>(out + 8 * b) & 63) != 0) single(b++);
  for (; b + 1 < to; b += 2) {
    const __m512i v0 = one(b), v1 = one(b + 1);
    _mm512_storeu_si512(out + 8 * b, _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(v0, v1)));
  }
  if (b < to) single(b);
}

// The AVX2 pass's rows (see ExactHalvingRows there), two blocks a step.
template <bool kFetch>
__attribute__((noinline)) int32_t HalvingRows(const int32_t* k, uint8_t* dst, std::ptrdiff_t pitch, int32_t height,
                                              uint32_t y, uint32_t ystep, const BitmapBits& src, int32_t n,
                                              BicubicKeptRows* kept) {
  const int32_t ahead = int32_t((kept->ystep + 0xFFFFu) >> 16);
  const std::ptrdiff_t ahead_bytes = std::ptrdiff_t(ahead) * src.pitch;
  const int32_t* const weights = kept->weights;
  const int32_t* const columns = kept->columns;
  const std::ptrdiff_t stride = std::ptrdiff_t(kept->capacity) * 4;
  const int32_t count = n / 8, width = src.width;
  int32_t i = 0;
  for (; i < height; ++i, y += ystep, dst += pitch) {
    int32_t rows[4];
    TexelRows(int32_t(y), src.height, rows);
    if (!TwoNewRows(kept->row, rows)) break;
    const uint32_t fy = (y >> 8) & 255;
    const __m512i w0 = _mm512_set1_epi32(k[256 + fy]), w1 = _mm512_set1_epi32(k[fy]),
                  w2 = _mm512_set1_epi32(k[256 - fy]), w3 = _mm512_set1_epi32(k[512 - fy]);
    const int16_t* const s0 = kept->sums + (rows[0] & 3) * stride;
    const int16_t* const s1 = kept->sums + (rows[1] & 3) * stride;
    int16_t* const out2 = kept->sums + (rows[2] & 3) * stride;
    int16_t* const out3 = kept->sums + (rows[3] & 3) * stride;
    const uint32_t* texels[2];
    for (int r = 0; r < 2; ++r) {
      const int32_t t = rows[2 + r];
      texels[r] = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(src.bits) + std::ptrdiff_t(t) * src.pitch);
      kept->row[t & 3] = t;
    }
    const std::ptrdiff_t ahead0 = rows[2] + ahead < src.height ? ahead_bytes : 0;
    const std::ptrdiff_t ahead1 = rows[3] + ahead < src.height ? ahead_bytes : 0;
    const HalvingRow row{s0, s1, out2, out3, reinterpret_cast<uint32_t*>(dst), w0, w1, w2, w3, ahead0, ahead1};
    for (int32_t b = 0; b < count;) {
      const int32_t end = kept->run_ends[b];
      switch (kept->blocks[b]) {
        case kLeftExactHalving:
          HalvingRun<false, false, Where::kLeft>(row, weights, columns, width, b, end, texels);
          break;
        case kRightExactHalving:
          HalvingRun<false, false, Where::kRight>(row, weights, columns, width, b, end, texels);
          break;
        default:
          if (kept->same_weights &&
              columns[8 * std::ptrdiff_t(end - 1)] - columns[8 * std::ptrdiff_t(b)] == 16 * (end - 1 - b))
            HalvingRun<kFetch, true, Where::kInside>(row, weights, columns, width, b, end, texels);
          else
            HalvingRun<kFetch, false, Where::kInside>(row, weights, columns, width, b, end, texels);
          break;
      }
      b = end;
    }
  }
  return i;
}

// Output pixels from the kept sums, two blocks a step: one register per
// block and texel row, the products and sums of the AVX2 kernel, and after
// the pack of two blocks one permute of 64-bit quarters into pixel order
// (from the pack order pixels 0, 1, 4, 5 | 2, 3, 6, 7 of each block, or
// from pixel order).
void SumsRow(const int32_t* k, uint32_t* dst, const int16_t* const sums[4], int32_t y, int32_t n, bool sequential) {
  const uint32_t fy = (uint32_t(y) >> 8) & 255;
  const __m512i w0 = _mm512_set1_epi32(k[256 + fy]), w1 = _mm512_set1_epi32(k[fy]), w2 = _mm512_set1_epi32(k[256 - fy]),
                w3 = _mm512_set1_epi32(k[512 - fy]);
  const int16_t* const s0 = sums[0];
  const int16_t* const s1 = sums[1];
  const int16_t* const s2 = sums[2];
  const int16_t* const s3 = sums[3];
  const __m512i order = sequential ? _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7) : _mm512_setr_epi64(0, 4, 2, 6, 1, 5, 3, 7);
  auto block = [&](int32_t j) {
    const std::ptrdiff_t o = 4 * std::ptrdiff_t(j);
    const __m512i p01 = _mm512_add_epi16(_mm512_mulhi_epi16(_mm512_loadu_si512(s0 + o), w0),
                                         _mm512_mulhi_epi16(_mm512_loadu_si512(s1 + o), w1));
    const __m512i p23 = _mm512_add_epi16(_mm512_mulhi_epi16(_mm512_loadu_si512(s2 + o), w2),
                                         _mm512_mulhi_epi16(_mm512_loadu_si512(s3 + o), w3));
    return _mm512_srai_epi16(_mm512_add_epi16(p01, p23), 3);
  };
  int32_t j = 0;
  for (; j + 16 <= n; j += 16)
    _mm512_storeu_si512(dst + j, _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(block(j), block(j + 8))));
  if (j < n) {
    const __m512i v = block(j);
    const __m512i s = _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(v, v));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + j), _mm512_maskz_extracti64x4_epi64(0x0F, s, 0));
  }
}

int32_t Halving(const int32_t* k, uint8_t* dst, std::ptrdiff_t pitch, int32_t height, uint32_t y, uint32_t ystep,
                const BitmapBits& src, int32_t n, uint32_t, BicubicKeptRows* kept) {
  return kept->ystep > 0x10000u ? HalvingRows<true>(k, dst, pitch, height, y, ystep, src, n, kept)
                                : HalvingRows<false>(k, dst, pitch, height, y, ystep, src, n, kept);
}

}  // namespace

int32_t BicubicBlock_AVX512(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                            uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept) {
  return BicubicWideBlock_AVX2(kernel, dst, src, x, step, y, ystep, alpha, kept, {Halving, SumsRow});
}

}  // namespace owl
#endif  // OWL_X86
