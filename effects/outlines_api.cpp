// One-pixel rectangle, focus-rectangle and rounded-rectangle outlines.
//
// Every coordinate is widened to 64 bits: rectangles and radii may be any
// int32, and an edge such as right - rx - 1 must not wrap. Spans clamp their
// ends to the clipped rectangle and skip a fixed row or column outside it,
// so nothing outside the locked block is touched.
#include <algorithm>
#include <cmath>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/pixel_math.h"
#include "core/x87_precision.h"
#include "draw/draw_geometry.h"
#include "owlgraphic.h"

namespace owl {
namespace {

// The solid write rule: an opaque colour replaces, any other blends.
inline void PutPixel(uint32_t* p, uint32_t color) { *p = color >= 0xFF000000u ? color : OverWrap(color, *p); }

// A locked block of the clipped rectangle, addressed in logical coordinates.
struct Target {
  const Canvas* canvas;
  owlRect clip;
  BitmapBits block;
  uint32_t color;

  bool Contains(int64_t x, int64_t y) const {
    return clip.left <= x && x < clip.right && clip.top <= y && y < clip.bottom;
  }
  uint32_t* At(int64_t x, int64_t y) const {
    return PixelAtUnchecked(block, int32_t(x - clip.left), int32_t(y - clip.top));
  }
  void Pixel(int64_t x, int64_t y) const {
    if (Contains(x, y)) PutPixel(At(x, y), color);
  }

  // Pixels x0..x1 (inclusive) of row y; dotted spans write every other
  // pixel, starting with the second after clamping.
  void HSpan(int64_t x0, int64_t x1, int64_t y, bool dotted) const {
    if (y < clip.top || y >= clip.bottom) return;
    x0 = std::max<int64_t>(x0, clip.left);
    x1 = std::min<int64_t>(x1, int64_t(clip.right) - 1);
    if (x1 < x0) return;
    Run(At(x0, y), 1, x1 - x0 + 1, dotted);
  }
  void VSpan(int64_t y0, int64_t y1, int64_t x, bool dotted) const {
    if (x < clip.left || x >= clip.right) return;
    y0 = std::max<int64_t>(y0, clip.top);
    y1 = std::min<int64_t>(y1, int64_t(clip.bottom) - 1);
    if (y1 < y0) return;
    Run(At(x, y0), block.pitch / 4, y1 - y0 + 1, dotted);
  }

 private:
  void Run(uint32_t* p, std::ptrdiff_t step, int64_t count, bool dotted) const {
    if (dotted) {
      for (int64_t i = 1; i < count; i += 2) p[i * step] = OverWrap(color, p[i * step]);
    } else {
      for (int64_t i = 0; i < count; ++i) PutPixel(p + i * step, color);
    }
  }
};

// Which sides of rect survived the clip unchanged.
struct Sides {
  bool top, bottom, left, right;
};

// Resolves, clips and locks. Returns -1 to go on (target filled), else the
// call's result.
int Prepare(HGCANVAS canvas, const owlRect* rect, uint32_t color, bool needSomeSide, Target* target, Sides* sides) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c || !rect) return 0;
  if (!ClipToCanvas(c, rect, &target->clip)) return 1;
  const owlRect& k = target->clip;
  *sides = Sides{k.top == rect->top, k.bottom == rect->bottom, k.left == rect->left, k.right == rect->right};
  if (needSomeSide && !sides->top && !sides->bottom && !sides->left && !sides->right) return 1;
  if (!c->Lock(&target->block, k)) return 0;
  target->canvas = c;
  target->color = color;
  return -1;
}

int Outline(HGCANVAS canvas, const owlRect* rect, uint32_t color, bool dotted) {
  Target t;
  Sides sides;
  const int early = Prepare(canvas, rect, color, true, &t, &sides);
  if (early >= 0) return early;
  const int64_t l = rect->left, top = rect->top, r = int64_t(rect->right) - 1, b = int64_t(rect->bottom) - 1;
  if (sides.top) t.HSpan(l, r, top, dotted);
  if (sides.bottom) t.HSpan(l, r, b, dotted);
  if (sides.left) t.VSpan(top, b, l, dotted);
  if (sides.right) t.VSpan(top, b, r, dotted);
  t.canvas->Unlock();
  return 1;
}

// Arc height over column offset s of a corner, truncated toward zero:
// sqrt(r2 - s^2) * ratio, evaluated in double and rounded to single
// precision where stored. A negative radicand (r2 rounded below rx^2 for
// radii above 2^12) counts as 0.
int64_t ArcHeight(float r2, float ratio, int64_t s) {
  const double radicand = std::max(0.0, double(r2) - double(s) * double(s));
  return int64_t(RoundToFloat(std::sqrt(radicand) * double(ratio)));
}

}  // namespace
}  // namespace owl

int OWL_CALL GeoRectangleEx(HGCANVAS canvas, const owlRect* rect, uint32_t color) {
  return owl::Outline(canvas, rect, color, false);
}

int OWL_CALL GeoRectFocusEx(HGCANVAS canvas, const owlRect* rect, uint32_t color) {
  return owl::Outline(canvas, rect, color, true);
}

int OWL_CALL GeoRoundRectEx(HGCANVAS canvas, const owlRect* rect, const int32_t corner[2], uint32_t color) {
  if (!corner) return 0;
  const int64_t rx = (int64_t(corner[0]) + 1) / 2, ry = (int64_t(corner[1]) + 1) / 2;
  if (rx < 2 || ry < 2) return owl::Outline(canvas, rect, color, false);
  owl::Target t;
  owl::Sides sides;
  const int early = owl::Prepare(canvas, rect, color, false, &t, &sides);
  if (early >= 0) return early;
  const int64_t left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
  if (sides.top) t.HSpan(left + rx, right - rx - 1, top, false);
  if (sides.bottom) t.HSpan(left + rx, right - rx - 1, bottom - 1, false);
  if (sides.left) t.VSpan(top + ry, bottom - ry - 1, left, false);
  if (sides.right) t.VSpan(top + ry, bottom - ry - 1, right - 1, false);

  const owl::ScopedDoublePrecision precision;  // the same arcs on x87 builds
  const float ratio = owl::RoundToFloat(double(ry) / double(rx));
  const float r2 = owl::RoundToFloat(double(rx) * double(rx));
  // Column offset s draws only on columns right - 1 - rx + s and
  // left + rx - s, so only the offsets that reach a clipped column are
  // visited: a huge radius costs no more than the clip is wide.
  const owlRect& k = t.clip;
  auto visit = [&](int64_t s0, int64_t s1) {  // s0..s1 - 1, within 0..rx - 1
    for (int64_t s = std::max<int64_t>(s0, 0); s < std::min(s1, rx); ++s) {
      const int64_t m = owl::ArcHeight(r2, ratio, s), o = owl::ArcHeight(r2, ratio, s + 1), span = m - o;
      const int64_t xr = right - 1 - rx + s, xl = left + rx - s;
      const int64_t yt = top + ry - m, yb = bottom - 1 - ry + m;
      if (span > 1) {
        t.VSpan(yt, yt + span, xr, false);
        t.VSpan(yt, yt + span, xl, false);
        t.VSpan(yb - span, yb, xr, false);
        t.VSpan(yb - span, yb, xl, false);
      } else {
        t.Pixel(xr, yt);
        t.Pixel(xl, yt);
        t.Pixel(xr, yb);
        t.Pixel(xl, yb);
      }
    }
  };
  // Right-hand columns: s = x - (right - 1 - rx); left-hand: s = left + rx - x.
  const int64_t r0 = int64_t(k.left) - (right - 1 - rx), r1 = int64_t(k.right) - (right - 1 - rx);
  const int64_t l0 = left + rx - (int64_t(k.right) - 1), l1 = left + rx - k.left + 1;
  if (r1 <= l0 || l1 <= r0) {
    visit(r0, r1);
    visit(l0, l1);
  } else {
    visit(std::min(r0, l0), std::max(r1, l1));  // the ranges overlap: once each
  }
  t.canvas->Unlock();
  return 1;
}
