// Source-over stretch rows, AVX2 kernels of the nearest SSE and bilinear MMX
// forms: eight pixels a step.
#include "resample/stretch_over_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"
#include "resample/avx2_bilinear.h"

namespace owl {
namespace {

// Composites sample(x, count) onto the eight pixels at dst, or onto the
// first count of them through a copy (the samples are computed eight at a
// time in any case).
template <typename Sample>
inline void OverRow(uint32_t* dst, int32_t width, uint32_t step, Sample sample) {
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step) Store8(dst + j, Over8(sample(x, 8), Load8(dst + j)));
  if (j < width) {
    const int n = int(width - j);
    uint32_t d[8] = {};
    for (int k = 0; k < n; ++k) d[k] = dst[j + k];
    Store8(d, Over8(sample(x, n), Load8(d)));
    for (int k = 0; k < n; ++k) dst[j + k] = d[k];
  }
}

// The texels of the first count of eight nearest positions; later lanes 0.
inline __m256i NearestFirst(const uint32_t* src, uint32_t x, uint32_t step, int count) {
  if (count == 8) return Nearest8(src, x, step);
  uint32_t s[8] = {};
  for (int k = 0; k < count; ++k, x += step) s[k] = src[x >> 16];
  return Load8(s);
}

}  // namespace

void StretchNearestOverRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  OverRow(dst, width, step, [&](uint32_t x, int n) {
    PrefetchAhead(src + (x >> 16));
    return NearestFirst(src, x, step, n);
  });
}

void StretchNearestOverAlphaRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                     uint32_t alpha) {
  const __m256i factor = AlphaFactor8(alpha);
  OverRow(dst, width, step, [&](uint32_t x, int n) {
    PrefetchAhead(src + (x >> 16));
    return ScaleChannels8(NearestFirst(src, x, step, n), factor);
  });
}

void StretchBilinearOverRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                 uint32_t step, uint32_t fy) {
  const __m256i wy = VerticalWeight(fy);
  OverRow(dst, width, step, [&](uint32_t x, int n) {
    PrefetchAhead(row0 + (x >> 16));
    PrefetchAhead(row1 + (x >> 16));
    return Bilinear8(row0, row1, x, step, n, wy);
  });
}

}  // namespace owl
#endif  // OWL_X86
