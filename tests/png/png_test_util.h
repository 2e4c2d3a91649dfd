// Shared by the companion's tests: pixels of a texture, and a check that a
// call leaves no texture behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "owlgraphic_png.h"

namespace owl_png_test {

inline std::vector<uint32_t> TexturePixels(HGTEXTURE texture) {
  BitmapBits bits{};
  std::vector<uint32_t> pixels;
  if (!LockTextureBits(texture, &bits, nullptr)) return pixels;
  for (int y = 0; y < bits.height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(bits.bits) + y * bits.pitch);
    pixels.insert(pixels.end(), row, row + bits.width);
  }
  UnlockTextureBits(texture);
  return pixels;
}

// Runs a call that must fail, and checks through the handle table's reuse
// of the most recently freed slot that it left no texture behind; with
// made_none, that it made none at all (so took no pixel memory either).
template <typename Call>
void ExpectLeavesNoTexture(Call call, bool made_none = false) {
  HGTEXTURE probe = CreateTexture(1, 1);
  ASSERT_NE(probe.value, 0u);
  const uint32_t freed = probe.value;
  DeleteTexture(probe);
  EXPECT_EQ(call().value, 0u);
  HGTEXTURE next = CreateTexture(1, 1);
  EXPECT_EQ(next.value & 0xFFFFFF, freed & 0xFFFFFF) << "a texture was kept";
  if (made_none) EXPECT_EQ(next.value >> 24, ((freed >> 24) + 1) & 0xFF) << "a texture was made";
  DeleteTexture(next);
}

}  // namespace owl_png_test
