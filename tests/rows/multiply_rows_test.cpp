// Same-size multiply in every form, and the blocks it refuses.
#include "rows/multiply_rows.h"

#include <gtest/gtest.h>

#include "sweep.h"

namespace owl {
namespace {

TEST(MultiplyRows, EveryFormAndSize) {
  owltest::SweepSameSize(MultiplyRows, [](uint32_t s, uint32_t d) { return owltest::Multiply(d, s); }, 6);
  const uint32_t d[3] = {0x12345678u, 0x12345678u, 0xFFFFFFFFu}, m[3] = {0xFFFFFFFFu, 0u, 0x80808080u};
  for (uint32_t mask : owltest::kMasks) {
    uint32_t out[3] = {d[0], d[1], d[2]};
    ScopedCpuMask scoped(mask);
    MultiplyRows(BitmapBits{3, 1, 12, out}, BitmapBits{3, 1, 12, const_cast<uint32_t*>(m)});
    EXPECT_EQ(out[0], d[0]);
    EXPECT_EQ(out[1], 0u);
    EXPECT_EQ(out[2], 0x80808080u);  // (255 * 129) >> 8
  }
}

// Blocks are checked as the stretch loops check theirs; a source smaller
// than the destination is refused rather than read past its end.
TEST(MultiplyRows, EmptyOversizedAndShortSourceBlocks) {
  uint32_t px[4] = {1, 2, 3, 4};
  const BitmapBits good{2, 2, 8, px}, empty{0, 2, 8, px}, negative{-1, 2, 8, px}, huge{32768, 1, 8, px};
  EXPECT_TRUE(MultiplyRows(empty, good));
  EXPECT_TRUE(MultiplyRows(good, empty));
  EXPECT_FALSE(MultiplyRows(negative, good));
  EXPECT_FALSE(MultiplyRows(good, huge));
  EXPECT_FALSE(MultiplyRows(good, BitmapBits{2, 1, 8, px}));
  EXPECT_EQ(px[0], 1u);
  EXPECT_EQ(px[3], 4u);
}

}  // namespace
}  // namespace owl
