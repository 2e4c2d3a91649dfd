// Anti-aliased rounded rectangles: coverage against numeric integration,
// symmetry, the exact rectangle at radius 0, compositing, clipping, every
// processor form and bad arguments.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "core/geometry.h"
#include "core/x87_precision.h"
#include "effects/round_rect.h"
#include "canvas_util.h"
#include "reference.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::Image;
using owltest::Rng;

struct Case {
  owlRect rect;
  int32_t radii[4];
  int32_t stroke;  // 0: fill
};

// Fills and strokes: equal, mixed and zero radii, radii scaled down, strokes
// thinner and thicker than their radii, a stroke wide enough to fill.
const Case kCases[] = {
    {{0, 0, 40, 30}, {8, 8, 8, 8}, 0},      {{1, 2, 33, 19}, {0, 5, 12, 3}, 0},
    {{0, 0, 10, 10}, {50, 50, 50, 50}, 0},  {{0, 0, 21, 13}, {7, 2, 9, 30}, 0},
    {{3, 1, 4, 9}, {3, 3, 3, 3}, 0},        {{2, 1, 38, 29}, {10, 10, 10, 10}, 1},
    {{0, 0, 40, 30}, {12, 4, 0, 8}, 3},     {{0, 0, 17, 17}, {8, 8, 8, 8}, 2},
    {{0, 0, 30, 12}, {6, 6, 6, 6}, 7},      {{1, 1, 39, 29}, {14, 1, 14, 1}, 5},
};

int Draw(HGCANVAS c, const Case& k, uint32_t color) {
  return k.stroke ? StrokeRoundRect(c, &k.rect, k.radii, k.stroke, color) : FillRoundRect(c, &k.rect, k.radii, color);
}

// The shape as top and bottom edges per column, written from the circle
// equation, with its radii scaled by the smallest side / sum.
struct RefShape {
  double l, t, r, b, rad[4];
  RefShape(double l_, double t_, double r_, double b_, const double in[4]) : l(l_), t(t_), r(r_), b(b_) {
    const double w = r - l, h = b - t;
    double f = 1;
    const double sums[4][2] = {{in[0] + in[1], w}, {in[3] + in[2], w}, {in[0] + in[3], h}, {in[1] + in[2], h}};
    for (const auto& s : sums)
      if (s[0] > s[1]) f = std::min(f, s[1] / s[0]);
    for (int i = 0; i < 4; ++i) rad[i] = in[i] * f;
  }
  bool Empty() const { return r <= l || b <= t; }
  // How far an arc of radius q bends away from its edge at distance d from
  // the corner's edge (d < q).
  static double Bend(double q, double d) { return q - std::sqrt(std::max(0.0, q * q - (q - d) * (q - d))); }
  // Covered length of [y0, y1] in column x.
  double Extent(double x, double y0, double y1) const {
    if (Empty() || x < l || x > r) return 0;
    double top = t, bottom = b;
    if (x < l + rad[0]) top = std::max(top, t + Bend(rad[0], x - l));
    if (x > r - rad[1]) top = std::max(top, t + Bend(rad[1], r - x));
    if (x > r - rad[2]) bottom = std::min(bottom, b - Bend(rad[2], r - x));
    if (x < l + rad[3]) bottom = std::min(bottom, b - Bend(rad[3], x - l));
    return std::max(0.0, std::min(bottom, y1) - std::max(top, y0));
  }
};

// Area of the case's shape in pixel (x, y) by the midpoint rule over 2048
// columns of exact vertical extents.
double ReferenceArea(const Case& k, int32_t x, int32_t y) {
  double rad[4];
  for (int i = 0; i < 4; ++i) rad[i] = k.radii[i];
  const RefShape outer(k.rect.left, k.rect.top, k.rect.right, k.rect.bottom, rad);
  double inner_rad[4];
  for (int i = 0; i < 4; ++i) inner_rad[i] = std::max(0.0, outer.rad[i] - k.stroke);
  const RefShape inner(outer.l + k.stroke, outer.t + k.stroke, outer.r - k.stroke, outer.b - k.stroke, inner_rad);
  constexpr int kSteps = 2048;
  double sum = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double cx = x + (i + 0.5) / kSteps;
    sum += outer.Extent(cx, y, y + 1) - (k.stroke ? inner.Extent(cx, y, y + 1) : 0);
  }
  return sum / kSteps;
}

constexpr int32_t kW = 44, kH = 34;

Image Render(const Case& k, uint32_t color, const Image& background) {
  CanvasHolder c(CreateCanvas(kW, kH, HGCANVAS(0u)));
  owltest::WriteCanvas(c.h, background);
  EXPECT_EQ(Draw(c.h, k, color), 1);
  return owltest::ReadCanvas(c.h, kW, kH);
}

// White over transparent black leaves the coverage byte in every channel.
TEST(RoundRect, CoverageWithinOneLevelOfTheArea) {
  const Image zero(kW, kH);
  for (size_t i = 0; i < std::size(kCases); i += owltest::Emulated() ? 3 : 1) {  // emulated: fills and strokes
    const Case& k = kCases[i];
    const Image img = Render(k, 0xFFFFFFFFu, zero);
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        const double area = ReferenceArea(k, x, y);
        const uint32_t got = img.at(x, y) >> 24;
        ASSERT_LE(std::fabs(got / 255.0 - area), 1 / 255.0 + 1e-9)
            << "rect " << k.rect << " stroke " << k.stroke << " pixel " << x << "," << y << " area " << area;
        ASSERT_EQ(img.at(x, y), got * 0x01010101u);
      }
  }
}

// Draws one after another on one thread, each meeting the corners the one
// before left behind (sides long and short, shapes cut by the clip, radii
// scaled to fractions, a stroke of the same outer corners): every pixel
// keeps the quantised exact coverage of its own shape.
TEST(RoundRect, RepeatedCornersKeepTheirExactCoverage) {
  constexpr int32_t kWide = 330, kTall = 60;
  struct Draw {
    owlRect rect;
    int32_t radius, stroke;
    owlRect clip;
  };
  const owlRect all{0, 0, kWide, kTall};
  const Draw draws[] = {
      {{2, 2, 320, 50}, 12, 0, all},          {{-5, 2, 300, 50}, 12, 0, all},
      {{2, 2, 320, 50}, 12, 0, {7, 3, 200, 40}}, {{2, 2, 60, 50}, 12, 0, all},
      {{1, 1, 329, 59}, 40, 0, all},          {{1, 1, 329, 59}, 40, 3, {30, 0, 300, 45}},
      {{3, 5, 303, 26}, 30, 0, all},          {{3, 5, 303, 26}, 30, 0, {5, 6, 100, 20}},
      {{0, 0, 17, 60}, 9, 0, all},            {{-3, 1, 40, 61}, 9, 0, all},
  };
  for (const Draw& d : draws) {
    CanvasHolder c(CreateCanvas(kWide, kTall, HGCANVAS(0u)));
    FillSolidRectEx(c.h, 0, &all, 0);
    ASSERT_EQ(SetCanvasClip(c.h, &d.clip, nullptr), 1);
    const int32_t radii[4] = {d.radius, d.radius, d.radius, d.radius};
    ASSERT_EQ(d.stroke ? StrokeRoundRect(c.h, &d.rect, radii, d.stroke, 0xFFFFFFFFu)
                       : FillRoundRect(c.h, &d.rect, radii, 0xFFFFFFFFu), 1);
    const double r[4] = {double(d.radius), double(d.radius), double(d.radius), double(d.radius)};
    const owl::RoundShape outer = owl::MakeRoundShape(d.rect.left, d.rect.top, d.rect.right, d.rect.bottom, r);
    const owl::RoundShape inner = d.stroke ? owl::InsetRoundShape(outer, d.stroke) : owl::RoundShape{};
    const Image img = owltest::ReadCanvas(c.h, kWide, kTall);
    const owl::ScopedDoublePrecision precision;  // as the library computes on x87 builds
    for (int32_t y = 0; y < kTall; ++y)
      for (int32_t x = 0; x < kWide; ++x) {
        const double area = owl::PixelCoverage(outer, x, y) - (d.stroke ? owl::PixelCoverage(inner, x, y) : 0);
        const uint32_t k = owl::Contains(d.clip, x, y) ? owl::QuantizeCoverage(area) : 0;
        ASSERT_EQ(img.at(x, y), k * 0x01010101u) << d.rect << " radius " << d.radius << " at " << x << "," << y;
      }
  }
}

// Coverage k lays (color * (k + 1)) >> 8 over each pixel, under every
// processor form.
TEST(RoundRect, CompositesScaledColourOverEveryForm) {
  Rng rng(19);
  const Image zero(kW, kH);
  const Image background = owltest::RandomImage(rng, kW, kH);
  for (const Case& k : kCases) {
    const Image coverage = Render(k, 0xFFFFFFFFu, zero);
    for (const uint32_t color : {0xFF3080C0u, 0x80402010u}) {
      for (const uint32_t mask : owltest::kMasks) {
        owl::ScopedCpuMask scoped(mask);
        const Image img = Render(k, color, background);
        for (int32_t y = 0; y < kH; ++y)
          for (int32_t x = 0; x < kW; ++x) {
            const uint32_t cov = coverage.at(x, y) >> 24;
            const uint32_t want =
                cov ? owltest::Over(owltest::ScaleByAlpha(color, cov), background.at(x, y)) : background.at(x, y);
            ASSERT_EQ(img.at(x, y), want) << "mask " << mask << " rect " << k.rect << " at " << x << "," << y;
          }
      }
    }
  }
}

// Equal radii: the picture equals its mirror images, also when radii are
// scaled down and for odd and even sizes.
TEST(RoundRect, EqualRadiiAreSymmetricInBothAxes) {
  const Image zero(kW, kH);
  const owlRect rects[] = {{0, 0, 41, 31}, {0, 0, 40, 30}, {0, 0, 13, 33}, {0, 0, 7, 6}};
  for (const owlRect& r : rects)
    for (const int32_t radius : {0, 1, 3, 6, 11, 40})
      for (const int32_t stroke : {0, 1, 2, 5}) {
        const Case k{r, {radius, radius, radius, radius}, stroke};
        const Image img = Render(k, 0xFFFFFFFFu, zero);
        for (int32_t y = 0; y < r.bottom; ++y)
          for (int32_t x = 0; x < r.right; ++x) {
            ASSERT_EQ(img.at(x, y), img.at(r.right - 1 - x, y)) << r << " radius " << radius << " stroke " << stroke;
            ASSERT_EQ(img.at(x, y), img.at(x, r.bottom - 1 - y)) << r << " radius " << radius << " stroke " << stroke;
          }
      }
}

// Radius 0 is FillSolidRect; its stroke is the rectangle minus the inset one.
TEST(RoundRect, RadiusZeroIsTheExactRectangle) {
  Rng rng(7);
  const Image background = owltest::RandomImage(rng, kW, kH);
  const uint32_t color = 0xA0503010u;
  const owlRect r{3, 4, 31, 22};
  CanvasHolder want(CreateCanvas(kW, kH, HGCANVAS(0u)));
  owltest::WriteCanvas(want.h, background);
  FillSolidRect(want.h, color, &r);
  EXPECT_EQ(Render(Case{r, {0, 0, 0, 0}, 0}, color, background).px, owltest::ReadCanvas(want.h, kW, kH).px);
  owltest::WriteCanvas(want.h, background);
  const owlRect bands[] = {{3, 4, 31, 7}, {3, 19, 31, 22}, {3, 7, 6, 19}, {28, 7, 31, 19}};
  for (const owlRect& band : bands)
    FillSolidRect(want.h, color, &band);
  EXPECT_EQ(Render(Case{r, {0, 0, 0, 0}, 3}, color, background).px, owltest::ReadCanvas(want.h, kW, kH).px);
}

// Within the clip the pixels of the unclipped draw, outside it none changed;
// origins move the shape, not the clip.
TEST(RoundRect, ClippedLikeTheFills) {
  Rng rng(3);
  const Image background = owltest::RandomImage(rng, kW, kH);
  const owlRect clip{5, 3, 23, 17};
  for (const Case& k : kCases) {
    const Image whole = Render(k, 0xC0806040u, background);
    CanvasHolder c(CreateCanvas(kW, kH, HGCANVAS(0u)));
    owltest::WriteCanvas(c.h, background);
    ASSERT_EQ(SetCanvasClip(c.h, &clip, nullptr), 1);
    ASSERT_EQ(SetViewportOrg(c.h, 2, 1, nullptr), 1);
    Case moved = k;
    moved.rect = {k.rect.left - 2, k.rect.top - 1, k.rect.right - 2, k.rect.bottom - 1};
    ASSERT_EQ(Draw(c.h, moved, 0xC0806040u), 1);
    const Image img = owltest::ReadCanvas(c.h, kW, kH);
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x)
        ASSERT_EQ(img.at(x, y), owl::Contains(clip, x, y) ? whole.at(x, y) : background.at(x, y)) << x << "," << y;
  }
}

// Huge rectangles and radii stay exact where they cross the canvas.
TEST(RoundRect, HugeShapesDrawOnlyTheirVisiblePart) {
  CanvasHolder c(CreateCanvas(8, 8, HGCANVAS(0u)));
  const owlRect all{0, 0, 8, 8};
  const owlRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const int32_t big[4] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
  FillSolidRectEx(c.h, 0, &all, 0);
  ASSERT_EQ(FillRoundRect(c.h, &huge, big, 0xFFFFFFFFu), 1);
  const Image img = owltest::ReadCanvas(c.h, 8, 8);
  for (uint32_t p : img.px) EXPECT_EQ(p, 0xFFFFFFFFu);  // the middle of a huge circle
  ASSERT_EQ(StrokeRoundRect(c.h, &huge, big, INT32_MAX, 0x80000000u), 1);
}

TEST(RoundRect, RefusesBadArgumentsAndDrawsNothingWhenEmpty) {
  CanvasHolder c(CreateCanvas(16, 16, HGCANVAS(0u)));
  const owlRect all{0, 0, 16, 16}, r{2, 2, 12, 12}, reversed{12, 2, 2, 12};
  const int32_t radii[4] = {3, 3, 3, 3}, negative[4] = {3, -1, 3, 3};
  FillSolidRectEx(c.h, 0x11223344u, &all, 0);
  const Image before = owltest::ReadCanvas(c.h, 16, 16);
  EXPECT_EQ(FillRoundRect(HGCANVAS(0u), &r, radii, 0xFFFFFFFFu), 0);
  EXPECT_EQ(FillRoundRect(c.h, nullptr, radii, 0xFFFFFFFFu), 0);
  EXPECT_EQ(FillRoundRect(c.h, &r, nullptr, 0xFFFFFFFFu), 0);
  EXPECT_EQ(FillRoundRect(c.h, &r, negative, 0xFFFFFFFFu), 0);
  EXPECT_EQ(StrokeRoundRect(c.h, &r, radii, 0, 0xFFFFFFFFu), 0);
  EXPECT_EQ(StrokeRoundRect(c.h, &r, radii, -3, 0xFFFFFFFFu), 0);
  EXPECT_EQ(StrokeRoundRect(HGCANVAS(0u), &r, radii, 1, 0xFFFFFFFFu), 0);
  EXPECT_EQ(FillRoundRect(c.h, &reversed, radii, 0xFFFFFFFFu), 1);
  EXPECT_EQ(StrokeRoundRect(c.h, &reversed, radii, 2, 0xFFFFFFFFu), 1);
  EXPECT_EQ(FillRoundRect(c.h, &r, radii, 0x00FFFFFFu), 1);  // alpha 0
  EXPECT_EQ(owltest::ReadCanvas(c.h, 16, 16).px, before.px);
}

}  // namespace
