// The layout of the bicubic kept rows' weights and blocks (BicubicKeptRows),
// shared by the AVX2 kernels that lay them out and the wider forms that
// read them, with two small row helpers. The helpers are static: each of
// those files keeps its own copy, built for its processor.
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

// The four texel rows of the output row at row position y, clamped into a
// source of height rows.
static inline void TexelRows(int32_t y, int32_t height, int32_t rows[4]) {
  const int32_t top = (y >> 16) - 1;  // signed: above the first row for the top edge
  for (int r = 0; r < 4; ++r) rows[r] = top + r < 0 ? 0 : top + r >= height ? height - 1 : top + r;
}

// Whether an output row on texel rows rows[] takes the pass that filters two
// new rows: its last two are neighbours and missing from the slots (texel
// row t in slot t mod 4, held[] telling which row each slot holds), its
// first two kept.
static inline bool TwoNewRows(const int32_t held[4], const int32_t rows[4]) {
  auto kept = [&](int r) { return held[rows[r] & 3] == rows[r]; };
  return rows[3] == rows[2] + 1 && kept(0) && kept(1) && !kept(2) && !kept(3);
}

}  // namespace owl
