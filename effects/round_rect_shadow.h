// The shadow of a rounded rectangle, computed from the blur's line weights
// instead of by blurring an image.
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "owlgraphic.h"

namespace owl {

// Draws source-over, within the canvas clip, the Gaussian blur (radius
// 0..kMaxGaussianRadius) of shape (logical coordinates, not reversed) filled
// with color, its corners rounded by corner (at most half the shorter side;
// a pixel is inside when its centre is). Each pixel gets color times the
// blurred coverage, rounded per channel.
void DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                         uint32_t color);

}  // namespace owl
