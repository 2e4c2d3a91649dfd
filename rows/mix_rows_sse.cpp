// 64-bit form of the opaque blend (MMX registers with the SSE shuffle and
// prefetch). Ends with _mm_empty().
#include "rows/mix_rows.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include "core/mmx_lanes.h"

namespace owl {
namespace {

// s' = ((s | opaque) * v) >> 8, then source-over of s' (whose alpha is
// alpha itself) onto d. The scaled lanes feed the source-over directly.
inline __m64 BlendOpaque2(__m64 d, __m64 s, __m64 v) {
  const __m64 zero = _mm_setzero_si64();
  s = _mm_or_si64(s, _mm_set1_pi32(int(0xFF000000u)));
  const __m64 s0 = ScaleLanes(_mm_unpacklo_pi8(s, zero), v), s1 = ScaleLanes(_mm_unpackhi_pi8(s, zero), v);
  return OverPacked(_mm_packs_pu16(s0, s1), s0, s1, d);
}

}  // namespace

void BlendOpaqueRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m64 v = _mm_set1_pi16(short(alpha + 1));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels a step.
  for (; j + 2 <= width; j += 2, x += 2 * stepX) {
    _mm_prefetch(reinterpret_cast<const char*>(src + (x >> 16)) + 512, _MM_HINT_NTA);
    const __m64 s = _mm_unpacklo_pi32(LoadOne(src + (x >> 16)), LoadOne(src + ((x + stepX) >> 16)));
    StorePair(dst + j, BlendOpaque2(LoadPair(dst + j), s, v));
  }
  // Tail: the odd pixel through the same arithmetic.
  if (j < width) StoreOne(dst + j, BlendOpaque2(LoadOne(dst + j), LoadOne(src + (x >> 16)), v));
  _mm_empty();
}

}  // namespace owl

#endif
