// Texture objects through the exported functions.
#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "canvas_util.h"
#include "core/geometry.h"
#include "test_util.h"

namespace {

using owltest::TextureHolder;

TEST(Texture, SizeLockAndSubRectangleView) {
  TextureHolder t(CreateTexture(64, 32));
  ASSERT_NE(t.h.value, 0u);
  owlSize size{};
  ASSERT_EQ(GetTextureSize(t.h, &size), 1);
  EXPECT_EQ(size.width, 64);
  EXPECT_EQ(size.height, 32);
  BitmapBits whole{}, part{};
  ASSERT_EQ(LockTextureBits(t.h, &whole, nullptr), 1);
  EXPECT_EQ(whole.width, 64);
  EXPECT_EQ(whole.height, 32);
  EXPECT_EQ(whole.pitch, 256);
  const owlRect r{10, 5, 20, 7};
  ASSERT_EQ(LockTextureBits(t.h, &part, &r), 1);
  EXPECT_EQ(part.width, 10);
  EXPECT_EQ(part.height, 2);
  EXPECT_EQ(part.pitch, 256);
  EXPECT_EQ(static_cast<uint8_t*>(part.bits), static_cast<uint8_t*>(whole.bits) + 5 * 256 + 40);
  EXPECT_EQ(UnlockTextureBits(t.h), 1);
}

TEST(Texture, LockRefusesRectanglesOutsideOrReversed) {
  TextureHolder t(CreateTexture(8, 4));
  BitmapBits v{};
  for (const owlRect& r : {owlRect{-1, 0, 4, 4}, owlRect{0, 0, 9, 4}, owlRect{0, 0, 8, 5},
                           owlRect{4, 0, 2, 4}, owlRect{0, 3, 8, 1}, owlRect{INT_MIN, 0, INT_MAX, 1}}) {
    EXPECT_EQ(LockTextureBits(t.h, &v, &r), 0);
    EXPECT_EQ(v.bits, nullptr);
  }
  const owlRect empty{8, 4, 8, 4};  // empty but inside: a 0-pixel view
  EXPECT_EQ(LockTextureBits(t.h, &v, &empty), 1);
  EXPECT_EQ(v.width, 0);
  EXPECT_EQ(v.height, 0);
  EXPECT_EQ(LockTextureBits(t.h, nullptr, nullptr), 0);
}

TEST(Texture, SizesOutOfRangeAreRefused) {
  for (auto wh : {std::pair<int, int>{0, 5}, {5, 0}, {-1, 5}, {5, -7}, {32768, 1}, {1, 32768},
                  {INT_MAX, INT_MAX}, {INT_MIN, 1}}) {
    EXPECT_EQ(CreateTexture(wh.first, wh.second).value, 0u) << wh.first << "x" << wh.second;
  }
  TextureHolder edge(CreateTexture(32767, 1));
  EXPECT_NE(edge.h.value, 0u);
}

TEST(Texture, SlicesAndCurrentIndex) {
  TextureHolder t(CreateTexture(16, 16));
  EXPECT_EQ(SetTextureCurSlice(t.h, 0), OWL_NO_SLICE);  // no list yet
  const owlRect r[3] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {100, 100, 200, 200}};
  EXPECT_EQ(SetTextureSlice(t.h, 3, r), 0);
  EXPECT_EQ(SetTextureCurSlice(t.h, 2), 0);
  EXPECT_EQ(SetTextureCurSlice(t.h, 3), OWL_NO_SLICE);
  EXPECT_EQ(SetTextureCurSlice(t.h, -1), OWL_NO_SLICE);
  EXPECT_EQ(SetTextureCurSlice(t.h, 1), 2);  // current stayed 2
  EXPECT_EQ(SetTextureSlice(t.h, 0, nullptr), OWL_NO_SLICE);
  EXPECT_EQ(SetTextureCurSlice(t.h, 0), OWL_NO_SLICE);
  EXPECT_EQ(SetTextureSlice(t.h, 2, nullptr), OWL_NO_SLICE);
  EXPECT_EQ(SetTextureCurSlice(HGTEXTURE(0u), 0), OWL_NO_SLICE);
}

TEST(Texture, FreshStateFilterAndModeRoundTrip) {
  TextureHolder t(CreateTexture(4, 4));
  uint32_t filter = 7;
  ASSERT_EQ(GetTextureFilter(t.h, &filter), 1);
  EXPECT_EQ(filter, 0u);
  TextureMode mode;
  std::memset(&mode, 0xAB, sizeof mode);
  ASSERT_EQ(GetTextureMode(t.h, &mode), 1);
  const TextureMode zero{};
  EXPECT_EQ(std::memcmp(&mode, &zero, sizeof mode), 0);
  const TextureMode set{OWL_MODE_TOP_TILE, {4, 4, 12, 12}};
  ASSERT_EQ(SetTextureMode(t.h, &set), 1);
  ASSERT_EQ(GetTextureMode(t.h, &mode), 1);
  EXPECT_EQ(std::memcmp(&mode, &set, sizeof mode), 0);
  EXPECT_EQ(SetTextureFilter(t.h, 0x01ABCDEFu), 1);
  ASSERT_EQ(GetTextureFilter(t.h, &filter), 1);
  EXPECT_EQ(filter, 0x01ABCDEFu);
  EXPECT_EQ(GetTextureFilter(t.h, nullptr), 0);
  EXPECT_EQ(SetTextureMode(t.h, nullptr), 0);
}

void FillTexture(HGTEXTURE t, uint32_t seed) {
  BitmapBits v{};
  ASSERT_EQ(LockTextureBits(t, &v, nullptr), 1);
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x)
      static_cast<uint32_t*>(v.bits)[y * v.width + x] = seed + uint32_t(y * 1000 + x);
}

uint32_t TexelAt(HGTEXTURE t, int x, int y) {
  BitmapBits v{};
  LockTextureBits(t, &v, nullptr);
  return static_cast<uint32_t*>(v.bits)[y * v.width + x];
}

TEST(Texture, CopyTextureCopiesPixelsAndFilterOnly) {
  TextureHolder a(CreateTexture(5, 3)), b(CreateTexture(5, 3));
  FillTexture(a.h, 0x100000);
  FillTexture(b.h, 0x200000);
  const TextureMode mode{OWL_MODE_TILE, {1, 1, 1, 1}};
  SetTextureMode(a.h, &mode);
  const owlRect s{0, 0, 1, 1};
  SetTextureSlice(a.h, 1, &s);
  SetTextureFilter(b.h, OWL_BLEND_MULTIPLY);
  ASSERT_EQ(CopyTexture(a.h, b.h), 1);
  EXPECT_EQ(TexelAt(a.h, 4, 2), 0x200000u + 2004);
  uint32_t f = 0;
  GetTextureFilter(a.h, &f);
  EXPECT_EQ(f, OWL_BLEND_MULTIPLY);
  TextureMode got{};
  GetTextureMode(a.h, &got);
  EXPECT_EQ(got.kind, 2u);
  EXPECT_EQ(SetTextureCurSlice(a.h, 0), 0);
  const HGCANVAS c = CreateCanvas(5, 3, HGCANVAS(0u));
  EXPECT_EQ(CopyTexture(a.h, HGTEXTURE(c.value)), 0);
  DeleteCanvas(c);
}

TEST(Texture, CopyTextureFromSmallerSourceCopiesCommonArea) {
  TextureHolder big(CreateTexture(6, 5)), small(CreateTexture(3, 2));
  FillTexture(big.h, 0x100000);
  FillTexture(small.h, 0x200000);
  ASSERT_EQ(CopyTexture(big.h, small.h), 1);
  EXPECT_EQ(TexelAt(big.h, 2, 1), 0x200000u + 1002);
  EXPECT_EQ(TexelAt(big.h, 3, 1), 0x100000u + 1003);
  EXPECT_EQ(TexelAt(big.h, 0, 2), 0x100000u + 2000);
  FillTexture(big.h, 0x300000);
  ASSERT_EQ(CopyTexture(small.h, big.h), 1);  // larger source: the destination's area
  EXPECT_EQ(TexelAt(small.h, 2, 1), 0x300000u + 1002);
  EXPECT_EQ(CopyTexture(small.h, small.h), 1);
}

// A new texture or canvas starts at 0x00000000 everywhere, also where a
// deleted one of the same size (whose memory the allocator hands straight
// back) was filled; small sizes come from the heap, large ones from fresh
// pages.
TEST(Texture, NewBuffersStartAtZeroOnA64ByteBoundary) {
  for (int side : {3, 64, 1100}) {
    const owlRect all{0, 0, side, side};
    for (int round = 0; round < 2; ++round) {
      const HGTEXTURE t = CreateTexture(side, side);
      const HGCANVAS c = CreateCanvas(side, side, HGCANVAS(0u));
      BitmapBits views[2]{};
      ASSERT_EQ(LockTextureBits(t, &views[0], nullptr), 1);
      ASSERT_EQ(LockCanvasBits(c, &views[1], &all), 1);
      for (const BitmapBits& b : views) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b.bits) % 64, 0u) << side;
        for (int32_t y = 0; y < b.height; ++y)
          for (int32_t x = 0; x < b.width; ++x) ASSERT_EQ(owl::RowAt(b, y)[x], 0u) << side << " at " << x << "," << y;
      }
      // Dirty both for the next round, which gets their memory back.
      for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x) owl::RowAt(views[0], y)[x] = owl::RowAt(views[1], y)[x] = 0xFFFFFFFFu;
      UnlockTextureBits(t);
      UnlockCanvasBits(c);
      DeleteTexture(t);
      DeleteCanvas(c);
    }
  }
}

TEST(Texture, BadHandlesAreRefused) {
  const HGTEXTURE t = CreateTexture(2, 2);
  ASSERT_EQ(DeleteTexture(t), 1);
  EXPECT_EQ(DeleteTexture(t), 0);
  owlSize size{};
  BitmapBits v{};
  uint32_t f = 0;
  TextureMode m{};
  for (HGTEXTURE bad : {t, HGTEXTURE(0u), HGTEXTURE(0xFFFFFFFFu), HGTEXTURE(0x01050000u)}) {
    EXPECT_EQ(GetTextureSize(bad, &size), 0);
    EXPECT_EQ(LockTextureBits(bad, &v, nullptr), 0);
    EXPECT_EQ(UnlockTextureBits(bad), 0);
    EXPECT_EQ(GetTextureFilter(bad, &f), 0);
    EXPECT_EQ(SetTextureFilter(bad, 1), 0);
    EXPECT_EQ(GetTextureMode(bad, &m), 0);
    EXPECT_EQ(SetTextureMode(bad, &m), 0);
    EXPECT_EQ(SetTextureSlice(bad, 0, nullptr), 0);
    EXPECT_EQ(SetTextureCurSlice(bad, 0), OWL_NO_SLICE);
    EXPECT_EQ(CopyTexture(bad, bad), 0);
  }
}

}  // namespace
