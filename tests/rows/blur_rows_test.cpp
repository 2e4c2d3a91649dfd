// The blur block in every processor form against nine clamped reads per
// pixel, written independently of the library.
#include "rows/blur_rows.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "test_util.h"

namespace {

using owltest::GuardedBlock;
using owltest::kMasks;
using owltest::Rng;

uint32_t NineClamped(GuardedBlock& src, int32_t w, int32_t h, int32_t x, int32_t y) {
  uint32_t out = 0;
  for (int k = 0; k < 32; k += 8) {
    uint32_t sum = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        sum += src.at(std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1)) >> k & 0xFF;
    out |= (sum / 9) << k;
  }
  return out;
}

// Widths around the 2-, 4- and 8-pixel steps, every height that changes
// which rows repeat, unaligned starts, odd pitches; dst as wide and high as
// src, or narrower and lower (the overflow lands on its last column and row).
TEST(BlurRows, EveryFormMatchesNineClampedReads) {
  Rng rng(31);
  for (int32_t w = 1; w <= 35; ++w)
    for (int32_t h : {1, 2, 3, 5})
      for (int32_t offset = 0; offset < 3; ++offset) {
        const bool any_bytes = (w + offset) % 3 == 0;  // also sums up to 9 * 255
        GuardedBlock src(w, h, 1 + 2 * offset, offset);
        for (int32_t y = 0; y < h; ++y)
          for (int32_t x = 0; x < w; ++x) src.at(x, y) = any_bytes ? rng.Next() | 0xFF00FF00u : rng.Premultiplied();
        const GuardedBlock src_before = src;
        for (bool narrow : {false, true}) {
          const int32_t dw = narrow ? std::max(1, w - 3) : w, dh = narrow ? std::max(1, h - 1) : h;
          GuardedBlock original(dw, dh, 3, 2 - offset);
          original.Fill(rng);
          for (uint32_t mask : kMasks) {
            GuardedBlock dst = original;
            {
              owl::ScopedCpuMask m(mask);
              ASSERT_TRUE(owl::BlurRows(dst.bits(), src.bits()));
            }
            for (int32_t y = 0; y < h; ++y)
              for (int32_t x = 0; x < w; ++x) {
                // Later writes to a shared last column or row win.
                const int32_t dx = std::min(x, dw - 1), dy = std::min(y, dh - 1);
                if ((x >= dw - 1 && x != w - 1) || (y >= dh - 1 && y != h - 1)) continue;
                ASSERT_EQ(dst.at(dx, dy), NineClamped(src, w, h, x, y))
                    << "mask " << mask << " " << w << "x" << h << " offset " << offset << " narrow " << narrow
                    << " at " << x << "," << y;
              }
            ASSERT_TRUE(dst.GuardsIntact()) << "mask " << mask << " " << w << "x" << h;
            ASSERT_EQ(src.Pixels(), GuardedBlock(src_before).Pixels());
          }
        }
      }
}

}  // namespace
