// Nearest and bilinear stretch rows, AVX2 kernels of the SSE nearest and the
// MMX bilinear forms: eight pixels a step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "resample/avx2_bilinear.h"

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

void StretchBilinearRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                             uint32_t step, uint32_t fy) {
  const __m256i wy = VerticalWeight(fy);
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    PrefetchAhead(row0 + (x >> 16));
    PrefetchAhead(row1 + (x >> 16));
    Store8(dst + j, Bilinear8(row0, row1, x, step, 8, wy));
  }
  // Tail: the last width mod 8 pixels through the same arithmetic.
  if (j < width) {
    uint32_t out[8];
    Store8(out, Bilinear8(row0, row1, x, step, width - j, wy));
    for (int32_t k = 0; j + k < width; ++k) dst[j + k] = out[k];
  }
}

}  // namespace owl
#endif  // OWL_X86
