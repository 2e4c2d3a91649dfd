// SSE2 form of the blur row: 2 px a step.
#include <emmintrin.h>

#include <cstring>

#include "rows/blur_rows.h"

namespace owl {
namespace {

inline __m128i Widen2(const uint32_t* p) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}
inline __m128i Widen1(const uint32_t* p) {
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(*p)), _mm_setzero_si128());
}
inline __m128i Load2(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Load1(const uint16_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }

}  // namespace

void BlurRow_SSE2(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
                  uint16_t* sums) {
  // Column x's four channel sums at col[4x]; the edge columns repeat
  // either side.
  uint16_t* col = sums + 4;
  int32_t x = 0;
  for (; x + 2 <= width; x += 2)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(col + 4 * x),
                     _mm_add_epi16(_mm_add_epi16(Widen2(above + x), Widen2(row + x)), Widen2(below + x)));
  if (x < width)
    _mm_storel_epi64(reinterpret_cast<__m128i*>(col + 4 * x),
                     _mm_add_epi16(_mm_add_epi16(Widen1(above + x), Widen1(row + x)), Widen1(below + x)));
  std::memcpy(sums, col, 8);
  std::memcpy(col + 4 * width, col + 4 * (width - 1), 8);

  const __m128i ninth = _mm_set1_epi16(int16_t(kNinthMultiplier));
  auto two = [&](int32_t i) {
    const uint16_t* c = col + 4 * i;
    return _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(Load2(c - 4), Load2(c)), Load2(c + 4)), ninth);
  };
  for (x = 0; x + 4 <= width; x += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(two(x), two(x + 2)));
  for (; x < width; ++x) {
    const uint16_t* c = col + 4 * x;
    const __m128i s = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(Load1(c - 4), Load1(c)), Load1(c + 4)), ninth);
    out[x] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(s, s)));
  }
}

}  // namespace owl
