// Piece layouts of the texture drawing functions: where each piece of a
// tiling, a top tiling or a nine-grid lands on the canvas and which texels
// it reads.
//
// Layouts are computed in 64 bits so that requests near the ends of the
// int32 range cannot wrap. A piece is handed out only when it is sound: both
// rectangles proper (left < right, top < bottom), the destination inside the
// request and the source inside the validated source rectangle. Margins
// larger than the rectangle they cut, negative margins and wrapped edges make
// pieces that fail this, and such a piece draws nothing.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/geometry.h"

namespace owl {

struct TexturePiece {
  owlRect dst;
  owlRect src;
};

struct Rect64 {
  int64_t left, top, right, bottom;
};

inline Rect64 ToRect64(const owlRect& r) { return Rect64{r.left, r.top, r.right, r.bottom}; }

// True when inner is proper and lies inside outer.
inline bool ProperInside(const Rect64& inner, const owlRect& outer) {
  return inner.left < inner.right && inner.top < inner.bottom && inner.left >= outer.left &&
         inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// Fills piece and returns true when the pair is sound (see above).
inline bool MakeSoundPiece(const Rect64& dst, const Rect64& src, const owlRect& request,
                           const owlRect& source, TexturePiece* piece) {
  if (!ProperInside(dst, request) || !ProperInside(src, source)) return false;
  piece->dst = owlRect{int32_t(dst.left), int32_t(dst.top), int32_t(dst.right), int32_t(dst.bottom)};
  piece->src = owlRect{int32_t(src.left), int32_t(src.top), int32_t(src.right), int32_t(src.bottom)};
  return true;
}

// The first edge start + k * step (k >= 0) of a run of tiles whose tile ends
// after from: the tiles before it lie wholly left of (or above) from.
inline int64_t FirstTileEdge(int64_t start, int64_t from, int64_t step) {
  if (from <= start) return start;
  return start + (from - start) / step * step;
}

// Tiles of s at its own size anchored at d's top-left corner; the last column
// and row are cut, never scaled. Only tiles that can meet area (the canvas
// clip) are visited: the others would be clipped away whole, so skipping them
// changes no pixel and keeps huge requests cheap.
template <typename Fn>
void ForEachTile(const owlRect& d, const owlRect& s, const owlRect& area, Fn&& fn) {
  const int64_t sw = Width64(s), sh = Height64(s);
  if (sw <= 0 || sh <= 0) return;
  const int64_t right = std::min<int64_t>(d.right, area.right);
  const int64_t bottom = std::min<int64_t>(d.bottom, area.bottom);
  for (int64_t y = FirstTileEdge(d.top, area.top, sh); y < bottom; y += sh) {
    const int64_t h = std::min<int64_t>(y + sh, d.bottom) - y;
    for (int64_t x = FirstTileEdge(d.left, area.left, sw); x < right; x += sw) {
      const int64_t w = std::min<int64_t>(x + sw, d.right) - x;
      TexturePiece piece;
      if (MakeSoundPiece(Rect64{x, y, x + w, y + h}, Rect64{s.left, s.top, s.left + w, s.top + h}, d, s,
                         &piece))
        fn(piece);
    }
  }
}

// Columns of s's width across d, each a top band (the first margins.top rows
// of s at their own size) over a body (the last margins.bottom rows of s,
// stretched to the height left below the band). Only the top and bottom
// margins are read. Columns that cannot meet area are skipped as in
// ForEachTile.
template <typename Fn>
void ForEachTopTilePiece(const owlRect& d, const owlRect& s, const owlRect& margins, const owlRect& area,
                         Fn&& fn) {
  const int64_t sw = Width64(s);
  if (sw <= 0) return;
  const int64_t band = margins.top;
  const int64_t bandBottom = std::min<int64_t>(int64_t(d.top) + band, d.bottom);
  const int64_t bodyTop = int64_t(d.top) + band;
  const int64_t bodySrcTop = int64_t(s.bottom) - margins.bottom;
  const int64_t right = std::min<int64_t>(d.right, area.right);
  for (int64_t x = FirstTileEdge(d.left, area.left, sw); x < right; x += sw) {
    const int64_t w = std::min<int64_t>(x + sw, d.right) - x;
    TexturePiece piece;
    if (MakeSoundPiece(Rect64{x, d.top, x + w, bandBottom},
                       Rect64{s.left, s.top, s.left + w, s.top + (bandBottom - d.top)}, d, s, &piece))
      fn(piece);
    if (MakeSoundPiece(Rect64{x, bodyTop, x + w, d.bottom}, Rect64{s.left, bodySrcTop, s.left + w, s.bottom}, d,
                       s, &piece))
      fn(piece);
  }
}

// The nine cells of d and of s cut by the same margins (corners 0, 2, 6, 8,
// edges 1, 3, 5, 7, middle 4); sound[i] tells whether cell i may be drawn.
void NineGridPieces(const owlRect& d, const owlRect& s, const owlRect& margins, TexturePiece pieces[9],
                    bool sound[9]);

// The texel at the centre of a sound source cell, whose colour fills a
// nine-grid's solid middle.
inline owlPoint CellCenter(const owlRect& cell) {
  return owlPoint{int32_t((int64_t(cell.left) + cell.right) / 2), int32_t((int64_t(cell.top) + cell.bottom) / 2)};
}

}  // namespace owl
