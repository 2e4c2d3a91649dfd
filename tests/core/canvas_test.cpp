// Canvas objects through the exported functions.
#include <climits>

#include <gtest/gtest.h>

#include "core/geometry.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

using owl::MakeRect;
using owltest::CanvasHolder;
using owltest::TextureHolder;

owlRect ClipOf(HGCANVAS c) {
  owlRect r{-99, -99, -99, -99};
  EXPECT_EQ(GetCanvasClip(c, &r), 1);
  return r;
}

TEST(Canvas, FreshState) {
  CanvasHolder c(CreateCanvas(200, 100, HGCANVAS(0u)));
  ASSERT_NE(c.h.value, 0u);
  EXPECT_EQ(ClipOf(c.h), MakeRect(0, 0, 200, 100));
  owlPoint p{1, 1};
  ASSERT_EQ(GetWindowOrg(c.h, &p), 1);
  EXPECT_EQ(p, (owlPoint{0, 0}));
  ASSERT_EQ(GetViewportOrg(c.h, &p), 1);
  EXPECT_EQ(p, (owlPoint{0, 0}));
  uint32_t v = 1;
  ASSERT_EQ(GetCanvasBkColor(c.h, &v), 1);
  EXPECT_EQ(v, 0u);
  ASSERT_EQ(GetCanvasFilter(c.h, &v), 1);
  EXPECT_EQ(v, 0u);
}

TEST(Canvas, ViewportOriginMovesDrawingAndClip) {
  CanvasHolder c(CreateCanvas(200, 100, HGCANVAS(0u)));
  BitmapBits whole{}, v{};
  ASSERT_EQ(GetCanvasClipBits(c.h, &whole), 1);
  owlPoint old{5, 5};
  ASSERT_EQ(SetViewportOrg(c.h, 10, 20, &old), 1);
  EXPECT_EQ(old, (owlPoint{0, 0}));
  EXPECT_EQ(ClipOf(c.h), MakeRect(-10, -20, 190, 80));
  const owlRect r{0, 0, 5, 5};
  ASSERT_EQ(LockCanvasBits(c.h, &v, &r), 1);
  EXPECT_EQ(v.width, 5);
  EXPECT_EQ(v.height, 5);
  EXPECT_EQ(v.pitch, 800);
  EXPECT_EQ(v.bits, owl::PixelAtUnchecked(whole, 10, 20));
  EXPECT_EQ(UnlockCanvasBits(c.h), 1);
}

TEST(Canvas, WindowOriginMovesTheOtherWay) {
  CanvasHolder c(CreateCanvas(50, 50, HGCANVAS(0u)));
  BitmapBits whole{}, v{};
  GetCanvasClipBits(c.h, &whole);
  ASSERT_EQ(SetWindowOrg(c.h, 10, 20, nullptr), 1);
  const owlRect r{10, 20, 11, 21};
  ASSERT_EQ(LockCanvasBits(c.h, &v, &r), 1);
  EXPECT_EQ(v.bits, whole.bits);
  EXPECT_EQ(ClipOf(c.h), MakeRect(10, 20, 60, 70));
}

TEST(Canvas, SetClipIntersectsAndKeepsDeviceClip) {
  CanvasHolder c(CreateCanvas(200, 100, HGCANVAS(0u)));
  const owlRect a{-50, -50, 50, 50};
  owlRect old{};
  ASSERT_EQ(SetCanvasClip(c.h, &a, &old), 1);
  EXPECT_EQ(old, MakeRect(0, 0, 200, 100));
  EXPECT_EQ(ClipOf(c.h), MakeRect(0, 0, 50, 50));
  const owlRect outside{300, 0, 400, 10};
  EXPECT_EQ(SetCanvasClip(c.h, &outside, nullptr), 1);
  EXPECT_EQ(ClipOf(c.h), MakeRect(0, 0, 0, 0));
  BitmapBits v{};
  EXPECT_EQ(GetCanvasClipBits(c.h, &v), 1);  // 0 x 0 view at the buffer start
  EXPECT_EQ(v.width, 0);
  EXPECT_EQ(v.height, 0);
  const owlRect reversed{50, 50, 10, 10};
  EXPECT_EQ(SetCanvasClip(c.h, &reversed, nullptr), 1);
  EXPECT_EQ(ClipOf(c.h), MakeRect(0, 0, 0, 0));

  SetViewportOrg(c.h, 10, 20, nullptr);
  const owlRect b{0, 0, 20, 20};
  ASSERT_EQ(SetCanvasClip(c.h, &b, nullptr), 1);
  SetViewportOrg(c.h, 0, 0, nullptr);
  EXPECT_EQ(ClipOf(c.h), MakeRect(10, 20, 30, 40));
  ASSERT_EQ(GetCanvasClipBits(c.h, &v), 1);
  EXPECT_EQ(v.width, 20);
  EXPECT_EQ(v.height, 20);
}

TEST(Canvas, ParentFilterAndSetters) {
  CanvasHolder parent(CreateCanvas(4, 4, HGCANVAS(0u)));
  ASSERT_EQ(SetCanvasFilter(parent.h, OWL_BLEND_SOURCE_OVER), 1);
  CanvasHolder child(CreateCanvas(4, 4, parent.h));
  uint32_t f = 0;
  GetCanvasFilter(child.h, &f);
  EXPECT_EQ(f, OWL_BLEND_SOURCE_OVER);
  TextureHolder tex(CreateTexture(4, 4));
  SetTextureFilter(tex.h, OWL_BLEND_COLOR_KEY);
  CanvasHolder orphan(CreateCanvas(4, 4, HGCANVAS(tex.h.value)));
  GetCanvasFilter(orphan.h, &f);
  EXPECT_EQ(f, 0u);

  uint32_t old = 1;
  EXPECT_EQ(SetCanvasBkColor(child.h, 0x80112233u, &old), 1);
  EXPECT_EQ(old, 0u);
  EXPECT_EQ(SetCanvasBkColor(child.h, 5, nullptr), 1);
  EXPECT_EQ(GetCanvasBkColor(child.h, nullptr), 0);
  EXPECT_EQ(GetCanvasBkColor(child.h, &old), 1);
  EXPECT_EQ(old, 5u);
  EXPECT_EQ(GetWindowOrg(child.h, nullptr), 0);
  EXPECT_EQ(GetViewportOrg(child.h, nullptr), 0);
  EXPECT_EQ(GetCanvasClip(child.h, nullptr), 0);
  EXPECT_EQ(GetCanvasFilter(child.h, nullptr), 0);
}

TEST(Canvas, LockRefusesRectanglesOutsideTheCanvas) {
  CanvasHolder c(CreateCanvas(10, 10, HGCANVAS(0u)));
  BitmapBits v{};
  for (const owlRect& r : {owlRect{-1, 0, 5, 5}, owlRect{0, 0, 11, 5}, owlRect{5, 5, 0, 0},
                           owlRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}}) {
    EXPECT_EQ(LockCanvasBits(c.h, &v, &r), 0);
  }
  SetViewportOrg(c.h, INT_MAX, INT_MAX, nullptr);  // mapping wraps: still refused
  const owlRect r{0, 0, 1, 1};
  EXPECT_EQ(LockCanvasBits(c.h, &v, &r), 0);
  const owlRect back{INT_MIN + 1, INT_MIN + 1, INT_MIN + 3, INT_MIN + 3};
  EXPECT_EQ(LockCanvasBits(c.h, &v, &back), 1);  // maps to device (0, 0, 2, 2)
  EXPECT_EQ(LockCanvasBits(c.h, nullptr, &r), 0);
  EXPECT_EQ(LockCanvasBits(c.h, &v, nullptr), 0);
}

void FillCanvas(HGCANVAS c, uint32_t value) {
  BitmapBits v{};
  ASSERT_EQ(GetCanvasClipBits(c, &v), 1);
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x) owl::RowAt(v, y)[x] = value + uint32_t(x);
}

TEST(Canvas, CanvasToTextureMakesOpaqueUnlessSourceOver) {
  const HGCANVAS c = CreateCanvas(3, 2, HGCANVAS(0u));
  FillCanvas(c, 0x12345600u);
  const HGTEXTURE t = CanvasToTexture(c);
  ASSERT_NE(t.value, 0u);
  EXPECT_EQ(t.value & 0xFFFF, c.value & 0xFFFF);  // same slot, next serial
  EXPECT_EQ(t.value >> 24, (c.value >> 24) + 1);
  EXPECT_EQ(DeleteCanvas(c), 0);
  BitmapBits v{};
  ASSERT_EQ(LockTextureBits(t, &v, nullptr), 1);
  EXPECT_EQ(owl::RowAt(v, 1)[2], 0xFF345602u);
  EXPECT_EQ(DeleteTexture(t), 1);

  const HGCANVAS keep = CreateCanvas(3, 2, HGCANVAS(0u));
  SetCanvasFilter(keep, OWL_BLEND_SOURCE_OVER);
  FillCanvas(keep, 0x12345600u);
  const HGTEXTURE t2 = CanvasToTexture(keep);
  ASSERT_EQ(LockTextureBits(t2, &v, nullptr), 1);
  EXPECT_EQ(owl::RowAt(v, 1)[2], 0x12345602u);
  uint32_t f = 0;
  GetTextureFilter(t2, &f);
  EXPECT_EQ(f, OWL_BLEND_SOURCE_OVER);
  EXPECT_EQ(DeleteTexture(t2), 1);
  EXPECT_EQ(CanvasToTexture(HGCANVAS(t2.value)).value, 0u);
}

TEST(Canvas, BadHandlesAndSizesAreRefused) {
  EXPECT_EQ(CreateCanvas(0, 10, HGCANVAS(0u)).value, 0u);
  EXPECT_EQ(CreateCanvas(10, -1, HGCANVAS(0u)).value, 0u);
  EXPECT_EQ(CreateCanvas(40000, 1, HGCANVAS(0u)).value, 0u);
  EXPECT_EQ(CreateCanvas(INT_MAX, INT_MAX, HGCANVAS(0u)).value, 0u);
  const HGTEXTURE tex = CreateTexture(2, 2);
  owlPoint p{};
  owlRect r{0, 0, 1, 1};
  BitmapBits v{};
  uint32_t u = 0;
  for (HGCANVAS bad : {HGCANVAS(0u), HGCANVAS(tex.value), HGCANVAS(0x01010000u), HGCANVAS(~0u)}) {
    EXPECT_EQ(DeleteCanvas(bad), 0);
    EXPECT_EQ(GetCanvasBkColor(bad, &u), 0);
    EXPECT_EQ(SetCanvasBkColor(bad, 1, &u), 0);
    EXPECT_EQ(GetWindowOrg(bad, &p), 0);
    EXPECT_EQ(SetWindowOrg(bad, 1, 1, &p), 0);
    EXPECT_EQ(GetViewportOrg(bad, &p), 0);
    EXPECT_EQ(SetViewportOrg(bad, 1, 1, &p), 0);
    EXPECT_EQ(GetCanvasFilter(bad, &u), 0);
    EXPECT_EQ(SetCanvasFilter(bad, 1), 0);
    EXPECT_EQ(GetCanvasClip(bad, &r), 0);
    EXPECT_EQ(SetCanvasClip(bad, &r, &r), 0);
    EXPECT_EQ(GetCanvasClipBits(bad, &v), 0);
    EXPECT_EQ(LockCanvasBits(bad, &v, &r), 0);
    EXPECT_EQ(UnlockCanvasBits(bad), 0);
    EXPECT_EQ(CanvasToTexture(bad).value, 0u);
  }
  EXPECT_EQ(DeleteTexture(tex), 1);
  // Required input rectangles that are null are refused like bad handles.
  CanvasHolder c(CreateCanvas(4, 4, HGCANVAS(0u)));
  const owlRect clip{1, 1, 3, 3};
  ASSERT_EQ(SetCanvasClip(c.h, &clip, nullptr), 1);
  EXPECT_EQ(SetCanvasClip(c.h, nullptr, &r), 0);
  EXPECT_EQ(LockCanvasBits(c.h, &v, nullptr), 0);
  ASSERT_EQ(GetCanvasClip(c.h, &r), 1);
  EXPECT_EQ(r, clip);
}

}  // namespace
