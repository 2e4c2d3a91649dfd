// Row kernels called directly where a sweep through the block functions
// would not reach them alone: the MMX bilinear rows against their separable
// model, and the AVX2 rows against the forms they stand in for, for every
// width 0..70 and random steps, with guard words after the row.
#include "resample/stretch_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "reference.h"
#include "resample/stretch.h"
#include "resample/stretch_over.h"
#include "resample/stretch_over_rows.h"
#include "sweep.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::Rng;

constexpr uint32_t kGuard = owltest::GuardedBlock::kGuard;

struct RowCase {
  std::vector<uint32_t> src, src2, dst, want;
  uint32_t step;
  int32_t width;
  RowCase(Rng& rng, int32_t w) : width(w) {
    const int32_t sw = rng.Range(w + 2, 90);  // long enough for the same-size rows too
    step = uint32_t(((rng.Range(2, sw) - 1) << 16) / (w ? w : 1));  // magnifying and minifying
    for (int32_t k = 0; k < sw; ++k) src.push_back(rng.Premultiplied()), src2.push_back(rng.Premultiplied());
    for (int32_t k = 0; k < w; ++k) dst.push_back(rng.Premultiplied());
    dst.push_back(kGuard);
    want = dst;
  }
};

// any_bytes: texels and pixels of any value, not only premultiplied ones.
template <typename Vector, typename Plain>
void CompareRows(uint32_t seed, Vector vector_row, Plain plain_row, bool any_bytes = false) {
  Rng rng(seed);
  for (int32_t w = 0; w <= 70; ++w) {
    RowCase c(rng, w);
    if (any_bytes) {
      for (auto* v : {&c.src, &c.src2}) for (auto& p : *v) p = rng.Next();
      for (int32_t k = 0; k < w; ++k) c.dst[size_t(k)] = rng.Next();
      c.want = c.dst;
    }
    plain_row(c, c.want.data());
    vector_row(c, c.dst.data());
    for (size_t k = 0; k < c.dst.size(); ++k) ASSERT_EQ(c.dst[k], c.want[k]) << "width " << w << " pixel " << k;
  }
}

#if defined(OWL_HAVE_MMX)
// The separable rows against their own model, over and over-free.
TEST(StretchRows, BilinearMmxRowsMatchTheSeparableModel) {
  if (!HasMMX()) GTEST_SKIP() << "no MMX";
  auto model = [](RowCase& c, uint32_t* d, bool over) {
    uint32_t x = 0;
    const uint32_t fy = c.step & 255;
    for (int32_t j = 0; j < c.width; ++j, x += c.step) {
      const uint32_t ix = x >> 16, fx = (x >> 8) & 255;
      const uint32_t s = owltest::BilinearSeparable(c.src[ix], c.src[ix + 1], c.src2[ix], c.src2[ix + 1], fx, fy);
      d[j] = over ? owltest::Over(s, d[j], true) : s;
    }
  };
  CompareRows(68,
              [](RowCase& c, uint32_t* d) {
                StretchBilinearRow_MMX(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
              },
              [&](RowCase& c, uint32_t* d) { model(c, d, false); });
  CompareRows(69,
              [](RowCase& c, uint32_t* d) {
                StretchBilinearOverRow_MMX(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
              },
              [&](RowCase& c, uint32_t* d) { model(c, d, true); });
}
#endif

#if defined(OWL_HAVE_MMX)
// Each AVX2 row against the row of the form it stands in for, over
// premultiplied pixels and over bytes of any value.
TEST(StretchRows, Avx2RowsMatchTheirForms) {
  if (!HasAVX2()) GTEST_SKIP() << "no AVX2";
  for (bool any : {false, true}) {
    const uint32_t seed = any ? 80 : 70;
    CompareRows(seed, [](RowCase& c, uint32_t* d) { StretchNearestRow_AVX2(d, c.src.data(), c.width, c.step); },
                [](RowCase& c, uint32_t* d) { StretchNearestRow_C(d, c.src.data(), c.width, c.step); }, any);
    CompareRows(seed + 1,
                [](RowCase& c, uint32_t* d) {
                  StretchBilinearRow_AVX2(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
                },
                [](RowCase& c, uint32_t* d) {
                  StretchBilinearRow_MMX(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
                },
                any);
    CompareRows(seed + 2,
                [](RowCase& c, uint32_t* d) {
                  StretchBilinearOverRow_AVX2(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
                },
                [](RowCase& c, uint32_t* d) {
                  StretchBilinearOverRow_MMX(d, c.src.data(), c.src2.data(), c.width, c.step, c.step & 255);
                },
                any);
    CompareRows(seed + 3, [](RowCase& c, uint32_t* d) { StretchNearestOverRow_AVX2(d, c.src.data(), c.width, c.step); },
                [](RowCase& c, uint32_t* d) { StretchNearestOverRow_SSE(d, c.src.data(), c.width, c.step); }, any);
    CompareRows(seed + 4,
                [](RowCase& c, uint32_t* d) {
                  StretchNearestOverAlphaRow_AVX2(d, c.src.data(), c.width, c.step, c.step % 255);
                },
                [](RowCase& c, uint32_t* d) {
                  StretchNearestOverAlphaRow_SSE(d, c.src.data(), c.width, c.step, c.step % 255);
                },
                any);
  }
}

// The steps the AVX2 nearest row takes apart (2x, 0.5x, below 0x10000) and
// the first ones either side that it does not, every width around its
// 8- and 16-pixel blocks, each over a source exactly as long as the row
// reads, so that a load past the last texel read is a heap overflow under
// the sanitizers.
TEST(StretchRows, Avx2NearestAtItsSpecialSteps) {
  if (!HasAVX2()) GTEST_SKIP() << "no AVX2";
  Rng rng(90);
  for (uint32_t step : {0x8000u, 0x7FFFu, 0x8001u, 0x20000u, 0x1FFFFu, 0x20001u, 0xFFFFu, 0x10000u, 0x5555u, 0x100u})
    for (int32_t w = 1; w <= 70; ++w) {
      std::vector<uint32_t> src(((uint32_t(w - 1) * step) >> 16) + 1);
      for (uint32_t& p : src) p = rng.Next();
      std::vector<uint32_t> want(size_t(w) + 1, kGuard), got = want;
      StretchNearestRow_C(want.data(), src.data(), w, step);
      StretchNearestRow_AVX2(got.data(), src.data(), w, step);
      ASSERT_EQ(got, want) << "step " << step << " width " << w;
    }
}

// The two-pass bilinear rows and the row near 0.5x against the one-pass MMX
// row, at the steps where the horizontal pass changes method (below
// 0x10000: one load per texel of a pair; below 2.3x: sixteen texels; others
// one by one; from 0x1E000 to 0x20000 two loads per eight pixels) and
// either side of them, over sources exactly as long as the row reads. Near
// 0.5x, 0x1E400 and 0x1E800 put the pixel where a block's pairs fall one
// texel back at each of 1..7, 0x20000 has every fraction 0, and fy 0 and
// 255 come every third width.
TEST(StretchRows, Avx2TwoPassBilinearMatchesOnePass) {
  if (!HasAVX2()) GTEST_SKIP() << "no AVX2";
  Rng rng(91);
  for (uint32_t step : {0x8000u, 0xFFFFu, 0x10000u, 0x1DFFFu, 0x1E000u, 0x1E400u, 0x1E800u, 0x1FF00u, 0x1FFDDu,
                        0x20000u, 0x2000Fu, 0x24924u, 0x30000u, 0x5555u})
    for (int32_t w = 1; w <= 70; ++w) {
      const size_t texels = ((uint32_t(w - 1) * step) >> 16) + 2;
      std::vector<uint32_t> r0(texels), r1(texels), h0(static_cast<size_t>(w)), h1(static_cast<size_t>(w));
      for (size_t k = 0; k < texels; ++k) r0[k] = rng.Next(), r1[k] = rng.Next();
      const uint32_t fy = w % 3 ? rng.Next() & 255 : w % 2 ? 0 : 255;
      std::vector<uint32_t> want(size_t(w) + 1, kGuard), got = want;
      StretchBilinearRow_MMX(want.data(), r0.data(), r1.data(), w, step, fy);
      BilinearHorizontalRow_AVX2(h0.data(), r0.data(), w, step);
      BilinearHorizontalRow_AVX2(h1.data(), r1.data(), w, step);
      BilinearVerticalRow_AVX2(got.data(), h0.data(), h1.data(), w, fy);
      ASSERT_EQ(got, want) << "step " << step << " width " << w << " fy " << fy;
      std::vector<uint32_t> plan(BilinearHalvePlanWords(w, step)), halved(size_t(w) + 1, kGuard);
      BilinearHalvePlan_AVX2(plan.data(), w, step);
      StretchBilinearHalveRow_AVX2(halved.data(), r0.data(), r1.data(), w, step, fy, plan.data(), 0);
      ASSERT_EQ(halved, want) << "halving, step " << step << " width " << w << " fy " << fy;
      if (!HasAVX512() || step < 0x1E000 || step > 0x20000) continue;  // its steps only
      std::vector<uint32_t> wide(BilinearHalvePlanWords_AVX512(w, step));
      BilinearHalvePlan_AVX512(wide.data(), w, step);
      halved.assign(size_t(w) + 1, kGuard);
      StretchBilinearHalveRow_AVX512(halved.data(), r0.data(), r1.data(), w, step, fy, wide.data(), 0);
      ASSERT_EQ(halved, want) << "halving sixteen a step, step " << step << " width " << w << " fy " << fy;
    }
}

// Output rows that share texel rows, and those that do not, in the block
// loop with its kept rows (every mask).
TEST(StretchBilinear, KeptRowsAtEveryVerticalRatio) {
  Rng rng(92);
  for (auto [sh, dh] : {std::pair{5, 17}, {9, 9}, {40, 20}, {2, 31}, {1, 6}, {7, 3}}) {
    owltest::BlockCase c(rng, 13, sh, 27, dh, 1 + sh % 3, dh % 4);
    owltest::CheckCase(c, StretchBilinear, owltest::BilinearRef);
  }
  // Twice the destination, and the first widths short of it that leave the
  // one-pass row near 0.5x (step below 0x1E000), around its eight and
  // sixteen pixels; then blocks whose pairs fall one texel back at every pixel (step
  // 0x1E400), with rows of fraction 0 (twice the height and one).
  for (int32_t dw : {7, 8, 9, 15, 16, 17, 32, 33}) {
    for (int32_t sw : {2 * dw, 2 * dw + 1, (15 * dw + 7) / 8}) {
      owltest::BlockCase c(rng, sw, 2 * (dw % 5 + 1), dw, dw % 5 + 1, 1 + dw % 3, dw % 4);
      owltest::CheckCase(c, StretchBilinear, owltest::BilinearRef);
    }
  }
  for (auto [sw, dw, sh] : {std::tuple{122, 64, 9}, {128, 67, 8}}) {
    owltest::BlockCase c(rng, sw, sh, dw, 4, 1, 2);
    owltest::CheckCase(c, StretchBilinear, owltest::BilinearRef);
  }
}

// The bicubic loop's kept texel rows: output rows sharing texel rows (up),
// skipping them (down) and one to one, with interior runs of 8 and more.
TEST(StretchBicubic, KeptRowsAtEveryVerticalRatio) {
  Rng rng(93);
  for (auto [sh, dh] : {std::pair{9, 30}, {40, 19}, {12, 12}, {6, 7}}) {
    owltest::BlockCase c(rng, 13, sh, 29, dh, 1 + sh % 3, dh % 4);
    owltest::CheckCase(c, StretchBicubic, owltest::BicubicRef);
  }
}

// Each way the kept rows read a block of eight pixels: windows within eight
// texels (magnification, up to where eight windows spread over nine), two
// texels apart (halving, exact and drifting off it), one by one (any other
// step) and clamped at the edges of sources narrower and wider than eight;
// rows of one block, one block and a few pixels, and two blocks.
TEST(StretchBicubic, KeptRowsReadEachWay) {
  Rng rng(94);
  for (auto [sw, dw] : {std::pair{40, 80}, {40, 66}, {33, 70}, {9, 17}, {80, 40}, {81, 40}, {70, 57}, {100, 43},
                        {6, 27}, {7, 9}, {12, 8}, {30, 15}, {5, 16}}) {
    owltest::BlockCase c(rng, sw, 6, dw, 5, 1 + sw % 3, dw % 4);
    owltest::CheckCase(c, StretchBicubic, owltest::BicubicRef);
  }
}

// Halving blocks whose weights all give exact products (the default cubic
// at half-texel phases) and their neighbours: at both edges, in rows of one
// block, one and a few pixels and several, drifting off the phase along a
// wide row, one texel short of halving, and under the kernels whose weights
// are not exact there.
TEST(StretchBicubic, KeptRowsExactHalving) {
  Rng rng(95);
  for (int mode : {0, 1, 2}) {
    SetStretchKernelMode(mode);
    for (auto [sw, dw] : {std::pair{16, 8}, {34, 17}, {48, 24}, {66, 33}, {49, 24}, {600, 300}, {32, 16}, {80, 40}}) {
      owltest::BlockCase c(rng, sw, 2 * (dw % 3 + 2), dw, dw % 3 + 2, 1 + sw % 3, dw % 4);
      owltest::CheckCase(c, StretchBicubic, owltest::BicubicRef);
    }
  }
  SetStretchKernelMode(2);
  // Halved across (and down, up or by other ratios): output rows whose two
  // new texel rows are filtered in the pass that makes their pixels, copied,
  // composited and at a constant alpha; heights past 256 rows drift off the
  // vertical phase, odd ones clamp the last texel row; rows of two to six
  // blocks, whose inner blocks go two a step from either block.
  for (auto [sw, dw, sh, dh] : {std::array{34, 17, 40, 20}, {66, 33, 600, 300}, {48, 24, 37, 18}, {16, 8, 531, 265},
                                {34, 17, 29, 17}, {34, 17, 51, 17}, {34, 17, 9, 17}, {32, 16, 30, 15},
                                {80, 40, 24, 12}, {96, 48, 26, 13}, {62, 31, 20, 10}}) {
    owltest::BlockCase c(rng, sw, sh, dw, dh, 1 + sw % 3, dw % 4);
    owltest::CheckCase(c, StretchBicubic, owltest::BicubicRef);
    for (uint32_t alpha : {255u, 128u})
      owltest::CheckCase(
          c, [&](const BitmapBits& d, const BitmapBits& s) {
            return alpha == 255 ? StretchBicubicOver(d, s) : StretchBicubicOverAlpha(d, s, uint8_t(alpha));
          },
          [&](const owltest::BlockCase& k, int32_t j, int32_t i, uint32_t mask) {
            const uint32_t v = owltest::BicubicRef(k, j, i, mask);
            return owltest::Over(alpha == 255 ? v : owltest::ScaleByAlpha(v, alpha), k.D(j, i));
          });
  }
}
#endif

}  // namespace
}  // namespace owl
