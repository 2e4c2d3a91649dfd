#include "rows/row_ops.h"

#include <utility>
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
using owltest::ScaleByAlpha;

TEST(RowOps, FillRowsEveryFormWidthAndAlignment) {
  for (uint32_t color : {0x80402010u, 0u, 0xFFFFFFFFu, 0xFF800001u, 0x7F800001u})  // NaN patterns too
    SweepSameSize([color](const BitmapBits& d, const BitmapBits&) { FillRows(d, color); },
                   [color](uint32_t, uint32_t) { return color; }, color);
}

TEST(RowOps, CopyRowsEveryFormWidthAndPitch) {
  SweepSameSize([](const BitmapBits& d, const BitmapBits& s) { CopyRows(d, s); },
                 [](uint32_t s, uint32_t) { return s; }, 2);
}

TEST(RowOps, CopyRowsKeyedSkipsOnlyTheExactKey) {
  for (uint32_t key : {0x00000000u, 0x7F102030u}) {
    // A third of the source is the key, some pixels differ from it in one bit.
    auto src = [key](Rng& r) {
      const uint32_t pick = r.Next() % 6;
      return pick < 2 ? key : pick == 2 ? key ^ (1u << (r.Next() % 32)) : r.Premultiplied();
    };
    SweepSameSize([key](const BitmapBits& d, const BitmapBits& s) { CopyRowsKeyed(d, s, key); },
                   [key](uint32_t s, uint32_t d) { return s == key ? d : s; }, 3 + key, src);
  }
}

TEST(RowOps, BlendRowsEveryFormOverPremultiplied) {
  SweepSameSize([](const BitmapBits& d, const BitmapBits& s) { BlendRows(d, s); },
                 [](uint32_t s, uint32_t d) { return Over(s, d, false); }, 4);
}

TEST(RowOps, BlendRowsAlphaEveryFormAndAlpha) {
  for (uint32_t alpha : {0u, 1u, 77u, 128u, 254u, 255u})
    SweepSameSize([alpha](const BitmapBits& d, const BitmapBits& s) { BlendRowsAlpha(d, s, uint8_t(alpha)); },
                   [alpha](uint32_t s, uint32_t d) { return alpha == 0 ? d : Over(ScaleByAlpha(s, alpha), d, false); },
                   5 + alpha);
}

// Colour bytes above alpha: the vector forms saturate, the plain form wraps.
TEST(RowOps, BlendRowsNotPremultiplied) {
  auto any = [](Rng& r) { return r.Next(); };
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    const bool saturate = HasSSE();
    SweepSameSize([](const BitmapBits& d, const BitmapBits& s) { BlendRows(d, s); },
                   [saturate](uint32_t s, uint32_t d) { return Over(s, d, saturate); }, 6 + mask, any, {mask});
    SweepSameSize([](const BitmapBits& d, const BitmapBits& s) { BlendRowsAlpha(d, s, 200); },
                   [saturate](uint32_t s, uint32_t d) { return Over(ScaleByAlpha(s, 200), d, saturate); }, 7 + mask,
                   any, {mask});
  }
}

TEST(RowOps, WorkedExamples) {
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    uint32_t d[12], s[12];
    const BitmapBits db{12, 1, 48, d}, sb{12, 1, 48, s};
    auto blend = [&](uint32_t src, uint32_t dst) {
      for (int i = 0; i < 12; ++i) s[i] = src, d[i] = dst;
      BlendRows(db, sb);
      return d[11];
    };
    EXPECT_EQ(blend(0x80402010u, 0xFFFFFFFFu), 0xFFBF9F8Fu);
    EXPECT_EQ(blend(0xFF123456u, 0xFFABCDEFu), 0xFF123456u);
    EXPECT_EQ(blend(0x00000000u, 0x80706050u), 0x80706050u);
    EXPECT_EQ(blend(0x10FF0000u, 0xFFFFFFFFu), HasSSE() ? 0xFFFFEFEFu : 0xFFEEEFEFu);
    for (int i = 0; i < 12; ++i) s[i] = 0xFF000000u, d[i] = 0xFF0000FFu;
    BlendRowsAlpha(db, sb, 128);
    EXPECT_EQ(d[0], 0xFF00007Fu);
    EXPECT_EQ(d[11], 0xFF00007Fu);
  }
}

// Blocks whose rows follow each other without a gap are filled and copied
// as one long row, through the string instructions from 1024 pixels with
// AVX2: every pixel, and not one beyond the block.
TEST(RowOps, GaplessBlocksFillAndCopyWhole) {
  Rng rng(21);
  for (uint32_t mask : kMasks)
    for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {1100, 3}, {40, 40}, {1023, 2}, {2, 700}}) {
      ScopedCpuMask m(mask);
      const size_t n = size_t(w) * size_t(h);
      std::vector<uint32_t> dst(n + 2, 0xDEADBEEFu), src(n + 2);
      for (auto& p : src) p = rng.Next();
      const BitmapBits d{w, h, w * 4, dst.data() + 1}, sb{w, h, w * 4, src.data() + 1};
      FillRows(d, 0x80402010u);
      for (size_t i = 1; i <= n; ++i) ASSERT_EQ(dst[i], 0x80402010u) << "mask " << mask << " " << w << "x" << h;
      CopyRows(d, sb);
      for (size_t i = 1; i <= n; ++i) ASSERT_EQ(dst[i], src[i]) << "mask " << mask << " " << w << "x" << h;
      EXPECT_EQ(dst[0], 0xDEADBEEFu);
      EXPECT_EQ(dst[n + 1], 0xDEADBEEFu);
    }
}

#if defined(OWL_X86)
// The AVX2 kernels against the forms they stand in for, over premultiplied
// and arbitrary bytes (where the saturating forms differ from the plain
// ones), short rows and rows long enough for the string instructions, at
// every start within a 32-byte line.
TEST(RowOps, Avx2KernelsAgainstTheirForms) {
  if (!HasAVX2()) GTEST_SKIP() << "no AVX2";
  Rng rng(22);
  for (int32_t w : {0, 1, 7, 8, 9, 15, 16, 17, 31, 33, 67, 1023, 1024, 1031, 2500})
    for (int32_t start = 0; start < 8; ++start)
      for (bool premultiplied : {true, false}) {
        std::vector<uint32_t> src(size_t(w) + 16), base(size_t(w) + 16);
        for (auto& p : src) p = premultiplied ? rng.Premultiplied() : rng.Next();
        for (auto& p : base) p = premultiplied ? rng.Premultiplied() : rng.Next();
        const uint8_t alpha = uint8_t(rng.Next() % 254 + 1);
        auto expect_same = [&](auto reference, auto avx2, const char* what) {
          std::vector<uint32_t> a = base, b = base;
          reference(a.data() + start, src.data() + start);
          avx2(b.data() + start, src.data() + start);
          ASSERT_EQ(a, b) << what << " width " << w << " start " << start;
        };
        expect_same([&](uint32_t* d, const uint32_t*) { FillRow_C(d, w, src[0]); },
                    [&](uint32_t* d, const uint32_t*) { FillRow_AVX2(d, w, src[0]); }, "fill");
        expect_same([&](uint32_t* d, const uint32_t* s) { CopyRow_C(d, s, w); },
                    [&](uint32_t* d, const uint32_t* s) { CopyRow_AVX2(d, s, w); }, "copy");
        expect_same([&](uint32_t* d, const uint32_t* s) { BlendRow_SSE2(d, s, w); },
                    [&](uint32_t* d, const uint32_t* s) { BlendRow_AVX2(d, s, w); }, "over");
#if defined(OWL_HAVE_MMX)
        expect_same([&](uint32_t* d, const uint32_t* s) { BlendRowAlpha_SSE(d, s, w, alpha); },
                    [&](uint32_t* d, const uint32_t* s) { BlendRowAlpha_AVX2(d, s, w, alpha); }, "over alpha");
#endif
        if (premultiplied)
          expect_same([&](uint32_t* d, const uint32_t* s) { BlendRowAlpha_C(d, s, w, alpha); },
                      [&](uint32_t* d, const uint32_t* s) { BlendRowAlpha_AVX2(d, s, w, alpha); }, "plain alpha");
      }
}
#endif

}  // namespace
}  // namespace owl
