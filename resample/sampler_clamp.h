// The edge-clamping window shared by every bicubic wrapper.
#pragma once

#include <cstdint>

#include "core/geometry.h"

namespace owl {

inline int32_t ClampIndex(int32_t v, int32_t last) {
  if (v < 0) v = 0;
  return v >= last ? last : v;
}

// Copies the 4x4 window around (x, y), border pixels repeated, into a local
// block with rows 16 bytes apart and calls sampler on it at the same
// fractions, so the window is exactly the block.
template <typename Sampler, typename... Rest>
inline void SampleClampedWindow(Sampler sampler, const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y,
                                Rest... rest) {
  uint32_t block[16];
  const int32_t x0 = x >> 16, y0 = y >> 16;
  int32_t cols[4];
  for (int i = 0; i < 4; ++i) cols[i] = ClampIndex(x0 - 1 + i, src.width - 1);
  for (int r = 0; r < 4; ++r) {
    const uint32_t* row = RowAt(src, ClampIndex(y0 - 1 + r, src.height - 1));
    for (int i = 0; i < 4; ++i) block[r * 4 + i] = row[cols[i]];
  }
  const BitmapBits window{0, 0, 16, block};
  sampler(kernel, window, (x & 0xFFFF) + 0x10000, (y & 0xFFFF) + 0x10000, rest...);
}

}  // namespace owl
