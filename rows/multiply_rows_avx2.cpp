// Same-size multiplying row, AVX2 kernel of the SSE2 form: sixteen pixels
// a step.
#include "rows/multiply_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {

void MultiplyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width) {
  auto single = [&](int32_t j) { dst[j] = FirstPixel(MultiplyChannels8(OnePixel(dst[j]), OnePixel(src[j]))); };
  auto eight = [&](int32_t j) { Store8(dst + j, MultiplyChannels8(Load8(dst + j), Load8(src + j))); };
  int32_t j = WalkAligned(dst, width, single, eight);
  // Tail: one pixel at a time with the same arithmetic.
  for (; j < width; ++j) single(j);
}

}  // namespace owl
#endif  // OWL_X86
