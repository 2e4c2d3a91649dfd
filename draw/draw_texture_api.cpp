// Exported texture drawing functions: plain stretch, nine-grid, tiling, top
// tiling and centred fit, and DrawTextureEx's choice among them by the
// texture's own mode.
#include "core/canvas.h"
#include "core/handle_table.h"
#include "core/pixel_math.h"
#include "core/texture.h"
#include "draw/blit_dispatch.h"
#include "draw/draw_geometry.h"
#include "draw/draw_texture.h"
#include "draw/fill_rect.h"
#include "draw/texture_layout.h"
#include "owlgraphic.h"

using owl::Canvas;
using owl::Texture;
using owl::TexturePiece;

namespace {

enum DrawStyle : uint32_t {
  kDrawStyleNineGrid = OWL_MODE_NINE_GRID,
  kDrawStyleTile = OWL_MODE_TILE,
  kDrawStyleCenter = OWL_MODE_CENTER,
  kDrawStyleNineGridFill = OWL_MODE_NINE_GRID_SOLID,
  kDrawStyleTopTile = OWL_MODE_TOP_TILE,
};

// A draw request resolved: the texture first, then the canvas, then the
// source rectangle, validated once per call.
struct Request {
  Canvas* canvas = nullptr;
  Texture* texture = nullptr;
  owlRect source{0, 0, 0, 0};

  void Draw(const TexturePiece& piece, uint32_t resampleFilter, uint8_t alpha) const {
    owl::DrawTexturePiece(canvas, &piece.dst, texture, &piece.src, resampleFilter, alpha);
  }
};

bool Resolve(HGCANVAS canvas, HGTEXTURE texture, const owlRect* src, Request* r) {
  r->texture = owl::TextureFromHandle(texture);
  if (!r->texture) return false;
  r->canvas = owl::CanvasFromHandle(canvas);
  if (!r->canvas) return false;
  return owl::ValidateSourceRect(r->texture, &r->source, src);
}

// The colour of a nine-grid's solid middle: the texel at the centre of the
// source's middle cell, scaled by the constant alpha unless the texture
// multiplies. False when the texel cannot be locked.
bool MiddleColor(const Texture& texture, const owlRect& srcCell, uint8_t alpha, uint32_t* color) {
  const owlPoint c = owl::CellCenter(srcCell);
  const owlRect texel{c.x, c.y, c.x + 1, c.y + 1};
  BitmapBits bits;
  if (!texture.Lock(&bits, &texel) || !bits.bits || bits.width != 1 || bits.height != 1) return false;
  uint32_t v = *static_cast<const uint32_t*>(bits.bits);
  texture.Unlock();
  if ((texture.filter() >> 24) != owl::kBlendMultiply) v = owl::ScaleByAlpha(v, alpha);
  *color = v;
  return true;
}

unsigned int NineGrid(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                      const owlRect* margins, unsigned int resampleFilter, bool fillCenter, unsigned char alpha) {
  Request r;
  if (!Resolve(canvas, texture, src, &r) || !dst || !margins) return 0;
  TexturePiece cells[9];
  bool sound[9];
  owl::NineGridPieces(*dst, r.source, *margins, cells, sound);
  const uint32_t filter = r.texture->filter();
  for (int i = 0; i < 9; ++i) {
    if (!sound[i]) continue;
    owlRect clipped, mapped;
    if (!owl::ClipToCanvas(r.canvas, &cells[i].dst, &clipped)) continue;
    if (!owl::MapToSource(&cells[i].dst, &cells[i].src, &clipped, &mapped)) continue;
    if (fillCenter && i == 4) {
      // At alpha 0 the cells around it draw nothing, and neither does the
      // middle: a copy fill of the scaled colour would clear it instead.
      if (alpha == 0 && (filter >> 24) != owl::kBlendMultiply) continue;
      uint32_t color;
      // The fill clips the whole cell itself.
      if (MiddleColor(*r.texture, cells[i].src, alpha, &color))
        owl::FillCanvasRect(*r.canvas, color, cells[i].dst, filter);
      continue;
    }
    owl::BlitLocked(r.canvas, &clipped, r.texture, &mapped, filter, resampleFilter, alpha);
  }
  return 1;
}

unsigned int TopTile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src, const owlRect* margins,
                     unsigned int resampleFilter, unsigned char alpha) {
  Request r;
  if (!Resolve(canvas, texture, src, &r) || !dst || !margins) return 0;
  owl::ForEachTopTilePiece(*dst, r.source, *margins, r.canvas->LogicalClip(),
                           [&](const TexturePiece& p) { r.Draw(p, resampleFilter, alpha); });
  return 1;
}

unsigned int Tile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                  unsigned int resampleFilter, unsigned char alpha) {
  Request r;
  if (!Resolve(canvas, texture, src, &r) || !dst) return 0;
  // Tile by tile only when memory for a row of tiles runs out.
  if (!owl::DrawTilesByRows(r.canvas, *dst, r.texture, r.source, resampleFilter, alpha))
    owl::ForEachTile(*dst, r.source, r.canvas->LogicalClip(),
                     [&](const TexturePiece& p) { r.Draw(p, resampleFilter, alpha); });
  return 1;
}

unsigned int Center(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                    unsigned int resampleFilter, unsigned char alpha) {
  Request r;
  if (!Resolve(canvas, texture, src, &r) || !dst) return 0;
  owlRect fitted;
  owl::CenterFit(dst, &r.source, &fitted);
  TexturePiece piece;
  if (owl::MakeSoundPiece(owl::ToRect64(fitted), owl::ToRect64(r.source), *dst, r.source, &piece))
    r.Draw(piece, resampleFilter, alpha);
  return 1;
}

bool MarginsValid(const owlRect* m) { return m && m->left >= 0 && m->top >= 0 && m->right >= 0 && m->bottom >= 0; }

int ScaledNineGrid(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                   const owlRect* srcMargins, const owlRect* dstMargins, unsigned int flags,
                   unsigned int resampleFilter, unsigned char alpha) {
  Request r;
  if (!Resolve(canvas, texture, src, &r) || !dst || !MarginsValid(srcMargins) || !MarginsValid(dstMargins)) return 0;
  const owlRect& s = r.source;
  const owl::GridAxis sx = owl::CutGridAxis(s.left, s.right, srcMargins->left, srcMargins->right);
  const owl::GridAxis sy = owl::CutGridAxis(s.top, s.bottom, srcMargins->top, srcMargins->bottom);
  const owl::GridAxis dx = owl::CutGridAxis(dst->left, dst->right, dstMargins->left, dstMargins->right);
  const owl::GridAxis dy = owl::CutGridAxis(dst->top, dst->bottom, dstMargins->top, dstMargins->bottom);
  const bool repeat[2] = {(flags & OWL_GRID_REPEAT_X) != 0, (flags & OWL_GRID_REPEAT_Y) != 0};
  const int64_t tile[2] = {
      owl::GridTileLength(sx.cut[2] - sx.cut[1], int64_t(dstMargins->top) + dstMargins->bottom,
                          int64_t(srcMargins->top) + srcMargins->bottom),
      owl::GridTileLength(sy.cut[2] - sy.cut[1], int64_t(dstMargins->left) + dstMargins->right,
                          int64_t(srcMargins->left) + srcMargins->right)};
  owl::ForEachScaledGridPiece(dx, dy, sx, sy, repeat, tile, (flags & OWL_GRID_NO_MIDDLE) == 0,
                              r.canvas->LogicalClip(), [&](const owlRect& d, const owlRect& t, const owlRect& cell) {
                                owl::DrawTexturePieceWithin(r.canvas, &d, r.texture, &t, &cell, resampleFilter, alpha);
                              });
  return 1;
}

int ByMode(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, unsigned int resampleFilter, unsigned char alpha) {
  Request r;
  Texture* t = r.texture = owl::TextureFromHandle(texture);
  if (!t || !(r.canvas = owl::CanvasFromHandle(canvas))) return 0;
  const TextureMode mode = t->mode();
  const owlRect* slice = t->CurrentSlice();
  switch (mode.kind) {
    case kDrawStyleNineGrid:
    case kDrawStyleNineGridFill:
      return int(NineGrid(canvas, dst, texture, slice, &mode.margins, resampleFilter,
                          mode.kind == kDrawStyleNineGridFill, alpha));
    case kDrawStyleTile:
      return int(Tile(canvas, dst, texture, slice, resampleFilter, alpha));
    case kDrawStyleCenter:
      return int(Center(canvas, dst, texture, slice, resampleFilter, alpha));
    case kDrawStyleTopTile:
      return int(TopTile(canvas, dst, texture, slice, &mode.margins, resampleFilter, alpha));
    default:
      break;
  }
  // A plain stretch: the handles resolved above serve the piece.
  if (!owl::ValidateSourceRect(t, &r.source, slice) || !dst) return 0;
  r.Draw(TexturePiece{*dst, r.source}, resampleFilter, alpha);
  return 1;
}

}  // namespace

int OWL_CALL DrawTexture9GridEx(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                                const owlRect* srcMargins, const owlRect* dstMargins, unsigned int flags,
                                unsigned int resampleFilter, unsigned char alpha) {
  return ScaledNineGrid(canvas, dst, texture, src, srcMargins, dstMargins, flags, resampleFilter, alpha);
}

int OWL_CALL DrawTexture(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, unsigned int resampleFilter) {
  return ByMode(canvas, dst, texture, resampleFilter, 255);
}

int OWL_CALL DrawTextureEx(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, unsigned int resampleFilter,
                           unsigned char alpha) {
  return ByMode(canvas, dst, texture, resampleFilter, alpha);
}

unsigned int OWL_CALL DrawTexture9Grid(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                                       const owlRect* margins, unsigned int resampleFilter, bool fillCenter,
                                       unsigned char alpha) {
  return NineGrid(canvas, dst, texture, src, margins, resampleFilter, fillCenter, alpha);
}

unsigned int OWL_CALL DrawTextureTopTile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                                         const owlRect* margins, unsigned int resampleFilter, unsigned char alpha) {
  return TopTile(canvas, dst, texture, src, margins, resampleFilter, alpha);
}

unsigned int OWL_CALL DrawTextureTile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                                      unsigned int resampleFilter, unsigned char alpha) {
  return Tile(canvas, dst, texture, src, resampleFilter, alpha);
}

unsigned int OWL_CALL DrawTextureCenter(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture, const owlRect* src,
                                        unsigned int resampleFilter, unsigned char alpha) {
  return Center(canvas, dst, texture, src, resampleFilter, alpha);
}
