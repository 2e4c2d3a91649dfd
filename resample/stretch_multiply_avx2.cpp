// Same-size multiplying row, AVX2 kernel of the SSE2 form: eight pixels a
// step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {

void MultiplyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 8 <= width; j += 8) Store8(dst + j, MultiplyChannels8(Load8(dst + j), Load8(src + j)));
  // Tail: the last width mod 8 pixels through the same arithmetic.
  if (j < width) {
    uint32_t d[8] = {}, s[8] = {};
    for (int32_t k = 0; j + k < width; ++k) d[k] = dst[j + k], s[k] = src[j + k];
    Store8(d, MultiplyChannels8(Load8(d), Load8(s)));
    for (int32_t k = 0; j + k < width; ++k) dst[j + k] = d[k];
  }
}

}  // namespace owl
#endif  // OWL_X86
