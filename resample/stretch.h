// Stretch loops: fill a whole destination block from a whole source block of
// another size by copying, keyed copying or multiplying.
//
// Every loop takes the destination first and the source second and returns
// true once each destination pixel has been visited. Positions are 16.16
// fixed point advanced by adding one step per pixel (x) or row (y). Blocks
// must be at least 1x1 and at most kMaxSide on each side; an empty block
// (width or height 0) draws nothing and returns true, a negative or larger
// one returns false and touches nothing.
#pragma once

#include <cstdint>

#include "owlgraphic.h"

namespace owl {

// Nearest texel, step (src << 16) / dst, first position 0 on both axes.
// SSE: four pixels a step; identical result.
bool StretchNearest(const BitmapBits& dst, const BitmapBits& src);
// As StretchNearest, but a texel equal to key keeps the destination pixel.
bool StretchNearestKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key);
// Bilinear, step ((src - 1) << 16) / dst, first position 0. Plain: four
// weights out of 256 in one pass. MMX: separable interpolation on 16-bit
// lanes (top row, bottom row, then vertical), which may differ by one in a
// channel. A source one texel wide or high reads no neighbour outside it.
bool StretchBilinear(const BitmapBits& dst, const BitmapBits& src);
// Bicubic through the kernel table, step (src << 16) / dst + 1, first
// position (step >> 1) - 0x8000; border bands go through the edge-clamping
// samplers, so any source size down to 1x1 is safe. MMX samplers when the MMX
// flag is set, integer samplers otherwise.
bool StretchBicubic(const BitmapBits& dst, const BitmapBits& src);
// Nearest positions; each channel d = (d * (s + 1)) >> 8. MMX: two pixels a
// step; identical result.
bool StretchMultiply(const BitmapBits& dst, const BitmapBits& src);

}  // namespace owl
