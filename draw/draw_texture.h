// The common path of one piece of a texture draw.
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "core/texture.h"
#include "owlgraphic.h"

namespace owl {

// Draws src (valid texels of texture) stretched onto dst (logical canvas
// coordinates): clips dst to the canvas, maps the surviving part back to
// texels and blits it with the texture's filter word. A piece clipped away
// draws nothing. Always true.
bool DrawTexturePiece(Canvas* canvas, const owlRect* dst, Texture* texture, const owlRect* src,
                      uint32_t resampleFilter, uint8_t alpha);

// A tiling of src (valid texels of texture) over dst at the texture's own
// size, anchored at dst's top-left corner, drawn row by row: every tile is
// drawn at 1:1, where the blit is a same-size row operation whose pixels do
// not depend on their neighbours, so each canvas row is combined with one
// row of tiles laid out once, and the cost follows the pixels written, not
// the number of tiles. The pixels are those of drawing the tiles one by one
// (ForEachTile). False, with nothing drawn, when memory for the row of tiles
// runs out.
bool DrawTilesByRows(Canvas* canvas, const owlRect& dst, Texture* texture, const owlRect& src,
                     uint32_t resampleFilter, uint8_t alpha);

// As DrawTexturePiece, drawing only the part of dst inside limit: a tile cut
// at a cell's edge samples the texels its visible part maps to, as a tile
// cut by the clip does.
bool DrawTexturePieceWithin(Canvas* canvas, const owlRect* dst, Texture* texture, const owlRect* src,
                            const owlRect* limit, uint32_t resampleFilter, uint8_t alpha);

}  // namespace owl
