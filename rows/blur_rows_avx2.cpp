// AVX2 form of the blur row: column sums 4 px a step, outputs 8 px a step.
#include <immintrin.h>

#include <cstring>

#include "rows/blur_rows.h"

namespace owl {
namespace {

inline __m256i Widen4(const uint32_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}
inline __m128i Widen1(const uint32_t* p) { return _mm_cvtepu8_epi16(_mm_cvtsi32_si128(int(*p))); }
inline __m256i Load4(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline __m128i Load1(const uint16_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }

}  // namespace

void BlurRow_AVX2(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
                  uint16_t* sums) {
  // Column x's four channel sums at col[4x]; the edge columns repeat
  // either side.
  uint16_t* col = sums + 4;
  int32_t x = 0;
  for (; x + 4 <= width; x += 4)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(col + 4 * x),
                        _mm256_add_epi16(_mm256_add_epi16(Widen4(above + x), Widen4(row + x)), Widen4(below + x)));
  for (; x < width; ++x)
    _mm_storel_epi64(reinterpret_cast<__m128i*>(col + 4 * x),
                     _mm_add_epi16(_mm_add_epi16(Widen1(above + x), Widen1(row + x)), Widen1(below + x)));
  std::memcpy(sums, col, 8);
  std::memcpy(col + 4 * width, col + 4 * (width - 1), 8);

  const __m256i ninth = _mm256_set1_epi16(int16_t(kNinthMultiplier));
  auto four = [&](int32_t i) {
    const uint16_t* c = col + 4 * i;
    return _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_add_epi16(Load4(c - 4), Load4(c)), Load4(c + 4)), ninth);
  };
  for (x = 0; x + 8 <= width; x += 8) {
    // The pack interleaves the halves of the two quads; the permute puts
    // them back in order.
    const __m256i packed = _mm256_packus_epi16(four(x), four(x + 4));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_permute4x64_epi64(packed, 0xD8));
  }
  if (x + 4 <= width) {
    const __m256i q = four(x);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_packus_epi16(_mm256_castsi256_si128(q), _mm256_extracti128_si256(q, 1)));
    x += 4;
  }
  const __m128i ninth1 = _mm256_castsi256_si128(ninth);
  for (; x < width; ++x) {
    const uint16_t* c = col + 4 * x;
    const __m128i s = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(Load1(c - 4), Load1(c)), Load1(c + 4)), ninth1);
    out[x] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(s, s)));
  }
}

}  // namespace owl
