// The loader against a corpus of broken files made here: each must be
// refused with 0, leaving no texture and (under the sanitizers) no memory.
#include <png.h>

#include <cstdio>
#include <string>

#include "png_samples.h"
#include "png_test_util.h"

namespace owl_png_test {
namespace {

HGTEXTURE Load(const std::vector<uint8_t>& file) {
  return LoadPngTextureFromMemory(file.empty() ? nullptr : file.data(), file.size());
}

// Small files whose chunks cover what a loader checks: a palette with
// tRNS, 16-bit RGBA interlaced, grey.
std::vector<std::vector<uint8_t>> Bases() {
  return {MakeSample({PNG_COLOR_TYPE_PALETTE, 4, true, false}, 6, 5, 11).file,
          MakeSample({PNG_COLOR_TYPE_RGB_ALPHA, 16, false, true}, 7, 6, 12).file,
          MakeSample({PNG_COLOR_TYPE_GRAY, 2, false, false}, 9, 3, 13).file};
}

TEST(LoadPngCorrupt, EveryTruncation) {
  for (const auto& base : Bases()) {
    HGTEXTURE whole = Load(base);
    ASSERT_NE(whole.value, 0u);
    DeleteTexture(whole);
    for (size_t length = 0; length < base.size(); ++length) {
      SCOPED_TRACE(length);
      ExpectLeavesNoTexture([&] { return LoadPngTextureFromMemory(base.data(), length); });
    }
  }
}

// Any changed byte breaks the signature, a length or a CRC.
TEST(LoadPngCorrupt, EveryFlippedByte) {
  for (const auto& base : Bases())
    for (uint8_t mask : {0x01, 0x20, 0x80})
      for (size_t at = 0; at < base.size(); ++at) {
        SCOPED_TRACE(at);
        std::vector<uint8_t> file = base;
        file[at] ^= mask;
        ExpectLeavesNoTexture([&] { return Load(file); });
      }
}

// Changed chunk data with the CRC made right again reaches the decoder and
// zlib: whatever loads must be a premultiplied picture; nothing may be kept
// from what does not.
TEST(LoadPngCorrupt, ChangedDataWithGoodCrcs) {
  int refused = 0;
  for (const auto& base : Bases())
    for (const char* type : {"IHDR", "PLTE", "tRNS", "IDAT"}) {
      const long chunk = FindChunk(base, type);
      if (chunk < 0) continue;
      const size_t length = size_t(base[chunk + 2]) << 8 | base[chunk + 3];
      for (size_t at = 0; at < length; ++at)
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
          std::vector<uint8_t> file = base;
          file[size_t(chunk) + 8 + at] ^= mask;
          FixCrc(file, chunk);
          HGTEXTURE t = Load(file);
          if (t.value == 0) {
            ++refused;
            continue;
          }
          for (uint32_t p : TexturePixels(t)) {
            const uint32_t a = p >> 24;
            ASSERT_TRUE((p & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && ((p >> 16) & 0xFF) <= a);
          }
          DeleteTexture(t);
        }
    }
  EXPECT_GT(refused, 0);
}

// A header's size, set with a good CRC over a small file: refused before any
// texture is made.
TEST(LoadPngCorrupt, SizesRefusedWithoutATexture) {
  const std::vector<uint8_t> base = MakeSample({PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}, 4, 4, 5).file;
  const struct { uint32_t width, height; } sizes[] = {
      {32767, 32767}, {32767, 1024}, {32768, 1}, {1, 32768}, {0x7FFFFFFF, 1}, {0, 4}, {4, 0}, {0xFFFFFFFF, 0xFFFFFFFF}};
  const long ihdr = FindChunk(base, "IHDR");
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    std::vector<uint8_t> file = base;
    for (int i = 0; i < 4; ++i) {
      file[size_t(ihdr) + 8 + i] = uint8_t(size.width >> (24 - 8 * i));
      file[size_t(ihdr) + 12 + i] = uint8_t(size.height >> (24 - 8 * i));
    }
    FixCrc(file, ihdr);
    ExpectLeavesNoTexture([&] { return Load(file); }, true);
  }
}

TEST(LoadPngCorrupt, NotPngAtAll) {
  const std::string signature = "\x89PNG\r\n\x1a\n";
  const std::vector<std::string> files = {"", "hello, world", signature, signature + std::string(30, '\0'),
                                          "\xFF\xD8\xFF\xE0", "GIF89a\x01\x00\x01\x00"};
  for (const std::string& f : files) {
    const std::vector<uint8_t> file(f.begin(), f.end());
    ExpectLeavesNoTexture([&] { return Load(file); }, true);
  }
  EXPECT_EQ(LoadPngTextureFromMemory(nullptr, 10).value, 0u);
}

TEST(LoadPngCorrupt, FilesMissingEmptyCutAndNotFiles) {
  const std::string dir = ::testing::TempDir();
  const std::vector<uint8_t> base = Bases()[1];
  const struct { const char* name; size_t length; } files[] = {
      {"owl_png_empty.png", 0}, {"owl_png_cut_head.png", 20}, {"owl_png_cut_data.png", base.size() / 2},
      {"owl_png_cut_end.png", base.size() - 1}};
  for (const auto& f : files) {
    const std::string path = dir + f.name;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fwrite(base.data(), 1, f.length, out);
    std::fclose(out);
    ExpectLeavesNoTexture([&] { return LoadPngTexture(path.c_str()); });
    std::remove(path.c_str());
  }
  for (const std::string& path : {dir + "owl_png_no_such_file.png", dir, std::string()})
    ExpectLeavesNoTexture([&] { return LoadPngTexture(path.c_str()); }, true);
  EXPECT_EQ(LoadPngTexture(nullptr).value, 0u);
}

}  // namespace
}  // namespace owl_png_test
