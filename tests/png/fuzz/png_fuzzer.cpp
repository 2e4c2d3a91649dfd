// libFuzzer entry for the PNG loader: each input is loaded as it is and,
// since most changes break a chunk's CRC, again with every CRC made right.
// A loaded picture must be premultiplied and must come back bit for bit
// through SaveTexturePng and LoadPngTexture.
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "owlgraphic_png.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "==owl== invariant broken: %s\n", what);
  std::abort();
}

std::vector<uint32_t> Pixels(HGTEXTURE texture) {
  BitmapBits bits{};
  std::vector<uint32_t> pixels;
  Check(LockTextureBits(texture, &bits, nullptr) == 1, "a loaded texture locks");
  for (int y = 0; y < bits.height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(bits.bits) + y * bits.pitch);
    pixels.insert(pixels.end(), row, row + bits.width);
  }
  UnlockTextureBits(texture);
  return pixels;
}

void LoadAndCheck(const uint8_t* data, size_t size) {
  HGTEXTURE texture = LoadPngTextureFromMemory(data, size);
  if (texture.value == 0) return;
  const std::vector<uint32_t> pixels = Pixels(texture);
  for (uint32_t p : pixels) {
    const uint32_t a = p >> 24;
    Check((p & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && ((p >> 16) & 0xFF) <= a, "loaded pixels are premultiplied");
  }
  if (pixels.size() <= 4096) {
    static const std::string path = "/tmp/owl_png_fuzz_" + std::to_string(getpid()) + ".png";
    Check(SaveTexturePng(texture, nullptr, path.c_str()) == 1, "a loaded texture saves");
    HGTEXTURE again = LoadPngTexture(path.c_str());
    Check(again.value != 0 && Pixels(again) == pixels, "a saved texture loads back the same");
    DeleteTexture(again);
  }
  Check(DeleteTexture(texture) == 1, "the texture is deleted once");
}

// Every complete chunk's CRC recomputed; false when none changed.
bool FixCrcs(std::vector<uint8_t>& file) {
  bool changed = false;
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint32_t length = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    if (length > file.size() - at - 12) break;
    const uint32_t crc = uint32_t(crc32(0, &file[at + 4], uInt(length + 4)));
    for (int i = 0; i < 4; ++i) {
      uint8_t& byte = file[at + 8 + length + i];
      changed |= byte != uint8_t(crc >> (24 - 8 * i));
      byte = uint8_t(crc >> (24 - 8 * i));
    }
    at += 12 + size_t(length);
  }
  return changed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadAndCheck(data, size);
  std::vector<uint8_t> fixed(data, data + size);
  if (FixCrcs(fixed)) LoadAndCheck(fixed.data(), fixed.size());
  return 0;
}
