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

using RowFn = void (*)(uint32_t*, const uint32_t*, int32_t, uint32_t, uint8_t);

bool SameSize(const BitmapBits& a, const BitmapBits& b) { return a.width == b.width && a.height == b.height; }
// A stretch divides by the destination's size and reads the source.
bool CanStretch(const BitmapBits& dst, const BitmapBits& src) {
  return dst.width > 0 && dst.height > 0 && src.width > 0 && src.height > 0;
}

// True when the bytes the two blocks span meet (one canvas given twice).
bool Overlap(const BitmapBits& a, const BitmapBits& b) {
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  const auto start = [](const BitmapBits& v) { return reinterpret_cast<uintptr_t>(v.bits); };
  const auto end = [&](const BitmapBits& v) {
    return start(v) + uintptr_t(v.height - 1) * uintptr_t(v.pitch) + uintptr_t(v.width) * 4;
  };
  return start(a) < end(b) && start(b) < end(a);
}

// The opaque cross-fade at one size: the block copy, or, for rectangles of
// one canvas that overlap, a row-by-row move from the top (a block copy of
// overlapping rows is undefined).
void CopyOpaqueRows(const BitmapBits& dst, const BitmapBits& src) {
  if (!Overlap(dst, src)) {
    CopyRows(dst, src);
    return;
  }
  for (int32_t y = 0; y < dst.height; ++y) std::memmove(RowAt(dst, y), RowAt(src, y), size_t(dst.width) * 4);
}

// Runs row over every destination row with the matching source row.
void RunRows(const BitmapBits& dst, const BitmapBits& src, RowFn row, uint8_t alpha) {
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

// Resolves both canvases (dst first) and locks both rectangles, then runs
// body(dstBlock, srcBlock). 0 for a bad handle, 1 otherwise.
template <typename Body>
int WithTwoCanvases(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, Body body) {
  const Canvas* d = CanvasFromHandle(dst);
  if (!d) return 0;
  const Canvas* s = CanvasFromHandle(src);
  if (!s) return 0;
  BitmapBits db, sb;
  if (!dstRect || !srcRect || !d->Lock(&db, *dstRect)) return 1;
  if (s->Lock(&sb, *srcRect)) {
    body(db, sb);
    s->Unlock();
  }
  d->Unlock();
  return 1;
}

uint32_t ScaleColor(uint32_t color, uint8_t alpha) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= (((color >> shift & 0xFF) * (alpha + 1u)) >> 8) << shift;
  return out;
}

}  // namespace
}  // namespace owl

using owl::Canvas;
using owl::CanvasFromHandle;

int OWL_CALL MixCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha) {
  return owl::WithTwoCanvases(dst, dstRect, src, srcRect, [alpha](const BitmapBits& d, const BitmapBits& s) {
    if (alpha == 0) return;
    if (alpha == 255) {
      if (owl::SameSize(d, s)) {
        owl::CopyOpaqueRows(d, s);
      } else if (owl::CanStretch(d, s)) {
        owl::StretchNearest(d, s);
      }
      return;
    }
    owl::RowFn row = owl::MixRow_C;
#if defined(OWL_HAVE_MMX)
    if (owl::HasMMX()) row = owl::HasAVX2() ? owl::MixRow_AVX2 : owl::MixRow_MMX;
#endif
    owl::RunRows(d, s, row, alpha);
  });
}

int OWL_CALL BlendCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src, const owlRect* srcRect, uint8_t alpha) {
  return owl::WithTwoCanvases(dst, dstRect, src, srcRect, [alpha](const BitmapBits& d, const BitmapBits& s) {
    owl::RowFn row = owl::BlendOpaqueRow_C;
#if defined(OWL_HAVE_MMX)
    if (owl::HasSSE()) row = owl::BlendOpaqueRow_SSE;
    // Eight pixels a step, unless the rectangles share pixels of one canvas.
    if (owl::HasAVX2() && !owl::Overlap(d, s)) row = owl::BlendOpaqueRow_AVX2;
#endif
    owl::RunRows(d, s, row, alpha);
  });
}

int OWL_CALL MixCanvasWithColor(HGCANVAS canvas, const owlRect* rect, uint32_t color, uint8_t alpha) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  BitmapBits block;
  if (!rect || !c->Lock(&block, *rect)) return 1;
  if (alpha == 255) {
    owl::FillRows(block, color);
  } else if (alpha != 0) {
    void (*row)(uint32_t*, int32_t, uint32_t, uint8_t) = owl::MixColorRow_C;
#if defined(OWL_HAVE_MMX)
    if (owl::HasMMX()) row = owl::MixColorRow_MMX;
#endif
    const uint32_t scaled = owl::ScaleColor(color, alpha);
    for (int32_t y = 0; y < block.height; ++y) row(owl::RowAt(block, y), block.width, scaled, alpha);
  }
  c->Unlock();
  return 1;
}
