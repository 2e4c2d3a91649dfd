// Same-size multiplying row, four pixels a step in 128-bit registers.
#include "rows/multiply_rows.h"

#if defined(OWL_X86)
#include "core/sse2_pixels.h"

namespace owl {

void MultiplyRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  // Body: the source prefetched ahead.
  for (; j + 4 <= width; j += 4) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(src + j) + 512), _MM_HINT_NTA);
    Store4(dst + j, MultiplyChannels4(Load4(dst + j), Load4(src + j)));
  }
  // Tail: one pixel at a time with the same arithmetic.
  for (; j < width; ++j) dst[j] = FirstPixel4(MultiplyChannels4(OnePixel4(dst[j]), OnePixel4(src[j])));
}

}  // namespace owl
#endif  // OWL_X86
