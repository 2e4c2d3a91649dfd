// ARGB <-> AHSL conversion: the worked values, greys, the hue wrap below
// red, and the single-precision rounding of the float direction.
#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include "owlgraphic.h"

namespace {

uint32_t Hue(uint32_t ahsl) { return ahsl >> 16 & 0xFF; }

TEST(ColorConvert, ArgbToAhslWorkedValues) {
  EXPECT_EQ(ARGBtoAHSL(0xFFFF0000u), 0xFF00FF80u);
  EXPECT_EQ(ARGBtoAHSL(0x800000FFu), 0x80AAFF80u);
  EXPECT_EQ(ARGBtoAHSL(0xFFFFFFFFu), 0xFFAA00FFu);
  EXPECT_EQ(ARGBtoAHSL(0x00000000u), 0x00AA0000u);
  EXPECT_EQ(ARGBtoAHSL(0xFF00FF00u), 0xFF55FF80u);
  // Red and green tie as the maximum: red is tested first.
  EXPECT_EQ(Hue(ARGBtoAHSL(0xFFFFFF00u)), 42u);
}

TEST(ColorConvert, AhslToArgbWorkedValues) {
  // l just above 0.5 gives m2 = 1 and m1 = 1/255: the off channels are 1.
  EXPECT_EQ(AHSLtoARGB(0xFF00FF80u), 0xFFFF0101u);
  // Red's channel angle is exactly 360 here, not reduced, so it reads m1.
  EXPECT_EQ(AHSLtoARGB(0x00AAFF80u), 0x000101FFu);
}

TEST(ColorConvert, GreysKeepLightnessAndAlpha) {
  for (uint32_t h = 0; h < 256; h += 17)
    for (uint32_t l = 0; l < 256; ++l) {
      const uint32_t a = (l * 7) & 0xFF;
      EXPECT_EQ(AHSLtoARGB(a << 24 | h << 16 | l), a << 24 | l << 16 | l << 8 | l) << h << " " << l;
    }
  for (uint32_t v = 0; v < 256; ++v) EXPECT_EQ(ARGBtoAHSL(0x7F000000u | v * 0x010101u), 0x7FAA0000u | v);
}

// A raw hue below red wraps by 255 steps, the full turn of the float
// direction: R 255, G 0, B 50 has raw hue -8 and comes out as 247.
TEST(ColorConvert, NegativeHueWrapsByOneTurnOf255) {
  EXPECT_EQ(Hue(ARGBtoAHSL(0xFFFF0032u)), 247u);
  // Every colour just below red keeps its angle through a round trip.
  for (uint32_t b = 1; b < 256; ++b) {
    const uint32_t c = 0xFFFF0000u | b;
    const uint32_t h = Hue(ARGBtoAHSL(c));
    const uint32_t back = Hue(ARGBtoAHSL(AHSLtoARGB(ARGBtoAHSL(c))));
    EXPECT_LE(std::abs(int(h) - int(back)), 1) << std::hex << c;
  }
}

// Fingerprints of both directions over every 5th input (all 2^24 ARGB
// colours, all HSL triples). The float direction must give these sums
// under x87 and SSE code alike: a drift in one rounding step shows here.
uint64_t Fingerprint(uint32_t (*fn)(uint32_t)) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t v = 0; v < (1u << 24); v += 5) h = (h ^ fn(0x5A000000u | v)) * 1099511628211ull;
  return h;
}

TEST(ColorConvert, FingerprintsOverTheWholeRange) {
  EXPECT_EQ(Fingerprint([](uint32_t v) { return ARGBtoAHSL(v); }), 830437683691423440ull);
  EXPECT_EQ(Fingerprint([](uint32_t v) { return AHSLtoARGB(v); }), 5105547865284847934ull);
}

}  // namespace
