// 64-bit forms of the row operations (MMX registers with the SSE additions:
// non-temporal stores, prefetch, pshufw). Each kernel ends with _mm_empty().
#include "draw/row_ops.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstring>

namespace owl {
namespace {

inline __m64 Load64(const uint32_t* p) {
  __m64 v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void Store64(uint32_t* p, __m64 v) { std::memcpy(p, &v, 8); }

// Source-over of the pixels in s (already in their final, possibly scaled
// form) onto d: widened channels, alpha broadcast per pixel, weight
// 256 - alpha, product >> 8, packed, added with saturation.
inline __m64 Over2(__m64 s, __m64 d) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 k256 = _mm_set1_pi16(256);
  const __m64 s_lo = _mm_unpacklo_pi8(s, zero), s_hi = _mm_unpackhi_pi8(s, zero);
  const __m64 w_lo = _mm_sub_pi16(k256, _mm_shuffle_pi16(s_lo, _MM_SHUFFLE(3, 3, 3, 3)));
  const __m64 w_hi = _mm_sub_pi16(k256, _mm_shuffle_pi16(s_hi, _MM_SHUFFLE(3, 3, 3, 3)));
  const __m64 d_lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(d, zero), w_lo), 8);
  const __m64 d_hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(d, zero), w_hi), 8);
  return _mm_adds_pu8(s, _mm_packs_pu16(d_lo, d_hi));
}

// (s * factor) >> 8 on every channel; factor broadcast to four lanes.
inline __m64 Scale2(__m64 s, __m64 factor) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(s, zero), factor), 8);
  const __m64 hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(s, zero), factor), 8);
  return _mm_packs_pu16(lo, hi);
}

}  // namespace

void FillRow_SSE(uint32_t* dst, int32_t width, uint32_t color) {
  const __m64 c = _mm_set1_pi32(int(color));
  // Head: one or two pixels so that the body's stores are 8-byte aligned.
  _mm_stream_pi(reinterpret_cast<__m64*>(dst), c);
  int32_t x = (reinterpret_cast<uintptr_t>(dst) & 7) == 0 ? 2 : 1;
  if ((reinterpret_cast<uintptr_t>(dst) & 3) != 0) x = 2;  // never aligns: stay unaligned
  for (; x + 8 <= width; x += 8) {
    __m64* p = reinterpret_cast<__m64*>(dst + x);
    _mm_stream_pi(p, c);
    _mm_stream_pi(p + 1, c);
    _mm_stream_pi(p + 2, c);
    _mm_stream_pi(p + 3, c);
  }
  _mm_sfence();
  for (; x < width; ++x) dst[x] = color;
  _mm_empty();
}

void CopyRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    _mm_prefetch(reinterpret_cast<const char*>(src + x) + 512, _MM_HINT_NTA);
    const __m64 a = Load64(src + x), b = Load64(src + x + 2), c = Load64(src + x + 4), d = Load64(src + x + 6);
    __m64* p = reinterpret_cast<__m64*>(dst + x);
    _mm_stream_pi(p, a);
    _mm_stream_pi(p + 1, b);
    _mm_stream_pi(p + 2, c);
    _mm_stream_pi(p + 3, d);
  }
  _mm_sfence();
  for (; x < width; ++x) dst[x] = src[x];
  _mm_empty();
}

void CopyRowKeyed_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t key) {
  const __m64 k = _mm_set1_pi32(int(key));
  int32_t x = 0;
  // Body: the equality mask keeps the old pixel, the rest takes the source.
  for (; x + 4 <= width; x += 4) {
    const __m64 s0 = Load64(src + x), s1 = Load64(src + x + 2);
    const __m64 m0 = _mm_cmpeq_pi32(s0, k), m1 = _mm_cmpeq_pi32(s1, k);
    Store64(dst + x, _mm_or_si64(_mm_and_si64(m0, Load64(dst + x)), _mm_andnot_si64(m0, s0)));
    Store64(dst + x + 2, _mm_or_si64(_mm_and_si64(m1, Load64(dst + x + 2)), _mm_andnot_si64(m1, s1)));
  }
  _mm_empty();
  for (; x < width; ++x)
    if (src[x] != key) dst[x] = src[x];
}

void BlendRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) Store64(dst + x, Over2(Load64(src + x), Load64(dst + x)));
  // Tail: the odd pixel with the same arithmetic.
  if (x < width) dst[x] = uint32_t(_mm_cvtsi64_si32(Over2(_mm_cvtsi32_si64(int(src[x])), _mm_cvtsi32_si64(int(dst[x])))));
  _mm_empty();
}

void BlendRowAlpha_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha) {
  const __m64 factor = _mm_set1_pi16(int16_t(alpha + 1));
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) Store64(dst + x, Over2(Scale2(Load64(src + x), factor), Load64(dst + x)));
  if (x < width) {
    const __m64 s = Scale2(_mm_cvtsi32_si64(int(src[x])), factor);
    dst[x] = uint32_t(_mm_cvtsi64_si32(Over2(s, _mm_cvtsi32_si64(int(dst[x])))));
  }
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
