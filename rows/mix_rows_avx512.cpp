// Cross-fade row, AVX-512 kernel of the MMX form: sixteen pixels a step for
// the one-to-one rows; stretched rows stay with the AVX2 kernel.
#include "rows/mix_rows.h"

#if defined(OWL_X86)
#include "core/avx512_pixels.h"

namespace owl {

void MixRow_AVX512(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  if (stepX != 0x10000) {
    MixRow_AVX2(dst, src, width, stepX, alpha);
    return;
  }
  // ((d * (255 - alpha)) >> 8) + ((s * (alpha + 1)) >> 8): each channel in
  // the high byte of a 16-bit lane, so the high half of its product with the
  // factor is its share; the shares never sum above 255.
  const __m512i z = _mm512_setzero_si512();
  const __m512i w = _mm512_set1_epi16(int16_t(255 - alpha)), v = _mm512_set1_epi16(int16_t(alpha + 1));
  WalkAligned16(dst, width, [&](int32_t j, int32_t k) {
    const __m512i d = LoadPixels(dst + j, k), s = LoadPixels(src + j, k);
    const __m512i lo = _mm512_add_epi16(_mm512_mulhi_epu16(_mm512_unpacklo_epi8(z, d), w),
                                        _mm512_mulhi_epu16(_mm512_unpacklo_epi8(z, s), v));
    const __m512i hi = _mm512_add_epi16(_mm512_mulhi_epu16(_mm512_unpackhi_epi8(z, d), w),
                                        _mm512_mulhi_epu16(_mm512_unpackhi_epi8(z, s), v));
    StorePixels(dst + j, _mm512_packus_epi16(lo, hi), k);
  });
}

}  // namespace owl
#endif  // OWL_X86
