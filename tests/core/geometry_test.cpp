#include "core/geometry.h"

#include <climits>

#include <gtest/gtest.h>

#include "test_util.h"

namespace owl {
namespace {

TEST(Rect, IntersectTouchingEdgesIsEmptyAndZeroed) {
  owlRect out{1, 2, 3, 4};
  EXPECT_FALSE(Intersect(out, MakeRect(0, 0, 10, 10), MakeRect(10, 0, 20, 10)));
  EXPECT_EQ(out, MakeRect(0, 0, 0, 0));
  owlRect a = MakeRect(0, 0, 10, 10);
  EXPECT_TRUE(Intersect(a, a, MakeRect(5, -5, 20, 7)));  // result into an input
  EXPECT_EQ(a, MakeRect(5, 0, 10, 7));
}

TEST(Rect, EmptinessIsEqualityAndNormalizeSwaps) {
  EXPECT_TRUE(IsEmpty(MakeRect(5, 5, 5, 9)));
  owlRect reversed = MakeRect(9, 0, 5, 4);
  EXPECT_FALSE(IsEmpty(reversed));
  Normalize(reversed);
  EXPECT_EQ(reversed, MakeRect(5, 0, 9, 4));
}

TEST(Rect, CenterMoveAndContains) {
  const owlPoint c = CenterPoint(MakeRect(-3, -3, 0, 0));
  EXPECT_EQ(c.x, -1);
  EXPECT_EQ(c.y, -1);
  const owlPoint big = CenterPoint(MakeRect(INT_MAX - 1, 0, INT_MAX, 2));
  EXPECT_EQ(big.x, INT_MAX - 1);
  owlRect r = MakeRect(10, 20, 30, 60);
  MoveToXY(r, 100, 50);
  EXPECT_EQ(r, MakeRect(100, 50, 120, 90));
  EXPECT_TRUE(Contains(r, 100, 50));
  EXPECT_FALSE(Contains(r, 120, 50));
  EXPECT_FALSE(Contains(r, 100, 90));
  Inflate(r, 1, 2);
  EXPECT_EQ(r, MakeRect(99, 48, 121, 92));
}

TEST(Rect, ExtremeCoordinatesWrapInsteadOfOverflowing) {
  owlRect r = MakeRect(INT_MIN, 0, INT_MAX, 1);
  EXPECT_EQ(Width64(r), int64_t(UINT32_MAX));
  Offset(r, 1, 0);  // defined wrap, no undefined behaviour
  EXPECT_EQ(r.left, INT_MIN + 1);
  EXPECT_EQ(r.right, INT_MIN);
}

TEST(Pixels, PixelAtClampsAndMakeARGBPacks) {
  uint32_t px[12] = {};
  const BitmapBits v{4, 3, 16, px};
  EXPECT_EQ(PixelAt(v, -5, 7), &px[8]);
  EXPECT_EQ(PixelAt(v, 4, -1), &px[3]);
  EXPECT_EQ(PixelAtUnchecked(v, 1, 1), &px[5]);
  const BitmapBits empty{0, 0, 16, px};
  EXPECT_EQ(PixelAt(empty, 3, 3), &px[0]);
  const uint32_t c = MakeARGB(0x80, 1, 2, 3);
  EXPECT_EQ(c, 0x80010203u);
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&c);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[3], 0x80);
}

}  // namespace
}  // namespace owl
