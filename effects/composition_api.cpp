// Exported canvas composition: cross-fade, opaque blend and fade towards a
// colour.
//
// The rectangles are locked as given: a rectangle reversed as given, or one
// that the wrapping map leaves reversed or reaching outside its canvas, is
// refused, and such a call draws nothing. Rectangles of one canvas that
// overlap give the pixels of the plain loop, row by row from the top and
// left to right, each pixel read after the ones before it were written: the
// vector forms read ahead, so such calls take the plain forms. Equal sizes
// walk both blocks one to one; other sizes sample the source by nearest
// neighbour with 16.16 steps (source size << 16) / destination size, which
// needs a destination of at least one pixel each way, so an empty
// destination or source of another size draws nothing. The mix kernels use
// MMX, the opaque blend SSE, the colour fade MMX; the mix's MMX form splits
// the truncation and may be one lower than the plain one, the others agree.
#include <cstddef>
#include <cstdint>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "resample/stretch.h"
#include "rows/mix_rows.h"
#include "rows/row_ops.h"

namespace owl {
namespace {

using RowFn = void (*)(uint32_t*, const uint32_t*, int32_t, uint32_t, uint8_t);

bool SameSize(const BitmapBits& a, const BitmapBits& b) { return a.width == b.width && a.height == b.height; }
// A stretch divides by the destination's size and reads the source.
bool CanStretch(const BitmapBits& dst, const BitmapBits& src) {
  return dst.width > 0 && dst.height > 0 && src.width > 0 && src.height > 0;
}

// The device rectangle of a locked view of whole.
owlRect Place(const BitmapBits& whole, const BitmapBits& view) {
  const std::ptrdiff_t offset = static_cast<const uint8_t*>(view.bits) - static_cast<const uint8_t*>(whole.bits);
  const int32_t x = int32_t(offset % whole.pitch / 4), y = int32_t(offset / whole.pitch);
  return owlRect{x, y, x + view.width, y + view.height};
}

// True when two views of one canvas share a pixel.
bool Overlap(const Canvas& d, const Canvas& s, const BitmapBits& a, const BitmapBits& b) {
  if (&d != &s || a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  owlRect both;
  return Intersect(both, Place(d.texture()->pixels(), a), Place(d.texture()->pixels(), b));
}

// The plain loop of one row kernel over every destination row with the
// matching source row, rows from the top: the order overlapping rectangles
// are defined by.
void RunPlainRows(const BitmapBits& dst, const BitmapBits& src, RowFn row, uint8_t alpha) {
  if (SameSize(dst, src)) {
    for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width, 0x10000, alpha);
    return;
  }
  if (!CanStretch(dst, src)) return;
  const uint32_t stepX = uint32_t((src.width << 16) / dst.width);
  const uint32_t stepY = uint32_t((src.height << 16) / dst.height);
  uint32_t sy = 0;
  for (int32_t y = 0; y < dst.height; ++y, sy += stepY)
    row(RowAt(dst, y), RowAt(src, int32_t(sy >> 16)), dst.width, stepX, alpha);
}

// Resolves both canvases (dst first) and locks both rectangles as given,
// then runs body(dstBlock, srcBlock, alpha, overlap), overlap telling that
// the blocks share pixels. 0 for a bad handle, 1 otherwise.
int WithTwoCanvases(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha,
                    void (*body)(const BitmapBits&, const BitmapBits&, uint8_t, bool)) {
  const Canvas* d = CanvasFromHandle(dst);
  if (!d) return 0;
  const Canvas* s = CanvasFromHandle(src);
  if (!s) return 0;
  BitmapBits db, sb;
  if (!dstRect || !srcRect || !d->LockAsGiven(&db, *dstRect)) return 1;
  if (s->LockAsGiven(&sb, *srcRect)) {
    body(db, sb, alpha, Overlap(*d, *s, db, sb));
    s->Unlock();
  }
  d->Unlock();
  return 1;
}

// The cross-fade: opaque, a copy or a nearest stretch of the source.
void Mix(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha, bool overlap) {
  if (alpha == 0) return;
  if (overlap) {
    RunPlainRows(dst, src, MixRow_C, alpha);  // at 255 it copies: (s * 256) >> 8
  } else if (alpha != 255) {
    MixRows(dst, src, alpha);
  } else if (SameSize(dst, src)) {
    CopyRows(dst, src);
  } else if (CanStretch(dst, src)) {
    StretchNearest(dst, src);
  }
}

void BlendOpaque(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha, bool overlap) {
  if (overlap) {
    RunPlainRows(dst, src, BlendOpaqueRow_C, alpha);
  } else {
    BlendOpaqueRows(dst, src, alpha);
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
  return owl::WithTwoCanvases(dst, dstRect, src, srcRect, alpha, owl::BlendOpaque);
}

int OWL_CALL MixCanvasWithColor(HGCANVAS canvas, const owlRect* rect, uint32_t color, uint8_t alpha) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  BitmapBits block;
  if (!rect || !c->LockAsGiven(&block, *rect)) return 1;
  owl::MixColorRows(block, color, alpha);
  c->Unlock();
  return 1;
}
