// MMX forms of the cross-fade and the colour fade. Each kernel ends with
// _mm_empty().
#include "rows/mix_rows.h"

#if defined(OWL_HAVE_MMX)
#include <mmintrin.h>
#include "core/mmx_lanes.h"

#include <cstring>

namespace owl {
namespace {

inline __m64 Load1(const uint32_t* p) { return _mm_cvtsi32_si64(int(*p)); }
inline void Store1(uint32_t* p, __m64 v) { *p = uint32_t(_mm_cvtsi64_si32(v)); }

// The source pixels at x and x + stepX.
inline __m64 Gather2(const uint32_t* src, uint32_t x, uint32_t stepX) {
  return _mm_unpacklo_pi32(Load1(src + (x >> 16)), Load1(src + ((x + stepX) >> 16)));
}

// (p * factor) >> 8 per channel of the low or high pixel, in 16-bit lanes.
inline __m64 ScaleLo(__m64 p, __m64 factor) {
  return _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(p, _mm_setzero_si64()), factor), 8);
}
inline __m64 ScaleHi(__m64 p, __m64 factor) {
  return _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(p, _mm_setzero_si64()), factor), 8);
}

inline __m64 Mix2(__m64 d, __m64 s, __m64 w, __m64 v) {
  return _mm_packs_pu16(_mm_add_pi16(ScaleLo(d, w), ScaleLo(s, v)), _mm_add_pi16(ScaleHi(d, w), ScaleHi(s, v)));
}

inline __m64 MixColor2(__m64 d, __m64 w, __m64 color) {
  return _mm_adds_pu8(_mm_packs_pu16(ScaleLo(d, w), ScaleHi(d, w)), color);
}

}  // namespace

void MixRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m64 w = _mm_set1_pi16(short(255 - alpha)), v = _mm_set1_pi16(short(alpha + 1));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels a step.
  for (; j + 2 <= width; j += 2, x += 2 * stepX) StorePair(dst + j, Mix2(LoadPair(dst + j), Gather2(src, x, stepX), w, v));
  // Tail: the odd pixel through the same arithmetic.
  if (j < width) Store1(dst + j, Mix2(Load1(dst + j), Load1(src + (x >> 16)), w, v));
  _mm_empty();
}

void MixColorRow_MMX(uint32_t* dst, int32_t width, uint32_t scaled, uint8_t alpha) {
  const __m64 w = _mm_set1_pi16(short(255 - alpha));
  const __m64 color = _mm_set1_pi32(int(scaled));
  int32_t j = 0;
  for (; j + 2 <= width; j += 2) StorePair(dst + j, MixColor2(LoadPair(dst + j), w, color));
  if (j < width) Store1(dst + j, MixColor2(Load1(dst + j), w, color));
  _mm_empty();
}

}  // namespace owl

#endif
