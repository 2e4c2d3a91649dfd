// 128-bit forms of the row operations.
#include "rows/row_ops.h"

#if defined(OWL_X86)
#include <emmintrin.h>

namespace owl {
namespace {

// Source-over of up to four pixels without shuffles. Each pixel's weight
// 256 - alpha fills both 16-bit halves of its 32-bit lane, so one multiply
// serves two channels. B and R, moved into the high bytes of their lanes,
// give (d * weight) >> 8 as the high half of the product; G and A, moved
// down, give it as the high byte of the low half, which is where they sit.
// The result is added to the source with unsigned saturation.
inline __m128i Over4(__m128i s, __m128i d) {
  const __m128i high_bytes = _mm_set1_epi16(int16_t(0xFF00));
  const __m128i alpha = _mm_srli_epi32(s, 24);
  const __m128i w = _mm_sub_epi16(_mm_set1_epi16(256), _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16)));
  const __m128i br = _mm_mulhi_epu16(_mm_slli_epi16(d, 8), w);
  const __m128i ga = _mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(d, 8), w), high_bytes);
  return _mm_adds_epu8(s, _mm_or_si128(br, ga));
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
