// Rectangle, focus-rectangle and rounded-rectangle outlines.
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::DeviceBits;
using owltest::FilledCanvas;
using owltest::PixelAt;

// The canvas as text: '#' where a pixel differs from background.
std::string Picture(HGCANVAS c, uint32_t background) {
  const BitmapBits b = DeviceBits(c);
  std::string s;
  for (int32_t y = 0; y < b.height; ++y) {
    for (int32_t x = 0; x < b.width; ++x) s += owl::RowAt(b, y)[x] == background ? '.' : '#';
    s += '\n';
  }
  return s;
}

TEST(Outlines, SinglePixelRectangleIsWrittenFourTimes) {
  CanvasHolder c(FilledCanvas(3, 3, 0xFF000000u));
  const owlRect r{1, 1, 2, 2};
  ASSERT_EQ(GeoRectangleEx(c.h, &r, 0x40404040u), 1);
  uint32_t want = 0xFF000000u;
  for (int i = 0; i < 4; ++i) {  // 0x40 + ((192 * d) >> 8) per channel
    uint32_t next = 0;
    for (int k = 0; k < 32; k += 8) next |= ((0x40 + ((192 * (want >> k & 0xFF)) >> 8)) & 0xFF) << k;
    want = next;
  }
  EXPECT_EQ(PixelAt(c.h, 1, 1), want);
  EXPECT_EQ(PixelAt(c.h, 0, 0), 0xFF000000u);
  ASSERT_EQ(GeoRectangleEx(c.h, &r, 0xFF123456u), 1);
  EXPECT_EQ(PixelAt(c.h, 1, 1), 0xFF123456u);
}

TEST(Outlines, RectangleDrawsOnlyTheEdgesInsideTheClip) {
  CanvasHolder c(FilledCanvas(10, 10, 0));
  const owlRect clip{2, 2, 8, 8};
  SetCanvasClip(c.h, &clip, nullptr);
  const owlRect wide{0, 3, 10, 6};  // wider than the clip on both sides
  ASSERT_EQ(GeoRectangleEx(c.h, &wide, 0xFFFFFFFFu), 1);
  EXPECT_EQ(Picture(c.h, 0),
            "..........\n"
            "..........\n"
            "..........\n"
            "..######..\n"
            "..........\n"
            "..######..\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n");
  // No edge inside the clip at all: nothing, and still 1.
  CanvasHolder d(FilledCanvas(10, 10, 0));
  SetCanvasClip(d.h, &clip, nullptr);
  const owlRect around{0, 0, 10, 10};
  ASSERT_EQ(GeoRectangleEx(d.h, &around, 0xFFFFFFFFu), 1);
  ASSERT_EQ(GeoRectFocusEx(d.h, &around, 0xFFFFFFFFu), 1);
  std::string blank;
  for (int i = 0; i < 10; ++i) blank += "..........\n";
  EXPECT_EQ(Picture(d.h, 0), blank);
}

TEST(Outlines, FocusRectangleDotPattern) {
  CanvasHolder c(FilledCanvas(6, 6, 0));
  const owlRect r{0, 0, 5, 5};
  ASSERT_EQ(GeoRectFocusEx(c.h, &r, 0xFFFFFFFFu), 1);
  EXPECT_EQ(Picture(c.h, 0),
            ".#.#..\n"
            "#...#.\n"
            "......\n"
            "#...#.\n"
            ".#.#..\n"
            "......\n");
  // Dots are blended even for an opaque colour: 255 + (1 * 0x10 >> 8).
  CanvasHolder d(FilledCanvas(3, 1, 0xFF101010u));
  const owlRect row{0, 0, 3, 1};
  ASSERT_EQ(GeoRectFocusEx(d.h, &row, 0xFF808080u), 1);
  EXPECT_EQ(PixelAt(d.h, 1, 0), 0xFF808080u);
  EXPECT_EQ(PixelAt(d.h, 0, 0), 0xFF101010u);
}

TEST(Outlines, FocusDotsCountFromTheClipEdge) {
  CanvasHolder c(FilledCanvas(8, 3, 0));
  const owlRect clip{1, 0, 8, 3};
  SetCanvasClip(c.h, &clip, nullptr);
  const owlRect r{0, 0, 8, 3};
  ASSERT_EQ(GeoRectFocusEx(c.h, &r, 0xFFFFFFFFu), 1);
  EXPECT_EQ(Picture(c.h, 0),
            "..#.#.#.\n"
            ".......#\n"
            "..#.#.#.\n");
}

TEST(Outlines, TranslucentAndAlphaZeroColors) {
  CanvasHolder c(FilledCanvas(4, 4, 0xFF202020u));
  const owlRect r{0, 0, 4, 4};
  ASSERT_EQ(GeoRectangleEx(c.h, &r, 0x00101010u), 1);  // alpha 0 adds the colour
  EXPECT_EQ(PixelAt(c.h, 1, 0), 0xFF303030u);
  EXPECT_EQ(PixelAt(c.h, 0, 0), 0xFF404040u);  // a corner, twice
  EXPECT_EQ(PixelAt(c.h, 1, 1), 0xFF202020u);
}

TEST(Outlines, RoundRectangleSmallCornersAreAPlainRectangle) {
  const owlRect r{1, 1, 9, 7};
  CanvasHolder a(FilledCanvas(10, 8, 0)), b(FilledCanvas(10, 8, 0));
  const int32_t corner[2] = {2, 8};  // rx = 1
  ASSERT_EQ(GeoRoundRectEx(a.h, &r, corner, 0x80808080u), 1);
  ASSERT_EQ(GeoRectangleEx(b.h, &r, 0x80808080u), 1);
  EXPECT_EQ(Picture(a.h, 0), Picture(b.h, 0));
  EXPECT_EQ(PixelAt(a.h, 1, 1), PixelAt(b.h, 1, 1));
}

TEST(Outlines, RoundRectangleShape) {
  CanvasHolder c(FilledCanvas(14, 10, 0));
  const owlRect r{1, 1, 13, 9};
  const int32_t corner[2] = {7, 5};  // rx 4, ry 3: arc heights 3, 2, 2, 1 over s = 0..3
  ASSERT_EQ(GeoRoundRectEx(c.h, &r, corner, 0xFFFFFFFFu), 1);
  EXPECT_EQ(Picture(c.h, 0),
            "..............\n"
            ".....####.....\n"
            "...##....##...\n"
            "..#........#..\n"
            ".#..........#.\n"
            ".#..........#.\n"
            "..#........#..\n"
            "...##....##...\n"
            ".....####.....\n"
            "..............\n");
  const int32_t three[2] = {3, 3};  // rx = ry = 2: arcs drawn
  CanvasHolder d(FilledCanvas(8, 8, 0));
  const owlRect s{1, 1, 7, 7};
  ASSERT_EQ(GeoRoundRectEx(d.h, &s, three, 0xFFFFFFFFu), 1);
  EXPECT_EQ(Picture(d.h, 0),
            "........\n"
            "...##...\n"
            "..#..#..\n"
            ".#....#.\n"
            ".#....#.\n"
            "..#..#..\n"
            "...##...\n"
            "........\n");
}

TEST(Outlines, RoundRectangleMovesWithItsRectangle) {
  const int32_t corner[2] = {9, 13};
  CanvasHolder a(FilledCanvas(20, 140, 0)), b(FilledCanvas(20, 140, 0));
  const owlRect high{2, 3, 18, 20}, low{2, 103, 18, 120};
  ASSERT_EQ(GeoRoundRectEx(a.h, &high, corner, 0xFFFFFFFFu), 1);
  ASSERT_EQ(GeoRoundRectEx(b.h, &low, corner, 0xFFFFFFFFu), 1);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(PixelAt(a.h, x, y), PixelAt(b.h, x, y + 100)) << x << "," << y;
  // Top and bottom arcs mirror each other about the centre line.
  for (int32_t y = 3; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(PixelAt(a.h, x, y), PixelAt(a.h, x, 22 - y)) << x << "," << y;
}

// Arc columns outside the clip are skipped; the visible ones are drawn as
// without the clip. Only the cut side's straight edge disappears.
TEST(Outlines, RoundRectangleClippedAtTheSidesKeepsItsVisibleColumns) {
  const owlRect r{2, 2, 30, 20};
  // Corners within the rectangle, and beyond it (the arcs cross).
  for (const auto& corner : {std::vector<int32_t>{15, 11}, std::vector<int32_t>{41, 29}}) {
    CanvasHolder whole(FilledCanvas(32, 22, 0));
    ASSERT_EQ(GeoRoundRectEx(whole.h, &r, corner.data(), 0x60606060u), 1);
    for (int32_t cut = 0; cut < 20; ++cut)
      for (const owlRect& clip : {owlRect{cut, 0, 32, 22}, owlRect{0, 0, 32 - cut, 22}}) {
        CanvasHolder part(FilledCanvas(32, 22, 0));
        SetCanvasClip(part.h, &clip, nullptr);
        ASSERT_EQ(GeoRoundRectEx(part.h, &r, corner.data(), 0x60606060u), 1);
        for (int32_t y = 0; y < 22; ++y)
          for (int32_t x = 0; x < 32; ++x) {
            const bool edgeCut = (x == 2 && clip.left > 2) || (x == 29 && clip.right < 30);
            const uint32_t want = !owl::Contains(clip, x, y) || edgeCut ? 0 : PixelAt(whole.h, x, y);
            ASSERT_EQ(PixelAt(part.h, x, y), want) << "clip " << clip << " at " << x << "," << y;
          }
      }
  }
}

TEST(Outlines, HugeRectanglesAndCornersStayInside) {
  CanvasHolder c(FilledCanvas(16, 16, 0));
  const int32_t huge[2] = {INT_MAX, INT_MAX}, negative[2] = {INT_MIN, -3};
  const owlRect rects[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-5, -5, 20, 20}, {3, 3, 12, 12},
                           {INT_MAX - 1, 0, INT_MAX, 5},         {12, 12, 3, 3},   {4, 4, 4, 9}};
  for (const owlRect& r : rects) {
    EXPECT_EQ(GeoRoundRectEx(c.h, &r, huge, 0xFFFFFFFFu), 1) << r;
    EXPECT_EQ(GeoRoundRectEx(c.h, &r, negative, 0x80808080u), 1) << r;
    EXPECT_EQ(GeoRectangleEx(c.h, &r, 0x80808080u), 1) << r;
    EXPECT_EQ(GeoRectFocusEx(c.h, &r, 0x80808080u), 1) << r;
  }
  // Radii far beyond the rectangle: the arcs of opposite corners cross.
  const int32_t big[2] = {40, 40};
  const owlRect small{4, 4, 12, 12};
  EXPECT_EQ(GeoRoundRectEx(c.h, &small, big, 0xFFFFFFFFu), 1);
}

TEST(Outlines, RefusedArguments) {
  CanvasHolder c(FilledCanvas(4, 4, 0));
  const owlRect r{0, 0, 4, 4};
  const int32_t corner[2] = {4, 4};
  EXPECT_EQ(GeoRectangleEx(HGCANVAS(0u), &r, 0), 0);
  EXPECT_EQ(GeoRectFocusEx(HGCANVAS(0u), &r, 0), 0);
  EXPECT_EQ(GeoRoundRectEx(HGCANVAS(0u), &r, corner, 0), 0);
  EXPECT_EQ(GeoRectangleEx(c.h, nullptr, 0), 0);
  EXPECT_EQ(GeoRoundRectEx(c.h, &r, nullptr, 0), 0);
  const owlRect outside{10, 10, 20, 20};
  EXPECT_EQ(GeoRoundRectEx(c.h, &outside, corner, 0), 1);
}

}  // namespace
