// Nearest stretch row, AVX2 kernel of the SSE form: eight texels a step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {

void StretchNearestRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    PrefetchAhead(src + (x >> 16));
    Store8(dst + j, Nearest8(src, x, step));
  }
  for (; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

}  // namespace owl
#endif  // OWL_X86
