#include "draw/draw_geometry.h"

#include <climits>

#include <gtest/gtest.h>

#include "test_util.h"

namespace owl {
namespace {

TEST(ValidateSourceRect, NormalisesAndChecksBounds) {
  Texture t;
  ASSERT_TRUE(t.Create(20, 20));
  owlRect out{};
  const owlRect reversed{10, 10, 0, 0};
  EXPECT_TRUE(ValidateSourceRect(&t, &out, &reversed));
  EXPECT_EQ(out, MakeRect(0, 0, 10, 10));
  for (const owlRect& bad : {MakeRect(0, 0, 21, 5), MakeRect(-1, 0, 5, 5), MakeRect(0, 0, 5, 21),
                             MakeRect(0, -1, 5, 5), MakeRect(3, 3, 3, 8), MakeRect(INT_MIN, 0, INT_MAX, 5)})
    EXPECT_FALSE(ValidateSourceRect(&t, &out, &bad)) << bad;
  const owlRect reversed_outside{25, 0, 5, 5};
  EXPECT_FALSE(ValidateSourceRect(&t, &out, &reversed_outside));
  EXPECT_EQ(out, MakeRect(5, 0, 25, 5));  // keeps the normalised rectangle
  EXPECT_TRUE(ValidateSourceRect(&t, &out, nullptr));
  EXPECT_EQ(out, MakeRect(0, 0, 20, 20));
  EXPECT_FALSE(ValidateSourceRect(nullptr, &out, nullptr));
}

TEST(ClipToCanvas, IntersectsWithLogicalClipAndKeepsOutOnFailure) {
  Canvas c;
  ASSERT_TRUE(c.Create(100, 50));
  c.set_window_org(owlPoint{10, 0});  // logical = device + 10 in x
  owlRect out{1, 2, 3, 4};
  const owlRect request{0, -5, 60, 20};
  EXPECT_TRUE(ClipToCanvas(&c, &request, &out));
  EXPECT_EQ(out, MakeRect(10, 0, 60, 20));
  out = MakeRect(1, 2, 3, 4);
  for (const owlRect& r : {MakeRect(200, 0, 300, 10), MakeRect(50, 10, 20, 40), MakeRect(0, 0, 10, 50)}) {
    EXPECT_FALSE(ClipToCanvas(&c, &r, &out)) << r;
    EXPECT_EQ(out, MakeRect(1, 2, 3, 4));
  }
  Canvas empty;  // no pixels: clip (0, 0, 0, 0)
  EXPECT_FALSE(ClipToCanvas(&empty, &request, &out));
}

TEST(MapToSource, TruncatesAndWidensSlivers) {
  owlRect out{};
  const owlRect dst{0, 0, 10, 10}, src{0, 0, 3, 3};
  ASSERT_TRUE(MapToSource(&dst, &src, &dst, &out));
  EXPECT_EQ(out, MakeRect(0, 0, 3, 3));
  const owlRect sliver{5, 0, 6, 10};
  ASSERT_TRUE(MapToSource(&dst, &src, &sliver, &out));
  EXPECT_EQ(out, MakeRect(1, 0, 2, 3));
  const owlRect big{0, 0, 100, 100}, half{50, 0, 100, 100}, src30{0, 0, 30, 30};
  ASSERT_TRUE(MapToSource(&big, &src30, &half, &out));
  EXPECT_EQ(out, MakeRect(15, 0, 30, 30));
  const owlRect moved_dst{-20, 7, 80, 107}, moved_src{5, 9, 35, 39}, piece{0, 7, 30, 57};
  ASSERT_TRUE(MapToSource(&moved_dst, &moved_src, &piece, &out));
  EXPECT_EQ(out, MakeRect(11, 9, 20, 24));
  const owlRect empty{3, 3, 3, 8}, reversed{10, 0, 0, 10};
  EXPECT_FALSE(MapToSource(&empty, &src, &dst, &out));
  EXPECT_FALSE(MapToSource(&dst, &empty, &dst, &out));
  EXPECT_FALSE(MapToSource(&reversed, &src, &dst, &out));
}

// Products beyond 32 bits: the result is exact and never leaves the source.
TEST(MapToSource, HugeRectanglesStayInsideSource) {
  owltest::Rng rng(7);
  for (int i = 0; i < 2000; ++i) {
    const int32_t dl = int32_t(rng.Next()), sl = rng.Range(-1000000, 1000000);
    const owlRect dst{dl, 0, int32_t(uint32_t(dl) + 1 + rng.Next() % 0x7FFFFFFFu), 1};
    if (dst.right <= dst.left) continue;
    const owlRect src{sl, 0, sl + rng.Range(1, 2000000000 - 1000000), 1};
    const int64_t w = Width64(dst);
    const int64_t a = dst.left + int64_t(rng.Next() % uint64_t(w));
    const int64_t b = a + 1 + int64_t(rng.Next() % uint64_t(dst.right - a));
    const owlRect piece{int32_t(a), 0, int32_t(b), 1};
    owlRect out{};
    ASSERT_TRUE(MapToSource(&dst, &src, &piece, &out));
    EXPECT_GE(out.left, src.left);
    EXPECT_LT(out.left, out.right);
    EXPECT_LE(out.right, src.right);
    const int64_t exact_left = (a - dst.left) * Width64(src) / w;  // below 2^62
    EXPECT_EQ(out.left, src.left + int64_t(exact_left));
  }
  // A piece reaching beyond dst is held inside src.
  const owlRect dst{0, 0, 10, 10}, src{0, 0, 4, 4}, outside{-50, 5, 60, 10};
  owlRect out{};
  ASSERT_TRUE(MapToSource(&dst, &src, &outside, &out));
  EXPECT_EQ(out, MakeRect(0, 2, 4, 4));
  const owlRect past{10, 10, 12, 12};
  ASSERT_TRUE(MapToSource(&dst, &src, &past, &out));
  EXPECT_EQ(out, MakeRect(3, 3, 4, 4));
}

TEST(CenterFit, FitsAndCenters) {
  owlRect out{};
  const owlRect s40{0, 0, 40, 40};
  const owlRect d1{0, 0, 100, 50}, d2{0, 0, 101, 50}, d3{0, 0, 100, 100}, s200{0, 0, 200, 100};
  EXPECT_TRUE(CenterFit(&d1, &s40, &out));
  EXPECT_EQ(out, MakeRect(25, 0, 75, 50));
  EXPECT_TRUE(CenterFit(&d2, &s40, &out));
  EXPECT_EQ(out, MakeRect(25, 0, 76, 50));
  EXPECT_TRUE(CenterFit(&d3, &s200, &out));
  EXPECT_EQ(out, MakeRect(0, 25, 100, 75));
  // Beyond 32-bit products: exact, and the fit stays inside dst.
  const owlRect huge{-2000000000, 0, 2000000000, 3}, s_wide{0, 0, 30000, 1};
  EXPECT_TRUE(CenterFit(&huge, &s_wide, &out));
  EXPECT_EQ(out, MakeRect(-45000, 0, 45000, 3));
  const owlRect flat{0, 0, 0, 0};
  EXPECT_TRUE(CenterFit(&d1, &flat, &out));
  EXPECT_EQ(out, d1);
}

TEST(NineGridCells, CutsByMargins) {
  const owlRect rect{0, 0, 100, 60}, margins{10, 5, 20, 15};
  owlRect cells[9];
  NineGridCells(&rect, &margins, cells);
  EXPECT_EQ(cells[0], MakeRect(0, 0, 10, 5));
  EXPECT_EQ(cells[4], MakeRect(10, 5, 80, 45));
  EXPECT_EQ(cells[8], MakeRect(80, 45, 100, 60));
  EXPECT_EQ(cells[5], MakeRect(80, 5, 100, 45));
  EXPECT_EQ(cells[7], MakeRect(10, 45, 80, 60));
}

}  // namespace
}  // namespace owl
