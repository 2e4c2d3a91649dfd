// MMX forms of the cross-fade and the colour fade. Each kernel ends with
// _mm_empty().
#include "rows/mix_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {
namespace {

// The source pixels at x and x + stepX.
inline __m64 Gather2(const uint32_t* src, uint32_t x, uint32_t stepX) {
  return _mm_unpacklo_pi32(LoadOne(src + (x >> 16)), LoadOne(src + ((x + stepX) >> 16)));
}

// ((d * w) >> 8) + ((s * v) >> 8), summed in the lanes of each pixel.
inline __m64 Mix2(__m64 d, __m64 s, __m64 w, __m64 v) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 lo = _mm_add_pi16(ScaleLanes(_mm_unpacklo_pi8(d, zero), w), ScaleLanes(_mm_unpacklo_pi8(s, zero), v));
  const __m64 hi = _mm_add_pi16(ScaleLanes(_mm_unpackhi_pi8(d, zero), w), ScaleLanes(_mm_unpackhi_pi8(s, zero), v));
  return _mm_packs_pu16(lo, hi);
}

inline __m64 MixColor2(__m64 d, __m64 w, __m64 color) { return _mm_adds_pu8(Scale2(d, w), color); }

}  // namespace

void MixRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m64 w = _mm_set1_pi16(short(255 - alpha)), v = _mm_set1_pi16(short(alpha + 1));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels a step.
  for (; j + 2 <= width; j += 2, x += 2 * stepX) StorePair(dst + j, Mix2(LoadPair(dst + j), Gather2(src, x, stepX), w, v));
  // Tail: the odd pixel through the same arithmetic.
  if (j < width) StoreOne(dst + j, Mix2(LoadOne(dst + j), LoadOne(src + (x >> 16)), w, v));
  _mm_empty();
}

void MixColorRow_MMX(uint32_t* dst, int32_t width, uint32_t scaled, uint8_t alpha) {
  const __m64 w = _mm_set1_pi16(short(255 - alpha));
  const __m64 color = _mm_set1_pi32(int(scaled));
  int32_t j = 0;
  for (; j + 2 <= width; j += 2) StorePair(dst + j, MixColor2(LoadPair(dst + j), w, color));
  if (j < width) StoreOne(dst + j, MixColor2(LoadOne(dst + j), w, color));
  _mm_empty();
}

}  // namespace owl

#endif
