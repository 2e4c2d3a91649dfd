// 128-bit form of source-over, four pixels a step.
#include "rows/row_ops.h"

#if defined(OWL_X86)
#include "core/sse2_pixels.h"

namespace owl {

void BlendRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 4 <= width; x += 4) Store4(dst + x, Over4(Load4(src + x), Load4(dst + x)));
  // Tail: one pixel at a time with the same arithmetic.
  for (; x < width; ++x) dst[x] = FirstPixel4(Over4(OnePixel4(src[x]), OnePixel4(dst[x])));
}

}  // namespace owl
#endif  // OWL_X86
