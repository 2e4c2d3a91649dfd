// The exported fills on canvases.
#include <vector>

#include <gtest/gtest.h>

#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::FilledCanvas;
using owltest::PixelAt;
using owltest::kMasks;

TEST(FillSolidRect, BlendExamplesAndClip) {
  for (uint32_t mask : kMasks) {
    owl::ScopedCpuMask m(mask);
    CanvasHolder c(FilledCanvas(20, 10, 0xFFFFFFFFu));
    const owlRect r{-5, 2, 15, 4};
    ASSERT_EQ(FillSolidRect(c.h, 0x80402010u, &r), 1);
    EXPECT_EQ(PixelAt(c.h, 0, 2), 0xFFBF9F8Fu);
    EXPECT_EQ(PixelAt(c.h, 14, 3), 0xFFBF9F8Fu);
    EXPECT_EQ(PixelAt(c.h, 15, 3), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(c.h, 0, 4), 0xFFFFFFFFu);
    ASSERT_EQ(FillSolidRect(c.h, 0xFF102030u, &r), 1);
    EXPECT_EQ(PixelAt(c.h, 3, 3), 0xFF102030u);
  }
}

TEST(FillSolidRect, NothingToDoReturnsOneWhateverTheHandle) {
  const owlRect r{0, 0, 4, 4};
  EXPECT_EQ(FillSolidRect(HGCANVAS(0u), 0x00FFFFFFu, &r), 1);
  EXPECT_EQ(FillSolidRectEx(HGCANVAS(0x12345u), 0xFFFFFFFFu, &r, 0x03FFFFFFu), 1);
  EXPECT_EQ(FillSolidRectEx(HGCANVAS(0u), 0, &r, OWL_FILL_OR), 1);
  EXPECT_EQ(FillSolidRect(HGCANVAS(0u), 0x80000000u, &r), 0);
  EXPECT_EQ(FillSolidRectEx(HGCANVAS(0u), 0, &r, OWL_FILL_COPY), 0);
  CanvasHolder c(FilledCanvas(4, 4, 0x80706050u));
  EXPECT_EQ(FillSolidRect(c.h, 0x00FFFFFFu, &r), 1);
  EXPECT_EQ(FillSolidRectEx(c.h, 0xFFFFFFFFu, &r, OWL_FILL_MULTIPLY), 1);
  EXPECT_EQ(PixelAt(c.h, 2, 2), 0x80706050u);
  EXPECT_EQ(FillSolidRect(c.h, 0x80000000u, nullptr), 0);
  const owlRect outside{10, 10, 20, 20}, reversed{4, 0, 0, 4};
  EXPECT_EQ(FillSolidRectEx(c.h, 0x12345678u, &outside, OWL_FILL_COPY), 1);
  EXPECT_EQ(FillSolidRectEx(c.h, 0x12345678u, &reversed, OWL_FILL_COPY), 1);
  EXPECT_EQ(PixelAt(c.h, 0, 0), 0x80706050u);
}

TEST(FillSolidRectEx, CopyMultiplyAndOr) {
  for (uint32_t mask : kMasks) {
    owl::ScopedCpuMask m(mask);
    CanvasHolder c(FilledCanvas(9, 3, 0xC0806040u));
    const owlRect row0{0, 0, 9, 1}, row1{0, 1, 9, 2}, row2{0, 2, 9, 3};
    ASSERT_EQ(FillSolidRectEx(c.h, 0x12345678u, &row0, 0x00ABCDEFu), 1);  // copy, alpha included
    EXPECT_EQ(PixelAt(c.h, 8, 0), 0x12345678u);
    ASSERT_EQ(FillSolidRectEx(c.h, 0x80808080u, &row1, OWL_FILL_MULTIPLY), 1);
    // (d * 129) >> 8 per channel: C0 -> 60, 80 -> 40, 60 -> 30, 40 -> 20.
    EXPECT_EQ(PixelAt(c.h, 4, 1), 0x60403020u);
    ASSERT_EQ(FillSolidRectEx(c.h, 0x01020304u, &row2, OWL_FILL_OR), 1);
    EXPECT_EQ(PixelAt(c.h, 8, 2), 0xC1826344u);
    ASSERT_EQ(FillSolidRectEx(c.h, 0u, &row2, OWL_FILL_OR), 1);  // OR with 0 keeps
    EXPECT_EQ(PixelAt(c.h, 0, 2), 0xC1826344u);
    ASSERT_EQ(FillSolidRectEx(c.h, 0xFFFFFFFFu, &row2, OWL_FILL_OR), 1);  // OR with all bits sets
    EXPECT_EQ(PixelAt(c.h, 5, 2), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(c.h, 5, 1), 0x60403020u);
    ASSERT_EQ(FillSolidRectEx(c.h, 0u, &row1, OWL_FILL_MULTIPLY), 1);  // multiply by 0 clears
    EXPECT_EQ(PixelAt(c.h, 5, 1), 0u);
  }
}

TEST(FillGradualRect, VerticalRowsAndClipKeepColors) {
  for (uint32_t mask : kMasks) {
    owl::ScopedCpuMask m(mask);
    CanvasHolder c(FilledCanvas(6, 8, 0xFF808080u));
    const owlRect r{1, 0, 5, 4};
    ASSERT_EQ(FillGradualRect(c.h, 0xFF000000u, 0xFF0000FFu, &r, OWL_GRADIENT_TOP_TO_BOTTOM), 1);
    const uint32_t blues[4] = {0, 63, 127, 191};
    for (int y = 0; y < 4; ++y) {
      EXPECT_EQ(PixelAt(c.h, 1, y), 0xFF000000u | blues[y]) << y;
      EXPECT_EQ(PixelAt(c.h, 4, y), 0xFF000000u | blues[y]) << y;
    }
    EXPECT_EQ(PixelAt(c.h, 0, 1), 0xFF808080u);
    EXPECT_EQ(PixelAt(c.h, 5, 1), 0xFF808080u);
    EXPECT_EQ(PixelAt(c.h, 1, 4), 0xFF808080u);
    // Clipped to rows 2.. of the same rectangle drawn from y = -2.
    CanvasHolder d(FilledCanvas(6, 8, 0xFF808080u));
    const owlRect shifted{0, -2, 6, 2};
    ASSERT_EQ(FillGradualRect(d.h, 0xFF000000u, 0xFF0000FFu, &shifted, OWL_GRADIENT_TOP_TO_BOTTOM), 1);
    EXPECT_EQ(PixelAt(d.h, 3, 0), 0xFF00007Fu);
    EXPECT_EQ(PixelAt(d.h, 3, 1), 0xFF0000BFu);
    EXPECT_EQ(PixelAt(d.h, 3, 2), 0xFF808080u);
  }
}

TEST(FillGradualRect, HorizontalBlendsAndClipKeepsColors) {
  CanvasHolder c(FilledCanvas(4, 2, 0xFFFFFFFFu));
  const owlRect clip{0, 0, 4, 2};
  ASSERT_EQ(SetCanvasClip(c.h, &clip, nullptr), 1);
  const owlRect r{-4, 0, 4, 1};  // 8 columns, the left half clipped away
  ASSERT_EQ(FillGradualRect(c.h, 0x00000000u, 0x80800000u, &r, OWL_GRADIENT_LEFT_TO_RIGHT), 1);
  // Column x has t = (x + 4) / 8: alpha and red 0x80 * t; weight 256 - alpha.
  for (int x = 0; x < 4; ++x) {
    const uint32_t a = uint32_t(128.0 * (x + 4) / 8), keep = (256 - a) * 255 >> 8;
    const uint32_t expected = (a + keep) << 24 | (a + keep) << 16 | keep << 8 | keep;
    EXPECT_EQ(PixelAt(c.h, x, 0), expected) << x;
    EXPECT_EQ(PixelAt(c.h, x, 1), 0xFFFFFFFFu) << x;
  }
}

TEST(FillGradualRect, EqualColorsAndOtherDirectionsAreSolidFills) {
  CanvasHolder c(FilledCanvas(4, 4, 0xFFFFFFFFu));
  const owlRect r{0, 0, 4, 4};
  EXPECT_EQ(FillGradualRect(HGCANVAS(0u), 0x00112233u, 0x00112233u, &r, OWL_GRADIENT_TOP_TO_BOTTOM),
            1);  // alpha 0 pre-check
  EXPECT_EQ(FillGradualRect(HGCANVAS(0u), 0x80000000u, 0x80000001u, &r, OWL_GRADIENT_TOP_TO_BOTTOM), 0);
  ASSERT_EQ(FillGradualRect(c.h, 0x80402010u, 0x80402010u, &r, OWL_GRADIENT_TOP_TO_BOTTOM), 1);  // blended once
  EXPECT_EQ(PixelAt(c.h, 3, 3), 0xFFBF9F8Fu);
  for (int direction : {0, 3, -1}) {
    CanvasHolder d(FilledCanvas(4, 4, 0xFFFFFFFFu));
    ASSERT_EQ(FillGradualRect(d.h, 0x80402010u, 0xFF00FF00u, &r, direction), 1);
    EXPECT_EQ(PixelAt(d.h, 0, 3), 0xFFBF9F8Fu);
    EXPECT_EQ(PixelAt(d.h, 3, 0), 0xFFBF9F8Fu);
  }
  const owlRect outside{10, 10, 20, 20};
  EXPECT_EQ(FillGradualRect(c.h, 1u, 2u, &outside, OWL_GRADIENT_TOP_TO_BOTTOM), 1);
  EXPECT_EQ(FillGradualRect(c.h, 1u, 2u, nullptr, OWL_GRADIENT_TOP_TO_BOTTOM), 0);
}

TEST(FillSolidRect, LogicalOrigins) {
  CanvasHolder c(FilledCanvas(8, 8, 0u));
  ASSERT_EQ(SetWindowOrg(c.h, 100, 50, nullptr), 1);
  const owlRect r{101, 52, 103, 53};  // device (1, 2)..(3, 3)
  ASSERT_EQ(FillSolidRectEx(c.h, 0xFF00FF00u, &r, OWL_FILL_COPY), 1);
  EXPECT_EQ(PixelAt(c.h, 1, 2), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(c.h, 2, 2), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(c.h, 3, 2), 0u);
  EXPECT_EQ(PixelAt(c.h, 1, 3), 0u);
}

}  // namespace
