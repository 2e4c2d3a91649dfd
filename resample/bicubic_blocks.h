// The layout of the bicubic kept rows' weights and blocks (BicubicKeptRows),
// shared by the AVX2 kernels that lay them out and the wider forms that
// read them. Constants only: no code here is built for one processor.
#pragma once

#include <cstdint>

namespace owl {

// How a block reads its texels: clamped into the row; as eight windows
// inside it; narrowly, the windows starting within five texels (tap k of
// every pixel among the eight texels from the first column + k: one load
// and one permute a tap); windows two texels apart (even and odd texels of
// two loads a tap pair), and among those the blocks whose weights are all
// exact (two byte multiply-adds per four pixels); or, at the edges, as
// windows or narrowly from a copy of the row's first or last texels.
enum BlockRead : uint8_t {
  kClamped,
  kWindows,
  kNarrow,
  kHalving,
  kExactHalving,
  kLeftWindows,
  kLeftNarrow,
  kLeftExactHalving,
  kRightWindows,
  kRightNarrow,
  kRightExactHalving
};

// The copies of a row's ends (rows of kEnd texels or more): kPad copies of
// the first texel and the first kEnd texels; the last kEnd texels and
// kPad + 8 copies of the last one.
constexpr int32_t kEnd = 24, kPad = 8;

// Registers of weights a block keeps: the four taps negated and the
// narrow blocks' permute; exact halving blocks keep the bytes m of
// taps 0 and 1, then 2 and 3, of pixels 0 to 3, then of pixels 4 to 7.
constexpr int kBlockWeights = 5;

}  // namespace owl
