// Every (byte, alpha) pair through each per-channel formula of the row
// families, in every form: the block functions run on rows of 256 pixels
// (column = the byte), one row per alpha, under each mask.
#include <gtest/gtest.h>

#include <vector>

#include "rows/fill_rows.h"
#include "rows/mix_rows.h"
#include "rows/multiply_rows.h"
#include "rows/row_ops.h"
#include "test_util.h"

namespace {

uint32_t Gray(uint32_t v) { return v * 0x01010101u; }
uint32_t WithAlpha(uint32_t color, uint32_t alpha) { return (color & 0x00FFFFFFu) | alpha << 24; }

// One formula: the destination and source pixels of (byte b, alpha a), the
// call over one row, and the pixel the formula gives.
struct Formula {
  const char* name;
  uint32_t (*dst)(uint32_t b, uint32_t a);
  uint32_t (*src)(uint32_t b, uint32_t a);
  void (*run)(const BitmapBits& d, const BitmapBits& s, uint32_t a);
  uint32_t (*want)(uint32_t b, uint32_t a);
};

uint32_t Zero(uint32_t, uint32_t) { return 0; }
uint32_t GrayOf(uint32_t b, uint32_t) { return Gray(b); }
uint32_t OpaqueBlack(uint32_t, uint32_t a) { return a << 24; }

const Formula kFormulas[] = {
    // Source-over: the destination's share (256 - a) * d >> 8 of every byte.
    {"BlendRows", GrayOf, OpaqueBlack, [](const BitmapBits& d, const BitmapBits& s, uint32_t) { owl::BlendRows(d, s); },
     [](uint32_t b, uint32_t a) { return WithAlpha(Gray(((256 - a) * b) >> 8), a + (((256 - a) * b) >> 8)); }},
    {"BlendFillRows", GrayOf, Zero,
     [](const BitmapBits& d, const BitmapBits&, uint32_t a) { owl::BlendFillRows(d, a << 24); },
     [](uint32_t b, uint32_t a) { return WithAlpha(Gray(((256 - a) * b) >> 8), a + (((256 - a) * b) >> 8)); }},
    // Scale by a constant alpha: (s * (a + 1)) >> 8.
    {"BlendRowsAlpha", Zero, GrayOf,
     [](const BitmapBits& d, const BitmapBits& s, uint32_t a) { owl::BlendRowsAlpha(d, s, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return Gray((b * (a + 1)) >> 8); }},
    // Multiply: (d * (m + 1)) >> 8, the byte as d and the alpha as m.
    {"MultiplyRows", GrayOf, [](uint32_t, uint32_t a) { return Gray(a); },
     [](const BitmapBits& d, const BitmapBits& s, uint32_t) { owl::MultiplyRows(d, s); },
     [](uint32_t b, uint32_t a) { return Gray((b * (a + 1)) >> 8); }},
    {"MultiplyFillRows", GrayOf, Zero,
     [](const BitmapBits& d, const BitmapBits&, uint32_t a) { owl::MultiplyFillRows(d, Gray(a)); },
     [](uint32_t b, uint32_t a) { return Gray((b * (a + 1)) >> 8); }},
    // Cross-fade: the destination's share (d * (255 - a)) >> 8 and the
    // source's (s * (a + 1)) >> 8; alpha 0 changes nothing.
    {"MixRows destination", GrayOf, Zero,
     [](const BitmapBits& d, const BitmapBits& s, uint32_t a) { owl::MixRows(d, s, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return a == 0 ? Gray(b) : Gray((b * (255 - a)) >> 8); }},
    {"MixRows source", Zero, GrayOf,
     [](const BitmapBits& d, const BitmapBits& s, uint32_t a) { owl::MixRows(d, s, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return a == 0 ? 0 : Gray((b * (a + 1)) >> 8); }},
    // Opaque blend: the source made opaque and scaled, whose alpha is a, over
    // the destination.
    {"BlendOpaqueRows destination", GrayOf, Zero,
     [](const BitmapBits& d, const BitmapBits& s, uint32_t a) { owl::BlendOpaqueRows(d, s, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return WithAlpha(Gray((b * (256 - a)) >> 8), a + ((b * (256 - a)) >> 8)); }},
    {"BlendOpaqueRows source", Zero, GrayOf,
     [](const BitmapBits& d, const BitmapBits& s, uint32_t a) { owl::BlendOpaqueRows(d, s, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return WithAlpha(Gray((b * (a + 1)) >> 8), a); }},
    // Fade towards a colour: (d * (255 - a)) >> 8 plus the colour scaled by
    // (a + 1); alpha 0 changes nothing, 255 fills.
    {"MixColorRows destination", GrayOf, Zero,
     [](const BitmapBits& d, const BitmapBits&, uint32_t a) { owl::MixColorRows(d, 0, uint8_t(a)); },
     [](uint32_t b, uint32_t a) { return a == 0 ? Gray(b) : Gray((b * (255 - a)) >> 8); }},
};

TEST(Formulas, EveryByteAndAlphaInEveryForm) {
  std::vector<uint32_t> dst(256), src(256);
  for (const Formula& f : kFormulas)
    for (uint32_t mask : owltest::kMasks) {
      owl::ScopedCpuMask scoped(mask);
      for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t b = 0; b < 256; ++b) dst[b] = f.dst(b, a), src[b] = f.src(b, a);
        f.run(BitmapBits{256, 1, 1024, dst.data()}, BitmapBits{256, 1, 1024, src.data()}, a);
        for (uint32_t b = 0; b < 256; ++b)
          ASSERT_EQ(dst[b], f.want(b, a)) << f.name << " byte " << b << " alpha " << a << " mask " << mask;
      }
    }
}

// The colour of the fade: every (colour byte, alpha) pair onto black, one
// pixel a call.
TEST(Formulas, MixColorRowsScalesEveryColorByte) {
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (uint32_t c = 0; c < 256; ++c)
      for (uint32_t a = 0; a < 256; ++a) {
        uint32_t pixel = 0;
        owl::MixColorRows(BitmapBits{1, 1, 4, &pixel}, Gray(c), uint8_t(a));
        ASSERT_EQ(pixel, a == 0 ? 0 : Gray((c * (a + 1)) >> 8)) << "color " << c << " alpha " << a << " mask " << mask;
      }
  }
}

}  // namespace
