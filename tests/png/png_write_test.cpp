#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "png_test_util.h"

namespace owl_png_test {
namespace {

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

// The file's own bytes, read with libpng apart from the loader: colour type
// and straight R, G, B(, A) samples.
struct Decoded {
  int colour = -1;
  std::vector<uint8_t> samples;
};

Decoded ReadRaw(const std::string& path) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return d;
  d.colour = (image.format & PNG_FORMAT_FLAG_ALPHA) ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  image.format = PNG_FORMAT_RGBA;
  d.samples.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.samples.data(), 0, nullptr)) d.samples.clear();
  return d;
}

// The straight value for colour c under alpha a, by search: among v with
// (v * (a + 1)) >> 8 == c, the nearest to 255c/a, the larger on a tie.
int StraightBySearch(int c, int a) {
  if (a == 0) return 0;
  if (c > a) c = a;
  int best = -1;
  for (int v = 0; v < 256; ++v) {
    if ((v * (a + 1)) >> 8 != c) continue;
    if (best < 0 || std::abs(2 * a * v - 510 * c) <= std::abs(2 * a * best - 510 * c)) best = v;
  }
  return best;
}

// Every (colour, alpha) pair: x is the colour (above alpha past the
// diagonal), y the alpha. The file holds the rule's values; loading gives
// back every premultiplied pixel exactly.
TEST(SaveTexturePng, UnpremultiplyRuleAndExactRoundTrip) {
  HGTEXTURE t = CreateTexture(256, 256);
  BitmapBits bits{};
  ASSERT_TRUE(LockTextureBits(t, &bits, nullptr));
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c < 256; ++c)
      static_cast<uint32_t*>(bits.bits)[a * bits.pitch / 4 + c] =
          uint32_t(a) << 24 | uint32_t(c) << 16 | uint32_t(c < a ? c : a) << 8 | uint32_t(c * a / 255);
  UnlockTextureBits(t);
  const std::string path = TempPath("owl_png_rule.png");
  ASSERT_EQ(SaveTexturePng(t, nullptr, path.c_str()), 1);

  const Decoded d = ReadRaw(path);
  ASSERT_EQ(d.colour, PNG_COLOR_TYPE_RGB_ALPHA);
  ASSERT_EQ(d.samples.size(), 256u * 256 * 4);
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c < 256; ++c) {
      const uint8_t* s = &d.samples[(a * 256 + c) * 4];
      ASSERT_EQ(s[0], StraightBySearch(c, a)) << "c " << c << " a " << a;
      ASSERT_EQ(s[1], StraightBySearch(c < a ? c : a, a));
      ASSERT_EQ(s[2], StraightBySearch(c * a / 255, a));
      ASSERT_EQ(s[3], a);
    }

  HGTEXTURE back = LoadPngTexture(path.c_str());
  ASSERT_NE(back.value, 0u);
  const std::vector<uint32_t> before = TexturePixels(t), after = TexturePixels(back);
  for (size_t i = 0; i < before.size(); ++i) {
    const uint32_t p = before[i], a = p >> 24, r = (p >> 16) & 0xFF;
    const uint32_t premultiplied = a ? (p & 0xFF00FFFF) | (r > a ? a : r) << 16 : 0;
    ASSERT_EQ(after[i], premultiplied) << i;
  }
  DeleteTexture(back);
  DeleteTexture(t);
  std::remove(path.c_str());
}

uint32_t Opaque(int x, int y) { return 0xFF000000u | uint32_t(x * 28) << 16 | uint32_t(y * 36); }

void Paint(const BitmapBits& bits) {
  for (int y = 0; y < bits.height; ++y)
    for (int x = 0; x < bits.width; ++x) static_cast<uint32_t*>(bits.bits)[y * bits.pitch / 4 + x] = Opaque(x, y);
}

// Opaque pixels go out as RGB, unchanged; one translucent pixel makes the
// file RGBA. Rectangles of textures and canvases, a canvas through its
// origins, and a view with a negative pitch.
TEST(SavePng, RectanglesOriginsAndColourType) {
  HGCANVAS canvas = CreateCanvas(9, 7, HGCANVAS(0u));
  HGTEXTURE texture = CreateTexture(9, 7);
  const owlRect all{0, 0, 9, 7};
  BitmapBits bits{};
  ASSERT_TRUE(LockCanvasBits(canvas, &bits, &all));
  Paint(bits);
  ASSERT_TRUE(LockTextureBits(texture, &bits, nullptr));
  Paint(bits);
  const std::string path = TempPath("owl_png_rect.png");

  struct Case {
    const char* what;
    int (*save)(HGCANVAS, HGTEXTURE, const char*);
    int left, top, width, height;
    bool flipped;
  };
  const Case cases[] = {
      {"canvas rect", [](HGCANVAS c, HGTEXTURE, const char* p) { const owlRect r{2, 1, 7, 5}; return SaveCanvasPng(c, &r, p); },
       2, 1, 5, 4, false},
      {"canvas through origins",
       [](HGCANVAS c, HGTEXTURE, const char* p) {
         SetWindowOrg(c, 10, 20, nullptr);
         const owlRect r{11, 20, 13, 23};
         const int ok = SaveCanvasPng(c, &r, p);
         SetWindowOrg(c, 0, 0, nullptr);
         return ok;
       },
       1, 0, 2, 3, false},
      {"texture rect", [](HGCANVAS, HGTEXTURE t, const char* p) { const owlRect r{3, 2, 9, 7}; return SaveTexturePng(t, &r, p); },
       3, 2, 6, 5, false},
      {"negative pitch",
       [](HGCANVAS, HGTEXTURE t, const char* p) {
         BitmapBits v{};
         LockTextureBits(t, &v, nullptr);
         v.bits = static_cast<char*>(v.bits) + 6 * v.pitch;
         v.pitch = -v.pitch;
         return SaveBitsPng(&v, p);
       },
       0, 0, 9, 7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.save(canvas, texture, path.c_str()), 1);
    EXPECT_EQ(ReadRaw(path).colour, PNG_COLOR_TYPE_RGB);
    HGTEXTURE t = LoadPngTexture(path.c_str());
    ASSERT_NE(t.value, 0u);
    std::vector<uint32_t> expected;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) expected.push_back(Opaque(c.left + x, c.flipped ? c.height - 1 - y : c.top + y));
    EXPECT_EQ(TexturePixels(t), expected);
    DeleteTexture(t);
  }

  static_cast<uint32_t*>(bits.bits)[bits.pitch / 4 * 6 + 8] = 0x80402010u;
  ASSERT_EQ(SaveTexturePng(texture, nullptr, path.c_str()), 1);
  EXPECT_EQ(ReadRaw(path).colour, PNG_COLOR_TYPE_RGB_ALPHA);
  DeleteCanvas(canvas);
  DeleteTexture(texture);
  std::remove(path.c_str());
}

TEST(SavePng, RefusesBadArgumentsAndFailedWrites) {
  HGTEXTURE t = CreateTexture(4, 3);
  HGCANVAS c = CreateCanvas(4, 3, HGCANVAS(0u));
  const std::string path = TempPath("owl_png_refused.png");
  const owlRect empty{1, 1, 1, 3}, reversed{3, 0, 1, 3}, outside{0, 0, 5, 3}, all{0, 0, 4, 3};
  BitmapBits view{};
  LockTextureBits(t, &view, nullptr);
  BitmapBits narrow = view, none = view, wide = view;
  narrow.pitch = 12;
  none.bits = nullptr;
  wide.width = 32768;
  wide.pitch = 32768 * 4;
  const char* unwritable = "/nonexistent-folder/x.png";

  EXPECT_EQ(SaveTexturePng(HGTEXTURE(0u), nullptr, path.c_str()), 0);
  EXPECT_EQ(SaveTexturePng(HGTEXTURE(c.value), nullptr, path.c_str()), 0);
  EXPECT_EQ(SaveTexturePng(t, &empty, path.c_str()), 0);
  EXPECT_EQ(SaveTexturePng(t, &reversed, path.c_str()), 0);
  EXPECT_EQ(SaveTexturePng(t, &outside, path.c_str()), 0);
  EXPECT_EQ(SaveTexturePng(t, nullptr, nullptr), 0);
  EXPECT_EQ(SaveTexturePng(t, nullptr, unwritable), 0);
  EXPECT_EQ(SaveCanvasPng(c, nullptr, path.c_str()), 0);
  EXPECT_EQ(SaveCanvasPng(c, &empty, path.c_str()), 0);
  EXPECT_EQ(SaveCanvasPng(c, &outside, path.c_str()), 0);
  EXPECT_EQ(SaveCanvasPng(HGCANVAS(t.value), &all, path.c_str()), 0);
  EXPECT_EQ(SaveBitsPng(nullptr, path.c_str()), 0);
  EXPECT_EQ(SaveBitsPng(&narrow, path.c_str()), 0);
  EXPECT_EQ(SaveBitsPng(&none, path.c_str()), 0);
  EXPECT_EQ(SaveBitsPng(&wide, path.c_str()), 0);
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr) << "a refused save wrote a file";
  // A device that takes no bytes: the failed write is reported.
  if (std::FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    EXPECT_EQ(SaveBitsPng(&view, "/dev/full"), 0);
  }
  UnlockTextureBits(t);
  DeleteTexture(t);
  DeleteCanvas(c);
}

}  // namespace
}  // namespace owl_png_test
