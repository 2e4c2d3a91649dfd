// A canvas rectangle filled with one colour: the solid fills and a
// nine-grid's solid middle.
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "owlgraphic.h"

namespace owl {

// The filter word's top byte picks how the colour meets the pixels.
enum FillKind : uint32_t {
  kFillCopy = OWL_FILL_COPY >> 24,
  kFillBlend = OWL_FILL_SOURCE_OVER >> 24,
  kFillBlendAlso = OWL_BLEND_COLOR_KEY >> 24,
  kFillMultiply = OWL_FILL_MULTIPLY >> 24,
  kFillOr = OWL_FILL_OR >> 24,
};

// True when a fill of this colour and kind cannot change any pixel.
bool FillChangesNothing(uint32_t color, uint32_t kind);

// Fills the part of rect (logical coordinates) inside the canvas clip:
// source-over for kinds 1 and 2, per-channel multiply for 3, OR for 4, a
// copy of the colour for any other kind.
void FillCanvasRect(const Canvas& canvas, uint32_t color, const owlRect& rect, uint32_t filter);

}  // namespace owl
