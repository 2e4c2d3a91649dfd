// Same-size multiplying row, AVX-512 kernel of the SSE2 form: sixteen
// pixels a step.
#include "rows/multiply_rows.h"

#if defined(OWL_X86)
#include "core/avx512_pixels.h"

namespace owl {

void MultiplyRow_AVX512(uint32_t* dst, const uint32_t* src, int32_t width) {
  // (d * (m + 1)) >> 8 per channel: d unpacked into the high byte of a
  // 16-bit lane is d * 256, so the high half of its product with m + 1 is
  // the result (the AVX2 kernel's steps, on four 128-bit lanes).
  const __m512i z = _mm512_setzero_si512(), one = _mm512_set1_epi16(1);
  WalkAligned16(dst, width, [&](int32_t j, int32_t k) {
    const __m512i d = LoadPixels(dst + j, k), m = LoadPixels(src + j, k);
    const __m512i lo = _mm512_mulhi_epu16(_mm512_unpacklo_epi8(z, d), _mm512_add_epi16(_mm512_unpacklo_epi8(m, z), one));
    const __m512i hi = _mm512_mulhi_epu16(_mm512_unpackhi_epi8(z, d), _mm512_add_epi16(_mm512_unpackhi_epi8(m, z), one));
    StorePixels(dst + j, _mm512_packus_epi16(lo, hi), k);
  });
}

}  // namespace owl
#endif  // OWL_X86
