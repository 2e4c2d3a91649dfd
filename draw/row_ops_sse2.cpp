// 128-bit forms of the row operations.
#include "draw/row_ops.h"

#if defined(OWL_X86)
#include <emmintrin.h>

namespace owl {
namespace {

// Source-over of up to four pixels: widened channels, alpha broadcast per
// pixel, weight 256 - alpha, product >> 8, packed, added with saturation.
inline __m128i Over4(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i k256 = _mm_set1_epi16(256);
  const __m128i s_lo = _mm_unpacklo_epi8(s, zero), s_hi = _mm_unpackhi_epi8(s, zero);
  const __m128i a_lo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s_lo, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  const __m128i a_hi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s_hi, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  const __m128i d_lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(k256, a_lo)), 8);
  const __m128i d_hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(k256, a_hi)), 8);
  return _mm_adds_epu8(s, _mm_packus_epi16(d_lo, d_hi));
}

}  // namespace

void BlendRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), Over4(s, d));
  }
  // Tail: one pixel at a time with the same arithmetic.
  for (; x < width; ++x)
    dst[x] = uint32_t(_mm_cvtsi128_si32(Over4(_mm_cvtsi32_si128(int(src[x])), _mm_cvtsi32_si128(int(dst[x])))));
}

}  // namespace owl
#endif  // OWL_X86
