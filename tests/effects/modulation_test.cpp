// DrawModulation: the translucent and the opaque rule, placement and
// refusals.
#include <vector>

#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::FilledCanvas;
using owltest::PixelAt;
using owltest::TextureOf;
using owltest::Rng;
using owltest::TextureHolder;

// One texture pixel modulated onto one canvas pixel.
uint32_t One(uint32_t canvasPixel, uint32_t texel, uint32_t color) {
  CanvasHolder c(FilledCanvas(1, 1, canvasPixel));
  TextureHolder t(TextureOf(1, 1, {texel}));
  EXPECT_EQ(DrawModulation(c.h, 0, 0, t.h, color), 1);
  return PixelAt(c.h, 0, 0);
}

uint32_t Ch(uint32_t p, int k) { return p >> (8 * k) & 0xFF; }

TEST(Modulation, TranslucentRuleWorkedValues) {
  EXPECT_EQ(One(0x80402010u, 0x00000000u, 0x80FFFFFFu), 0x80402010u);  // s = 0, w = 256
  EXPECT_EQ(One(0xFF000000u, 0xFFFFFFFFu, 0x80808080u), 0xFF808080u);
  // Colour 0x40 in each channel, texel 0x80: s = (0x40 * 0x81) >> 8 = 32,
  // w = 224: 32 + ((224 * d) >> 8).
  EXPECT_EQ(One(0xFF102030u, 0x80808080u, 0x40404040u), 0xFF2E3C4Au);
}

TEST(Modulation, OpaqueRuleWorkedValues) {
  // Black: f = 192, e = (128 * 192) >> 8 = 96, s_A = (255 * 129) >> 8 = 128.
  const uint32_t d = 0xC0604020u;
  uint32_t want = (128 + ((128 * 0xC0) >> 8)) << 24;
  for (int k = 0; k < 3; ++k) want |= (((255 - 96) * Ch(d, k)) >> 8) << (8 * k);
  EXPECT_EQ(One(d, 0x00808080u, 0xFF000000u), want);
  // Red coverage only: G and B lose one step, alpha from lum = 63.
  const uint32_t red = One(0x80646464u, 0x00FF0000u, 0xFFFFFFFFu);
  EXPECT_EQ(Ch(red, 0), 99u);
  EXPECT_EQ(Ch(red, 1), 99u);
  EXPECT_EQ(Ch(red, 2), 253u);  // (255 * 254) >> 8, the old value adding (0 * 100) >> 8
  EXPECT_EQ(Ch(red, 3), 63u + ((193 * 0x80u) >> 8));
}

// Both rules written out independently, over random pixels and colours.
TEST(Modulation, EveryPixelByItsRule) {
  Rng rng(41);
  for (int i = 0; i < 2000; ++i) {
    const uint32_t d = rng.Premultiplied(), t = rng.Premultiplied();
    const uint32_t color = i % 2 ? rng.Premultiplied() | 0xFF000000u : rng.Premultiplied() & 0xFEFFFFFFu;
    uint32_t want = 0;
    if (color >> 24 < 255) {
      uint32_t s[4];
      for (int k = 0; k < 4; ++k) s[k] = (Ch(color, k) * (Ch(t, k) + 1)) >> 8;
      for (int k = 0; k < 4; ++k) want |= ((s[k] + (((256 - s[3]) * Ch(d, k)) >> 8)) & 0xFF) << (8 * k);
    } else {
      const uint32_t lum = (Ch(t, 2) + 2 * Ch(t, 1) + Ch(t, 0)) >> 2, sa = (255 * (lum + 1)) >> 8;
      want = ((sa + (((256 - sa) * Ch(d, 3)) >> 8)) & 0xFF) << 24;
      for (int k = 0; k < 3; ++k) {
        const uint32_t g = Ch(t, k) == 255 ? 255 : 192 + (Ch(color, k) >> 2);
        const uint32_t e = (Ch(t, k) * g) >> 8;
        want |= ((((Ch(color, k) * e) >> 8) + (((255 - e) * Ch(d, k)) >> 8)) & 0xFF) << (8 * k);
      }
    }
    ASSERT_EQ(One(d, t, color), want) << std::hex << d << " " << t << " " << color;
  }
}

TEST(Modulation, PlacementSliceAndClip) {
  // 4 x 3 texture numbered by position; the slice (1, 1, 4, 3) is drawn at
  // (5, 2) on a canvas clipped to x >= 6 whose window origin is (1, 0).
  std::vector<uint32_t> px;
  for (uint32_t i = 0; i < 12; ++i) px.push_back(0xFF000000u | i << 16 | i << 8 | i);
  TextureHolder t(TextureOf(4, 3, px));
  const owlRect slice{1, 1, 4, 3};
  SetTextureSlice(t.h, 1, &slice);
  CanvasHolder c(FilledCanvas(10, 6, 0));
  SetWindowOrg(c.h, 1, 0, nullptr);
  const owlRect clip{6, 0, 11, 6};
  SetCanvasClip(c.h, &clip, nullptr);
  ASSERT_EQ(DrawModulation(c.h, 5, 2, t.h, 0xFEFEFEFEu), 1);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 10; ++x) {
      const int32_t lx = x + 1;  // logical
      uint32_t want = 0;
      if (lx >= 6 && lx < 8 && y >= 2 && y < 4) {
        const uint32_t texel = px[size_t((y - 2 + 1) * 4 + (lx - 5 + 1))];
        for (int k = 0; k < 4; ++k) want |= ((0xFE * (Ch(texel, k) + 1)) >> 8) << (8 * k);
      }
      EXPECT_EQ(PixelAt(c.h, x, y), want) << x << "," << y;
    }
}

TEST(Modulation, RefusalsAndNothingToDraw) {
  CanvasHolder c(FilledCanvas(4, 4, 0x11111111u));
  TextureHolder t(TextureOf(2, 2, {1, 2, 3, 4}));
  EXPECT_EQ(DrawModulation(HGCANVAS(0u), 0, 0, t.h, 0x80808080u), 0);
  EXPECT_EQ(DrawModulation(c.h, 0, 0, HGTEXTURE(0u), 0x80808080u), 0);
  EXPECT_EQ(DrawModulation(c.h, 0, 0, HGTEXTURE(c.h.value), 0x80808080u), 0);
  for (int32_t x : {-2, 4, INT32_MAX, INT32_MIN}) EXPECT_EQ(DrawModulation(c.h, x, x, t.h, 0xFFFFFFFFu), 1);
  EXPECT_EQ(DrawModulation(c.h, INT32_MAX - 1, 0, t.h, 0xFFFFFFFFu), 1);  // wraps: nothing
  const owlRect pastEdge{0, 0, 3, 2}, reversed{2, 2, 0, 0}, empty{1, 0, 1, 2};
  SetTextureSlice(t.h, 1, &pastEdge);
  EXPECT_EQ(DrawModulation(c.h, 0, 0, t.h, 0xFFFFFFFFu), 0);
  SetTextureSlice(t.h, 1, &empty);
  EXPECT_EQ(DrawModulation(c.h, 0, 0, t.h, 0xFFFFFFFFu), 0);
  SetTextureSlice(t.h, 1, &reversed);  // normalised: the whole texture
  EXPECT_EQ(DrawModulation(c.h, 4, 4, t.h, 0xFFFFFFFFu), 1);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(c.h, x, y), 0x11111111u);
}

}  // namespace
