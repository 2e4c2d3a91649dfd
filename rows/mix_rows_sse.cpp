// 64-bit form of the opaque blend (MMX registers with the SSE shuffle and
// prefetch). Ends with _mm_empty().
#include "rows/mix_rows.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstring>

namespace owl {
namespace {

inline __m64 Load1(const uint32_t* p) { return _mm_cvtsi32_si64(int(*p)); }

// s' = ((s | opaque) * v) >> 8, then s' + ((d * (256 - s'.A)) >> 8) with
// each pixel's own scaled alpha broadcast to its lanes.
inline __m64 BlendOpaque2(__m64 d, __m64 s, __m64 v) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 k256 = _mm_set1_pi16(256);
  s = _mm_or_si64(s, _mm_set1_pi32(int(0xFF000000u)));
  const __m64 s_lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(s, zero), v), 8);
  const __m64 s_hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(s, zero), v), 8);
  const __m64 w_lo = _mm_sub_pi16(k256, _mm_shuffle_pi16(s_lo, _MM_SHUFFLE(3, 3, 3, 3)));
  const __m64 w_hi = _mm_sub_pi16(k256, _mm_shuffle_pi16(s_hi, _MM_SHUFFLE(3, 3, 3, 3)));
  const __m64 d_lo = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpacklo_pi8(d, zero), w_lo), 8);
  const __m64 d_hi = _mm_srli_pi16(_mm_mullo_pi16(_mm_unpackhi_pi8(d, zero), w_hi), 8);
  return _mm_adds_pu8(_mm_packs_pu16(s_lo, s_hi), _mm_packs_pu16(d_lo, d_hi));
}

}  // namespace

void BlendOpaqueRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m64 v = _mm_set1_pi16(short(alpha + 1));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels a step.
  for (; j + 2 <= width; j += 2, x += 2 * stepX) {
    _mm_prefetch(reinterpret_cast<const char*>(src + (x >> 16)) + 512, _MM_HINT_NTA);
    __m64 d;
    std::memcpy(&d, dst + j, 8);
    d = BlendOpaque2(d, _mm_unpacklo_pi32(Load1(src + (x >> 16)), Load1(src + ((x + stepX) >> 16))), v);
    std::memcpy(dst + j, &d, 8);
  }
  // Tail: the odd pixel through the same arithmetic.
  if (j < width) dst[j] = uint32_t(_mm_cvtsi64_si32(BlendOpaque2(Load1(dst + j), Load1(src + (x >> 16)), v)));
  _mm_empty();
}

}  // namespace owl

#endif
