// Translucent layers: every form against arithmetic written here, the
// composition rules for rectangles, and overlapping rectangles of one canvas.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "canvas_util.h"
#include "reference.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::Image;
using owltest::Rng;

uint32_t Layered(uint32_t s, uint32_t d, uint8_t alpha) { return owltest::Over(owltest::ScaleByAlpha(s, alpha), d); }

// Lays src's block sr over img's block dr, pixel by pixel in order (src may
// be img itself: then later pixels read what earlier ones wrote).
void Reference(Image& img, const Image& src, owlRect dr, owlRect sr, uint8_t alpha, bool bilinear) {
  const int32_t dw = dr.right - dr.left, dh = dr.bottom - dr.top, sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  const bool same = dw == sw && dh == sh;
  if (alpha == 0 || (!same && (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0))) return;
  const auto at = [&](int32_t x, int32_t y) { return src.at(sr.left + x, sr.top + y); };
  const uint32_t stepX = same ? 0 : bilinear ? uint32_t(((sw - 1) << 16) / dw) : uint32_t((sw << 16) / dw);
  const uint32_t stepY = same ? 0 : bilinear ? uint32_t(((sh - 1) << 16) / dh) : uint32_t((sh << 16) / dh);
  for (int32_t j = 0; j < dh; ++j)
    for (int32_t i = 0; i < dw; ++i) {
      uint32_t s;
      if (same) {
        s = at(i, j);
      } else if (!bilinear) {
        s = at(int32_t((uint32_t(i) * stepX) >> 16), int32_t((uint32_t(j) * stepY) >> 16));
      } else {
        const uint32_t x = uint32_t(i) * stepX, y = uint32_t(j) * stepY;
        const int32_t ix = int32_t(x >> 16), iy = int32_t(y >> 16);
        const int32_t ix1 = ix + 1 < sw ? ix + 1 : ix, iy1 = iy + 1 < sh ? iy + 1 : iy;
        s = owltest::BilinearPlain(at(ix, iy), at(ix1, iy), at(ix, iy1), at(ix1, iy1), (x >> 8) & 255, (y >> 8) & 255);
      }
      uint32_t& d = img.at(dr.left + i, dr.top + j);
      d = Layered(s, d, alpha);
    }
}

// Widths around every vector step; sources of the same size, smaller,
// larger and one texel wide or high; destination starts at every offset
// mod 4.
TEST(CompositeCanvas, EveryFormMatchesTheArithmetic) {
  Rng rng(20);
  constexpr int32_t kW = 41, kH = 9;
  const Image dstImg = owltest::RandomImage(rng, kW, kH), srcImg = owltest::RandomImage(rng, kW, kH);
  CanvasHolder d(CreateCanvas(kW, kH, HGCANVAS(0u))), s(CreateCanvas(kW, kH, HGCANVAS(0u)));
  owltest::WriteCanvas(s.h, srcImg);
  for (int32_t dw = 0; dw <= 19; ++dw)
    for (const int32_t sw : {dw, 1, 5, 17, 33})
      for (const uint8_t alpha : {uint8_t(0), uint8_t(1), uint8_t(77), uint8_t(255)})
        for (const unsigned filter : {0u, 2u}) {
          const int32_t sh = sw == dw ? 4 : sw % 3 == 0 ? 9 : 1;
          const owlRect dr{dw % 4 + 1, 1, dw % 4 + 1 + dw, 5}, sr{2, 0, 2 + sw, sh};
          Image want = dstImg;
          Reference(want, srcImg, dr, sr, alpha, filter != 0);
          for (const uint32_t mask : owltest::kMasks) {
            owl::ScopedCpuMask scoped(mask);
            owltest::WriteCanvas(d.h, dstImg);
            ASSERT_EQ(CompositeCanvas(d.h, &dr, s.h, &sr, alpha, filter), 1);
            ASSERT_EQ(owltest::ReadCanvas(d.h, kW, kH).px, want.px)
                << "mask " << mask << " dst " << dr << " src " << sr << " alpha " << int(alpha) << " filter " << filter;
          }
        }
}

// One canvas, overlapping rectangles: pixel by pixel in order, every form.
TEST(CompositeCanvas, OverlappingRectanglesOfOneCanvasRunInOrder) {
  Rng rng(21);
  constexpr int32_t kW = 40, kH = 12;
  const Image img = owltest::RandomImage(rng, kW, kH);
  CanvasHolder c(CreateCanvas(kW, kH, HGCANVAS(0u)));
  const struct {
    owlRect dst, src;
  } cases[] = {{{3, 1, 30, 9}, {1, 0, 28, 8}},  {{1, 0, 28, 8}, {3, 1, 30, 9}},  {{2, 2, 38, 11}, {0, 0, 20, 6}},
               {{0, 0, 20, 6}, {2, 2, 38, 11}}, {{1, 1, 30, 10}, {1, 0, 30, 9}},  {{3, 2, 35, 10}, {1, 2, 33, 10}},
               {{4, 3, 38, 5}, {0, 3, 20, 5}},  {{0, 3, 30, 4}, {5, 3, 39, 4}}};
  for (const auto& k : cases)
    for (const unsigned filter : {0u, 1u})
      for (const uint8_t alpha : {uint8_t(200), uint8_t(255)}) {
        Image want = img;
        Reference(want, want, k.dst, k.src, alpha, filter != 0);
        for (const uint32_t mask : owltest::kMasks) {
          owl::ScopedCpuMask scoped(mask);
          owltest::WriteCanvas(c.h, img);
          ASSERT_EQ(CompositeCanvas(c.h, &k.dst, c.h, &k.src, alpha, filter), 1);
          ASSERT_EQ(owltest::ReadCanvas(c.h, kW, kH).px, want.px) << "mask " << mask << " dst " << k.dst;
        }
      }
}

TEST(CompositeCanvas, RectangleRulesOfTheCompositionFunctions) {
  Rng rng(22);
  const Image img = owltest::RandomImage(rng, 16, 16);
  CanvasHolder d(CreateCanvas(16, 16, HGCANVAS(0u))), s(CreateCanvas(8, 8, HGCANVAS(0u)));
  owltest::WriteCanvas(d.h, img);
  owltest::WriteCanvas(s.h, owltest::RandomImage(rng, 8, 8));
  const owlRect in{0, 0, 8, 8}, reversed{8, 0, 0, 8}, outside{10, 10, 18, 18}, flat{2, 2, 2, 9}, none{0, 0, 0, 0};
  EXPECT_EQ(CompositeCanvas(HGCANVAS(0u), &in, s.h, &in, 255, 0), 0);
  EXPECT_EQ(CompositeCanvas(d.h, &in, HGCANVAS(0u), &in, 255, 0), 0);
  const struct {
    const owlRect *dst, *src;
  } nothing[] = {{&reversed, &in}, {&in, &reversed}, {&outside, &in}, {&in, &outside},
                 {&flat, &in},     {nullptr, &in},   {&in, nullptr},  {&in, &none}};
  for (const auto& k : nothing)
    for (const unsigned filter : {0u, 1u}) EXPECT_EQ(CompositeCanvas(d.h, k.dst, s.h, k.src, 255, filter), 1);
  EXPECT_EQ(CompositeCanvas(d.h, &in, s.h, &in, 0, 0), 1);
  EXPECT_EQ(owltest::ReadCanvas(d.h, 16, 16).px, img.px);
  // Reversed as given, even where the origins would map it inside.
  SetWindowOrg(d.h, 4, 0, nullptr);
  EXPECT_EQ(CompositeCanvas(d.h, &reversed, s.h, &in, 255, 0), 1);
  EXPECT_EQ(owltest::ReadCanvas(d.h, 16, 16).px, img.px);
}

}  // namespace
