// Translucent layers: one block of premultiplied pixels laid over another
// source-over, with a constant opacity, at the same size or stretched.
#pragma once

#include <cstdint>

#include "owlgraphic.h"

namespace owl {

// d = s' + (((256 - s'.A) * d) >> 8) with s' = (s * (alpha + 1)) >> 8 per
// channel (s itself at 255). Blocks of one size walk one to one; other
// sizes sample src at the stretch loops' positions, nearest or (bilinear)
// with the plain one-pass interpolation, so that every form gives the same
// pixels. inOrder runs the plain rows, each pixel read after the ones before
// it were written: the rule for blocks of one canvas that overlap.
void LayerOver(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha, bool bilinear, bool inOrder);

}  // namespace owl
