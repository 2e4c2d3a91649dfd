// Anti-aliased rounded rectangles: the exact area of the shape in each pixel,
// quantised to 8 bits, laid over the canvas source-over.
//
// A shape is a rectangle (64-bit edges, so any int32 rectangle fits) with a
// circular arc of its own radius at each corner. Each pixel's coverage is
// computed analytically: the rectangle minus, per corner, the part of the
// corner square outside the arc. Corner squares never overlap, because radii
// whose sum exceeds a side are scaled down together (see MakeRoundShape).
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "owlgraphic.h"

namespace owl {

// Corners in the order top-left, top-right, bottom-right, bottom-left.
struct RoundShape {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  double radius[4] = {0, 0, 0, 0};

  bool Empty() const { return right <= left || bottom <= top; }
};

// The shape of rect with the given radii (each >= 0). When two radii on one
// side add up to more than that side, every radius is multiplied by the
// smallest ratio side / sum, so that corners meet and never overlap.
RoundShape MakeRoundShape(int64_t left, int64_t top, int64_t right, int64_t bottom, const double radius[4]);

// The shape inset by width on every side, radii max(r - width, 0), scaled by
// the same rule. Empty when the inset leaves no area.
RoundShape InsetRoundShape(const RoundShape& s, int64_t width);

// Exact area (0..1) of the shape inside pixel (x, y), the unit square
// [x, x + 1) x [y, y + 1).
double PixelCoverage(const RoundShape& s, int64_t x, int64_t y);

// Area to byte: floor(area * 255 + 0.5), clamped to 0..255.
uint8_t QuantizeCoverage(double area);

// Draws outer minus inner (inner may be empty) on the canvas within its clip,
// shapes in logical coordinates: each pixel's colour is color scaled by
// (coverage + 1) >> 8 and laid over the pixel source-over; fully covered runs
// go through the blend fill rows.
void DrawRoundShape(const Canvas& canvas, const RoundShape& outer, const RoundShape& inner, uint32_t color);

}  // namespace owl
