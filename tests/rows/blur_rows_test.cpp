// The blur block in every processor form against nine clamped reads per
// pixel, written independently of the library.
#include "rows/blur_rows.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "sweep.h"
#include "test_util.h"

namespace {

using owltest::BlockCase;
using owltest::Rng;

uint32_t NineClamped(const BlockCase& c, int32_t x, int32_t y) {
  uint32_t out = 0;
  for (int k = 0; k < 32; k += 8) {
    uint32_t sum = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) sum += c.S(x + dx, y + dy) >> k & 0xFF;
    out |= (sum / 9) << k;
  }
  return out;
}

// Widths around the 2-, 4- and 8-pixel steps, every height that changes
// which rows repeat, unaligned starts, odd pitches; dst as wide and high as
// src, or narrower and lower (the overflow lands on its last column and row,
// where the last source column and row, written last, win).
TEST(BlurRows, EveryFormMatchesNineClampedReads) {
  Rng rng(31);
  for (int32_t w = 1; w <= 35; ++w)
    for (int32_t h : {1, 2, 3, 5})
      for (int32_t offset = 0; offset < 3; ++offset) {
        const bool any_bytes = (w + offset) % 3 == 0;  // also sums up to 9 * 255
        const owltest::PixelGen gen = [any_bytes](Rng& r) {
          return any_bytes ? r.Next() | 0xFF00FF00u : r.Premultiplied();
        };
        for (bool narrow : {false, true}) {
          const int32_t dw = narrow ? std::max(1, w - 3) : w, dh = narrow ? std::max(1, h - 1) : h;
          BlockCase c(rng, w, h, dw, dh, 1 + 2 * (offset & 1), offset, gen);
          owltest::CheckCase(c, owl::BlurRows, [&](const BlockCase& k, int32_t x, int32_t y, uint32_t) {
            return NineClamped(k, x == dw - 1 ? w - 1 : x, y == dh - 1 ? h - 1 : y);
          });
        }
      }
}

}  // namespace
