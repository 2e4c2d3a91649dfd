#include "rows/fill_rows.h"

#include <vector>

#include <gtest/gtest.h>

#include "rows/row_check.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::CheckEveryForm;
using owltest::kMasks;
using owltest::OverRef;
using owltest::Rng;

uint32_t MultiplyRef(uint32_t d, uint32_t c) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((((d >> (8 * k)) & 0xFF) * (((c >> (8 * k)) & 0xFF) + 1)) >> 8) << (8 * k);
  return out;
}

std::vector<uint32_t> TestColours() {
  std::vector<uint32_t> colours = {0x00000000u, 0xFFFFFFFFu, 0xFF102030u, 0x80402010u, 0x01010000u,
                                   0xFE7F0080u, 0x80808080u, 0x0000FF00u};
  Rng rng(11);
  for (int i = 0; i < 4; ++i) colours.push_back(rng.Premultiplied());
  return colours;
}

TEST(FillRows, BlendFillEveryForm) {
  for (uint32_t c : TestColours()) {
    if ((c >> 24) == 0 && c != 0) continue;  // not premultiplied; see the test below
    CheckEveryForm([c](const BitmapBits& d, const BitmapBits&) { BlendFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return (c >> 24) == 0 ? d : OverRef(c, d, false); }, c);
  }
}

TEST(FillRows, MultiplyFillEveryForm) {
  for (uint32_t c : TestColours())
    CheckEveryForm([c](const BitmapBits& d, const BitmapBits&) { MultiplyFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return MultiplyRef(d, c); }, c + 1);
}

// A plain OR for every colour: 0 keeps the pixels, 0xFFFFFFFF sets them all.
TEST(FillRows, OrFillIsAPlainOrForEveryColour) {
  for (uint32_t c : TestColours())
    CheckEveryForm([c](const BitmapBits& d, const BitmapBits&) { OrFillRows(d, c); },
                   [c](uint32_t, uint32_t d) { return d | c; }, c + 2);
}

// Colour bytes above alpha: the vector blend fills saturate, the plain one
// keeps the low 8 bits; alpha 0 and 255 still take their shortcuts.
TEST(FillRows, BlendFill_NotPremultiplied) {
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    const bool saturate = HasSSE();
    for (uint32_t c : {0x10FF0000u, 0x7FFFFFFFu, 0x00FF00FFu, 0xFFFFFFFEu}) {
      CheckEveryForm([c](const BitmapBits& d, const BitmapBits&) { BlendFillRows(d, c); },
                     [c, saturate](uint32_t, uint32_t d) { return (c >> 24) == 0 ? d : OverRef(c, d, saturate); },
                     c, owltest::AnyPremultiplied, {mask});
    }
    uint32_t px = 0xFFFFFFFFu;
    BlendFillRows(BitmapBits{1, 1, 4, &px}, 0x10FF0000u);
    EXPECT_EQ(px, saturate ? 0xFFFFEFEFu : 0xFFEEEFEFu);
  }
}

TEST(FillRows, KernelsAgainstPlain) {
  Rng rng(12);
  std::vector<uint32_t> base(67);
  using Kernel = void (*)(uint32_t*, int32_t, uint32_t);
  auto run = [&](Kernel k, int32_t w, uint32_t c) {
    std::vector<uint32_t> out = base;
    k(out.data(), w, c);
    return out;
  };
  for (int round = 0; round < 60; ++round) {
    for (auto& p : base) p = rng.Premultiplied();
    const int32_t w = int32_t(rng.Next() % 67);
    const uint32_t c = rng.Premultiplied();
#if defined(OWL_HAVE_MMX)
    if (HasMMX()) {
      EXPECT_EQ(run(MultiplyFillRow_MMX, w, c), run(MultiplyFillRow_C, w, c));
      EXPECT_EQ(run(OrFillRow_MMX, w, c), run(OrFillRow_C, w, c));
    }
    if (HasSSE()) EXPECT_EQ(run(BlendFillRow_SSE, w, c), run(BlendFillRow_C, w, c));
#endif
#if defined(OWL_X86)
    if (HasSSE2()) {
      EXPECT_EQ(run(BlendFillRow_SSE2, w, c), run(BlendFillRow_C, w, c));
      EXPECT_EQ(run(MultiplyFillRow_SSE2, w, c), run(MultiplyFillRow_C, w, c));
    }
    if (HasAVX2()) {
      EXPECT_EQ(run(BlendFillRow_AVX2, w, c), run(BlendFillRow_C, w, c));
      EXPECT_EQ(run(MultiplyFillRow_AVX2, w, c), run(MultiplyFillRow_C, w, c));
      // Bytes of any value: the saturating forms agree with each other.
      for (auto& p : base) p = rng.Next();
      const uint32_t any = rng.Next() | 0x01000000u;
      EXPECT_EQ(run(BlendFillRow_AVX2, w, any), run(BlendFillRow_SSE2, w, any));
      EXPECT_EQ(run(MultiplyFillRow_AVX2, w, any), run(MultiplyFillRow_C, w, any));
    }
#endif
  }
}

}  // namespace
}  // namespace owl
