// The composition blocks (cross-fade, opaque blend, fade towards a colour)
// in every form, one to one and stretched.
#include "rows/mix_rows.h"

#include <gtest/gtest.h>

#include "reference.h"
#include "sweep.h"

namespace owl {
namespace {

// The block functions over every size and mask, each form by its own
// arithmetic: the MMX and AVX2 cross-fades split the truncation.
TEST(MixRows, EveryFormBlockAndStep) {
  owltest::SweepNearest([](const BitmapBits& d, const BitmapBits& s, uint8_t a, uint32_t) { MixRows(d, s, a); },
                        [](uint32_t d, uint32_t s, uint8_t a, uint32_t, uint32_t mask) {
                          if (a == 0) return d;
                          return (mask & kCpuMMX) && HasMMX() ? owltest::MixSplit(d, s, a) : owltest::MixPlain(d, s, a);
                        },
                        1);
}

TEST(BlendOpaqueRows, EveryFormBlockAndStep) {
  owltest::SweepNearest(
      [](const BitmapBits& d, const BitmapBits& s, uint8_t a, uint32_t) { BlendOpaqueRows(d, s, a); },
      [](uint32_t d, uint32_t s, uint8_t a, uint32_t, uint32_t) { return owltest::BlendOpaque(d, s, a); }, 3);
}

TEST(MixColorRows, EveryFormAndBlock) {
  owltest::SweepNearest(
      [](const BitmapBits& d, const BitmapBits&, uint8_t a, uint32_t color) { MixColorRows(d, color, a); },
      [](uint32_t d, uint32_t, uint8_t a, uint32_t color, uint32_t) { return a == 0 ? d : owltest::MixColor(d, color, a); },
      5);
}

}  // namespace
}  // namespace owl
