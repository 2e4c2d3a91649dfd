#include "resample/stretch.h"

#include <gtest/gtest.h>

#include "resample/kernel_table.h"
#include "resample/stretch_walk.h"
#include "sweep.h"

namespace owl {
namespace {

using owltest::CheckCase;
using owltest::Rng;
using owltest::BlockCase;

// Every loop against its model over random sizes (destination widths 0..70
// cross every step and tail), odd pitches and unaligned starts.
template <typename Run, typename Ref>
void CheckRandomSizes(uint32_t seed, int32_t min_src, bool same_size, Run run, Ref ref) {
  Rng rng(seed);
  for (int32_t dw = 0; dw <= 70; ++dw) {
    const int32_t dh = rng.Range(1, 4);
    const int32_t sw = same_size ? dw : rng.Range(min_src, 12), sh = same_size ? dh : rng.Range(min_src, 9);
    BlockCase c(rng, sw, sh, dw, dh, 1 + dw % 3, dw % 4);  // pitches 1..3 px wider
    CheckCase(c, run, ref);
  }
}

TEST(StretchNearest, MatchesPositionsForEveryWidth) {
  CheckRandomSizes(1, 1, false, StretchNearest,
                   [](const BlockCase& c, int32_t j, int32_t i, uint32_t) { return owltest::NearestRef(c, j, i); });
}

TEST(StretchNearestKeyed, KeyedTexelsKeepTheDestination) {
  for (uint32_t key : {0u, 0xFF000000u}) {
    CheckRandomSizes(2, 1, false, [key](const BitmapBits& d, const BitmapBits& s) { return StretchNearestKeyed(d, s, key); },
                     [key](const BlockCase& c, int32_t j, int32_t i, uint32_t) {
                       const uint32_t s = owltest::NearestRef(c, j, i);
                       return s == key ? c.D(j, i) : s;
                     });
  }
}

TEST(StretchBilinear, EachFormMatchesItsInterpolation) {
  CheckRandomSizes(3, 1, false, StretchBilinear, owltest::BilinearRef);
}

TEST(StretchBicubic, EachFormMatchesItsSamplerWithClampedEdges) {
  CheckRandomSizes(4, 1, false, StretchBicubic, owltest::BicubicRef);
}

TEST(StretchMultiply, MatchesTheProductRule) {
  CheckRandomSizes(5, 1, false, StretchMultiply, [](const BlockCase& c, int32_t j, int32_t i, uint32_t) {
    return owltest::Multiply(c.D(j, i), owltest::NearestRef(c, j, i));
  });
}

// Source columns chosen by a one-row nearest stretch.
std::vector<uint32_t> NearestColumns(int32_t sw, int32_t dw) {
  std::vector<uint32_t> src(static_cast<size_t>(sw)), dst(static_cast<size_t>(dw));
  for (int32_t k = 0; k < sw; ++k) src[size_t(k)] = uint32_t(k);
  StretchNearest(BitmapBits{dw, 1, dw * 4, dst.data()}, BitmapBits{sw, 1, sw * 4, src.data()});
  return dst;
}

TEST(StretchNearest, WorkedColumnSequences) {
  for (uint32_t mask : owltest::kMasks) {
    ScopedCpuMask scoped(mask);
    EXPECT_EQ(NearestColumns(4, 10), (std::vector<uint32_t>{0, 0, 0, 1, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(NearestColumns(10, 4), (std::vector<uint32_t>{0, 2, 5, 7}));
    EXPECT_EQ(NearestColumns(3, 2), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(NearestColumns(2, 4), (std::vector<uint32_t>{0, 0, 1, 1}));
    EXPECT_EQ(NearestColumns(1, 5), (std::vector<uint32_t>(5, 0u)));
  }
  EXPECT_EQ(NearestStep(4, 10), 26214u);
  EXPECT_EQ(NearestStep(10, 4), 163840u);
}

TEST(StretchBilinear, TwoTexelsOntoFourTakeQuarterFractions) {
  uint32_t src[4] = {0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu};
  for (uint32_t mask : owltest::kMasks) {
    ScopedCpuMask scoped(mask);
    uint32_t dst[4];
    StretchBilinear(BitmapBits{4, 1, 16, dst}, BitmapBits{2, 2, 8, src});
    // (255 * f) >> 8 for f = 0, 64, 128, 192: the right texel never reaches full weight.
    EXPECT_EQ(dst[0], 0u);
    EXPECT_EQ(dst[1], 0x3F3F3F3Fu);
    EXPECT_EQ(dst[2], 0x7F7F7F7Fu);
    EXPECT_EQ(dst[3], 0xBFBFBFBFu);
  }
}

TEST(StretchBicubic, StepsFirstPositionsAndBands) {
  struct Want { int32_t s, d, step, first, begin, end; };
  const Want wants[] = {{100, 200, 32769, -16384, 3, 195},
                        {100, 50, 131073, 32768, 1, 49},
                        {100, 10, 655361, 294912, 1, 10},
                        {5, 5, 65537, 0, 1, 2},
                        {1, 7, 9363, -28087, 7, 7}};
  for (const Want& w : wants) {
    const BicubicAxis a = PlaceBicubicAxis(w.s, w.d);
    EXPECT_EQ(a.step, w.step) << w.s << " -> " << w.d;
    EXPECT_EQ(a.first, w.first) << w.s << " -> " << w.d;
    EXPECT_EQ(a.begin, w.begin) << w.s << " -> " << w.d;
    EXPECT_EQ(a.end, w.end) << w.s << " -> " << w.d;
  }
}

TEST(StretchBicubic, FractionZeroReproducesTheSource) {
  // 5x5 onto 5x5 samples at whole texels (step 65537 drifts 4/65536 at most).
  Rng rng(8);
  BlockCase c(rng, 5, 5, 5, 5, 1, 1);
  CheckCase(c, StretchBicubic, [](const BlockCase& k, int32_t j, int32_t i, uint32_t) { return k.S(j, i); });
}

// The integer and MMX forms round differently; if they never differed here,
// the form tests above could not tell a wrong dispatch.
TEST(StretchLoops, FormsThatRoundDifferentlyDoDiffer) {
  if (!HasMMX()) GTEST_SKIP() << "no MMX";
  for (auto loop : {StretchBilinear, StretchBicubic}) {
    Rng rng(10);
    BlockCase c(rng, 37, 23, 100, 61, 1, 1);
    std::vector<uint32_t> out[2];
    for (int form = 0; form < 2; ++form) {
      c.Reset();
      ScopedCpuMask scoped(form ? kCpuMMX : 0);
      loop(c.dst.bits(), c.src.bits());
      out[form] = c.dst.Pixels();
    }
    EXPECT_NE(out[0], out[1]);
  }
}

// No loop reads outside its source or writes outside its destination for
// sizes up to the largest side (strips keep the buffers small).
TEST(StretchLoops, ExtremeSizesStayInside) {
  Rng rng(9);
  for (const owltest::SizePair& p : owltest::ExtremeSizes()) {
    BlockCase c(rng, p.sw, p.sh, p.dw, p.dh, 1, 2);
    CheckCase(c, StretchNearest, [](const BlockCase& k, int32_t j, int32_t i, uint32_t) { return owltest::NearestRef(k, j, i); });
    CheckCase(c, [](const BitmapBits& d, const BitmapBits& s) { return StretchNearestKeyed(d, s, 0); },
                 [](const BlockCase& k, int32_t j, int32_t i, uint32_t) {
                   const uint32_t s = owltest::NearestRef(k, j, i);
                   return s ? s : k.D(j, i);
                 });
    CheckCase(c, StretchBilinear, owltest::BilinearRef);
    CheckCase(c, StretchBicubic, owltest::BicubicRef);
    CheckCase(c, StretchMultiply, [](const BlockCase& k, int32_t j, int32_t i, uint32_t) {
      return owltest::Multiply(k.D(j, i), owltest::NearestRef(k, j, i));
    });
  }
}

TEST(StretchLoops, EmptyAndOversizedBlocks) {
  uint32_t px[4] = {1, 2, 3, 4};
  const BitmapBits good{2, 2, 8, px}, empty{0, 2, 8, px}, negative{-1, 2, 8, px}, huge{32768, 1, 8, px};
  for (auto loop : {StretchNearest, StretchBilinear, StretchBicubic, StretchMultiply}) {
    EXPECT_TRUE(loop(empty, good));
    EXPECT_TRUE(loop(good, empty));
    EXPECT_FALSE(loop(negative, good));
    EXPECT_FALSE(loop(good, huge));
  }
  EXPECT_FALSE(StretchNearestKeyed(good, negative, 0));
  EXPECT_EQ(px[0], 1u);
  EXPECT_EQ(px[3], 4u);
}

}  // namespace
}  // namespace owl
