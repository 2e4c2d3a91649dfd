// Pieces of the per-draw plan of the bilinear row near 0.5x shared by its
// AVX2 and AVX-512 kernels. Static: each of those files keeps its own copy,
// built for its processor.
#pragma once

#include <cstdint>

namespace owl {

// Byte weights of one texel pair, as the multiply-add takes them: first
// texel in the low byte. 256 - f does not fit a byte at f = 0; the pair is
// then the first texel twice, at 128 each.
static inline uint32_t PairWeights(uint32_t f) { return f ? (256 - f) | f << 8 : 0x8080; }

// The byte shuffle, four words, that places the texel pairs of pixels k and
// k + 1 (texel at[k] and the next, or at[k] twice where f[k] is 0) channel
// by channel in 16-bit lanes, from a 128-bit lane whose texels start at
// first.
static inline void PairShuffle(const int32_t* at, const uint32_t* f, int k, int32_t first, uint32_t shuffle[4]) {
  for (int w = 0; w < 4; ++w) shuffle[w] = 0;
  for (int q = 0; q < 2; ++q) {
    const uint32_t t0 = uint32_t(at[k + q] - first), t1 = t0 + (f[k + q] ? 1 : 0);
    for (int c = 0; c < 4; ++c) shuffle[2 * q + c / 2] |= ((4 * t0 + c) | (4 * t1 + c) << 8) << (16 * (c % 2));
  }
}

}  // namespace owl
