// Exported canvas functions.
#include <new>

#include "core/canvas.h"
#include "core/handle_table.h"
#include "owlgraphic.h"

using owl::Canvas;
using owl::CanvasFromHandle;

HGCANVAS OWL_CALL CreateCanvas(int width, int height, HGCANVAS parent) {
  Canvas* c = new (std::nothrow) Canvas;
  if (!c) return HGCANVAS(0u);
  if (!c->Create(width, height)) {
    delete c;
    return HGCANVAS(0u);
  }
  const uint32_t handle = owl::RegisterCanvas(c);
  if (handle == 0) {
    delete c;
    return HGCANVAS(0u);
  }
  if (const Canvas* p = CanvasFromHandle(parent)) c->set_filter(p->filter());
  return HGCANVAS(handle);
}

int OWL_CALL DeleteCanvas(HGCANVAS canvas) {
  Canvas* c = owl::TakeCanvas(canvas);
  if (!c) return 0;
  delete c;
  return 1;
}

int OWL_CALL GetCanvasBkColor(HGCANVAS canvas, uint32_t* color) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !color) return 0;
  *color = c->bk_color();
  return 1;
}

int OWL_CALL SetCanvasBkColor(HGCANVAS canvas, uint32_t color, uint32_t* oldColor) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  if (oldColor) *oldColor = c->bk_color();
  c->set_bk_color(color);
  return 1;
}

int OWL_CALL GetWindowOrg(HGCANVAS canvas, owlPoint* origin) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !origin) return 0;
  *origin = c->window_org();
  return 1;
}

int OWL_CALL SetWindowOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  if (oldOrigin) *oldOrigin = c->window_org();
  c->set_window_org(owlPoint{x, y});
  return 1;
}

int OWL_CALL GetViewportOrg(HGCANVAS canvas, owlPoint* origin) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !origin) return 0;
  *origin = c->viewport_org();
  return 1;
}

int OWL_CALL SetViewportOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  if (oldOrigin) *oldOrigin = c->viewport_org();
  c->set_viewport_org(owlPoint{x, y});
  return 1;
}

int OWL_CALL GetCanvasFilter(HGCANVAS canvas, uint32_t* filter) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !filter) return 0;
  *filter = c->filter();
  return 1;
}

int OWL_CALL SetCanvasFilter(HGCANVAS canvas, uint32_t filter) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  c->set_filter(filter);
  return 1;
}

int OWL_CALL GetCanvasClip(HGCANVAS canvas, owlRect* clip) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !clip) return 0;
  *clip = c->LogicalClip();
  return 1;
}

int OWL_CALL SetCanvasClip(HGCANVAS canvas, const owlRect* clip, owlRect* oldClip) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c || !clip) return 0;
  if (oldClip) *oldClip = c->LogicalClip();
  c->SetLogicalClip(*clip);
  return 1;
}

int OWL_CALL GetCanvasClipBits(HGCANVAS canvas, BitmapBits* bits) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !bits || !c->texture()) return 0;
  return c->texture()->Lock(bits, &c->clip()) ? 1 : 0;
}

int OWL_CALL LockCanvasBits(HGCANVAS canvas, BitmapBits* bits, const owlRect* rect) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !bits || !rect) return 0;
  return c->Lock(bits, *rect) ? 1 : 0;
}

int OWL_CALL UnlockCanvasBits(HGCANVAS canvas) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  c->Unlock();
  return 1;
}

HGTEXTURE OWL_CALL CanvasToTexture(HGCANVAS canvas) {
  Canvas* c = CanvasFromHandle(canvas);
  if (!c) return HGTEXTURE(0u);
  const uint32_t filter = c->filter();
  owl::Texture* t = c->DetachTexture();
  if (t && (filter >> 24) != 1) {
    // Every kind but source-over makes the pixels opaque.
    const BitmapBits& px = t->pixels();
    for (int32_t y = 0; y < px.height; ++y) {
      uint32_t* row = owl::RowAt(px, y);
      for (int32_t x = 0; x < px.width; ++x) row[x] |= 0xFF000000u;
    }
  }
  owl::ReleaseHandle(canvas.value);
  delete c;
  if (!t) return HGTEXTURE(0u);
  const uint32_t handle = owl::RegisterTexture(t);
  if (handle == 0) delete t;
  return HGTEXTURE(handle);
}
