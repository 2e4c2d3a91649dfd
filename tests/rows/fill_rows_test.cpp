#include "rows/fill_rows.h"

#include <vector>

#include <gtest/gtest.h>

#include "sweep.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::SweepSameSize;
using owltest::kMasks;
using owltest::Over;
using owltest::Rng;

std::vector<uint32_t> TestColors() {
  std::vector<uint32_t> colors = {0x00000000u, 0xFFFFFFFFu, 0xFF102030u, 0x80402010u, 0x01010000u,
                                   0xFE7F0080u, 0x80808080u, 0x0000FF00u};
  Rng rng(11);
  for (int i = 0; i < 4; ++i) colors.push_back(rng.Premultiplied());
  return colors;
}

TEST(FillRows, BlendFillEveryForm) {
  for (uint32_t c : TestColors()) {
    if ((c >> 24) == 0 && c != 0) continue;  // not premultiplied; see the test below
    SweepSameSize([c](const BitmapBits& d, const BitmapBits&) { BlendFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return (c >> 24) == 0 ? d : Over(c, d, false); }, c);
  }
}

TEST(FillRows, MultiplyFillEveryForm) {
  for (uint32_t c : TestColors())
    SweepSameSize([c](const BitmapBits& d, const BitmapBits&) { MultiplyFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return owltest::Multiply(d, c); }, c + 1);
}

// A plain OR for every colour: 0 keeps the pixels, 0xFFFFFFFF sets them all.
TEST(FillRows, OrFillIsAPlainOrForEveryColor) {
  for (uint32_t c : TestColors())
    SweepSameSize([c](const BitmapBits& d, const BitmapBits&) { OrFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return d | c; }, c + 2);
}

// Colour bytes above alpha: the vector blend fills saturate, the plain one
// keeps the low 8 bits; alpha 0 and 255 still take their shortcuts.
TEST(FillRows, BlendFillNotPremultiplied) {
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    const bool saturate = HasSSE();
    for (uint32_t c : {0x10FF0000u, 0x7FFFFFFFu, 0x00FF00FFu, 0xFFFFFFFEu}) {
      SweepSameSize([c](const BitmapBits& d, const BitmapBits&) { BlendFillRows(d, c); },
                     [c, saturate](uint32_t, uint32_t d) { return (c >> 24) == 0 ? d : Over(c, d, saturate); },
                     c, owltest::AnyPremultiplied, {mask});
    }
    uint32_t px = 0xFFFFFFFFu;
    BlendFillRows(BitmapBits{1, 1, 4, &px}, 0x10FF0000u);
    EXPECT_EQ(px, saturate ? 0xFFFFEFEFu : 0xFFEEEFEFu);
  }
}

}  // namespace
}  // namespace owl
