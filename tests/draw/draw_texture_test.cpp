// The texture drawing exports: layouts on real canvases, DrawTextureEx's
// modes and slices, return values, and random requests that must stay
// inside the clip and the source.
#include <climits>

#include <gtest/gtest.h>

#include "canvas_util.h"
#include "core/geometry.h"
#include "draw_reference.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::Image;
using owltest::Rng;
using owltest::Sampling;
using owltest::TextureHolder;

// A canvas of random pixels and a texture of random opaque texels.
struct Scene {
  Rng rng{99};
  CanvasHolder canvas;
  TextureHolder texture;
  Image before, texels;
  Scene(int32_t cw, int32_t ch, int32_t tw, int32_t th)
      : canvas(CreateCanvas(cw, ch, HGCANVAS(0u))), texture(CreateTexture(tw, th)) {
    before = owltest::RandomImage(rng, cw, ch);
    owltest::WriteCanvas(canvas.h, before);
    texels = owltest::RandomImage(rng, tw, th);
    for (auto& p : texels.px) p |= 0xFF000000u;
    owltest::WriteTexture(texture.h, texels);
  }
  Image After() const { return owltest::ReadCanvas(canvas.h, before.width, before.height); }
};

// Expected canvas after copying src (a rectangle of texels) onto d with
// nearest sampling.
void CopyNearest(const Image& texels, const owlRect& src, const owlRect& d, Image& canvas) {
  const Image s = texels.Crop(src);
  const int32_t dw = d.right - d.left, dh = d.bottom - d.top;
  const Sampling how = (dw == s.width && dh == s.height) ? Sampling::kSame : Sampling::kNearest;
  for (int32_t i = 0; i < dh; ++i)
    for (int32_t j = 0; j < dw; ++j) canvas.at(d.left + j, d.top + i) = owltest::SampleAt(s, dw, dh, j, i, how, false);
}

TEST(DrawTextureTile, SixteenSquareIntoFortyByTwentyIsNeverScaled) {
  for (uint32_t filter : {0u, 1u, 4u}) {
    Scene s(48, 24, 16, 16);
    const owlRect d{0, 0, 40, 20};
    EXPECT_EQ(DrawTextureTile(s.canvas.h, &d, s.texture.h, nullptr, filter, OWL_ALPHA_OPAQUE), 1u);
    Image want = s.before;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 40; ++x) want.at(x, y) = s.texels.at(x % 16, y % 16);
    EXPECT_EQ(s.After().px, want.px) << "filter " << filter;
  }
}

TEST(DrawTextureTopTile, BandAtItsSizeBodyStretchedFromTheBottomRows) {
  Scene s(30, 104, 10, 30);
  const owlRect d{0, 0, 25, 100}, m{0, 8, 0, 6};
  EXPECT_EQ(DrawTextureTopTile(s.canvas.h, &d, s.texture.h, nullptr, &m, OWL_RESAMPLE_NEAREST, OWL_ALPHA_OPAQUE), 1u);
  Image want = s.before;
  for (int32_t x = 0; x < 25; x += 10) {
    const int32_t r = std::min(x + 10, 25);
    CopyNearest(s.texels, {0, 0, r - x, 8}, {x, 0, r, 8}, want);
    CopyNearest(s.texels, {0, 24, r - x, 30}, {x, 8, r, 100}, want);
  }
  EXPECT_EQ(s.After().px, want.px);

  Scene z(12, 40, 10, 30);  // no top margin: the body starts at the top
  const owlRect d2{0, 0, 10, 40}, m2{0, 0, 0, 6};
  EXPECT_EQ(DrawTextureTopTile(z.canvas.h, &d2, z.texture.h, nullptr, &m2, OWL_RESAMPLE_NEAREST, OWL_ALPHA_OPAQUE), 1u);
  Image want2 = z.before;
  CopyNearest(z.texels, {0, 24, 10, 30}, d2, want2);
  EXPECT_EQ(z.After().px, want2.px);
}

TEST(DrawTexture9Grid, CornersKeepTheirSizeEdgesStretch) {
  Scene s(44, 34, 12, 12);
  const owlRect d{2, 1, 40, 30}, src{0, 0, 12, 12}, m{3, 2, 4, 5};
  EXPECT_EQ(DrawTexture9Grid(s.canvas.h, &d, s.texture.h, &src, &m, OWL_RESAMPLE_NEAREST, false, OWL_ALPHA_OPAQUE), 1u);
  const int32_t dx[4] = {2, 5, 36, 40}, dy[4] = {1, 3, 25, 30};
  const int32_t sx[4] = {0, 3, 8, 12}, sy[4] = {0, 2, 7, 12};
  Image want = s.before;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      CopyNearest(s.texels, {sx[j], sy[i], sx[j + 1], sy[i + 1]}, {dx[j], dy[i], dx[j + 1], dy[i + 1]}, want);
  EXPECT_EQ(s.After().px, want.px);
}

TEST(DrawTexture9Grid, MarginsWiderThanTheRectangleDrawOnlySoundCells) {
  // The source's middle column is reversed (8 > 4): cells 1, 4 and 7 are
  // skipped; the corners and the sound edges overlap but stay inside dst.
  Scene s(30, 30, 12, 12);
  const owlRect d{5, 5, 25, 25}, m{8, 3, 8, 3};
  EXPECT_EQ(DrawTexture9Grid(s.canvas.h, &d, s.texture.h, nullptr, &m, OWL_RESAMPLE_BILINEAR, true, OWL_ALPHA_OPAQUE),
            1u);
  const Image after = s.After();
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 30; ++x)
      if (!(x >= 5 && x < 25 && y >= 5 && y < 25)) ASSERT_EQ(after.at(x, y), s.before.at(x, y)) << x << "," << y;
}

// The solid middle: the centre texel of the source's middle cell, scaled by
// alpha unless the texture multiplies, through the texture's fill operation.
TEST(DrawTexture9Grid, SolidMiddle) {
  const owlRect d{2, 2, 30, 26}, m{3, 3, 3, 3}, middle{5, 5, 27, 23};
  struct Case {
    uint32_t kind, alpha;
  };
  for (const Case c : {Case{1, 128}, Case{0, 128}, Case{3, 128}, Case{3, 0}, Case{0, 0}, Case{2, 255}}) {
    Scene grid(32, 28, 12, 12), plain(32, 28, 12, 12);
    for (Scene* s : {&grid, &plain}) {
      s->texels.at(6, 6) = 0xFF204060u;  // centre of the middle cell (3, 3, 9, 9)
      owltest::WriteTexture(s->texture.h, s->texels);
      SetTextureFilter(s->texture.h, c.kind << 24);
    }
    EXPECT_EQ(
        DrawTexture9Grid(grid.canvas.h, &d, grid.texture.h, nullptr, &m, OWL_RESAMPLE_BILINEAR, true, uint8_t(c.alpha)),
        1u);
    EXPECT_EQ(DrawTexture9Grid(plain.canvas.h, &d, plain.texture.h, nullptr, &m, OWL_RESAMPLE_BILINEAR, false,
                               uint8_t(c.alpha)),
              1u);
    const uint32_t color = c.kind == 3 ? 0xFF204060u : owltest::ScaleByAlpha(0xFF204060u, c.alpha);
    if (c.kind == 1 && c.alpha == 128) EXPECT_EQ(color, 0x80102030u);
    const Image got = grid.After(), around = plain.After();
    for (int32_t y = 0; y < 28; ++y)
      for (int32_t x = 0; x < 32; ++x) {
        const uint32_t old = grid.before.at(x, y);
        uint32_t want = around.at(x, y);
        if (owl::Contains(middle, x, y))
          want = c.alpha == 0 && c.kind != 3 ? old
                 : c.kind == 3             ? owltest::Multiply(old, color)
                 : c.kind == 0             ? color
                                           : owltest::Over(color, old);
        ASSERT_EQ(got.at(x, y), want) << "kind " << c.kind << " alpha " << c.alpha << " at " << x << "," << y;
      }
  }
}

TEST(DrawTextureCenter, FortySquareIntoHundredByFifty) {
  Scene s(100, 50, 40, 40);
  const owlRect d{0, 0, 100, 50};
  EXPECT_EQ(DrawTextureCenter(s.canvas.h, &d, s.texture.h, nullptr, OWL_RESAMPLE_NEAREST, OWL_ALPHA_OPAQUE), 1u);
  Image want = s.before;
  CopyNearest(s.texels, {0, 0, 40, 40}, {25, 0, 75, 50}, want);
  EXPECT_EQ(s.After().px, want.px);
}

TEST(DrawTextureEx, ModeAndSliceChooseTheLayout) {
  const owlRect slice{2, 3, 9, 11}, d{1, 2, 37, 29};
  const TextureMode modes[] = {{OWL_MODE_STRETCH, {0, 0, 0, 0}},
                               {OWL_MODE_NINE_GRID, {2, 3, 1, 2}},
                               {OWL_MODE_TILE, {0, 0, 0, 0}},
                               {OWL_MODE_CENTER, {0, 0, 0, 0}},
                               {OWL_MODE_NINE_GRID_SOLID, {2, 3, 1, 2}},
                               {OWL_MODE_TOP_TILE, {0, 3, 0, 2}},
                               {77, {0, 0, 0, 0}}};  // unnamed: stretched
  for (const TextureMode& mode : modes)
    for (bool useSlice : {false, true}) {
      Scene viaEx(40, 32, 12, 12), direct(40, 32, 12, 12);
      ASSERT_EQ(SetTextureMode(viaEx.texture.h, &mode), 1);
      if (useSlice) ASSERT_EQ(SetTextureSlice(viaEx.texture.h, 1, &slice), 0);
      const owlRect* src = useSlice ? &slice : nullptr;
      EXPECT_EQ(DrawTextureEx(viaEx.canvas.h, &d, viaEx.texture.h, OWL_RESAMPLE_BILINEAR, 200), 1);
      unsigned int r = 0;
      switch (mode.kind) {
        case OWL_MODE_NINE_GRID:
        case OWL_MODE_NINE_GRID_SOLID:
          r = DrawTexture9Grid(direct.canvas.h, &d, direct.texture.h, src, &mode.margins, OWL_RESAMPLE_BILINEAR,
                               mode.kind == OWL_MODE_NINE_GRID_SOLID, 200);
          break;
        case OWL_MODE_TILE:
          r = DrawTextureTile(direct.canvas.h, &d, direct.texture.h, src, OWL_RESAMPLE_BILINEAR, 200);
          break;
        case OWL_MODE_CENTER:
          r = DrawTextureCenter(direct.canvas.h, &d, direct.texture.h, src, OWL_RESAMPLE_BILINEAR, 200);
          break;
        case OWL_MODE_TOP_TILE:
          r = DrawTextureTopTile(direct.canvas.h, &d, direct.texture.h, src, &mode.margins, OWL_RESAMPLE_BILINEAR, 200);
          break;
        default: {
          const TextureMode stretch{OWL_MODE_STRETCH, {0, 0, 0, 0}};
          SetTextureMode(direct.texture.h, &stretch);
          if (useSlice) SetTextureSlice(direct.texture.h, 1, &slice);
          r = unsigned(DrawTextureEx(direct.canvas.h, &d, direct.texture.h, OWL_RESAMPLE_BILINEAR, 200));
          // A plain stretch of the slice, checked pixel by pixel.
          Image want = direct.before;
          const Image part = direct.texels.Crop(useSlice ? slice : owlRect{0, 0, 12, 12});
          for (int32_t i = 0; i < 27; ++i)
            for (int32_t j = 0; j < 36; ++j) {
              uint32_t& p = want.at(1 + j, 2 + i);
              p = owltest::Over(owltest::ScaleByAlpha(owltest::SampleAt(part, 36, 27, j, i, Sampling::kBilinear, false), 200), p);
            }
          EXPECT_EQ(direct.After().px, want.px);
        }
      }
      EXPECT_EQ(r, 1u);
      EXPECT_EQ(viaEx.After().px, direct.After().px) << "kind " << mode.kind << " slice " << useSlice;
    }
}

TEST(DrawTexture, IsDrawTextureExAtFullAlphaAndFollowsTheMode) {
  Scene a(40, 24, 16, 16), b(40, 24, 16, 16);
  const TextureMode tile{OWL_MODE_TILE, {0, 0, 0, 0}};
  SetTextureMode(a.texture.h, &tile);
  const owlRect d{0, 0, 40, 20};
  EXPECT_EQ(DrawTexture(a.canvas.h, &d, a.texture.h, OWL_RESAMPLE_BICUBIC), 1);
  EXPECT_EQ(DrawTextureTile(b.canvas.h, &d, b.texture.h, nullptr, OWL_RESAMPLE_BICUBIC, OWL_ALPHA_OPAQUE), 1u);
  EXPECT_EQ(a.After().px, b.After().px);
}

TEST(TextureDrawing, ReturnValues) {
  Scene s(20, 20, 8, 8);
  const HGCANVAS c = s.canvas.h;
  const HGTEXTURE t = s.texture.h;
  const owlRect d{0, 0, 10, 10}, m{1, 1, 1, 1};
  const HGTEXTURE asTexture(c.value);  // right slot, wrong kind
  const HGCANVAS asCanvas(t.value);
  const owlRect bad[] = {{0, 0, 0, 10}, {0, 0, 9, 5}, {-1, 0, 5, 5}, {3, 3, 3, 8}};
  auto all = [&](HGCANVAS cc, HGTEXTURE tt, const owlRect* src) {
    return std::vector<unsigned>{DrawTexture9Grid(cc, &d, tt, src, &m, OWL_RESAMPLE_BILINEAR, true, OWL_ALPHA_OPAQUE),
                                 DrawTextureTopTile(cc, &d, tt, src, &m, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE),
                                 DrawTextureTile(cc, &d, tt, src, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE),
                                 DrawTextureCenter(cc, &d, tt, src, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE)};
  };
  const std::vector<unsigned> zeros(4, 0u), ones(4, 1u);
  EXPECT_EQ(all(c, asTexture, nullptr), zeros);
  EXPECT_EQ(all(asCanvas, t, nullptr), zeros);
  EXPECT_EQ(all(HGCANVAS(0u), HGTEXTURE(0u), nullptr), zeros);
  EXPECT_EQ(DrawTexture(c, &d, asTexture, OWL_RESAMPLE_NEAREST), 0);
  EXPECT_EQ(DrawTextureEx(asCanvas, &d, t, OWL_RESAMPLE_NEAREST, OWL_ALPHA_OPAQUE), 0);
  for (const owlRect& b : bad) EXPECT_EQ(all(c, t, &b), zeros) << b;
  EXPECT_EQ(s.After().px, s.before.px);  // nothing drawn by any failure

  const owlRect reversedSrc{8, 8, 0, 0};  // normalised: the whole texture
  EXPECT_EQ(all(c, t, &reversedSrc), ones);
  const owlRect away{100, 100, 120, 120}, reversedDst{10, 10, 0, 0};
  for (const owlRect* dd : {&away, &reversedDst}) {
    Scene z(20, 20, 8, 8);
    EXPECT_EQ(DrawTexture(z.canvas.h, dd, z.texture.h, OWL_RESAMPLE_BILINEAR), 1);
    EXPECT_EQ(DrawTextureTile(z.canvas.h, dd, z.texture.h, nullptr, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE), 1u);
    EXPECT_EQ(DrawTextureEx(z.canvas.h, &d, z.texture.h, OWL_RESAMPLE_BILINEAR, 0), 1);  // alpha 0
    EXPECT_EQ(z.After().px, z.before.px);
  }
  // The current slice is validated like src.
  const owlRect outside{4, 4, 12, 12};
  SetTextureSlice(t, 1, &outside);
  EXPECT_EQ(DrawTextureEx(c, &d, t, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE), 0);
  const TextureMode tile{OWL_MODE_TILE, {0, 0, 0, 0}};
  SetTextureMode(t, &tile);
  EXPECT_EQ(DrawTexture(c, &d, t, OWL_RESAMPLE_BILINEAR), 0);
}

// Random requests with random origins, clips, margins and huge or reversed
// rectangles: nothing outside the clip changes, and a copying nearest draw
// shows no texel from outside the source.
TEST(TextureDrawing, RandomRequestsStayInsideClipAndSource) {
  constexpr uint32_t kOutside = 0xFFFF00FFu;
  Rng rng(5150);
  CanvasHolder canvas(CreateCanvas(32, 24, HGCANVAS(0u)));
  TextureHolder texture(CreateTexture(16, 16));
  Image texels(16, 16);
  const owlRect slice{3, 2, 13, 12};
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x)
      texels.at(x, y) = owl::Contains(slice, x, y) ? (rng.Premultiplied() & 0xFFFFFF00u) | 0x01000000u : kOutside;
  owltest::WriteTexture(texture.h, texels);
  // Mostly small proper rectangles; now and then reversed ones, ones at the
  // ends of the int32 range, or any four values.
  auto coord = [&](int32_t lo, int32_t hi) {
    const uint32_t pick = rng.Next() % 16;
    if (pick == 0) return INT_MIN + rng.Range(0, 9);
    if (pick == 1) return INT_MAX - rng.Range(0, 60);
    return rng.Range(lo, hi);
  };
  auto extend = [&](int32_t from, int32_t lo, int32_t hi) {
    return int32_t(std::min<int64_t>(INT_MAX, std::max<int64_t>(INT_MIN, int64_t(from) + rng.Range(lo, hi))));
  };
  auto rect = [&](int32_t lo, int32_t hi, int32_t size) {
    if (rng.Next() % 10 == 0)
      return owlRect{int32_t(rng.Next()), int32_t(rng.Next()), int32_t(rng.Next()), int32_t(rng.Next())};
    owlRect r;
    r.left = coord(lo, hi);
    r.top = coord(lo, hi);
    r.right = extend(r.left, -3, size);
    r.bottom = extend(r.top, -3, size);
    return r;
  };
  int drawn = 0;
  for (int iter = 0; iter < 3000; ++iter) {
    SetWindowOrg(canvas.h, rng.Range(-6, 6), rng.Range(-6, 6), nullptr);
    SetViewportOrg(canvas.h, rng.Range(-6, 6), rng.Range(-6, 6), nullptr);
    const owlRect clipReq{rng.Range(-10, 14), rng.Range(-10, 10), rng.Range(14, 40), rng.Range(10, 30)};
    SetCanvasClip(canvas.h, &clipReq, nullptr);
    BitmapBits clipBits{};
    GetCanvasClipBits(canvas.h, &clipBits);
    const Image before = owltest::RandomImage(rng, 32, 24);
    owltest::WriteCanvas(canvas.h, before);
    const BitmapBits whole = owltest::DeviceBits(canvas.h);

    const uint32_t kind = rng.Next() % 5;
    const bool plainCopy = rng.Next() % 2 == 0;
    const uint32_t filter = plainCopy ? 0 : rng.Next() % 6;
    const uint8_t alpha = plainCopy ? 255 : uint8_t(rng.Next());
    SetTextureFilter(texture.h, (plainCopy ? 0 : kind) << 24);
    const owlRect d = rect(-16, 24, 40);
    owlRect m{rng.Range(-2, 12), rng.Range(-2, 12), rng.Range(-2, 12), rng.Range(-2, 12)};
    if (rng.Next() % 10 == 0) m = rect(-2, 12, 12);
    const TextureMode mode{rng.Next() % 7, m};
    SetTextureMode(texture.h, &mode);
    SetTextureSlice(texture.h, 1, &slice);
    switch (rng.Next() % 6) {
      case 0: DrawTextureEx(canvas.h, &d, texture.h, filter, alpha); break;
      case 1: DrawTexture9Grid(canvas.h, &d, texture.h, &slice, &m, filter, rng.Next() % 2 == 0, alpha); break;
      case 2: DrawTextureTopTile(canvas.h, &d, texture.h, &slice, &m, filter, alpha); break;
      case 3: DrawTextureTile(canvas.h, &d, texture.h, &slice, filter, alpha); break;
      case 4: DrawTextureCenter(canvas.h, &d, texture.h, &slice, filter, alpha); break;
      default: DrawTexture(canvas.h, &d, texture.h, filter); break;
    }
    const Image after = owltest::ReadCanvas(canvas.h, 32, 24);
    drawn += after.px != before.px;
    // The clip's device rectangle, from its view's offset in the buffer.
    const ptrdiff_t offset = static_cast<uint8_t*>(clipBits.bits) - static_cast<uint8_t*>(whole.bits);
    const int32_t cx = int32_t(offset % whole.pitch) / 4, cy = int32_t(offset / whole.pitch);
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 32; ++x) {
        const bool inClip = x >= cx && x < cx + clipBits.width && y >= cy && y < cy + clipBits.height;
        if (!inClip) ASSERT_EQ(after.at(x, y), before.at(x, y)) << "iteration " << iter << " at " << x << "," << y;
        if (plainCopy) ASSERT_NE(after.at(x, y), kOutside) << "iteration " << iter;
      }
  }
  EXPECT_GT(drawn, 600);  // the requests are not all clipped away
}

}  // namespace
