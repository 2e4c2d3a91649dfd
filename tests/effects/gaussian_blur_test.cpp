// The Gaussian blur and the shadows: accuracy against double-precision
// references, every form against the plain one, edges and arguments.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "effects/gaussian_blur.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::GuardedBlock;
using owltest::Rng;
using owltest::TextureHolder;

struct Image {
  int w, h;
  std::vector<uint32_t> px;
  uint32_t& at(int x, int y) { return px[size_t(y * w + x)]; }
};

HGTEXTURE MakeTexture(const Image& img) {
  HGTEXTURE t = CreateTexture(img.w, img.h);
  BitmapBits b{};
  if (!LockTextureBits(t, &b, nullptr)) return t;
  for (int y = 0; y < img.h; ++y)
    std::copy_n(&img.px[size_t(y * img.w)], img.w, reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.bits) + y * b.pitch));
  UnlockTextureBits(t);
  return t;
}

Image Read(HGTEXTURE t, int w, int h) {
  Image img{w, h, {}};
  BitmapBits b{};
  if (!LockTextureBits(t, &b, nullptr)) return img;
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.bits) + y * b.pitch);
    img.px.insert(img.px.end(), row, row + w);
  }
  UnlockTextureBits(t);
  return img;
}

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
std::vector<double> ReferenceBlur(Image& img, int sigma, int channel) {
  const int reach = 6 * sigma;
  std::vector<double> g(size_t(2 * reach + 1));
  double sum = 0;
  for (int i = -reach; i <= reach; ++i) sum += g[size_t(i + reach)] = std::exp(-0.5 * i * i / (double(sigma) * sigma));
  for (double& v : g) v /= sum;
  std::vector<double> across(size_t(img.w * img.h)), out(across.size());
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      double v = 0;
      for (int i = -reach; i <= reach; ++i)
        v += g[size_t(i + reach)] * double(img.at(std::min(std::max(x + i, 0), img.w - 1), y) >> (8 * channel) & 0xFF);
      across[size_t(y * img.w + x)] = v;
    }
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      double v = 0;
      for (int i = -reach; i <= reach; ++i) v += g[size_t(i + reach)] * across[size_t(std::min(std::max(y + i, 0), img.h - 1) * img.w + x)];
      out[size_t(y * img.w + x)] = v;
    }
  return out;
}

// Hard edges (a rounded rectangle and a disc of solid colours) or
// premultiplied noise, whose alpha is mostly 0 or 255.
Image TestImage(int w, int h, uint32_t seed, bool noise) {
  Rng rng(seed);
  Image img{w, h, std::vector<uint32_t>(size_t(w * h), 0)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (noise) img.at(x, y) = rng.Premultiplied();
      else if (InRoundRect(x, y, w / 2, h / 4, w - 4, h - 3, h / 6)) img.at(x, y) = 0xFF2080F0u;
      else if ((x - w / 4) * (x - w / 4) + (y - h / 3) * (y - h / 3) < w * w / 64) img.at(x, y) = 0x80400010u;
    }
  return img;
}

int MaxError(Image& in, Image& out, int sigma) {
  int worst = 0;
  for (int ch = 0; ch < 4; ++ch) {
    const std::vector<double> ref = ReferenceBlur(in, sigma, ch);
    for (size_t i = 0; i < ref.size(); ++i)
      worst = std::max(worst, int(std::ceil(std::fabs(double(out.px[i] >> (8 * ch) & 0xFF) - ref[i]) - 1e-9)));
  }
  return worst;
}

TEST(GaussianBlur, WithinBoundOfExactGaussian) {
  const struct { int w, h, radius; } cases[] = {{48, 36, 1}, {48, 36, 2}, {48, 36, 3}, {64, 40, 5},
                                                 {64, 48, 8}, {96, 64, 13}, {128, 96, 21}, {150, 110, 34},
                                                 {170, 120, 50}};
  for (const auto& c : cases) {
    for (bool noise : {false, true}) {
      Image in = TestImage(c.w, c.h, uint32_t(c.radius), noise);
      TextureHolder src(MakeTexture(in)), dst(CreateTexture(c.w, c.h));
      ASSERT_EQ(GaussianBlurTexture(dst.h, src.h, c.radius), 1);
      Image out = Read(dst.h, c.w, c.h);
      const int e = MaxError(in, out, c.radius);
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

// Every form gives the plain form's pixels, writes only inside dst, keeps
// colour at or below alpha, and in place gives what out of place gives.
TEST(GaussianBlur, FormsAgreeOnRandomPremultipliedPixels) {
  const struct { int w, h, radius; } cases[] = {{1, 1, 1},  {1, 1, 128}, {1, 9, 3}, {9, 1, 3}, {5, 3, 1},
                                                 {17, 6, 2}, {33, 21, 7}, {6, 40, 12}, {70, 5, 128}};
  Rng rng(7);
  for (const auto& c : cases) {
    GuardedBlock src(c.w, c.h, 3, 1);
    src.Fill(rng);
    std::vector<uint32_t> plain;
    for (uint32_t mask : owltest::kMasks) {
      owl::ScopedCpuMask scoped(mask);
      GuardedBlock dst(c.w, c.h, 5, 2);
      ASSERT_TRUE(owl::GaussianBlur(dst.bits(), src.bits(), c.radius));
      EXPECT_TRUE(dst.GuardsIntact());
      if (plain.empty()) plain = dst.Pixels();
      EXPECT_EQ(dst.Pixels(), plain) << c.w << "x" << c.h << " radius " << c.radius << " mask " << mask;
      GuardedBlock same(c.w, c.h, 3, 1);
      for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) same.at(x, y) = src.at(x, y);
      ASSERT_TRUE(owl::GaussianBlur(same.bits(), same.bits(), c.radius));
      EXPECT_EQ(same.Pixels(), plain);
    }
    EXPECT_TRUE(ColourWithinAlpha(plain));
    EXPECT_TRUE(src.GuardsIntact());
  }
}

TEST(GaussianBlur, FlatStaysFlatAndRadiusZeroCopies) {
  for (int radius : {0, 1, 2, 37, 128}) {
    Image flat{7, 5, std::vector<uint32_t>(35, 0xC0A06010u)};
    TextureHolder t(MakeTexture(flat));
    ASSERT_EQ(GaussianBlurTexture(t.h, t.h, radius), 1);
    EXPECT_EQ(Read(t.h, 7, 5).px, flat.px) << radius;
  }
  Image in = TestImage(9, 4, 3, true);
  TextureHolder src(MakeTexture(in)), dst(CreateTexture(9, 4));
  ASSERT_EQ(GaussianBlurTexture(dst.h, src.h, 0), 1);
  EXPECT_EQ(Read(dst.h, 9, 4).px, in.px);
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
  const Image blurred = Read(mask.h, 30, 20), out = Read(dst.h, 30, 20);
  for (size_t i = 0; i < out.px.size(); ++i)
    for (int k = 0; k < 32; k += 8) {
      const double want = double(color >> k & 0xFF) * double(blurred.px[i] & 0xFF) / 255.0;
      ASSERT_EQ(double(out.px[i] >> k & 0xFF), std::floor(want + 0.5)) << i;
    }
  EXPECT_TRUE(ColourWithinAlpha(out.px));
  ASSERT_EQ(ShadowTexture(src.h, src.h, 4, color), 1);  // in place
  EXPECT_EQ(Read(src.h, 30, 20).px, out.px);
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
    Image shape{w, h, std::vector<uint32_t>(size_t(w * h), 0)};
    const uint32_t color = 0xB0102030u;
    const int corner = std::min({c.corner, (c.r - c.l) / 2, (c.b - c.t) / 2});
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (InRoundRect(x, y, c.l + c.dx, c.t + c.dy, c.r + c.dx, c.b + c.dy, corner)) shape.at(x, y) = color;
    TextureHolder tex(MakeTexture(shape));
    ASSERT_EQ(GaussianBlurTexture(tex.h, tex.h, c.radius), 1);
    const Image blurred = Read(tex.h, w, h);

    CanvasHolder canvas(CreateCanvas(w, h, HGCANVAS{0}));
    const owlRect all{0, 0, w, h}, rect{c.l, c.t, c.r, c.b};
    FillSolidRectEx(canvas.h, 0, &all, 0);
    ASSERT_EQ(DrawRoundRectShadow(canvas.h, &rect, c.corner, c.radius, color, c.dx, c.dy), 1);
    BitmapBits bits{};
    ASSERT_EQ(LockCanvasBits(canvas.h, &bits, &all), 1);
    int worst = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t got = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + y * bits.pitch)[x];
        for (int k = 0; k < 32; k += 8)
          worst = std::max(worst, std::abs(int(got >> k & 0xFF) - int(blurred.px[size_t(y * w + x)] >> k & 0xFF)));
      }
    UnlockCanvasBits(canvas.h);
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
  BitmapBits bits{};
  SetViewportOrg(canvas.h, 0, 0, nullptr);
  ASSERT_EQ(LockCanvasBits(canvas.h, &bits, &all), 1);
  int changed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t p = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + y * bits.pitch)[x];
      const bool inside = x >= 5 + 3 && x < 20 + 3 && y >= 4 - 2 && y < 18 - 2;
      if (!inside) EXPECT_EQ(p, 0xFF808080u) << x << "," << y;
      else if (p != 0xFF808080u) {
        ++changed;
        EXPECT_EQ(p >> 24, 0xFFu);
      }
    }
  EXPECT_GT(changed, 50);
  UnlockCanvasBits(canvas.h);
}

}  // namespace
