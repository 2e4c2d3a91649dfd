// Same-size multiplying row, AVX2 kernel of the SSE2 form: eight pixels a
// step.
#include "rows/multiply_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {

void MultiplyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 8 <= width; j += 8) Store8(dst + j, MultiplyChannels8(Load8(dst + j), Load8(src + j)));
  // Tail: one pixel at a time with the same arithmetic.
  for (; j < width; ++j) dst[j] = FirstPixel(MultiplyChannels8(OnePixel(dst[j]), OnePixel(src[j])));
}

}  // namespace owl
#endif  // OWL_X86
