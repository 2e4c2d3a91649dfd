// Same-size multiplying row, four pixels a step in 128-bit registers.
#include "rows/multiply_rows.h"

#if defined(OWL_X86)
#include <emmintrin.h>

#include <cstdint>

namespace owl {
namespace {

inline __m128i MultiplyLanes(__m128i d, __m128i m) {
  return _mm_srli_epi16(_mm_mullo_epi16(d, _mm_adds_epu16(m, _mm_set1_epi16(1))), 8);
}

inline __m128i MultiplyQuad(__m128i d, __m128i m) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_packus_epi16(MultiplyLanes(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(m, zero)),
                          MultiplyLanes(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(m, zero)));
}

}  // namespace

void MultiplyRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  // Body: unaligned loads and stores, the source prefetched ahead.
  for (; j + 4 <= width; j += 4) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(src + j) + 512), _MM_HINT_NTA);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + j));
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + j), MultiplyQuad(d, m));
  }
  // Tail: one pixel at a time with the same arithmetic.
  for (; j < width; ++j) {
    const __m128i d = _mm_cvtsi32_si128(int(dst[j])), m = _mm_cvtsi32_si128(int(src[j]));
    dst[j] = uint32_t(_mm_cvtsi128_si32(MultiplyQuad(d, m)));
  }
}

}  // namespace owl
#endif  // OWL_X86
