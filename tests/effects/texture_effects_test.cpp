// Texture effects through the exported functions.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::TextureHolder;
using owltest::TextureOf;
using owltest::TexturePixels;

uint32_t OnePixel(int (*effect)(HGTEXTURE), uint32_t pixel) {
  TextureHolder t(TextureOf(1, 1, {pixel}));
  EXPECT_EQ(effect(t.h), 1);
  return TexturePixels(t.h)[0];
}

TEST(TextureEffects, WorkedPixels) {
  EXPECT_EQ(OnePixel(GrayTexture, 0xFF0000FFu), 0xFF1D1D1Du);
  EXPECT_EQ(OnePixel(GrayTexture, 0x80808080u), 0x80808080u);  // the weights sum to 1024
  EXPECT_EQ(OnePixel(GrayTexture, 0x40003F00u), 0x40242424u);  // 601 * 63 >> 10 = 36
  EXPECT_EQ(OnePixel(NormalizeTexture, 0x80FFFFFFu), 0x80808080u);
  EXPECT_EQ(OnePixel(NormalizeTexture, 0xFF123456u), 0xFF123456u);
  EXPECT_EQ(OnePixel(NormalizeTexture, 0x00FFFFFFu), 0x00000000u);
  EXPECT_EQ(OnePixel(InvertTexture, 0x80402010u), 0x80406070u);
  EXPECT_EQ(OnePixel(InvertTexture, 0x00000000u), 0x00000000u);
  EXPECT_EQ(OnePixel([](HGTEXTURE t) { return ShuffleTexture(t, OWL_SHUFFLE_COLOR_TO_ALPHA); }, 0x00102030u),
            0x30102030u);
  EXPECT_EQ(OnePixel([](HGTEXTURE t) { return ShuffleTexture(t, OWL_SHUFFLE_ALPHA_TO_COLOR); }, 0x80102030u),
            0x80808080u);
  EXPECT_EQ(OnePixel([](HGTEXTURE t) { return ShuffleTexture(t, 2); }, 0x80102030u), 0x80102030u);
}

TEST(TextureEffects, TranslateReplacesExactValuesOnly) {
  TextureHolder t(TextureOf(3, 1, {0x00000000u, 0xFF000000u, 0x00000000u}));
  EXPECT_EQ(TranslateTexture(t.h, 0u, 0x80FF0000u), 1);  // stored as given, not premultiplied
  EXPECT_EQ(TexturePixels(t.h), (std::vector<uint32_t>{0x80FF0000u, 0xFF000000u, 0x80FF0000u}));
  EXPECT_EQ(TranslateTexture(t.h, 0xFF000000u, 0xFF000000u), 1);
  EXPECT_EQ(TexturePixels(t.h), (std::vector<uint32_t>{0x80FF0000u, 0xFF000000u, 0x80FF0000u}));
}

TEST(TextureEffects, EffectsCoverEverySliceAndRefuseBadHandles) {
  TextureHolder t(TextureOf(2, 2, {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu}));
  const owlRect slice{0, 0, 1, 1};
  SetTextureSlice(t.h, 1, &slice);
  EXPECT_EQ(GrayTexture(t.h), 1);
  EXPECT_EQ(TexturePixels(t.h), std::vector<uint32_t>(4, 0xFF1D1D1Du));

  const HGTEXTURE gone = CreateTexture(1, 1);
  DeleteTexture(gone);
  HGCANVAS canvas = CreateCanvas(1, 1, HGCANVAS(0u));
  for (HGTEXTURE bad : {HGTEXTURE(0u), gone, HGTEXTURE(canvas.value)}) {
    EXPECT_EQ(TranslateTexture(bad, 0, 1), 0);
    EXPECT_EQ(NormalizeTexture(bad), 0);
    EXPECT_EQ(GrayTexture(bad), 0);
    EXPECT_EQ(InvertTexture(bad), 0);
    EXPECT_EQ(ShuffleTexture(bad, 2), 0);
    EXPECT_EQ(BlurTexture(bad, t.h), 0);
    EXPECT_EQ(BlurTexture(t.h, bad), 0);
    EXPECT_EQ(LightTexture(bad), 0);
  }
  DeleteCanvas(canvas);
}

// The blur written out independently: nine clamped reads per pixel.
uint32_t BlurredPixel(const std::vector<uint32_t>& src, int w, int h, int x, int y) {
  uint32_t result = 0;
  for (int k = 0; k < 32; k += 8) {
    uint32_t sum = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int sx = std::min(std::max(x + dx, 0), w - 1), sy = std::min(std::max(y + dy, 0), h - 1);
        sum += src[size_t(sy * w + sx)] >> k & 0xFF;
      }
    result |= (sum / 9) << k;
  }
  return result;
}

std::vector<uint32_t> ReferenceBlur(const std::vector<uint32_t>& src, int w, int h) {
  std::vector<uint32_t> out(src.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[size_t(y * w + x)] = BlurredPixel(src, w, h, x, y);
  return out;
}

TEST(TextureEffects, BlurMatchesNineClampedSamples) {
  owltest::Rng rng(7);
  for (int w : {1, 2, 5}) {
    for (int h : {1, 3, 4}) {
      std::vector<uint32_t> px(size_t(w * h));
      for (uint32_t& p : px) p = rng.Premultiplied();
      TextureHolder src(TextureOf(w, h, px)), dst(CreateTexture(w, h));
      EXPECT_EQ(BlurTexture(dst.h, src.h), 1);
      EXPECT_EQ(TexturePixels(dst.h), ReferenceBlur(px, w, h)) << w << "x" << h;
    }
  }
  TextureHolder single(TextureOf(1, 1, {0x80402010u}));
  EXPECT_EQ(BlurTexture(single.h, single.h), 1);
  EXPECT_EQ(TexturePixels(single.h)[0], 0x80402010u);
}

TEST(TextureEffects, BlurOfAnyBytesAndSizes) {
  owltest::Rng rng(8);
  for (int w : {1, 2, 3, 8, 17})
    for (int h : {1, 2, 6}) {
      std::vector<uint32_t> px(size_t(w * h));
      for (uint32_t& p : px) p = rng.Next();
      px[0] = 0xFFFFFFFFu;  // the largest sums
      TextureHolder src(TextureOf(w, h, px)), dst(CreateTexture(w, h)), same(TextureOf(w, h, px));
      EXPECT_EQ(BlurTexture(dst.h, src.h), 1);
      EXPECT_EQ(TexturePixels(dst.h), ReferenceBlur(px, w, h)) << w << "x" << h;
      // In place, each pixel reads the blurred pixels before it.
      std::vector<uint32_t> in_place = px;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) in_place[size_t(y * w + x)] = BlurredPixel(in_place, w, h, x, y);
      EXPECT_EQ(BlurTexture(same.h, same.h), 1);
      EXPECT_EQ(TexturePixels(same.h), in_place) << w << "x" << h;
    }
}

TEST(TextureEffects, BlurInPlaceReadsWhatItHasWritten) {
  // Pixel 1 reads the already blurred pixel 0, not the white original.
  const std::vector<uint32_t> px{0xFFFFFFFFu, 0, 0, 0};
  TextureHolder a(TextureOf(4, 1, px)), b(TextureOf(4, 1, px)), out(CreateTexture(4, 1));
  BlurTexture(out.h, b.h);
  BlurTexture(a.h, a.h);
  EXPECT_EQ(TexturePixels(out.h)[0], 0xAAAAAAAAu);  // 6 of 9 samples are the white pixel
  EXPECT_EQ(TexturePixels(a.h)[0], 0xAAAAAAAAu);
  EXPECT_EQ(TexturePixels(out.h)[1], 0x55555555u);
  EXPECT_EQ(TexturePixels(a.h)[1], 0x38383838u);  // (3 * 0xAA) / 9
}

TEST(TextureEffects, BlurBetweenTexturesOfDifferentSizes) {
  // A smaller destination takes the overflow on its last column and row;
  // a larger one keeps its pixels outside the source's extent.
  std::vector<uint32_t> px(6 * 5, 0xFF000000u);
  px[29] = 0xFFFFFFFFu;
  TextureHolder src(TextureOf(6, 5, px));
  TextureHolder small(TextureOf(2, 2, std::vector<uint32_t>(4, 0x11111111u)));
  EXPECT_EQ(BlurTexture(small.h, src.h), 1);
  EXPECT_EQ(TexturePixels(small.h)[3], ReferenceBlur(px, 6, 5)[29]);
  TextureHolder big(TextureOf(8, 7, std::vector<uint32_t>(56, 0x22222222u)));
  EXPECT_EQ(BlurTexture(big.h, src.h), 1);
  const std::vector<uint32_t> got = TexturePixels(big.h), want = ReferenceBlur(px, 6, 5);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(got[size_t(y * 8 + x)], x < 6 && y < 5 ? want[size_t(y * 6 + x)] : 0x22222222u);
}

TEST(TextureEffects, LightTurnsAShapeIntoAWhiteGlow) {
  TextureHolder clear(TextureOf(4, 4, std::vector<uint32_t>(16, 0)));
  EXPECT_EQ(LightTexture(clear.h), 1);
  EXPECT_EQ(TexturePixels(clear.h), std::vector<uint32_t>(16, 0u));

  std::vector<uint32_t> px(9 * 9, 0);
  px[4 * 9 + 4] = 0x20100804u;  // one faint pixel in the middle
  TextureHolder t(TextureOf(9, 9, px));
  EXPECT_EQ(LightTexture(t.h), 1);
  const std::vector<uint32_t> glow = TexturePixels(t.h);
  // Mask: the 3x3 around the centre white, then three box blurs.
  std::vector<uint32_t> mask(81, 0);
  for (int y = 3; y <= 5; ++y)
    for (int x = 3; x <= 5; ++x) mask[size_t(y * 9 + x)] = 0xFFFFFFFFu;
  EXPECT_EQ(glow, ReferenceBlur(ReferenceBlur(ReferenceBlur(mask, 9, 9), 9, 9), 9, 9));
  EXPECT_EQ(glow[4 * 9 + 4] >> 24, glow[4 * 9 + 4] & 0xFF);  // white: every channel equal
}

}  // namespace
