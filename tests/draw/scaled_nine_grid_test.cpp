// Nine-grids at any display scale: the margin shrink rule, cells landing
// where the margins say at 100%, 150% and 200%, repeat cuts, the plain
// nine-grid's pixels when nothing is scaled, and bad arguments.
#include <climits>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "canvas_util.h"
#include "reference.h"
#include "draw/texture_layout.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::Image;
using owltest::Rng;
using owltest::TextureHolder;

TEST(ScaledNineGrid, MarginsShrinkInProportionOnlyWhenTheyExceedTheLength) {
  const struct {
    int64_t begin, end, m0, m1;
    int64_t cut1, cut2;
  } cases[] = {
      {0, 40, 10, 10, 10, 30},  // room to spare
      {0, 20, 10, 10, 10, 10},  // exactly the margins: no middle
      {0, 19, 10, 10, 9, 9},    // one less: floor(10 * 19 / 20) = 9, the other 10
      {5, 5, 10, 10, 5, 5},     // zero
      {0, 7, 3, 11, 1, 1},      // floor(3 * 7 / 14) = 1, the other 6
      {0, 9, 0, 12, 0, 0},      // one margin alone
      {8, 3, 2, 2, 8, 8},       // reversed: empty
      {INT_MIN, INT_MAX, INT_MAX, INT_MAX, -1, 0},  // the whole int32 range fits
      {0, INT_MAX, INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX / 2},
  };
  for (const auto& c : cases) {
    const owl::GridAxis a = owl::CutGridAxis(c.begin, c.end, c.m0, c.m1);
    EXPECT_EQ(a.cut[0], c.begin);
    EXPECT_EQ(a.cut[1], c.cut1) << c.begin << ".." << c.end;
    EXPECT_EQ(a.cut[2], c.cut2) << c.begin << ".." << c.end;
    EXPECT_EQ(a.cut[3], std::max(c.begin, c.end));
  }
  EXPECT_EQ(owl::GridTileLength(10, 30, 20), 15);  // 150%
  EXPECT_EQ(owl::GridTileLength(3, 5, 4), 4);      // 3.75 rounds up
  EXPECT_EQ(owl::GridTileLength(7, 0, 4), 7);      // no margins: own size
  EXPECT_EQ(owl::GridTileLength(1, 1, 8), 1);      // never below one
}

// A 12 x 12 texture whose nine cells (margins 3, 4, 2, 5) are solid colours.
constexpr owlRect kSrcMargins{3, 4, 2, 5};
uint32_t CellColour(int i, int j) { return 0xFF000000u | uint32_t(i * 3 + j + 1) * 0x00102030u; }

HGTEXTURE Cells() {
  const HGTEXTURE t = CreateTexture(12, 12);
  Image img(12, 12);
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 12; ++x)
      img.at(x, y) = CellColour(x < 3 ? 0 : x < 10 ? 1 : 2, y < 4 ? 0 : y < 7 ? 1 : 2);
  owltest::WriteTexture(t, img);
  return t;
}

// Every pixel of dst carries the colour of the cell the shrink rule puts it
// in: cells meet and never overlap. (Bicubic weights need not keep a solid
// colour exactly, so it is left out.)
TEST(ScaledNineGrid, CellsLandWhereTheMarginsSayAtEveryScale) {
  TextureHolder t(Cells());
  CanvasHolder c(CreateCanvas(64, 64, HGCANVAS(0u)));
  const owlRect all{0, 0, 64, 64};
  for (const int scale : {100, 150, 200})
    for (const int32_t w : {0, 1, 7, 8, 9, 12, 13, 40})
      for (const unsigned filter : {0u, 1u}) {
        const owlRect dm{kSrcMargins.left * scale / 100, kSrcMargins.top * scale / 100,
                         kSrcMargins.right * scale / 100, kSrcMargins.bottom * scale / 100};
        const owlRect dst{2, 3, 2 + w, 3 + w + 1};
        FillSolidRectEx(c.h, 0, &all, 0);
        ASSERT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &kSrcMargins, &dm, 0, filter, 255), 1);
        const owl::GridAxis ax = owl::CutGridAxis(dst.left, dst.right, dm.left, dm.right);
        const owl::GridAxis ay = owl::CutGridAxis(dst.top, dst.bottom, dm.top, dm.bottom);
        const Image img = owltest::ReadCanvas(c.h, 64, 64);
        for (int32_t y = 0; y < 64; ++y)
          for (int32_t x = 0; x < 64; ++x) {
            uint32_t want = 0;
            if (owl::Contains(dst, x, y)) {
              const int i = x < ax.cut[1] ? 0 : x < ax.cut[2] ? 1 : 2, j = y < ay.cut[1] ? 0 : y < ay.cut[2] ? 1 : 2;
              want = CellColour(i, j);
            }
            ASSERT_EQ(img.at(x, y), want)
                << "scale " << scale << " width " << w << " filter " << filter << " at " << x << "," << y;
          }
      }
}

// Repeats start at the cell's corner and cut the last tile; at 200% each
// texel covers two pixels of a tile twice as long; the middle may be left out.
TEST(ScaledNineGrid, RepeatsCutAtTheFarEndAndTheMiddleMayBeLeftOut) {
  Rng rng(9);
  TextureHolder t(CreateTexture(10, 9));
  const Image src = owltest::RandomImage(rng, 10, 9);
  owltest::WriteTexture(t.h, src);
  const owlRect sm{2, 2, 3, 1};  // middle 5 x 6 texels
  CanvasHolder c(CreateCanvas(60, 50, HGCANVAS(0u)));
  const owlRect all{0, 0, 60, 50};
  for (const int scale : {1, 2})
    for (const unsigned flags : {OWL_GRID_REPEAT_X, OWL_GRID_REPEAT_Y, OWL_GRID_REPEAT_X | OWL_GRID_REPEAT_Y,
                                 OWL_GRID_REPEAT_X | OWL_GRID_REPEAT_Y | OWL_GRID_NO_MIDDLE}) {
      const owlRect dm{sm.left * scale, sm.top * scale, sm.right * scale, sm.bottom * scale};
      // Middles of 27 and 38 (scale 1) or 2 * 23 + ... pixels: cut tiles, even at 200%.
      const owlRect dst{1, 2, 1 + dm.left + dm.right + (scale == 1 ? 27 : 46), 2 + dm.top + dm.bottom + 38};
      FillSolidRectEx(c.h, 0x12345678u, &all, 0);
      ASSERT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &sm, &dm, flags, 0, 255), 1);
      const Image img = owltest::ReadCanvas(c.h, 60, 50);
      const int32_t mx0 = dst.left + dm.left, mx1 = dst.right - dm.right;
      const int32_t my0 = dst.top + dm.top, my1 = dst.bottom - dm.bottom;
      const int32_t tileW = 5 * scale, tileH = 6 * scale;
      for (int32_t y = my0; y < my1; ++y)
        for (int32_t x = mx0; x < mx1; ++x) {
          const bool rx = flags & OWL_GRID_REPEAT_X, ry = flags & OWL_GRID_REPEAT_Y;
          if (!rx || !ry) continue;  // stretched axes are the plain stretch
          const uint32_t want = (flags & OWL_GRID_NO_MIDDLE)
                                    ? 0x12345678u
                                    : src.at(2 + (x - mx0) % tileW / scale, 2 + (y - my0) % tileH / scale);
          ASSERT_EQ(img.at(x, y), want) << "flags " << flags << " scale " << scale << " at " << x << "," << y;
        }
      // The top edge repeats across (or stretches) at the top margin's height.
      if (flags & OWL_GRID_REPEAT_X)
        for (int32_t x = mx0; x < mx1; ++x)
          ASSERT_EQ(img.at(x, dst.top), src.at(2 + (x - mx0) % tileW / scale, 0)) << x;
    }
}

// Margins equal on both sides, nothing shrunk, no flags: DrawTexture9Grid's
// pixels for every blend kind, alpha, filter and processor form.
TEST(ScaledNineGrid, UnscaledIsThePlainNineGrid) {
  Rng rng(5);
  TextureHolder t(CreateTexture(20, 16));
  owltest::WriteTexture(t.h, owltest::RandomImage(rng, 20, 16));
  const Image background = owltest::RandomImage(rng, 48, 40);
  CanvasHolder a(CreateCanvas(48, 40, HGCANVAS(0u))), b(CreateCanvas(48, 40, HGCANVAS(0u)));
  const owlRect m{4, 3, 5, 6}, src{1, 1, 19, 15}, dst{-3, 2, 45, 37}, clip{2, 0, 40, 33};
  SetCanvasClip(a.h, &clip, nullptr);
  SetCanvasClip(b.h, &clip, nullptr);
  for (const uint32_t kind : {0u, 1u, 2u, 3u})
    for (const unsigned filter : {0u, 1u, 4u})
      for (const uint8_t alpha : {uint8_t(255), uint8_t(90)})
        for (const uint32_t mask : {0u, uint32_t(owl::kCpuAll)}) {
          owl::ScopedCpuMask scoped(mask);
          SetTextureFilter(t.h, kind << 24);
          owltest::WriteCanvas(a.h, background);
          owltest::WriteCanvas(b.h, background);
          ASSERT_EQ(DrawTexture9Grid(a.h, &dst, t.h, &src, &m, filter, false, alpha), 1u);
          ASSERT_EQ(DrawTexture9GridEx(b.h, &dst, t.h, &src, &m, &m, 0, filter, alpha), 1);
          ASSERT_EQ(owltest::ReadCanvas(a.h, 48, 40).px, owltest::ReadCanvas(b.h, 48, 40).px)
              << "kind " << kind << " filter " << filter << " alpha " << int(alpha);
        }
}

// At 150% with repeats, shrunk and cut by the clip: every processor form
// gives the plain form's pixels (nearest; the separable vector bilinear and
// bicubic samplers differ from the plain ones by design).
TEST(ScaledNineGrid, EveryFormDrawsThePlainPixels) {
  Rng rng(6);
  TextureHolder t(CreateTexture(20, 16));
  owltest::WriteTexture(t.h, owltest::RandomImage(rng, 20, 16));
  const Image background = owltest::RandomImage(rng, 48, 40);
  CanvasHolder c(CreateCanvas(48, 40, HGCANVAS(0u)));
  const owlRect sm{4, 3, 5, 6}, dm{6, 5, 8, 9}, clip{2, 1, 45, 37};
  SetCanvasClip(c.h, &clip, nullptr);
  for (const owlRect& dst : {owlRect{-3, 2, 45, 39}, owlRect{5, 4, 17, 15}})
    for (const unsigned flags : {0u, OWL_GRID_REPEAT_X | OWL_GRID_REPEAT_Y})
      for (const uint32_t kind : {0u, 1u})
        for (const uint8_t alpha : {uint8_t(255), uint8_t(90)}) {
          SetTextureFilter(t.h, kind << 24);
          std::vector<uint32_t> plain;
          for (const uint32_t mask : owltest::kMasks) {
            owl::ScopedCpuMask scoped(mask);
            owltest::WriteCanvas(c.h, background);
            ASSERT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &sm, &dm, flags, 0, alpha), 1);
            const std::vector<uint32_t> px = owltest::ReadCanvas(c.h, 48, 40).px;
            if (mask == 0) plain = px;
            ASSERT_EQ(px, plain) << "mask " << mask << " dst " << dst << " flags " << flags << " kind " << kind;
          }
        }
}

TEST(ScaledNineGrid, RefusesBadArgumentsAndDrawsNothingWhenEmpty) {
  TextureHolder t(Cells());
  CanvasHolder c(CreateCanvas(16, 16, HGCANVAS(0u)));
  const owlRect all{0, 0, 16, 16}, dst{1, 1, 15, 15}, reversed{15, 1, 1, 15}, m{2, 2, 2, 2}, neg{2, -1, 2, 2};
  const owlRect outside{0, 0, 13, 12};
  FillSolidRectEx(c.h, 0x01020304u, &all, 0);
  EXPECT_EQ(DrawTexture9GridEx(HGCANVAS(0u), &dst, t.h, nullptr, &m, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, HGTEXTURE(0u), nullptr, &m, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, nullptr, t.h, nullptr, &m, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, &outside, &m, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, nullptr, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &m, nullptr, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &neg, &m, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &m, &neg, 0, 0, 255), 0);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &reversed, t.h, nullptr, &m, &m, 0, 0, 255), 1);
  EXPECT_EQ(DrawTexture9GridEx(c.h, &dst, t.h, nullptr, &m, &m, 0, 0, 0), 1);
  EXPECT_EQ(owltest::ReadCanvas(c.h, 16, 16).px, std::vector<uint32_t>(256, 0x01020304u));
}

}  // namespace
