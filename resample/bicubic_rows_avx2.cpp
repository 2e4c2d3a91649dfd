// AVX2 kernels of the MMX bicubic samplers over a run of interior pixels of
// one row: two samples a register, eight pixels a step.
//
// Each 128-bit half holds one pixel's arithmetic exactly as the MMX sampler
// does it: taps as signed 16-bit lanes times 128, the upper halves of the
// products with the 16384-scaled weights, the saturating sums in the same
// pairs ((q0 + q1) + (q2 + q3), then row by row), an arithmetic shift by 3
// and a clamp to 0..255 by the unsigned pack.
#include "resample/samplers.h"

#if defined(OWL_X86)
#include <climits>
#include <cstddef>

#include "core/avx2_pixels.h"
#include "resample/kernel_table.h"

namespace owl {
namespace {

// The samples at columns xa (low half) and xb (high half), each repeated in
// all four 32-bit lanes of its half. base addresses row y0 - 1.
inline __m256i SamplePair(const int32_t* k, const uint8_t* base, std::ptrdiff_t pitch, uint32_t xa, uint32_t xb, const __m256i wy[4]) {
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
// sums: channels 0 and 2 of the eight pixels in order, then channels 1 and
// 3. No sum of the arithmetic can saturate: each product is the upper half
// of (channel * 128) times a weight of at most 16384 in size, so under 8161
// in size, four of them under 32768, and the same holds for the vertical
// sums; the saturating additions are plain ones, in any order.
//
// The sums of one texel row over a block from four registers holding tap
// k of each pixel (its texel as one 32-bit lane): channels 0 and 2 of the
// texels times 128 by a shift, channels 1 and 3 by an unsigned high
// multiply of the masked upper bytes by 32768, so that shifts and
// multiplies share the work; w holds each pixel's weight of tap k, the same
// in both 16-bit halves.
inline void BlockSums(const __m256i t[4], const __m256i* w, int16_t* out) {
  const __m256i even_mask = _mm256_set1_epi16(0x7F80), odd_mask = _mm256_set1_epi16(int16_t(0xFF00));
  const __m256i half = _mm256_set1_epi16(int16_t(0x8000));
  __m256i even = _mm256_setzero_si256(), odd = even;
  for (int k = 0; k < 4; ++k) {
    const __m256i wk = _mm256_loadu_si256(w + k);
    const __m256i e = _mm256_and_si256(_mm256_slli_epi16(t[k], 7), even_mask);
    const __m256i o = _mm256_mulhi_epu16(_mm256_and_si256(t[k], odd_mask), half);
    even = _mm256_add_epi16(even, _mm256_mulhi_epi16(e, wk));
    odd = _mm256_add_epi16(odd, _mm256_mulhi_epi16(o, wk));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), even);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), odd);
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
    const __m128i at = _mm_min_epi32(_mm_max_epi32(_mm_add_epi32(_mm_set1_epi32(c0), _mm_setr_epi32(0, 1, 2, 3)), _mm_setzero_si128()),
                                     _mm_set1_epi32(width - 1));
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

// How a block reads its texels: clamped into the row; as eight windows
// inside it; the eight windows within the first eight texels from the
// first column (one load, one permute a tap); or windows two texels apart
// (even and odd texels of two loads a tap pair).
enum Block : uint8_t { kClamped, kWindows, kNarrow, kHalving };

// The run's weights (per block, one register per tap, each pixel's weight
// in its 32-bit lane as the table holds it), each pixel's first texel
// column, and the way each block reads.
void KeepWeights(const int32_t* k, BicubicKeptRows* kept, int32_t n, int32_t width) {
  __m256i* w = reinterpret_cast<__m256i*>(kept->weights);
  int32_t* const col = kept->columns;
  const uint32_t step = kept->step;
  uint32_t x = kept->x;
  for (int32_t j = 0; j < n; j += 8, w += 4) {
    uint32_t f[8];
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    bool narrow = true, halving = true;
    for (int i = 0; i < 8; ++i, x += step) {
      f[i] = (x >> 8) & 255;
      const int32_t c = (int32_t(x) >> 16) - 1;
      col[j + i] = c;
      lo = c < lo ? c : lo;
      hi = c > hi ? c : hi;
      halving = halving && c == col[j] + 2 * i;
    }
    narrow = col[j] == lo && hi - lo <= 4 && lo < width - 7;
    auto tap = [&](int32_t o0, int32_t sign) {
      auto at = [&](int i) { return k[o0 + sign * int32_t(f[i])]; };
      return _mm256_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    };
    _mm256_storeu_si256(w, tap(256, 1));
    _mm256_storeu_si256(w + 1, tap(0, 1));
    _mm256_storeu_si256(w + 2, tap(256, -1));
    _mm256_storeu_si256(w + 3, tap(512, -1));
    const bool inside = lo >= 0 && hi < width - 3;
    kept->blocks[j / 8] = !inside ? kClamped : narrow ? kNarrow : halving ? kHalving : kWindows;
  }
}

// The kept sums of texel row t (clamped into src) over the first n pixels
// of the run (n a multiple of 8), filtered into the slot of the oldest row
// when missing. Output rows walk down, so the rows an output row needs are
// never older than one it does not.
const int16_t* KeptSums(BicubicKeptRows* kept, const BitmapBits& src, int32_t t, int32_t n) {
  t = t < 0 ? 0 : t >= src.height ? src.height - 1 : t;
  int oldest = 0;
  for (int i = 0; i < BicubicKeptRows::kSlots; ++i) {
    if (kept->row[i] == t) return kept->sums + std::ptrdiff_t(i) * kept->capacity * 4;
    if (kept->row[i] < kept->row[oldest]) oldest = i;
  }
  int16_t* out = kept->sums + std::ptrdiff_t(oldest) * kept->capacity * 4;
  const uint8_t* row = static_cast<const uint8_t*>(src.bits) + std::ptrdiff_t(t) * src.pitch;
  const uint32_t* texels = reinterpret_cast<const uint32_t*>(row);
  const __m256i* w = reinterpret_cast<const __m256i*>(kept->weights);
  const __m256i one = _mm256_set1_epi32(1);
  // The texel row the next output row filters in this slot's place, asked
  // for as this one is read: a reduction starts a new stream of texels
  // every row, which the processor's own prefetcher finds late. Prefetches
  // never fault.
  const int32_t ahead = int32_t((kept->ystep + 0xFFFFu) >> 16);
  const uintptr_t next = ahead > 0 && t + ahead < src.height ? uintptr_t(row) + uintptr_t(std::ptrdiff_t(ahead) * src.pitch) : 0;
  for (int32_t j = 0; j < n; j += 8, w += 4, out += 32) {
    const int32_t* c = kept->columns + j;
    if (next) _mm_prefetch(reinterpret_cast<const char*>(next + uintptr_t(std::ptrdiff_t(c[7] + 3) * 4)), _MM_HINT_T0);
    __m256i tap[4];
    switch (kept->blocks[j / 8]) {
      case kNarrow: {
        const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + c[0]));
        __m256i at = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(c)), _mm256_set1_epi32(c[0]));
        for (int k = 0; k < 4; ++k, at = _mm256_add_epi32(at, one)) tap[k] = _mm256_permutevar8x32_epi32(eight, at);
        break;
      }
      case kHalving: {
        // Texels c0 .. c0 + 17: taps 0 and 1 are the even and odd texels
        // from c0, taps 2 and 3 from c0 + 2, in the order [0, 1, 4, 5 | 2,
        // 3, 6, 7], put right by one permute of 64-bit halves.
        const float* f = reinterpret_cast<const float*>(texels + c[0]);
        auto pair = [&](int from, __m256* even, __m256* odd) {
          const __m256 a = _mm256_loadu_ps(f + from), b = _mm256_loadu_ps(f + from + 8);
          *even = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
          *odd = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
        };
        __m256 v[4];
        pair(0, &v[0], &v[1]);
        pair(2, &v[2], &v[3]);
        for (int k = 0; k < 4; ++k) tap[k] = _mm256_permute4x64_epi64(_mm256_castps_si256(v[k]), _MM_SHUFFLE(3, 1, 2, 0));
        break;
      }
      case kWindows:
        Transpose(Windows2(row, c[0], c[4]), Windows2(row, c[1], c[5]), Windows2(row, c[2], c[6]), Windows2(row, c[3], c[7]),
                  tap);
        break;
      default: {
        __m256i ends[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
        if (src.width >= 8) {
          ends[0] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels));
          ends[1] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + src.width - 8));
        }
        auto win = [&](int a) { return ClampedWindows2(texels, src.width, c[a], c[a + 4], ends); };
        Transpose(win(0), win(1), win(2), win(3), tap);
        break;
      }
    }
    BlockSums(tap, w, out);
  }
  kept->row[oldest] = t;
  return kept->sums + std::ptrdiff_t(oldest) * kept->capacity * 4;
}

enum class Output { kCopy, kOver, kOverAlpha };

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

// Row over the kept horizontal sums: per pixel the same saturating
// steps, with the sums of each texel row computed once per run.
template <Output kOut>
int32_t KeptRow(const int32_t* k, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  if (!kept || count > kept->capacity) return Row<kOut>(k, dst, src, x, step, y, count, alpha);
  const int32_t n = count & ~7;
  if (n == 0) return 0;
  if (kept->x != x || kept->step != step || kept->count != count || kept->width != src.width) {
    for (int32_t& r : kept->row) r = INT32_MIN;
    kept->x = x, kept->step = step, kept->count = count, kept->width = src.width;
    KeepWeights(k, kept, n, src.width);
  }
  const uint32_t uy = uint32_t(y), fy = (uy >> 8) & 255;
  const __m256i wy[4] = {_mm256_set1_epi32(k[256 + fy]), _mm256_set1_epi32(k[fy]), _mm256_set1_epi32(k[256 - fy]),
                         _mm256_set1_epi32(k[512 - fy])};
  const int32_t top = (y >> 16) - 1;  // signed: above the first row for the top edge
  const int16_t* sums[4];
  for (int r = 0; r < 4; ++r) sums[r] = KeptSums(kept, src, top + r, n);
  const __m256i factor = AlphaFactor8(alpha);
  // Channels 0 and 2 (h = 0) or 1 and 3 of the block at j, shifted; the
  // unsigned pack clamps them and one byte shuffle puts the channels of
  // each pixel together.
  auto pairs = [&](int32_t j, int h) {
    auto product = [&](int r) {
      return _mm256_mulhi_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums[r] + 4 * j + 16 * h)), wy[r]);
    };
    return _mm256_srai_epi16(_mm256_add_epi16(_mm256_add_epi16(product(0), product(1)), _mm256_add_epi16(product(2), product(3))), 3);
  };
  const __m256i order = _mm256_setr_epi8(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12,
                                         5, 13, 6, 14, 7, 15);
  for (int32_t j = 0; j < n; j += 8) {
    __m256i s = _mm256_shuffle_epi8(_mm256_packus_epi16(pairs(j, 0), pairs(j, 1)), order);
    if (kOut == Output::kCopy) {
      Store8(dst + j, s);
      continue;
    }
    if (kOut == Output::kOverAlpha) s = ScaleChannels8(s, factor);
    Store8(dst + j, Over8(s, Load8(dst + j)));
  }
  return n;
}

}  // namespace

int32_t BicubicRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                        int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kCopy>(kernel, dst, src, x, step, y, count, alpha, kept);
}

int32_t BicubicOverRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                            int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kOver>(kernel, dst, src, x, step, y, count, alpha, kept);
}

int32_t BicubicOverAlphaRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                                 int32_t count, uint32_t alpha, BicubicKeptRows* kept) {
  return KeptRow<Output::kOverAlpha>(kernel, dst, src, x, step, y, count, alpha, kept);
}

}  // namespace owl
#endif  // OWL_X86
