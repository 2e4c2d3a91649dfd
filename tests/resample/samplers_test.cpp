#include "resample/samplers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resample/kernel_table.h"
#include "reference.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::GuardedBlock;
using owltest::Rng;

// Premultiplied texels, a quarter of the blocks high-contrast (0 or opaque
// white) so that the kernel's lobes overshoot and colour exceeds alpha.
void FillSource(GuardedBlock& b, Rng& rng, int32_t w, int32_t h) {
  const bool contrast = rng.Next() % 4 == 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.at(x, y) = contrast ? (rng.Next() & 1 ? 0xFFFFFFFFu : 0u) : rng.Premultiplied();
}

TEST(SampleBilinear, MatchesFourWeightsAndTheNamedFractions) {
  Rng rng(11);
  for (int n = 0; n < 4000; ++n) {
    uint32_t row0[2] = {rng.Next(), rng.Next()}, row1[2] = {rng.Next(), rng.Next()};
    const uint32_t fx = n < 3 ? (n == 0 ? 0 : n == 1 ? 128 : 255) : rng.Next() & 255;
    const uint32_t fy = n < 3 ? (n == 0 ? 0 : n == 1 ? 0 : 255) : rng.Next() & 255;
    const uint32_t alpha = rng.Next() & 255, d = rng.Next();
    const uint32_t want = owltest::BilinearPlain(row0[0], row0[1], row1[0], row1[1], fx, fy);
    uint32_t out = 0;
    SampleBilinear(row0, row1, fx, fy, &out);
    ASSERT_EQ(out, want) << fx << " " << fy;
    uint32_t over = d;
    SampleBilinearOver(row0, row1, fx, fy, &over);
    ASSERT_EQ(over, owltest::Over(want, d, false));
    uint32_t over_alpha = d;
    SampleBilinearOverAlpha(row0, row1, fx, fy, alpha, &over_alpha);
    ASSERT_EQ(over_alpha, owltest::Over(owltest::ScaleByAlpha(want, alpha), d, false));
    if (n == 0) EXPECT_EQ(out, row0[0]);
    if (n == 1)
      for (int c = 0; c < 4; ++c) EXPECT_EQ(owltest::Chan(out, c), (owltest::Chan(row0[0], c) + owltest::Chan(row0[1], c)) >> 1);
  }
  // An opaque sample hides the destination; constant alpha 0 leaves it.
  uint32_t opaque[2] = {0xFF102030u, 0xFF102030u}, d = 0x80808080u;
  SampleBilinearOver(opaque, opaque, 77, 99, &d);
  EXPECT_EQ(d, 0xFF102030u);
  SampleBilinearOverAlpha(opaque, opaque, 77, 99, 0, &d);
  EXPECT_EQ(d, 0xFF102030u);
}

struct BicubicForm {
  bool mmx;
  void (*copy)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t*);
  void (*over)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t*);
  void (*over_alpha)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t, uint32_t*);
  void (*copy_clamped)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t*);
  void (*over_clamped)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t*);
  void (*over_alpha_clamped)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t, uint32_t*);
};

// Each form against its own arithmetic: interior positions through the
// sampler, any position through its wrapper against a direct clamped read.
void CheckBicubicForm(const BicubicForm& f) {
  const int32_t* table = KernelTableFor(KernelMode(), f.mmx);
  Rng rng(f.mmx ? 21 : 22);
  for (int n = 0; n < 300; ++n) {
    const int32_t w = n < 20 ? 1 + n % 5 : rng.Range(1, 12), h = n < 20 ? 1 + n / 5 : rng.Range(1, 9);
    GuardedBlock src(w, h, n % 3, n % 4);
    FillSource(src, rng, w, h);
    const BitmapBits bits = src.bits();
    auto clamped = [&](int32_t x, int32_t y) {
      return src.at(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
    };
    auto sample = [&](int32_t x, int32_t y) {
      return f.mmx ? owltest::BicubicMmx(clamped, x, y) : owltest::BicubicInt(clamped, x, y);
    };
    for (int k = 0; k < 40; ++k) {
      const uint32_t d = rng.Premultiplied(), alpha = rng.Next() & 255;
      int32_t x = rng.Range(-3 * 65536, (w + 3) * 65536), y = rng.Range(-3 * 65536, (h + 3) * 65536);
      uint32_t want = sample(x, y), got = 0, over = d, over_alpha = d;
      f.copy_clamped(table, bits, x, y, &got);
      f.over_clamped(table, bits, x, y, &over);
      f.over_alpha_clamped(table, bits, x, y, alpha, &over_alpha);
      ASSERT_EQ(got, want) << w << "x" << h << " at " << x << "," << y;
      ASSERT_EQ(over, owltest::Over(want, d, true));
      ASSERT_EQ(over_alpha, owltest::Over(owltest::ScaleByAlpha(want, alpha), d, true));
      if (w < 4 || h < 4) continue;
      x = rng.Range(65536, (w - 3) * 65536 + 65535);
      y = rng.Range(65536, (h - 3) * 65536 + 65535);
      want = sample(x, y), over = d, over_alpha = d;
      f.copy(table, bits, x, y, &got);
      f.over(table, bits, x, y, &over);
      f.over_alpha(table, bits, x, y, alpha, &over_alpha);
      ASSERT_EQ(got, want) << w << "x" << h << " at " << x << "," << y;
      ASSERT_EQ(over, owltest::Over(want, d, true));
      ASSERT_EQ(over_alpha, owltest::Over(owltest::ScaleByAlpha(want, alpha), d, true));
      // Whole-pixel positions reproduce the base pixel.
      x &= ~0xFFFF, y &= ~0xFFFF;
      f.copy(table, bits, x, y, &got);
      ASSERT_EQ(got, src.at(x >> 16, y >> 16));
    }
    ASSERT_TRUE(src.GuardsIntact());
  }
}

TEST(SampleBicubic, IntegerFormMatchesItsArithmetic) {
  CheckBicubicForm({false, SampleBicubic, SampleBicubicOver, SampleBicubicOverAlpha, SampleBicubicClamped,
                    SampleBicubicOverClamped, SampleBicubicOverAlphaClamped});
}

#if defined(OWL_HAVE_MMX)
TEST(SampleBicubic, MmxFormMatchesItsArithmetic) {
  if (!HasMMX()) GTEST_SKIP() << "no MMX";
  CheckBicubicForm({true, SampleBicubic_MMX, SampleBicubicOver_MMX, SampleBicubicOverAlpha_MMX,
                    SampleBicubicClamped_MMX, SampleBicubicOverClamped_MMX, SampleBicubicOverAlphaClamped_MMX});
}
#endif

// A colour channel pushed above its alpha by the negative lobes saturates at
// 255 in the integer over-sampler instead of wrapping to a dark value.
TEST(SampleBicubic, IntegerOverSaturatesColourAboveAlpha) {
  const int32_t* k = KernelTableFor(2, false);
  // Alpha 128 everywhere; red steps from 0 to 128 between columns 1 and 2.
  uint32_t px[24];
  for (int i = 0; i < 24; ++i) px[i] = (i % 6 < 2 ? 0x80000000u : 0x80800000u);
  const BitmapBits src{6, 4, 24, px};
  uint32_t sample = 0;
  SampleBicubic(k, src, 0x24000, 0x10000, &sample);              // a quarter past the step
  ASSERT_GT(owltest::Chan(sample, 2), owltest::Chan(sample, 3));  // overshoot above alpha
  uint32_t d = 0xFFFFFFFFu;
  SampleBicubicOver(k, src, 0x24000, 0x10000, &d);
  EXPECT_EQ(owltest::Chan(d, 2), 255u);
  EXPECT_EQ(owltest::Chan(d, 3), 255u);
}

TEST(SampleBicubic, ClampedWrapperOnOnePixel) {
  uint32_t one = 0x80402010u, out = 0;
  const BitmapBits src{1, 1, 4, &one};
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) {
    SampleBicubicClamped_MMX(KernelTableFor(2, true), src, -5 * 65536, 7 * 65536, &out);
    EXPECT_EQ(out, one);
  }
#endif
  out = 0;
  SampleBicubicClamped(KernelTableFor(2, false), src, -5 * 65536, 7 * 65536, &out);
  EXPECT_EQ(out, one);
}

#if defined(OWL_HAVE_MMX)
// The AVX2 row kernels against the MMX samplers pixel by pixel: runs of any
// length at any step, both kernels, high-contrast sources that overshoot.
TEST(SampleBicubic, Avx2RowsMatchTheMmxSamplers) {
  if (!HasAVX2() || !HasMMX()) GTEST_SKIP() << "no AVX2";
  Rng rng(91);
  for (int mode : {1, 2}) {
    const int32_t* table = KernelTableFor(mode, true);
    for (int n = 0; n < 200; ++n) {
      const int32_t w = 48, h = 9;
      GuardedBlock src(w, h, n % 3, n % 4);
      FillSource(src, rng, w, h);
      const BitmapBits bits = src.bits();
      // Integer parts stay within 1..size - 3, as in the interior band.
      const uint32_t step = uint32_t(rng.Range(1, 5 * 65536));
      const uint32_t x = uint32_t(rng.Range(65536, 4 * 65536));
      const int32_t room = int32_t(((uint32_t(w - 3) << 16) - 1 - x) / step) + 1;
      const int32_t count = std::min(room, rng.Range(0, 40));
      const int32_t y = rng.Range(65536, ((h - 3) << 16) - 1);
      const uint32_t alpha = rng.Next() & 255;
      const struct {
        BicubicRowFn row;
        void (*sample)(const int32_t*, const BitmapBits&, int32_t, int32_t, uint32_t, uint32_t*);
      } kernels[] = {
          {BicubicRow_AVX2,
           [](const int32_t* t, const BitmapBits& s, int32_t px, int32_t py, uint32_t, uint32_t* d) {
             SampleBicubic_MMX(t, s, px, py, d);
           }},
          {BicubicOverRow_AVX2,
           [](const int32_t* t, const BitmapBits& s, int32_t px, int32_t py, uint32_t, uint32_t* d) {
             SampleBicubicOver_MMX(t, s, px, py, d);
           }},
          {BicubicOverAlphaRow_AVX2, SampleBicubicOverAlpha_MMX},
      };
      for (const auto& k : kernels) {
        std::vector<uint32_t> want(size_t(count) + 1), got;
        for (auto& p : want) p = rng.Next();
        got = want;
        for (int32_t j = 0; j < count; ++j) k.sample(table, bits, int32_t(x + uint32_t(j) * step), y, alpha, &want[size_t(j)]);
        // Each texel row filtered per call, and through kept rows.
        std::vector<int16_t> sums(size_t(count) * 4 * BicubicKeptRows::kSlots + 1);
        std::vector<int32_t> weights(size_t(count) * 5 + 1), columns(size_t(count) + 1);
        std::vector<uint8_t> blocks(size_t(count) / 8 + 1);
        std::vector<int32_t> run_ends(size_t(count) / 8 + 1);
        BicubicKeptRows kept;
        kept.sums = sums.data();
        kept.weights = weights.data();
        kept.columns = columns.data();
        kept.run_ends = run_ends.data();
        kept.blocks = blocks.data();
        kept.capacity = count;
        for (BicubicKeptRows* keep : {static_cast<BicubicKeptRows*>(nullptr), &kept}) {
          std::vector<uint32_t> out = got;
          ASSERT_EQ(k.row(table, out.data(), bits, x, step, y, count, alpha, keep), count & ~7);
          for (int32_t j = count & ~7; j < count; ++j)
            k.sample(table, bits, int32_t(x + uint32_t(j) * step), y, alpha, &out[size_t(j)]);
          ASSERT_EQ(out, want) << "mode " << mode << " step " << step << " count " << count << " kept " << !!keep;
        }
      }
    }
  }
}
#endif

}  // namespace
}  // namespace owl
