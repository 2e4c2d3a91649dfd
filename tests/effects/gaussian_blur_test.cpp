// The Gaussian blur and the shadows: accuracy against double-precision
// references, every form against the plain one, edges and arguments.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "effects/gaussian_blur.h"
#include "sweep.h"
#include "test_util.h"

namespace {

using owltest::BlockCase;
using owltest::CanvasHolder;
using owltest::CanvasPixels;
using owltest::Image;
using owltest::Rng;
using owltest::TextureHolder;
using owltest::TexturePixels;

HGTEXTURE MakeTexture(const Image& img) { return owltest::TextureOf(img.width, img.height, img.px); }

// Pixel centre inside the rectangle [l, r) x [t, b) with corners of radius c.
bool InRoundRect(int x, int y, int l, int t, int r, int b, int c) {
  const double px = x + 0.5, py = y + 0.5;
  if (px < l || px > r || py < t || py > b) return false;
  const double cx = std::min(std::max(px, l + double(c)), r - double(c));
  const double cy = std::min(std::max(py, t + double(c)), b - double(c));
  return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= double(c) * c;
}

// The exact Gaussian, its sampled weights summing to 1 over +-6 sigma, rows
// then columns over edge-clamped lines, in double precision per channel.
std::vector<double> ReferenceBlur(const Image& img, int sigma, int channel) {
  const int reach = 6 * sigma;
  std::vector<double> g(size_t(2 * reach + 1));
  double sum = 0;
  for (int i = -reach; i <= reach; ++i) sum += g[size_t(i + reach)] = std::exp(-0.5 * i * i / (double(sigma) * sigma));
  for (double& v : g) v /= sum;
  std::vector<double> across(size_t(img.width * img.height)), out(across.size());
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      double v = 0;
      for (int i = -reach; i <= reach; ++i)
        v += g[size_t(i + reach)] * double(img.Clamped(x + i, y) >> (8 * channel) & 0xFF);
      across[size_t(y * img.width + x)] = v;
    }
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      double v = 0;
      for (int i = -reach; i <= reach; ++i)
        v += g[size_t(i + reach)] * across[size_t(std::min(std::max(y + i, 0), img.height - 1) * img.width + x)];
      out[size_t(y * img.width + x)] = v;
    }
  return out;
}

// Hard edges (a rounded rectangle and a disc of solid colours) or
// premultiplied noise, whose alpha is mostly 0 or 255.
Image TestImage(int w, int h, uint32_t seed, bool noise) {
  Rng rng(seed);
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (noise) img.at(x, y) = rng.Premultiplied();
      else if (InRoundRect(x, y, w / 2, h / 4, w - 4, h - 3, h / 6)) img.at(x, y) = 0xFF2080F0u;
      else if ((x - w / 4) * (x - w / 4) + (y - h / 3) * (y - h / 3) < w * w / 64) img.at(x, y) = 0x80400010u;
    }
  return img;
}

int MaxError(const Image& in, const std::vector<uint32_t>& out, int sigma) {
  int worst = 0;
  for (int ch = 0; ch < 4; ++ch) {
    const std::vector<double> ref = ReferenceBlur(in, sigma, ch);
    for (size_t i = 0; i < ref.size(); ++i)
      worst = std::max(worst, int(std::ceil(std::fabs(double(out[i] >> (8 * ch) & 0xFF) - ref[i]) - 1e-9)));
  }
  return worst;
}

TEST(GaussianBlur, WithinBoundOfExactGaussian) {
  const struct { int w, h, radius; } cases[] = {{48, 36, 1}, {48, 36, 2}, {48, 36, 3}, {64, 40, 5},
                                                 {64, 48, 8}, {96, 64, 13}, {128, 96, 21}, {150, 110, 34},
                                                 {170, 120, 50}};
  for (const auto& c : cases) {
    if (owltest::Emulated() && c.radius > 21) continue;  // the widest: native runs only
    for (bool noise : {false, true}) {
      Image in = TestImage(c.w, c.h, uint32_t(c.radius), noise);
      TextureHolder src(MakeTexture(in)), dst(CreateTexture(c.w, c.h));
      ASSERT_EQ(GaussianBlurTexture(dst.h, src.h, c.radius), 1);
      const int e = MaxError(in, TexturePixels(dst.h), c.radius);
      // A corner takes the line's error twice (about 2.5 levels each).
      EXPECT_LE(e, noise ? 4 : 6) << "radius " << c.radius << (noise ? " noise" : " shapes");
    }
  }
}

bool ColourWithinAlpha(const std::vector<uint32_t>& px) {
  for (uint32_t p : px)
    for (int k = 0; k < 24; k += 8)
      if ((p >> k & 0xFF) > p >> 24) return false;
  return true;
}

// The rule itself, one channel of one line at a time: the line extended by
// its edge values far enough that no pass sees the far ends, three passes.
std::vector<uint32_t> RuleBlur(const std::vector<uint32_t>& px, int w, int h, int radius) {
  const owl::BoxPass p = owl::GaussianBoxPass(radius);
  const int e = p.r + 1, pad = 4 * e;
  auto blurLine = [&](std::vector<int> v) {  // v: the line with pad values each side
    for (int pass = 0; pass < 3; ++pass) {
      std::vector<int> next(v.size());
      const int n = int(v.size());
      auto at = [&](int i) { return v[size_t(std::min(std::max(i, 0), n - 1))]; };
      for (int i = 0; i < n; ++i) {
        int sum = 0;
        for (int j = -p.r; j <= p.r; ++j) sum += at(i + j);
        next[size_t(i)] = int((uint32_t(p.inner) * uint32_t(sum) + uint32_t(p.end) * uint32_t(at(i - e) + at(i + e)) +
                               (1u << (p.shift - 1))) >> p.shift);
      }
      v.swap(next);
    }
    return v;
  };
  std::vector<uint32_t> out(px.size(), 0);
  auto run = [&](int lines, int len, auto index, const std::vector<uint32_t>& in) {
    for (int l = 0; l < lines; ++l)
      for (int ch = 0; ch < 32; ch += 8) {
        std::vector<int> v;
        for (int i = -pad; i < len + pad; ++i) v.push_back(int(in[index(l, std::min(std::max(i, 0), len - 1))] >> ch & 0xFF));
        v = blurLine(v);
        for (int i = 0; i < len; ++i) {
          uint32_t& o = out[index(l, i)];
          o = (o & ~(0xFFu << ch)) | uint32_t(v[size_t(i + pad)]) << ch;
        }
      }
  };
  run(h, w, [&](int y, int x) { return size_t(y * w + x); }, px);
  const std::vector<uint32_t> across = out;
  run(w, h, [&](int x, int y) { return size_t(y * w + x); }, across);
  return out;
}

// Every form gives the rule's pixels, writes only inside dst, keeps colour
// at or below alpha, and in place gives what out of place gives. Every
// width up to 40 for the box radii taken along the rows directly, a few
// sizes for the wider boxes that take turned strips.
TEST(GaussianBlur, FormsFollowTheRuleOnRandomPremultipliedPixels) {
  struct Case { int w, h, radius; };
  std::vector<Case> cases = {{1, 1, 1}, {1, 1, 128}, {1, 9, 3}, {9, 1, 3}, {5, 3, 1},   {17, 6, 2},
                             {33, 21, 7}, {6, 40, 12}, {70, 5, 128}, {37, 35, 5}, {40, 3, 4}};
  for (int w = 1; w <= 40; ++w) cases.push_back({w, 1 + w % 4, 1 + w % 4});
  Rng rng(7);
  for (const auto& c : cases) {
    BlockCase k(rng, c.w, c.h, c.w, c.h, 3, 1);
    const std::vector<uint32_t> rule = RuleBlur(k.src_before, c.w, c.h, c.radius);
    const auto want = [&](const BlockCase&, int32_t x, int32_t y, uint32_t) { return rule[size_t(y * c.w + x)]; };
    owltest::CheckCase(k, [&](const BitmapBits& d, const BitmapBits& s) { return owl::GaussianBlur(d, s, c.radius); },
                       want);
    owltest::CheckCase(
        k,
        [&](const BitmapBits& d, const BitmapBits& s) {
          for (int32_t y = 0; y < c.h; ++y) std::copy_n(owl::RowAt(s, y), c.w, owl::RowAt(d, y));
          return owl::GaussianBlur(d, d, c.radius);
        },
        want);
    EXPECT_TRUE(ColourWithinAlpha(rule));
  }
}

TEST(GaussianBlur, FlatStaysFlatAndRadiusZeroCopies) {
  for (int radius : {0, 1, 2, 37, 128}) {
    const std::vector<uint32_t> flat(35, 0xC0A06010u);
    TextureHolder t(owltest::TextureOf(7, 5, flat));
    ASSERT_EQ(GaussianBlurTexture(t.h, t.h, radius), 1);
    EXPECT_EQ(TexturePixels(t.h), flat) << radius;
  }
  Image in = TestImage(9, 4, 3, true);
  TextureHolder src(MakeTexture(in)), dst(CreateTexture(9, 4));
  ASSERT_EQ(GaussianBlurTexture(dst.h, src.h, 0), 1);
  EXPECT_EQ(TexturePixels(dst.h), in.px);
}

// The weights rule at its ends: each pass a third of the variance.
TEST(GaussianBlur, PassWeights) {
  for (int s : {1, 2, 3, 10, 50, 100, 128}) {
    const owl::BoxPass p = owl::GaussianBoxPass(s);
    const double total = double(p.inner) * (2 * p.r + 1) + 2.0 * p.end;
    const double variance = (double(p.inner) * p.r * (p.r + 1) * (2 * p.r + 1) / 3 + 2.0 * p.end * (p.r + 1) * (p.r + 1)) / total;
    EXPECT_NEAR(variance * 3, double(s) * s, 0.01 * s * s) << s;
    EXPECT_LE(total, double(1u << p.shift));
    EXPECT_GE(total, double(1u << p.shift) - 1);
    EXPECT_LE(p.end, p.inner);
  }
}

TEST(GaussianBlur, RefusesBadArguments) {
  TextureHolder a(CreateTexture(8, 8)), b(CreateTexture(8, 7)), gone(CreateTexture(2, 2));
  DeleteTexture(gone.h);
  EXPECT_EQ(GaussianBlurTexture(a.h, b.h, 2), 0);
  EXPECT_EQ(GaussianBlurTexture(a.h, a.h, -1), 0);
  EXPECT_EQ(GaussianBlurTexture(a.h, a.h, 129), 0);
  EXPECT_EQ(GaussianBlurTexture(a.h, gone.h, 2), 0);
  EXPECT_EQ(GaussianBlurTexture(gone.h, a.h, 2), 0);
  EXPECT_EQ(ShadowTexture(a.h, b.h, 2, 0xFF000000u), 0);
  EXPECT_EQ(ShadowTexture(a.h, a.h, 129, 0xFF000000u), 0);
  EXPECT_EQ(ShadowTexture(gone.h, a.h, 2, 0xFF000000u), 0);
  CanvasHolder canvas(CreateCanvas(8, 8, HGCANVAS{0}));
  const owlRect rect{1, 1, 6, 6}, reversed{6, 1, 1, 6};
  EXPECT_EQ(DrawRoundRectShadow(canvas.h, nullptr, 2, 2, 0xFF000000u, 0, 0), 0);
  EXPECT_EQ(DrawRoundRectShadow(canvas.h, &reversed, 2, 2, 0xFF000000u, 0, 0), 0);
  EXPECT_EQ(DrawRoundRectShadow(canvas.h, &rect, -1, 2, 0xFF000000u, 0, 0), 0);
  EXPECT_EQ(DrawRoundRectShadow(canvas.h, &rect, 2, 129, 0xFF000000u, 0, 0), 0);
  EXPECT_EQ(DrawRoundRectShadow(HGCANVAS{0}, &rect, 2, 2, 0xFF000000u, 0, 0), 0);
  EXPECT_EQ(DrawRoundRectShadow(canvas.h, &rect, 2, 2, 0xFF000000u, 0x7FFFFFFB, 0), 0);  // its right edge wraps
}

// The silhouette: the colour scaled by the blurred alpha, whatever the
// source's colour bytes.
TEST(ShadowTexture, TintsTheBlurredAlpha) {
  Image in = TestImage(30, 20, 5, true);
  Image alpha = in;
  for (uint32_t& p : alpha.px) p = (p >> 24) * 0x01010101u;
  TextureHolder src(MakeTexture(in)), mask(MakeTexture(alpha)), dst(CreateTexture(30, 20));
  const uint32_t color = 0xC0300060u;
  ASSERT_EQ(ShadowTexture(dst.h, src.h, 4, color), 1);
  ASSERT_EQ(GaussianBlurTexture(mask.h, mask.h, 4), 1);
  const std::vector<uint32_t> blurred = TexturePixels(mask.h), out = TexturePixels(dst.h);
  for (size_t i = 0; i < out.size(); ++i)
    for (int k = 0; k < 32; k += 8) {
      const double want = double(color >> k & 0xFF) * double(blurred[i] & 0xFF) / 255.0;
      ASSERT_EQ(double(out[i] >> k & 0xFF), std::floor(want + 0.5)) << i;
    }
  EXPECT_TRUE(ColourWithinAlpha(out));
  ASSERT_EQ(ShadowTexture(src.h, src.h, 4, color), 1);  // in place
  EXPECT_EQ(TexturePixels(src.h), out);
}

// The shadow drawn from its rows against the filled shape blurred as an
// image, both on transparent pixels; and nothing outside the clip.
TEST(RoundRectShadow, MatchesBlurOfTheShape) {
  const struct { int l, t, r, b, corner, radius, dx, dy; } cases[] = {
      {30, 30, 70, 60, 0, 0, 0, 0},    {30, 30, 70, 60, 8, 0, 0, 0},   {30, 30, 70, 60, 6, 1, 2, 3},
      {34, 30, 64, 62, 12, 4, -3, 1},  {36, 36, 62, 52, 40, 6, 0, 0},  {20, 25, 80, 70, 16, 12, 0, 4},
      {45, 40, 55, 47, 3, 16, 0, 0}};
  const int w = 100, h = 96;
  for (const auto& c : cases) {
    Image shape(w, h);
    const uint32_t color = 0xB0102030u;
    const int corner = std::min({c.corner, (c.r - c.l) / 2, (c.b - c.t) / 2});
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (InRoundRect(x, y, c.l + c.dx, c.t + c.dy, c.r + c.dx, c.b + c.dy, corner)) shape.at(x, y) = color;
    TextureHolder tex(MakeTexture(shape));
    ASSERT_EQ(GaussianBlurTexture(tex.h, tex.h, c.radius), 1);
    const std::vector<uint32_t> blurred = TexturePixels(tex.h);

    CanvasHolder canvas(CreateCanvas(w, h, HGCANVAS{0}));
    const owlRect all{0, 0, w, h}, rect{c.l, c.t, c.r, c.b};
    FillSolidRectEx(canvas.h, 0, &all, 0);
    ASSERT_EQ(DrawRoundRectShadow(canvas.h, &rect, c.corner, c.radius, color, c.dx, c.dy), 1);
    const std::vector<uint32_t> got = CanvasPixels(canvas.h);
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i)
      for (int k = 0; k < 32; k += 8)
        worst = std::max(worst, std::abs(int(got[i] >> k & 0xFF) - int(blurred[i] >> k & 0xFF)));
    EXPECT_LE(worst, 2) << "corner " << c.corner << " radius " << c.radius;
  }
}

TEST(RoundRectShadow, StaysInsideTheClipAndOverlays) {
  CanvasHolder canvas(CreateCanvas(40, 30, HGCANVAS{0}));
  const owlRect all{0, 0, 40, 30}, clip{5, 4, 20, 18}, rect{8, 8, 30, 24};
  FillSolidRectEx(canvas.h, 0xFF808080u, &all, 0);
  SetViewportOrg(canvas.h, 3, -2, nullptr);
  ASSERT_EQ(SetCanvasClip(canvas.h, &clip, nullptr), 1);  // pixels (8, 2) to (23, 16)
  ASSERT_EQ(DrawRoundRectShadow(canvas.h, &rect, 5, 6, 0x80000000u, 1, 1), 1);
  int changed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t p = owltest::PixelAt(canvas.h, x, y);
      const bool inside = x >= 5 + 3 && x < 20 + 3 && y >= 4 - 2 && y < 18 - 2;
      if (!inside) EXPECT_EQ(p, 0xFF808080u) << x << "," << y;
      else if (p != 0xFF808080u) {
        ++changed;
        EXPECT_EQ(p >> 24, 0xFFu);
      }
    }
  EXPECT_GT(changed, 50);
}

}  // namespace
