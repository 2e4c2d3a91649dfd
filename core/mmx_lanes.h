// Pixel arithmetic on 64-bit registers for the MMX and SSE files only (every
// helper static: each file keeps its own copy compiled with its own
// instruction set). Two forms: lanes, one pixel unpacked to a 16-bit lane per
// channel, and packed pairs, two pixels of 8-bit channels in one register.
//
// The SSE files get the SSE shuffle for the alpha spread; the MMX files get it
// only where the baseline processor has SSE (64-bit x86).
#pragma once

#include "core/cpu_features.h"

#if defined(OWL_HAVE_MMX)
#include <mmintrin.h>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include <cstdint>
#include <cstring>

namespace owl {

static inline __m64 UnpackPixel(uint32_t p) {
  return _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(p)), _mm_setzero_si64());
}
static inline uint32_t PackPixel(__m64 lanes) {
  return uint32_t(_mm_cvtsi64_si32(_mm_packs_pu16(lanes, _mm_setzero_si64())));
}
static inline __m64 LoadPair(const uint32_t* p) {
  __m64 v;
  std::memcpy(&v, p, 8);
  return v;
}
static inline void StorePair(uint32_t* p, __m64 v) { std::memcpy(p, &v, 8); }
// One pixel in the low half of a packed pair (the tails of the rows).
static inline __m64 LoadOne(const uint32_t* p) { return _mm_cvtsi32_si64(int(*p)); }
static inline void StoreOne(uint32_t* p, __m64 v) { *p = uint32_t(_mm_cvtsi64_si32(v)); }

// The alpha lane spread over all four lanes.
static inline __m64 SpreadAlpha(__m64 s) {
#if defined(__SSE__)
  return _mm_shuffle_pi16(s, _MM_SHUFFLE(3, 3, 3, 3));
#else
  const __m64 a = _mm_unpackhi_pi16(s, s);
  return _mm_unpackhi_pi32(a, a);
#endif
}

// (lanes * (alpha + 1)) >> 8, with mul = alpha + 1 in every lane.
static inline __m64 ScaleLanes(__m64 s, __m64 mul) { return _mm_srli_pi16(_mm_mullo_pi16(s, mul), 8); }

// ((256 - s.A) * d) >> 8 per channel of one destination pixel's lanes.
static inline __m64 DestinationShare(__m64 s, __m64 d) {
  const __m64 inv = _mm_sub_pi16(_mm_set1_pi16(256), SpreadAlpha(s));
  return _mm_srli_pi16(_mm_mullo_pi16(d, inv), 8);
}

// Source-over of a packed pair s, whose pixels' lanes are s0 and s1, onto
// the packed pair d: s + (((256 - s.A) * d) >> 8) per channel, added with
// saturation.
static inline __m64 OverPacked(__m64 s, __m64 s0, __m64 s1, __m64 d) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 t0 = DestinationShare(s0, _mm_unpacklo_pi8(d, zero));
  const __m64 t1 = DestinationShare(s1, _mm_unpackhi_pi8(d, zero));
  return _mm_adds_pu8(s, _mm_packs_pu16(t0, t1));
}

// Source-over of two packed pixels onto two packed pixels.
static inline __m64 Over2(__m64 s, __m64 d) {
  const __m64 zero = _mm_setzero_si64();
  return OverPacked(s, _mm_unpacklo_pi8(s, zero), _mm_unpackhi_pi8(s, zero), d);
}

// Source-over of one sample (lanes 0..255) onto d.
static inline uint32_t OverLanes(__m64 s, uint32_t d) {
  const __m64 zero = _mm_setzero_si64();
  return uint32_t(_mm_cvtsi64_si32(OverPacked(_mm_packs_pu16(s, zero), s, zero, _mm_cvtsi32_si64(int(d)))));
}

// Source-over of two samples onto the two destination pixels at d.
static inline void OverLanesPair(__m64 s0, __m64 s1, uint32_t* d) {
  StorePair(d, OverPacked(_mm_packs_pu16(s0, s1), s0, s1, LoadPair(d)));
}

// (p * factor) >> 8 per channel of a packed pair, factor a 16-bit value (at
// most 256) per lane: the same factors for both pixels.
static inline __m64 Scale2(__m64 p, __m64 factor) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(p, zero), factor), 8);
  const __m64 hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(p, zero), factor), 8);
  return _mm_packs_pu16(lo, hi);
}

// (d * (m + 1)) >> 8 per channel of two packed pairs, each channel of d
// with the same channel of m.
static inline __m64 Multiply2(__m64 d, __m64 m) {
  const __m64 zero = _mm_setzero_si64(), one = _mm_set1_pi16(1);
  const __m64 lo = _mm_mullo_pi16(_mm_unpacklo_pi8(d, zero), _mm_adds_pu16(_mm_unpacklo_pi8(m, zero), one));
  const __m64 hi = _mm_mullo_pi16(_mm_unpackhi_pi8(d, zero), _mm_adds_pu16(_mm_unpackhi_pi8(m, zero), one));
  return _mm_packs_pu16(_mm_srli_pi16(lo, 8), _mm_srli_pi16(hi, 8));
}

// Separable bilinear interpolation at 16.16 column x between row0 and row1:
// top and bottom along x, then along y; products and sums modulo 2^16 are
// exact because every true value lies in 0..65280.
static inline __m64 BilinearLanes(const uint32_t* row0, const uint32_t* row1, uint32_t x, __m64 fy) {
  const uint32_t ix = x >> 16;
  const __m64 fx = _mm_set1_pi16(short((x >> 8) & 255));
  const __m64 t0 = UnpackPixel(row0[ix]), t1 = UnpackPixel(row0[ix + 1]);
  const __m64 b0 = UnpackPixel(row1[ix]), b1 = UnpackPixel(row1[ix + 1]);
  const __m64 top = _mm_srli_pi16(_mm_add_pi16(_mm_slli_pi16(t0, 8), _mm_mullo_pi16(_mm_sub_pi16(t1, t0), fx)), 8);
  const __m64 bot = _mm_srli_pi16(_mm_add_pi16(_mm_slli_pi16(b0, 8), _mm_mullo_pi16(_mm_sub_pi16(b1, b0), fx)), 8);
  return _mm_srli_pi16(_mm_add_pi16(_mm_slli_pi16(top, 8), _mm_mullo_pi16(_mm_sub_pi16(bot, top), fy)), 8);
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
