// Blend and multiply fill rows, AVX2 kernels of the SSE2 forms: eight
// pixels a step.
#include "rows/fill_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {
namespace {

// Runs op eight pixels a step, then on each remaining pixel alone.
template <typename Op>
inline void Row8(uint32_t* dst, int32_t width, Op op) {
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) Store8(dst + x, op(Load8(dst + x)));
  for (; x < width; ++x) dst[x] = FirstPixel(op(OnePixel(dst[x])));
}

}  // namespace

void BlendFillRow_AVX2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m256i s = _mm256_set1_epi32(int(color));
  const __m256i w = _mm256_set1_epi16(int16_t(256 - (color >> 24)));
  Row8(dst, width, [&](__m256i d) { return _mm256_adds_epu8(s, ScaleChannels8(d, w)); });
}

void MultiplyFillRow_AVX2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m256i c = _mm256_set1_epi32(int(color));
  Row8(dst, width, [&](__m256i d) { return MultiplyChannels8(d, c); });
}

}  // namespace owl
#endif  // OWL_X86
