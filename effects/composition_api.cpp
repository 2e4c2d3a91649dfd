// Exported canvas composition: cross-fade, opaque blend and fade towards a
// colour.
//
// The rectangles are locked as given: the lock refuses one that is reversed
// or reaches outside its canvas, and such a call draws nothing. Equal sizes
// walk both blocks one to one; other sizes sample the source by nearest
// neighbour with 16.16 steps (source size << 16) / destination size, which
// needs a destination of at least one pixel each way, so an empty
// destination or source of another size draws nothing. The mix kernels use
// MMX, the opaque blend SSE, the colour fade MMX; the mix's MMX form splits
// the truncation and may be one lower than the plain one, the others agree.
#include <cstdint>
#include <cstring>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "resample/stretch.h"
#include "rows/mix_rows.h"
#include "rows/row_ops.h"

namespace owl {
namespace {

bool SameSize(const BitmapBits& a, const BitmapBits& b) { return a.width == b.width && a.height == b.height; }
// A stretch divides by the destination's size and reads the source.
bool CanStretch(const BitmapBits& dst, const BitmapBits& src) {
  return dst.width > 0 && dst.height > 0 && src.width > 0 && src.height > 0;
}

// The opaque cross-fade at one size: the block copy, or, for rectangles of
// one canvas that overlap, a row-by-row move from the top (a block copy of
// overlapping rows is undefined).
void CopyOpaqueRows(const BitmapBits& dst, const BitmapBits& src) {
  if (!BlocksOverlap(dst, src)) {
    CopyRows(dst, src);
    return;
  }
  for (int32_t y = 0; y < dst.height; ++y) std::memmove(RowAt(dst, y), RowAt(src, y), size_t(dst.width) * 4);
}

// Resolves both canvases (dst first) and locks both rectangles, then runs
// body(dstBlock, srcBlock, alpha). 0 for a bad handle, 1 otherwise.
int WithTwoCanvases(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha,
                    void (*body)(const BitmapBits&, const BitmapBits&, uint8_t)) {
  const Canvas* d = CanvasFromHandle(dst);
  if (!d) return 0;
  const Canvas* s = CanvasFromHandle(src);
  if (!s) return 0;
  BitmapBits db, sb;
  if (!dstRect || !srcRect || !d->Lock(&db, *dstRect)) return 1;
  if (s->Lock(&sb, *srcRect)) {
    body(db, sb, alpha);
    s->Unlock();
  }
  d->Unlock();
  return 1;
}

// The cross-fade: opaque, a copy or a nearest stretch of the source.
void Mix(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha != 255) {
    MixRows(dst, src, alpha);
  } else if (SameSize(dst, src)) {
    CopyOpaqueRows(dst, src);
  } else if (CanStretch(dst, src)) {
    StretchNearest(dst, src);
  }
}

}  // namespace
}  // namespace owl

using owl::Canvas;
using owl::CanvasFromHandle;

int OWL_CALL MixCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha) {
  return owl::WithTwoCanvases(dst, dstRect, src, srcRect, alpha, owl::Mix);
}

int OWL_CALL BlendCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha) {
  return owl::WithTwoCanvases(dst, dstRect, src, srcRect, alpha, owl::BlendOpaqueRows);
}

int OWL_CALL MixCanvasWithColor(HGCANVAS canvas, const owlRect* rect, uint32_t color, uint8_t alpha) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  BitmapBits block;
  if (!rect || !c->Lock(&block, *rect)) return 1;
  owl::MixColorRows(block, color, alpha);
  c->Unlock();
  return 1;
}
