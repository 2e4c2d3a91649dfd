// AVX2 kernels of the MMX bicubic samplers over a run of interior pixels of
// one row: two samples a register, eight pixels a step.
//
// Each 128-bit half holds one pixel's arithmetic exactly as the MMX sampler
// does it: taps as signed 16-bit lanes times 128, the upper halves of the
// products with the 16384-scaled weights, the saturating sums in the same
// pairs ((q0 + q1) + (q2 + q3), then row by row), an arithmetic shift by 3
// and a clamp to 0..255 by the unsigned pack. With kept rows the same
// products are taken in two passes, blocks of eight pixels a step (below),
// a row at a time or over every row of a block.
#include "resample/samplers.h"

#if defined(OWL_X86)
#include <climits>
#include <cstddef>
#include <type_traits>

#include "core/avx2_pixels.h"
#include "core/geometry.h"
#include "resample/bicubic_blocks.h"
#include "resample/kernel_table.h"

namespace owl {
namespace {

// The samples at columns xa (low half) and xb (high half), each repeated in
// all four 32-bit lanes of its half. base addresses row y0 - 1.
inline __m256i SamplePair(const int32_t* k, const uint8_t* base, std::ptrdiff_t pitch, uint32_t xa, uint32_t xb,
                          const __m256i wy[4]) {
  const uint32_t fa = (xa >> 8) & 255, fb = (xb >> 8) & 255;
  const __m256i w01 = _mm256_setr_epi32(k[256 + fa], k[256 + fa], k[fa], k[fa], k[256 + fb], k[256 + fb], k[fb], k[fb]);
  const __m256i w23 = _mm256_setr_epi32(k[256 - fa], k[256 - fa], k[512 - fa], k[512 - fa], k[256 - fb], k[256 - fb],
                                        k[512 - fb], k[512 - fb]);
  const uint8_t* pa = base + (std::ptrdiff_t(xa >> 16) - 1) * 4;
  const uint8_t* pb = base + (std::ptrdiff_t(xb >> 16) - 1) * 4;
  const __m256i zero = _mm256_setzero_si256();
  __m256i acc = zero;
  for (int r = 0; r < 4; ++r) {
    const __m128i ta = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + r * pitch));
    const __m128i tb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + r * pitch));
    const __m256i taps = _mm256_inserti128_si256(_mm256_castsi128_si256(ta), tb, 1);
    // Taps 0 and 1, and 2 and 3, of each pixel; the swap of 64-bit halves
    // pairs q0 with q1 and q2 with q3.
    const __m256i q01 = _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_unpacklo_epi8(taps, zero), 7), w01);
    const __m256i q23 = _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_unpackhi_epi8(taps, zero), 7), w23);
    const __m256i s01 = _mm256_adds_epi16(q01, _mm256_shuffle_epi32(q01, _MM_SHUFFLE(1, 0, 3, 2)));
    const __m256i s23 = _mm256_adds_epi16(q23, _mm256_shuffle_epi32(q23, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm256_adds_epi16(acc, _mm256_mulhi_epi16(_mm256_adds_epi16(s01, s23), wy[r]));
  }
  const __m256i v = _mm256_srai_epi16(acc, 3);
  return _mm256_packus_epi16(v, v);
}

// The kept rows hold, per block of eight pixels, two registers of 16-bit
// sums, the four channels of each pixel in order: pixels 0, 1, 4 and 5,
// then 2, 3, 6 and 7, so that one unsigned pack of the two puts the eight
// pixels in order; runs of exact halving blocks only keep pixels 0 to 3,
// then 4 to 7, which the pack leaves for one permute of 64-bit quarters. No sum of the arithmetic can saturate: each product is the upper half
// of (channel * 128) times a weight of at most 16384 in size, so under 8161
// in size, four of them under 32768, and the same holds for the vertical
// sums; the saturating additions are plain ones, in any order.
//
// The sums of one texel row over a block from four registers holding tap
// k of each pixel (its texel as one 32-bit lane). Channels 0 and 2, then
// 1 and 3, of the texels come times -128 from a multiply-add of bytes, and
// meet the negated weights (the product is the same): w[k], each pixel's
// weight of tap k negated in both 16-bit halves of its lane. The sums come
// as channels 0 and 2 (even) and 1 and 3 (odd) of each pixel; two unpacks
// interleave them.
inline void BlockSums(const __m256i t[4], const __m256i* w, int16_t* out, bool halving = false) {
  const __m256i even_bytes = _mm256_set1_epi16(0x0080), odd_bytes = _mm256_set1_epi16(-0x8000);
  __m256i even = _mm256_setzero_si256(), odd = even;
  for (int k = 0; k < 4; ++k) {
    const __m256i weights = _mm256_loadu_si256(w + k);
    even = _mm256_add_epi16(even, _mm256_mulhi_epi16(_mm256_maddubs_epi16(t[k], even_bytes), weights));
    odd = _mm256_add_epi16(odd, _mm256_mulhi_epi16(_mm256_maddubs_epi16(t[k], odd_bytes), weights));
  }
  if (halving) {
    even = _mm256_permute4x64_epi64(even, _MM_SHUFFLE(3, 1, 2, 0));
    odd = _mm256_permute4x64_epi64(odd, _MM_SHUFFLE(3, 1, 2, 0));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_unpacklo_epi16(even, odd));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_unpackhi_epi16(even, odd));
}

// Whether every weight of four registers of taps (each weight w in both
// 16-bit halves of a lane) gives exact products: w = 512 m + r with r at
// most 2, so that the upper half of (channel * 128) * w, floor(channel * w
// / 512), is channel * m for every channel 0..255 (channel * r < 512).
// Taps weighted so need no truncation of their own, and one multiply-add
// of bytes by m gives the sum of two of them.
inline bool ExactWeights(const __m256i taps[4]) {
  const __m256i r = _mm256_set1_epi32(511), most = _mm256_set1_epi32(2);
  __m256i inexact = _mm256_setzero_si256();
  for (int i = 0; i < 4; ++i)
    inexact = _mm256_or_si256(inexact, _mm256_cmpgt_epi32(_mm256_and_si256(taps[i], r), most));
  return _mm256_testz_si256(inexact, inexact);
}

// Eight windows of four texels, [a0 | a4], [a1 | a5], [a2 | a6], [a3 | a7],
// turned into the four tap registers of the block.
inline void Transpose(__m256i a04, __m256i a15, __m256i a26, __m256i a37, __m256i t[4]) {
  const __m256i lo01 = _mm256_unpacklo_epi32(a04, a15), hi01 = _mm256_unpackhi_epi32(a04, a15);
  const __m256i lo23 = _mm256_unpacklo_epi32(a26, a37), hi23 = _mm256_unpackhi_epi32(a26, a37);
  t[0] = _mm256_unpacklo_epi64(lo01, lo23);
  t[1] = _mm256_unpackhi_epi64(lo01, lo23);
  t[2] = _mm256_unpacklo_epi64(hi01, hi23);
  t[3] = _mm256_unpackhi_epi64(hi01, hi23);
}

inline __m256i Windows2(const uint8_t* row, int32_t ca, int32_t cb) {
  const __m128i ta = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + std::ptrdiff_t(ca) * 4));
  const __m128i tb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + std::ptrdiff_t(cb) * 4));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(ta), tb, 1);
}

// The four texels of the window from column c0, clamped into a row of width
// texels: loaded directly inside the row; otherwise, on a row of 8 texels
// or more, taken from its first or last eight (ends[0], ends[1]).
inline __m128i ClampedWindow(const uint32_t* row, int32_t c0, int32_t width, const __m256i ends[2]) {
  if (c0 >= 0 && c0 < width - 3) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c0));
  if (width >= 8) {
    const __m128i columns = _mm_add_epi32(_mm_set1_epi32(c0), _mm_setr_epi32(0, 1, 2, 3));
    const __m128i at = _mm_min_epi32(_mm_max_epi32(columns, _mm_setzero_si128()), _mm_set1_epi32(width - 1));
    const bool left = c0 < 0;
    const __m128i from = _mm_sub_epi32(at, _mm_set1_epi32(left ? 0 : width - 8));
    return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(ends[left ? 0 : 1], _mm256_castsi128_si256(from)));
  }
  const int32_t last = width - 1;
  auto at = [&](int32_t c) { return int(row[c < 0 ? 0 : c > last ? last : c]); };
  return _mm_setr_epi32(at(c0), at(c0 + 1), at(c0 + 2), at(c0 + 3));
}

inline __m256i ClampedWindows2(const uint32_t* row, int32_t width, int32_t ca, int32_t cb, const __m256i ends[2]) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(ClampedWindow(row, ca, width, ends)),
                                 ClampedWindow(row, cb, width, ends), 1);
}

// The run's weights (per block, one register per tap, each pixel's weight
// in its 32-bit lane as the table holds it), each pixel's first texel
// column, and the way each block reads.
void KeepWeights(const int32_t* k, BicubicKeptRows* kept, int32_t n, int32_t width) {
  __m256i* w = reinterpret_cast<__m256i*>(kept->weights);
  int32_t* const col = kept->columns;
  const uint32_t step = kept->step;
  uint32_t x = kept->x;
  for (int32_t j = 0; j < n; j += 8, w += kBlockWeights) {
    alignas(32) int32_t f[8];
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    bool narrow = true, halving = true;
    for (int i = 0; i < 8; ++i, x += step) {
      f[i] = int32_t((x >> 8) & 255);
      const int32_t c = (int32_t(x) >> 16) - 1;
      col[j + i] = c;
      lo = c < lo ? c : lo;
      hi = c > hi ? c : hi;
      halving = halving && c == col[j] + 2 * i;
    }
    // Narrow: eight texels from each tap's first column hold the tap of
    // every pixel; the loads reach column lo + 10.
    narrow = col[j] == lo && hi - lo <= 4;
    // Each pixel's weight of tap k in lane i of taps[k].
    const __m256i fi = _mm256_load_si256(reinterpret_cast<const __m256i*>(f)),
                  minus = _mm256_sub_epi32(_mm256_setzero_si256(), fi);
    __m256i taps[4] = {_mm256_i32gather_epi32(k + 256, fi, 4), _mm256_i32gather_epi32(k, fi, 4),
                       _mm256_i32gather_epi32(k + 256, minus, 4), _mm256_i32gather_epi32(k + 512, minus, 4)};
    const bool exact = ExactWeights(taps);
    const bool inside = lo >= 0 && hi < width - 3;
    BlockRead way = kClamped;
    if (inside) way = narrow && lo < width - 10 ? kNarrow : !halving ? kWindows : exact ? kExactHalving : kHalving;
    // Near the end of the row, narrow blocks read the copy of its end.
    if ((!inside || way == kWindows) && width >= kEnd) {
      // Exact halving blocks read 18 texels, within the copies wherever
      // their windows are.
      const bool exact_halving = halving && exact;
      if (lo < 0 && lo >= -kPad && hi < kEnd - 3)
        way = narrow && lo < kEnd - 10 ? kLeftNarrow : exact_halving ? kLeftExactHalving : kLeftWindows;
      else if (lo >= width - kEnd && hi < width + kPad + 5)
        way = narrow && lo < width + kPad - 2 ? kRightNarrow : exact_halving ? kRightExactHalving : kRightWindows;
    }
    kept->blocks[j / 8] = way;
    // Halving blocks take their taps in the order [0, 1, 4, 5 | 2, 3, 6, 7].
    if (way == kHalving)
      for (__m256i& t : taps) t = _mm256_permutevar8x32_epi32(t, _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7));
    for (int i = 0; i < 4; ++i) _mm256_storeu_si256(w + i, _mm256_sub_epi16(_mm256_setzero_si256(), taps[i]));
    // Narrow blocks: where each pixel's window starts in the block's texels.
    _mm256_storeu_si256(w + 4, _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(col + j)),
                                                _mm256_set1_epi32(col[j])));
    if (way == kExactHalving || way == kLeftExactHalving || way == kRightExactHalving) {
      // Pixel i's bytes at 8 (i % 4) of register 2 (i / 4) (taps 0 and 1)
      // and the next (taps 2 and 3), each pair once a channel.
      alignas(32) int16_t m[4][16];
      for (int i = 0; i < 4; ++i) _mm256_store_si256(reinterpret_cast<__m256i*>(m[i]), _mm256_srai_epi16(taps[i], 9));
      alignas(32) uint64_t bytes[4][4];
      for (int i = 0; i < 8; ++i) {
        auto pair = [&](int a) {
          return (uint64_t(uint8_t(m[a][2 * i])) | uint64_t(uint8_t(m[a + 1][2 * i])) << 8) * 0x0001000100010001u;
        };
        bytes[2 * (i / 4)][i % 4] = pair(0);
        bytes[2 * (i / 4) + 1][i % 4] = pair(2);
      }
      for (int i = 0; i < 4; ++i)
        _mm256_storeu_si256(w + i, _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes[i])));
    }
  }
  // Where each run of blocks read the same way ends, and whether any reads
  // copies of a row's ends.
  const int32_t count = n / 8;
  kept->end_copies = false;
  kept->exact_halving = count > 0;
  kept->same_weights = true;
  const __m256i* const weights = reinterpret_cast<const __m256i*>(kept->weights);
  for (int32_t b = 1; b < count; ++b)
    for (int i = 0; i < 4; ++i) {
      const __m256i differ =
          _mm256_xor_si256(_mm256_loadu_si256(weights + kBlockWeights * b + i), _mm256_loadu_si256(weights + i));
      kept->same_weights = kept->same_weights && _mm256_testz_si256(differ, differ);
    }
  for (int32_t b = count; b-- > 0;) {
    const uint8_t way = kept->blocks[b];
    kept->run_ends[b] = b + 1 < count && kept->blocks[b + 1] == way ? kept->run_ends[b + 1] : b + 1;
    kept->end_copies = kept->end_copies || way >= kLeftWindows;
    kept->exact_halving = kept->exact_halving && (way == kExactHalving || way == kLeftExactHalving || way == kRightExactHalving);
  }
}

// One or two neighbouring texel rows filtered together: the run's weights,
// first texel columns and source width, and per row the sums' slot, the
// row and, when a reduction reads ahead, the row to ask for (texel column
// c at next + 4 c).
struct RowBlocks {
  const __m256i* weights;
  const int32_t* columns;
  int32_t width;
  int16_t* out[2];
  const uint32_t* texels[2];
  const char* next[2];
};

// The sums of an exact halving block from its texels p[0 .. 17], pixels 0
// to 3 then 4 to 7 (kept so where every block of the run is such). Each 128-bit lane of a load from p + 4 q holds taps 0 and 1 of
// pixels 2 q and 2 q + 1, one from p + 4 q + 2 their taps 2 and 3; a byte
// shuffle pairs each channel of the two taps, and one multiply-add by the
// bytes m sums their products.
__attribute__((always_inline)) inline void ExactHalvingSums(const uint32_t* p, const __m256i* m, __m256i sums[2]) {
  const __m256i order = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6, 3, 7,
                                         8, 12, 9, 13, 10, 14, 11, 15);
  auto four = [&](int first, const __m256i* w) {
    const __m256i t01 = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + first)), order);
    const __m256i t23 = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + first + 2)), order);
    return _mm256_add_epi16(_mm256_maddubs_epi16(t01, _mm256_loadu_si256(w)),
                            _mm256_maddubs_epi16(t23, _mm256_loadu_si256(w + 1)));
  };
  sums[0] = four(0, m);
  sums[1] = four(8, m + 2);
}

// The same in pack order.
__attribute__((always_inline)) inline void ExactHalvingPackSums(const uint32_t* p, const __m256i* m, __m256i sums[2]) {
  __m256i s[2];
  ExactHalvingSums(p, m, s);
  sums[0] = _mm256_permute2x128_si256(s[0], s[1], 0x20);
  sums[1] = _mm256_permute2x128_si256(s[0], s[1], 0x31);
}

// Blocks from .. to of kRows rows, all read the same way; texel column c of
// row i is bases[i][c + shift].
template <BlockRead kWay, bool kFetch, int kRows, bool kSequential = false>
void RunBlocks(const RowBlocks& r, int32_t from, int32_t to, const uint32_t* const bases[2], int32_t shift) {
  const __m256i* wb = r.weights + kBlockWeights * std::ptrdiff_t(from);
  const int32_t* c = r.columns + 8 * std::ptrdiff_t(from);
  const int32_t width = r.width;
  // Held in locals: the stores of sums may alias anything.
  const uint32_t* const base_of[2] = {bases[0], bases[kRows - 1]};
  const uint32_t* const texels_of[2] = {r.texels[0], r.texels[kRows - 1]};
  int16_t* const out_of[2] = {r.out[0], r.out[kRows - 1]};
  const char* const next_of[2] = {r.next[0], r.next[kRows - 1]};
  for (int32_t b = from; b < to; ++b, wb += kBlockWeights, c += 8) {
    for (int row = 0; row < kRows; ++row) {
      const uint32_t* const base = base_of[row];
      const uint32_t* const texels = texels_of[row];
      int16_t* const o = out_of[row] + 32 * std::ptrdiff_t(b);
      if constexpr (kFetch) _mm_prefetch(next_of[row] + (std::ptrdiff_t(c[7]) + 3) * 4, _MM_HINT_T0);
      if constexpr (kWay == kExactHalving) {
        __m256i sums[2];
        if (kSequential)
          ExactHalvingSums(base + (c[0] + shift), wb, sums);
        else
          ExactHalvingPackSums(base + (c[0] + shift), wb, sums);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), sums[0]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + 16), sums[1]);
        continue;
      }
      __m256i tap[4];
      if constexpr (kWay == kNarrow) {
        // Tap k of each pixel from the eight texels from c0 + k.
        const __m256i at = _mm256_loadu_si256(wb + 4);
        const uint32_t* const p = base + (c[0] + shift);
        for (int k = 0; k < 4; ++k) {
          const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
          tap[k] = _mm256_permutevar8x32_epi32(eight, at);
        }
      } else if constexpr (kWay == kHalving) {
        // Texels c0 .. c0 + 17: taps 0 and 1 are the even and odd texels
        // from c0, taps 2 and 3 from c0 + 2, in the order [0, 1, 4, 5 | 2,
        // 3, 6, 7] in which the block's weights are kept; one permute of
        // 64-bit quarters puts the sums in order.
        const float* f = reinterpret_cast<const float*>(texels + c[0]);
        auto pair = [&](int first, __m256i* even, __m256i* odd) {
          const __m256 lo = _mm256_loadu_ps(f + first), hi = _mm256_loadu_ps(f + first + 8);
          *even = _mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0)));
          *odd = _mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1)));
        };
        pair(0, &tap[0], &tap[1]);
        pair(2, &tap[2], &tap[3]);
      } else if constexpr (kWay == kWindows) {
        const uint8_t* from_base = reinterpret_cast<const uint8_t*>(base);
        auto win = [&](int a) { return Windows2(from_base, c[a] + shift, c[a + 4] + shift); };
        Transpose(win(0), win(1), win(2), win(3), tap);
      } else {
        __m256i ends[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
        if (width >= 8) {
          ends[0] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels));
          ends[1] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + width - 8));
        }
        auto win = [&](int a) { return ClampedWindows2(texels, width, c[a], c[a + 4], ends); };
        Transpose(win(0), win(1), win(2), win(3), tap);
      }
      BlockSums(tap, wb, o, kWay == kHalving);
    }
  }
}

// The copies of the ends of a row of width texels (kEnd or more).
inline void CopyEnds(const uint32_t* texels, int32_t width, uint32_t* left, uint32_t* right) {
  const __m256i first = _mm256_set1_epi32(int(texels[0])), last = _mm256_set1_epi32(int(texels[width - 1]));
  _mm256_store_si256(reinterpret_cast<__m256i*>(left), first);
  _mm256_store_si256(reinterpret_cast<__m256i*>(right + kEnd), last);
  _mm256_store_si256(reinterpret_cast<__m256i*>(right + kEnd + 8), last);
  for (int32_t k = 0; k < kEnd; k += 8) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(left + kPad + k),
                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + k)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(right + k),
                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + width - kEnd + k)));
  }
}

// Texel rows t .. t + rows - 1 (one or two, inside src) filtered into
// their slots, row t in slot t mod 4.
__attribute__((noinline)) void FilterRows(BicubicKeptRows* kept, const BitmapBits& src, int32_t t, int rows,
                                          int32_t n) {
  static_assert(BicubicKeptRows::kSlots == 4, "slot t mod 4");
  // In a reduction, the texel row the next output row filters in this
  // one's turn, asked for as this one is read (this row again when there
  // is none): a reduction starts a new stream of texels every row, which
  // the processor's own prefetcher finds late. Prefetches never fault.
  const int32_t ahead = int32_t((kept->ystep + 0xFFFFu) >> 16);
  const bool reducing = kept->ystep > 0x10000u;
  RowBlocks r{reinterpret_cast<const __m256i*>(kept->weights), kept->columns, src.width, {}, {}, {}};
  alignas(32) uint32_t left[2][kPad + kEnd], right[2][kEnd + kPad + 8];
  for (int i = 0; i < rows; ++i) {
    const int32_t ti = t + i;
    const uint8_t* row = static_cast<const uint8_t*>(src.bits) + std::ptrdiff_t(ti) * src.pitch;
    const uint32_t* texels = reinterpret_cast<const uint32_t*>(row);
    r.texels[i] = texels;
    r.out[i] = kept->sums + std::ptrdiff_t(ti & 3) * kept->capacity * 4;
    r.next[i] = reinterpret_cast<const char*>(row) + (ti + ahead < src.height ? std::ptrdiff_t(ahead) * src.pitch : 0);
    kept->row[ti & 3] = ti;
    if (kept->end_copies && src.width >= kEnd) CopyEnds(texels, src.width, left[i], right[i]);
  }
  // Runs of blocks read the same way, each in its own loop.
  const uint32_t* const texels[2] = {r.texels[0], r.texels[1]};
  const uint32_t* const lefts[2] = {left[0], left[1]};
  const uint32_t* const rights[2] = {right[0], right[1]};
  const int32_t right_shift = kEnd - src.width;
  const int32_t count = n / 8;
  const bool sequential = kept->exact_halving;  // exact halving sums in pixel order
  auto runs = [&](auto fetch, auto two) {
    constexpr bool kFetch = decltype(fetch)::value;
    constexpr int kRows = decltype(two)::value ? 2 : 1;
    for (int32_t b = 0; b < count;) {
      const int32_t end = kept->run_ends[b];
      switch (kept->blocks[b]) {
        case kNarrow:
          RunBlocks<kNarrow, kFetch, kRows>(r, b, end, texels, 0);
          break;
        case kHalving:
          RunBlocks<kHalving, kFetch, kRows>(r, b, end, texels, 0);
          break;
        case kExactHalving:
          if (sequential)
            RunBlocks<kExactHalving, kFetch, kRows, true>(r, b, end, texels, 0);
          else
            RunBlocks<kExactHalving, kFetch, kRows>(r, b, end, texels, 0);
          break;
        case kWindows:
          RunBlocks<kWindows, kFetch, kRows>(r, b, end, texels, 0);
          break;
        case kLeftNarrow:
          RunBlocks<kNarrow, kFetch, kRows>(r, b, end, lefts, kPad);
          break;
        case kLeftWindows:
          RunBlocks<kWindows, kFetch, kRows>(r, b, end, lefts, kPad);
          break;
        case kLeftExactHalving:
          if (sequential)
            RunBlocks<kExactHalving, kFetch, kRows, true>(r, b, end, lefts, kPad);
          else
            RunBlocks<kExactHalving, kFetch, kRows>(r, b, end, lefts, kPad);
          break;
        case kRightNarrow:
          RunBlocks<kNarrow, kFetch, kRows>(r, b, end, rights, right_shift);
          break;
        case kRightWindows:
          RunBlocks<kWindows, kFetch, kRows>(r, b, end, rights, right_shift);
          break;
        case kRightExactHalving:
          if (sequential)
            RunBlocks<kExactHalving, kFetch, kRows, true>(r, b, end, rights, right_shift);
          else
            RunBlocks<kExactHalving, kFetch, kRows>(r, b, end, rights, right_shift);
          break;
        default:
          RunBlocks<kClamped, kFetch, kRows>(r, b, end, texels, 0);
          break;
      }
      b = end;
    }
  };
  if (reducing && rows == 2) runs(std::true_type(), std::true_type());
  else if (reducing)
    runs(std::true_type(), std::false_type());
  else if (rows == 2)
    runs(std::false_type(), std::true_type());
  else
    runs(std::false_type(), std::false_type());
}

enum class Output { kCopy, kOver, kOverAlpha };

// Eight output pixels from their 16-bit vertical sums in pack order (or
// in pixel order), shifted: stored, or composited.
template <Output kOut, bool kSequential = false>
__attribute__((always_inline)) inline void Emit8(uint32_t* out, __m256i lo, __m256i hi, __m256i factor) {
  __m256i s = _mm256_packus_epi16(_mm256_srai_epi16(lo, 3), _mm256_srai_epi16(hi, 3));
  if (kSequential) s = _mm256_permute4x64_epi64(s, _MM_SHUFFLE(3, 1, 2, 0));
  if (kOut == Output::kOverAlpha) s = ScaleChannels8(s, factor);
  if (kOut != Output::kCopy) s = Over8(s, Load8(out));
  Store8(out, s);
}

// Output rows, up to height of them from dst a pitch apart at row positions
// y, y + ystep, ..., as long as each row's last two texel rows t and t + 1
// (inside src) are missing and its first two kept, every block an exact
// halving one: each block's two new rows filtered and kept, and its output
// pixels made, in one pass. Returns the rows done.
template <Output kOut, bool kFetch>
__attribute__((noinline)) int32_t ExactHalvingRows(const int32_t* k, uint8_t* dst, std::ptrdiff_t pitch, int32_t height,
                                                   uint32_t y, uint32_t ystep, const BitmapBits& src, int32_t n,
                                                   uint32_t alpha, BicubicKeptRows* kept) {
  const int32_t ahead = int32_t((kept->ystep + 0xFFFFu) >> 16);
  const std::ptrdiff_t ahead_bytes = std::ptrdiff_t(ahead) * src.pitch;
  const __m256i f = AlphaFactor8(alpha);
  const __m256i* const weights = reinterpret_cast<const __m256i*>(kept->weights);
  const int32_t* const columns = kept->columns;
  const std::ptrdiff_t stride = std::ptrdiff_t(kept->capacity) * 4;
  const int32_t count = n / 8;
  const bool copies = kept->end_copies && src.width >= kEnd;
  alignas(32) uint32_t left[2][kPad + kEnd], right[2][kEnd + kPad + 8];
  int32_t i = 0;
  for (; i < height; ++i, y += ystep, dst += pitch) {
    int32_t rows[4];
    TexelRows(int32_t(y), src.height, rows);
    if (!TwoNewRows(kept->row, rows)) break;
    const uint32_t fy = (y >> 8) & 255;
    const __m256i w0 = _mm256_set1_epi32(k[256 + fy]), w1 = _mm256_set1_epi32(k[fy]),
                  w2 = _mm256_set1_epi32(k[256 - fy]), w3 = _mm256_set1_epi32(k[512 - fy]);
    // Held in locals: the stores of sums may alias anything.
    const int16_t* const s0 = kept->sums + (rows[0] & 3) * stride;
    const int16_t* const s1 = kept->sums + (rows[1] & 3) * stride;
    int16_t* const out2 = kept->sums + (rows[2] & 3) * stride;
    int16_t* const out3 = kept->sums + (rows[3] & 3) * stride;
    uint32_t* const out = reinterpret_cast<uint32_t*>(dst);
    const uint32_t* texels[2];
    for (int r = 0; r < 2; ++r) {
      const int32_t t = rows[2 + r];
      texels[r] = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(src.bits) + std::ptrdiff_t(t) * src.pitch);
      kept->row[t & 3] = t;
      if (copies) CopyEnds(texels[r], src.width, left[r], right[r]);
    }
    // The rows of the next output row asked for ahead, when there are such.
    const std::ptrdiff_t ahead0 = rows[2] + ahead < src.height ? ahead_bytes : 0;
    const std::ptrdiff_t ahead1 = rows[3] + ahead < src.height ? ahead_bytes : 0;
    // Blocks from .. to reading texel column c of the two rows at base0[c]
    // and base1[c]; inside the rows, the rows of the next output row asked
    // for ahead (texel 17 of the block, the last it reads). In a run whose
    // blocks start 16 texels apart (every step between them 2, as within
    // them) and share their weights, the texels are walked and the weights
    // held.
    auto run = [&](auto inside, auto regular, int32_t from, int32_t to, const uint32_t* base0, const uint32_t* base1) {
      const std::ptrdiff_t first = columns[8 * std::ptrdiff_t(from)];
      const __m256i* const w_from = weights + kBlockWeights * std::ptrdiff_t(from);
      const __m256i m[4] = {_mm256_loadu_si256(w_from), _mm256_loadu_si256(w_from + 1), _mm256_loadu_si256(w_from + 2),
                            _mm256_loadu_si256(w_from + 3)};
      for (int32_t b = from; b < to; ++b) {
        const std::ptrdiff_t c =
            decltype(regular)::value ? first + 16 * std::ptrdiff_t(b - from) : columns[8 * std::ptrdiff_t(b)];
        const uint32_t* const p0 = base0 + c;
        const uint32_t* const p1 = base1 + c;
        if constexpr (decltype(inside)::value && kFetch) {
          _mm_prefetch(reinterpret_cast<const char*>(p0 + 17) + ahead0, _MM_HINT_T0);
          _mm_prefetch(reinterpret_cast<const char*>(p1 + 17) + ahead1, _MM_HINT_T0);
        }
        const __m256i* const wb = decltype(regular)::value ? m : weights + kBlockWeights * std::ptrdiff_t(b);
        __m256i a[2], z[2];
        ExactHalvingSums(p0, wb, a);
        ExactHalvingSums(p1, wb, z);
        const std::ptrdiff_t o = 32 * std::ptrdiff_t(b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out2 + o), a[0]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out2 + o + 16), a[1]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out3 + o), z[0]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out3 + o + 16), z[1]);
        auto half = [&](int h) {
          const __m256i p0 = _mm256_mulhi_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s0 + o + 16 * h)), w0);
          const __m256i p1 = _mm256_mulhi_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s1 + o + 16 * h)), w1);
          return _mm256_add_epi16(_mm256_add_epi16(p0, p1),
                                  _mm256_add_epi16(_mm256_mulhi_epi16(a[h], w2), _mm256_mulhi_epi16(z[h], w3)));
        };
        Emit8<kOut, true>(out + 8 * b, half(0), half(1), f);
      }
    };
    for (int32_t b = 0; b < count;) {
      const int32_t end = kept->run_ends[b];
      switch (kept->blocks[b]) {
        case kLeftExactHalving:
          run(std::false_type(), std::false_type(), b, end, left[0] + kPad, left[1] + kPad);
          break;
        case kRightExactHalving:
          run(std::false_type(), std::false_type(), b, end, right[0] + (kEnd - src.width),
              right[1] + (kEnd - src.width));
          break;
        default:
          if (kept->same_weights &&
              columns[8 * std::ptrdiff_t(end - 1)] - columns[8 * std::ptrdiff_t(b)] == 16 * (end - 1 - b))
            run(std::true_type(), std::true_type(), b, end, texels[0], texels[1]);
          else
            run(std::true_type(), std::false_type(), b, end, texels[0], texels[1]);
          break;
      }
      b = end;
    }
  }
  return i;
}

// Those rows, where the run is such; through wide, a wider form of them,
// when set.
template <Output kOut>
inline int32_t TryExactHalvingRows(const int32_t* k, uint8_t* dst, std::ptrdiff_t pitch, int32_t height, uint32_t y,
                                   uint32_t ystep, const BitmapBits& src, int32_t n, uint32_t alpha,
                                   BicubicKeptRows* kept, const BicubicWideForms* wide = nullptr) {
  if (!kept->exact_halving) return 0;
  if (wide) return wide->halving_rows(k, dst, pitch, height, y, ystep, src, n, alpha, kept);
  return kept->ystep > 0x10000u ? ExactHalvingRows<kOut, true>(k, dst, pitch, height, y, ystep, src, n, alpha, kept)
                                : ExactHalvingRows<kOut, false>(k, dst, pitch, height, y, ystep, src, n, alpha, kept);
}

template <Output kOut>
int32_t Row(const int32_t* k, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y, int32_t count,
            uint32_t alpha) {
  const uint32_t uy = uint32_t(y), fy = (uy >> 8) & 255;
  const __m256i wy[4] = {_mm256_set1_epi32(k[256 + fy]), _mm256_set1_epi32(k[fy]), _mm256_set1_epi32(k[256 - fy]),
                         _mm256_set1_epi32(k[512 - fy])};
  const uint8_t* base = static_cast<const uint8_t*>(src.bits) + (std::ptrdiff_t(uy >> 16) - 1) * src.pitch;
  const __m256i factor = AlphaFactor8(alpha);
  int32_t j = 0;
  for (; j + 8 <= count; j += 8) {
    uint32_t xs[8];
    for (int i = 0; i < 8; ++i, x += step) xs[i] = x;
    // Pixels i and i + 4 share a register, so that two unpacks put the
    // eight samples in order.
    __m256i p[4];
    for (int i = 0; i < 4; ++i) p[i] = SamplePair(k, base, src.pitch, xs[i], xs[i + 4], wy);
    __m256i s = _mm256_unpacklo_epi64(_mm256_unpacklo_epi32(p[0], p[1]), _mm256_unpacklo_epi32(p[2], p[3]));
    if (kOut == Output::kCopy) {
      Store8(dst + j, s);
      continue;
    }
    if (kOut == Output::kOverAlpha) s = ScaleChannels8(s, factor);
    Store8(dst + j, Over8(s, Load8(dst + j)));
  }
  return j;
}

// The run's weights, kept while the run stays the same.
void KeepRun(const int32_t* k, BicubicKeptRows* kept, const BitmapBits& src, uint32_t x, uint32_t step, int32_t count,
             int32_t n) {
  if (kept->x != x || kept->step != step || kept->count != count || kept->width != src.width) {
    for (int32_t& r : kept->row) r = INT32_MIN;
    kept->x = x, kept->step = step, kept->count = count, kept->width = src.width;
    KeepWeights(k, kept, n, src.width);
  }
}

// One output row at row position y from the kept sums, the first n pixels
// (from the sums through wide, when set).
template <Output kOut>
__attribute__((always_inline)) inline void KeptRowSums(const int32_t* k, uint32_t* dst, const BitmapBits& src,
                                                       int32_t y, int32_t n, uint32_t alpha, BicubicKeptRows* kept,
                                                       const BicubicWideForms* wide = nullptr) {
  // The four texel rows, clamped: at most four neighbours, each kept in
  // slot t mod 4. Two neighbours both missing are filtered together.
  int32_t rows[4];
  TexelRows(y, src.height, rows);
  const int16_t* const all = kept->sums;
  const std::ptrdiff_t stride = std::ptrdiff_t(kept->capacity) * 4;
  const int16_t* const sums[4] = {all + (rows[0] & 3) * stride, all + (rows[1] & 3) * stride,
                                  all + (rows[2] & 3) * stride, all + (rows[3] & 3) * stride};
  const uint32_t fy = (uint32_t(y) >> 8) & 255;
  const __m256i wy[4] = {_mm256_set1_epi32(k[256 + fy]), _mm256_set1_epi32(k[fy]), _mm256_set1_epi32(k[256 - fy]),
                         _mm256_set1_epi32(k[512 - fy])};
  const __m256i factor = AlphaFactor8(alpha);
  for (int r = 0; r < 4; ++r) {
    const int32_t t = rows[r];
    if (kept->row[t & 3] != t)
      FilterRows(kept, src, t, r < 3 && rows[r + 1] == t + 1 && kept->row[(t + 1) & 3] != t + 1 ? 2 : 1, n);
  }
  if (wide) return wide->sums_row(k, dst, sums, y, n, kept->exact_halving);
  // Pixels 0, 1, 4 and 5 (h = 0) or 2, 3, 6 and 7 of the block at j (0 to
  // 3 or 4 to 7 where the run keeps its sums in pixel order); the unsigned
  // pack clamps them and puts the pixels in order (with a permute).
  auto pairs = [&](int32_t j, int h) {
    auto product = [&](int r) {
      return _mm256_mulhi_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums[r] + 4 * j + 16 * h)), wy[r]);
    };
    return _mm256_add_epi16(_mm256_add_epi16(product(0), product(1)), _mm256_add_epi16(product(2), product(3)));
  };
  if (kept->exact_halving)
    for (int32_t j = 0; j < n; j += 8) Emit8<kOut, true>(dst + j, pairs(j, 0), pairs(j, 1), factor);
  else
    for (int32_t j = 0; j < n; j += 8) Emit8<kOut>(dst + j, pairs(j, 0), pairs(j, 1), factor);
}

// Row over the kept horizontal sums: per pixel the same saturating
// steps, with the sums of each texel row computed once per run.
template <Output kOut>
int32_t KeptRow(const int32_t* k, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  if (!kept || count > kept->capacity) return Row<kOut>(k, dst, src, x, step, y, count, alpha);
  const int32_t n = count & ~7;
  if (n == 0) return 0;
  KeepRun(k, kept, src, x, step, count, n);
  if (!TryExactHalvingRows<kOut>(k, reinterpret_cast<uint8_t*>(dst), 0, 1, uint32_t(y), 0, src, n, alpha, kept))
    KeptRowSums<kOut>(k, dst, src, y, n, alpha, kept);
  return n;
}

// Every row of dst through the kept rows (the exact halving rows and the
// pixels from the kept sums through wide, when set).
template <Output kOut>
int32_t KeptBlock(const int32_t* k, const BitmapBits& dst, const BitmapBits& src, uint32_t x, uint32_t step, uint32_t y,
                  uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept, const BicubicWideForms* wide = nullptr) {
  const int32_t count = dst.width, n = count & ~7;
  if (count > kept->capacity || n == 0) return 0;
  KeepRun(k, kept, src, x, step, count, n);
  kept->ystep = ystep;
  for (int32_t i = 0; i < dst.height;) {
    const int32_t done = TryExactHalvingRows<kOut>(k, reinterpret_cast<uint8_t*>(RowAt(dst, i)), dst.pitch,
                                                    dst.height - i, y, ystep, src, n, alpha, kept, wide);
    if (done == 0) KeptRowSums<kOut>(k, RowAt(dst, i), src, int32_t(y), n, alpha, kept, wide);
    const int32_t rows = done ? done : 1;
    i += rows, y += uint32_t(rows) * ystep;
  }
  return n;
}

}  // namespace

int32_t BicubicBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                          uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptBlock<Output::kCopy>(kernel, dst, src, x, step, y, ystep, alpha, kept);
}

int32_t BicubicWideBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                              uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept,
                              const BicubicWideForms& wide) {
  return KeptBlock<Output::kCopy>(kernel, dst, src, x, step, y, ystep, alpha, kept, &wide);
}

int32_t BicubicOverBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                              uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptBlock<Output::kOver>(kernel, dst, src, x, step, y, ystep, alpha, kept);
}

int32_t BicubicOverAlphaBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                                   uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptBlock<Output::kOverAlpha>(kernel, dst, src, x, step, y, ystep, alpha, kept);
}

int32_t BicubicRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step,
                        int32_t y, int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kCopy>(kernel, dst, src, x, step, y, count, alpha, kept);
}

int32_t BicubicOverRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step,
                            int32_t y, int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kOver>(kernel, dst, src, x, step, y, count, alpha, kept);
}

int32_t BicubicOverAlphaRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step,
                                 int32_t y, int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kOverAlpha>(kernel, dst, src, x, step, y, count, alpha, kept);
}

}  // namespace owl
#endif  // OWL_X86
