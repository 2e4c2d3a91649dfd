// Geometry of a draw request: source validation, clipping to the canvas,
// mapping a clipped destination back to texels, and the two layouts
// (centred fit, nine-grid).
#pragma once

#include "core/canvas.h"
#include "core/texture.h"
#include "owlgraphic.h"

namespace owl {

// out = rect normalised (or the whole texture when rect is null). False when
// it reaches outside the texture or is empty; out keeps the normalised
// rectangle either way.
bool ValidateSourceRect(const Texture* texture, owlRect* out, const owlRect* rect);

// out = request ∩ the canvas clip, in logical coordinates. False, with out
// unchanged, when that is empty; a reversed request is always empty.
bool ClipToCanvas(const Canvas* canvas, const owlRect* request, owlRect* out);

// The part of src that the part clipped of dst shows: each edge of clipped
// scaled by src size / dst size, truncated, then moved by src's origin; an
// edge pair that collapses is widened to one texel. False when dst or src is
// empty or reversed, or clipped is reversed. Products are exact (64-bit), and
// the result never leaves src.
bool MapToSource(const owlRect* dst, const owlRect* src, const owlRect* clipped, owlRect* out);

// dst shrunk on one axis, centred, so that it has src's aspect ratio (sizes
// truncated). An empty source leaves dst as it is. Always true.
bool CenterFit(const owlRect* dst, const owlRect* src, owlRect* out);

// The nine cells of rect cut by margins (insets), row by row from the top
// left: corners 0, 2, 6, 8, edges 1, 3, 5, 7, middle 4. Margins wider than
// rect give reversed cells.
void NineGridCells(const owlRect* rect, const owlRect* margins, owlRect cells[9]);

}  // namespace owl
