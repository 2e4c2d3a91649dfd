// 128-bit forms of the blend and multiply fill rows, four pixels a step.
#include "rows/fill_rows.h"

#if defined(OWL_X86)
#include "core/sse2_pixels.h"

namespace owl {
namespace {

// Runs op four pixels a step, then on each remaining pixel alone.
template <typename Op>
inline void Row4(uint32_t* dst, int32_t width, Op op) {
  int32_t x = 0;
  for (; x + 4 <= width; x += 4) Store4(dst + x, op(Load4(dst + x)));
  for (; x < width; ++x) dst[x] = FirstPixel4(op(OnePixel4(dst[x])));
}

}  // namespace

void BlendFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m128i s = _mm_set1_epi32(int(color));
  const __m128i w = _mm_set1_epi16(int16_t(256 - (color >> 24)));
  Row4(dst, width, [&](__m128i d) { return _mm_adds_epu8(s, ScaleChannels4(d, w)); });
}

void MultiplyFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color) {
  const __m128i c = _mm_set1_epi32(int(color));
  Row4(dst, width, [&](__m128i d) { return MultiplyChannels4(d, c); });
}

}  // namespace owl
#endif  // OWL_X86
