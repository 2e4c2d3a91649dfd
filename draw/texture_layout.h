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

// ---- The scaled nine-grid ---------------------------------------------------

// One axis of a scaled nine-grid: bands [cut[0], cut[1]), [cut[1], cut[2])
// and [cut[2], cut[3]).
struct GridAxis {
  int64_t cut[4];
};

// [begin, end) cut by margins m0 and m1 (each >= 0). When they add up to
// more than the length n, they shrink in proportion: m0 becomes
// floor(m0 * n / (m0 + m1)) and m1 the rest, so the outer bands meet. An
// empty or reversed range gives empty bands.
GridAxis CutGridAxis(int64_t begin, int64_t end, int64_t m0, int64_t m1);

// Length of a repeated middle tile: the source middle's length times the
// display scale of the other axis (destination margins / source margins
// there), rounded to nearest, at least 1; its own length when either sum of
// margins is 0.
int64_t GridTileLength(int64_t srcLength, int64_t dstMargins, int64_t srcMargins);

// Every piece of a scaled nine-grid of s (texels) on d: corners scaled from
// their source cells, edges and middle stretched along an axis or, where
// repeat[axis] is set, repeated from the band's start with tiles of
// tile[axis] pixels, the last one cut at the band's end. fn(tile, src, cell)
// gets the tile's destination (64 bits, it may reach past the cell), its
// source and the cell that limits it. Tiles that cannot meet area, or whose
// edges leave the int32 range, are not visited; neither are empty cells and
// the middle when withMiddle is false.
template <typename Fn>
void ForEachScaledGridPiece(const GridAxis& dx, const GridAxis& dy, const GridAxis& sx, const GridAxis& sy,
                            const bool repeat[2], const int64_t tile[2], bool withMiddle, const owlRect& area,
                            Fn&& fn) {
  const auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      if (i == 1 && j == 1 && !withMiddle) continue;
      const Rect64 cell{dx.cut[i], dy.cut[j], dx.cut[i + 1], dy.cut[j + 1]};
      const owlRect src{int32_t(sx.cut[i]), int32_t(sy.cut[j]), int32_t(sx.cut[i + 1]), int32_t(sy.cut[j + 1])};
      if (cell.left >= cell.right || cell.top >= cell.bottom || src.left >= src.right || src.top >= src.bottom)
        continue;
      const owlRect limit{int32_t(cell.left), int32_t(cell.top), int32_t(cell.right), int32_t(cell.bottom)};
      // A stretched axis is one tile as long as the cell.
      const int64_t stepX = i == 1 && repeat[0] ? tile[0] : cell.right - cell.left;
      const int64_t stepY = j == 1 && repeat[1] ? tile[1] : cell.bottom - cell.top;
      const int64_t right = std::min<int64_t>(cell.right, area.right);
      const int64_t bottom = std::min<int64_t>(cell.bottom, area.bottom);
      for (int64_t y = FirstTileEdge(cell.top, area.top, stepY); y < bottom; y += stepY) {
        if (!fits(y + stepY)) break;
        for (int64_t x = FirstTileEdge(cell.left, area.left, stepX); x < right; x += stepX) {
          if (!fits(x + stepX)) break;
          fn(owlRect{int32_t(x), int32_t(y), int32_t(x + stepX), int32_t(y + stepY)}, src, limit);
        }
      }
    }
}

}  // namespace owl
