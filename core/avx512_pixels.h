// Pixel arithmetic on 512-bit registers, sixteen pixels a step, for the
// *_avx512.cpp files only (AVX-512 F and BW). Every helper is static, as in
// core/avx2_pixels.h: no code built for AVX-512 may be shared with a file
// built for another processor.
#pragma once

#include "core/cpu_features.h"

#if defined(OWL_X86)
#include <immintrin.h>

#include <cstdint>

namespace owl {

// The first k lanes (k at most 16).
static inline __mmask16 FirstLanes(int32_t k) { return __mmask16((1u << k) - 1); }

// k pixels (at most 16) from p; lanes past them read as 0 and the memory
// behind them is not touched.
static inline __m512i LoadPixels(const uint32_t* p, int32_t k) {
  return k == 16 ? _mm512_loadu_si512(p) : _mm512_maskz_loadu_epi32(FirstLanes(k), p);
}
static inline void StorePixels(uint32_t* p, __m512i v, int32_t k) {
  if (k == 16)
    _mm512_storeu_si512(p, v);
  else
    _mm512_mask_storeu_epi32(p, FirstLanes(k), v);
}

// The walk of a same-size row kernel: block(j, k) for pixels j .. j + k - 1,
// in order; first those before dst's next 64-byte boundary, so that no
// sixteen-pixel store splits a cache line (none when dst is off a pixel
// boundary), then sixteen a step, then the rest. k is below 16 only at the
// two ends, where LoadPixels and StorePixels mask the lanes.
template <typename Block>
inline void WalkAligned16(const uint32_t* dst, int32_t width, Block block) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(dst);
  int32_t j = (a & 3) ? 0 : int32_t((64 - (a & 63)) & 63) / 4;
  if (j > width) j = width;
  if (j > 0) block(0, j);
  for (; j + 16 <= width; j += 16) block(j, 16);
  if (j < width) block(j, width - j);
}

}  // namespace owl
#endif  // OWL_X86
