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

// The kept sums of four pixels j..j + 3 of a run at once: the windows
// [j | j + 2] and [j + 1 | j + 3] transposed so that each register holds one
// tap of the four pixels in order, [j, j + 1 | j + 2, j + 3], four channels
// each. Then, per channel, the steps of SamplePair: q = the upper half of
// (tap * 128) times its weight, (q0 + q1) + (q2 + q3) with saturation.
inline __m256i Sums4(__m256i a, __m256i c, const __m256i* w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = _mm256_unpacklo_epi32(a, c), hi = _mm256_unpackhi_epi32(a, c);
  auto q = [&](__m256i taps, int k) {
    return _mm256_mulhi_epi16(_mm256_slli_epi16(taps, 7), _mm256_loadu_si256(w + k));
  };
  const __m256i s01 = _mm256_adds_epi16(q(_mm256_unpacklo_epi8(lo, zero), 0), q(_mm256_unpackhi_epi8(lo, zero), 1));
  const __m256i s23 = _mm256_adds_epi16(q(_mm256_unpacklo_epi8(hi, zero), 2), q(_mm256_unpackhi_epi8(hi, zero), 3));
  return _mm256_adds_epi16(s01, s23);
}

inline __m256i Windows2(const uint8_t* row, uint32_t xa, uint32_t xb) {
  const __m128i ta = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + (std::ptrdiff_t(xa >> 16) - 1) * 4));
  const __m128i tb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + (std::ptrdiff_t(xb >> 16) - 1) * 4));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(ta), tb, 1);
}

// The four texels of the window at signed 16.16 column x, clamped into a
// row of width texels.
inline __m128i ClampedWindow(const uint32_t* row, int32_t x, int32_t width) {
  const int32_t x0 = (x >> 16) - 1, last = width - 1;
  auto at = [&](int32_t c) { return int(row[c < 0 ? 0 : c > last ? last : c]); };
  return _mm_setr_epi32(at(x0), at(x0 + 1), at(x0 + 2), at(x0 + 3));
}

inline __m256i ClampedWindows2(const uint32_t* row, int32_t width, int32_t xa, int32_t xb) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(ClampedWindow(row, xa, width)), ClampedWindow(row, xb, width),
                                 1);
}

// The run's weights in the order Sums4 takes them: per four pixels, one
// register per tap, each pixel's weight in its four channel lanes.
void KeepWeights(const int32_t* k, BicubicKeptRows* kept, int32_t n) {
  __m256i* w = reinterpret_cast<__m256i*>(kept->weights);
  const uint32_t step = kept->step;
  uint32_t x = kept->x;
  for (int32_t j = 0; j < n; j += 4, x += 4 * step, w += 4) {
    uint32_t f[4];
    for (int i = 0; i < 4; ++i) f[i] = ((x + uint32_t(i) * step) >> 8) & 255;
    auto tap = [&](int32_t o0, int32_t sign) {
      auto at = [&](int i) { return k[o0 + sign * int32_t(f[i])]; };
      return _mm256_setr_epi32(at(0), at(0), at(1), at(1), at(2), at(2), at(3), at(3));
    };
    _mm256_storeu_si256(w, tap(256, 1));
    _mm256_storeu_si256(w + 1, tap(0, 1));
    _mm256_storeu_si256(w + 2, tap(256, -1));
    _mm256_storeu_si256(w + 3, tap(512, -1));
  }
}

// The kept sums of texel row t (clamped into src) over the first n pixels
// of the run (n a multiple of 4), filtered into the slot of the oldest row
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
  const __m256i* w = reinterpret_cast<const __m256i*>(kept->weights);
  const uint32_t step = kept->step;
  uint32_t x = kept->x;
  const uint32_t* texels = reinterpret_cast<const uint32_t*>(row);
  for (int32_t j = 0; j < n; j += 4, x += 4 * step, w += 4) {
    // Positions grow along the run: the first window's left tap and the
    // last one's right tap bound the four windows.
    const int32_t first = int32_t(x), last = int32_t(x + 3 * step);
    __m256i h;
    if ((first >> 16) >= 1 && (last >> 16) + 2 < src.width) {
      h = Sums4(Windows2(row, x, x + 2 * step), Windows2(row, x + step, x + 3 * step), w);
    } else {
      h = Sums4(ClampedWindows2(texels, src.width, first, int32_t(x + 2 * step)),
                ClampedWindows2(texels, src.width, int32_t(x + step), last), w);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * j), h);
  }
  kept->row[oldest] = t;
  return out;
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
  if (kept->x != x || kept->step != step || kept->count != count) {
    for (int32_t& r : kept->row) r = INT32_MIN;
    kept->x = x, kept->step = step, kept->count = count;
    KeepWeights(k, kept, n);
  }
  const uint32_t uy = uint32_t(y), fy = (uy >> 8) & 255;
  const __m256i wy[4] = {_mm256_set1_epi32(k[256 + fy]), _mm256_set1_epi32(k[fy]), _mm256_set1_epi32(k[256 - fy]),
                         _mm256_set1_epi32(k[512 - fy])};
  const int32_t top = (y >> 16) - 1;  // signed: above the first row for the top edge
  const int16_t* sums[4];
  for (int r = 0; r < 4; ++r) sums[r] = KeptSums(kept, src, top + r, n);
  const __m256i factor = AlphaFactor8(alpha);
  auto four = [&](int32_t j) {
    __m256i acc = _mm256_setzero_si256();
    for (int r = 0; r < 4; ++r) {
      const __m256i h = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums[r] + 4 * j));
      acc = _mm256_adds_epi16(acc, _mm256_mulhi_epi16(h, wy[r]));
    }
    return _mm256_srai_epi16(acc, 3);
  };
  for (int32_t j = 0; j < n; j += 8) {
    __m256i s = _mm256_permute4x64_epi64(_mm256_packus_epi16(four(j), four(j + 4)), _MM_SHUFFLE(3, 1, 2, 0));
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
