// Piece layouts: tiling and top tiling, their cuts, the skipping of pieces
// outside the clip and the refusal of unsound pieces.
#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "draw/texture_layout.h"
#include "test_util.h"

namespace {

using owl::TexturePiece;

constexpr owlRect kEverywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

std::vector<TexturePiece> Tiles(const owlRect& d, const owlRect& s, const owlRect& area = kEverywhere) {
  std::vector<TexturePiece> out;
  owl::ForEachTile(d, s, area, [&](const TexturePiece& p) { out.push_back(p); });
  return out;
}

std::vector<TexturePiece> TopTiles(const owlRect& d, const owlRect& s, const owlRect& m,
                                   const owlRect& area = kEverywhere) {
  std::vector<TexturePiece> out;
  owl::ForEachTopTilePiece(d, s, m, area, [&](const TexturePiece& p) { out.push_back(p); });
  return out;
}

void ExpectPiece(const TexturePiece& p, const owlRect& dst, const owlRect& src) {
  EXPECT_EQ(p.dst, dst);
  EXPECT_EQ(p.src, src);
}

TEST(TileLayout, SixteenSquareIntoFortyByTwenty) {
  const auto t = Tiles({0, 0, 40, 20}, {0, 0, 16, 16});
  ASSERT_EQ(t.size(), 6u);
  ExpectPiece(t[0], {0, 0, 16, 16}, {0, 0, 16, 16});
  ExpectPiece(t[1], {16, 0, 32, 16}, {0, 0, 16, 16});
  ExpectPiece(t[2], {32, 0, 40, 16}, {0, 0, 8, 16});
  ExpectPiece(t[3], {0, 16, 16, 20}, {0, 0, 16, 4});
  ExpectPiece(t[5], {32, 16, 40, 20}, {0, 0, 8, 4});
}

TEST(TileLayout, CutsKeepTheSourceOrigin) {
  const auto t = Tiles({5, 7, 12, 9}, {3, 4, 8, 10});
  ASSERT_EQ(t.size(), 2u);
  ExpectPiece(t[0], {5, 7, 10, 9}, {3, 4, 8, 6});
  ExpectPiece(t[1], {10, 7, 12, 9}, {3, 4, 5, 6});
}

TEST(TileLayout, SkipsOnlyTilesOutsideTheArea) {
  // Tiles stay anchored at the request's corner whatever the area.
  const auto t = Tiles({-100, -100, 100, 100}, {0, 0, 16, 16}, {10, 20, 30, 40});
  std::vector<TexturePiece> full = Tiles({-100, -100, 100, 100}, {0, 0, 16, 16});
  std::vector<TexturePiece> meeting;
  for (const auto& p : full)
    if (p.dst.right > 10 && p.dst.left < 30 && p.dst.bottom > 20 && p.dst.top < 40) meeting.push_back(p);
  ASSERT_EQ(t.size(), meeting.size());
  for (size_t i = 0; i < t.size(); ++i) ExpectPiece(t[i], meeting[i].dst, meeting[i].src);
  EXPECT_EQ(t.front().dst, (owlRect{-4, 12, 12, 28}));
}

TEST(TileLayout, ReversedOrHugeRequests) {
  EXPECT_TRUE(Tiles({40, 0, 0, 20}, {0, 0, 16, 16}).empty());
  EXPECT_TRUE(Tiles({0, 20, 40, 0}, {0, 0, 16, 16}).empty());
  // The whole int32 plane: only the tiles meeting the area, none wrapping.
  const auto t = Tiles({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 7, 5}, {0, 0, 20, 10});
  ASSERT_FALSE(t.empty());
  for (const auto& p : t) {
    EXPECT_LT(p.dst.left, p.dst.right);
    EXPECT_LE(p.src.right, 7);
    EXPECT_LE(p.src.bottom, 5);
  }
  const auto edge = Tiles({INT_MAX - 10, INT_MAX - 3, INT_MAX, INT_MAX}, {0, 0, 7, 5});
  ASSERT_EQ(edge.size(), 2u);
  ExpectPiece(edge[1], {INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX}, {0, 0, 3, 3});
}

TEST(TopTileLayout, TenByThirtyIntoTwentyFiveByHundred) {
  const auto t = TopTiles({0, 0, 25, 100}, {0, 0, 10, 30}, {0, 8, 0, 6});
  ASSERT_EQ(t.size(), 6u);
  ExpectPiece(t[0], {0, 0, 10, 8}, {0, 0, 10, 8});
  ExpectPiece(t[1], {0, 8, 10, 100}, {0, 24, 10, 30});
  ExpectPiece(t[2], {10, 0, 20, 8}, {0, 0, 10, 8});
  ExpectPiece(t[4], {20, 0, 25, 8}, {0, 0, 5, 8});
  ExpectPiece(t[5], {20, 8, 25, 100}, {0, 24, 5, 30});
}

TEST(TopTileLayout, NoBandWithoutTopMarginAndNoBodyWithoutBottomMargin) {
  const auto noBand = TopTiles({0, 0, 10, 50}, {2, 3, 12, 33}, {0, 0, 0, 6});
  ASSERT_EQ(noBand.size(), 1u);
  ExpectPiece(noBand[0], {0, 0, 10, 50}, {2, 27, 12, 33});
  const auto noBody = TopTiles({0, 0, 10, 50}, {2, 3, 12, 33}, {0, 8, 0, 0});
  ASSERT_EQ(noBody.size(), 1u);
  ExpectPiece(noBody[0], {0, 0, 10, 8}, {2, 3, 12, 11});
}

TEST(TopTileLayout, BandCutByAShortRequest) {
  // The band is cut to the request's height; no body remains.
  const auto t = TopTiles({0, 0, 10, 5}, {0, 0, 10, 30}, {0, 8, 0, 6});
  ASSERT_EQ(t.size(), 1u);
  ExpectPiece(t[0], {0, 0, 10, 5}, {0, 0, 10, 5});
}

TEST(TopTileLayout, UnsoundMarginsDrawNothingOfThatPiece) {
  // A band taller than the source would read below it.
  EXPECT_TRUE(TopTiles({0, 0, 10, 100}, {0, 0, 10, 30}, {0, 40, 0, 50}).empty());
  // A bottom margin taller than the source would read above it: band only.
  const auto tallBody = TopTiles({0, 0, 10, 100}, {0, 0, 10, 30}, {0, 8, 0, 31});
  ASSERT_EQ(tallBody.size(), 1u);
  EXPECT_EQ(tallBody[0].dst, (owlRect{0, 0, 10, 8}));
  // A negative band would put the body above the request.
  EXPECT_TRUE(TopTiles({0, 0, 10, 100}, {0, 0, 10, 30}, {0, -4, 0, 6}).empty());
  // A negative bottom margin reverses the body's source.
  EXPECT_EQ(TopTiles({0, 0, 10, 100}, {0, 0, 10, 30}, {0, 8, 0, -6}).size(), 1u);
  // Huge margins cannot wrap into a sound piece.
  EXPECT_TRUE(TopTiles({0, 0, 10, 100}, {0, 0, 10, 30}, {0, INT_MAX, 0, INT_MIN}).empty());
}

}  // namespace
