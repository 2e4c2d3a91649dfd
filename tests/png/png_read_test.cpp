#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <string>

#include "png_samples.h"
#include "png_test_util.h"

namespace owl_png_test {
namespace {

// Every kind at sizes that leave Adam7 passes empty, partly filled and full.
TEST(LoadPngTexture, EveryColourTypeDepthAndInterlace) {
  const int sizes[][2] = {{1, 1}, {3, 2}, {13, 11}};
  uint32_t seed = 1;
  for (const Kind& kind : AllKinds())
    for (const auto& size : sizes) {
      const Sample s = MakeSample(kind, size[0], size[1], seed++);
      ASSERT_FALSE(s.file.empty()) << KindName(kind);
      HGTEXTURE t = LoadPngTextureFromMemory(s.file.data(), s.file.size());
      ASSERT_NE(t.value, 0u) << KindName(kind);
      owlSize got{};
      GetTextureSize(t, &got);
      EXPECT_EQ(got.width, size[0]);
      EXPECT_EQ(got.height, size[1]);
      EXPECT_EQ(TexturePixels(t), s.pixels) << KindName(kind) << " " << size[0] << "x" << size[1];
      uint32_t filter = 1;
      GetTextureFilter(t, &filter);
      EXPECT_EQ(filter, 0u);
      DeleteTexture(t);
    }
}

TEST(LoadPngTexture, FromAFileAsFromMemory) {
  const Sample s = MakeSample({PNG_COLOR_TYPE_RGB_ALPHA, 16, false, true}, 17, 9, 7);
  const std::string path = ::testing::TempDir() + "owl_png_read.png";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(s.file.data(), 1, s.file.size(), f);
  std::fclose(f);
  HGTEXTURE t = LoadPngTexture(path.c_str());
  ASSERT_NE(t.value, 0u);
  EXPECT_EQ(TexturePixels(t), s.pixels);
  DeleteTexture(t);
  std::remove(path.c_str());
}

// Bytes after IEND are not part of the file.
TEST(LoadPngTextureFromMemory, IgnoresBytesAfterTheEnd) {
  Sample s = MakeSample({PNG_COLOR_TYPE_PALETTE, 4, true, false}, 5, 4, 3);
  s.file.insert(s.file.end(), 100, 0xAB);
  HGTEXTURE t = LoadPngTextureFromMemory(s.file.data(), s.file.size());
  ASSERT_NE(t.value, 0u);
  EXPECT_EQ(TexturePixels(t), s.pixels);
  DeleteTexture(t);
}

}  // namespace
}  // namespace owl_png_test

namespace owl_png_test {
namespace {

// Gamma, significant-bits, colour profile and text chunks change no sample.
TEST(LoadPngTextureFromMemory, AncillaryChunksChangeNothing) {
  Sample s = MakeSample({PNG_COLOR_TYPE_RGB, 8, false, false}, 6, 4, 9);
  std::vector<uint8_t> text = {'C', 0, 0};
  std::vector<uint8_t> zeros(1 << 20, 0);
  uLongf packed_size = compressBound(uLong(zeros.size()));
  std::vector<uint8_t> packed(packed_size);
  ASSERT_EQ(compress2(packed.data(), &packed_size, zeros.data(), uLong(zeros.size()), 9), Z_OK);
  text.insert(text.end(), packed.begin(), packed.begin() + long(packed_size));
  const long idat = FindChunk(s.file, "IDAT");
  InsertChunk(s.file, idat, "zTXt", text);
  InsertChunk(s.file, idat, "iCCP", {'P', 0, 0, 1, 2, 3});
  InsertChunk(s.file, idat, "sBIT", {1, 1, 1});
  InsertChunk(s.file, idat, "gAMA", {0, 1, 0x86, 0xA0});  // 1.0
  HGTEXTURE t = LoadPngTextureFromMemory(s.file.data(), s.file.size());
  ASSERT_NE(t.value, 0u);
  EXPECT_EQ(TexturePixels(t), s.pixels);
  DeleteTexture(t);
}

// A uniform picture compresses close to deflate's limit and still loads:
// the size check before the texture is made refuses only impossible files.
TEST(LoadPngTextureFromMemory, MostCompressiblePictureLoads) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 1024;
  image.height = 1024;
  image.format = PNG_FORMAT_RGBA;
  const std::vector<uint8_t> zeros(size_t(1024) * 1024 * 4, 0);
  size_t size = 0;
  ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, zeros.data(), 0, nullptr));
  std::vector<uint8_t> file(size);
  ASSERT_TRUE(png_image_write_to_memory(&image, file.data(), &size, 0, zeros.data(), 0, nullptr));
  HGTEXTURE t = LoadPngTextureFromMemory(file.data(), size);
  ASSERT_NE(t.value, 0u) << size << " bytes";
  EXPECT_EQ(TexturePixels(t), std::vector<uint32_t>(size_t(1024) * 1024, 0u));
  DeleteTexture(t);
}

}  // namespace
}  // namespace owl_png_test
