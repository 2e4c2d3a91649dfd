// The shadow's row kernels against plain 64-bit arithmetic, and the drawn
// shadow identical in every form.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "effects/round_rect_shadow.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::Rng;

uint32_t Mul15(uint32_t a, uint32_t b) { return (a * b + 16384) >> 15; }

// Coverages and weights at their ends (0, 32766, 32767) as often as between,
// corrections read both ways; every count to 40 at unaligned starts, the
// words past the end untouched.
TEST(RoundRectShadow, RowKernelsMatchPlainArithmetic) {
  Rng rng(11);
  auto value = [&]() {
    const uint32_t pick = rng.Next() % 4;
    return pick == 0 ? 0u : pick == 1 ? 32767u : pick == 2 ? 32766u : rng.Next() % 32768;
  };
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (int32_t count = 0; count <= 40; ++count) {
      const size_t start = size_t(count % 3), size = start + size_t(count) + 2;
      const int32_t n = count % 5;  // lines of a corner row
      std::vector<uint32_t> lines(size * 5), weights(5), across(size), corr(size);
      for (uint32_t& v : lines) v = value() | value() << 16;
      for (uint32_t& v : weights) v = (rng.Next() % 16384) | (rng.Next() % 16384) << 16;
      for (size_t i = 0; i < size; ++i) across[i] = value() * 0x10001u, corr[i] = value() * 0x10001u;
      std::vector<uint32_t> out(size, 0xDEADBEEFu), want = out;
      owl::ShadowCornerRow(&out[start], &lines[start], std::ptrdiff_t(size), weights.data(), n, count);
      for (size_t i = start; i < start + size_t(count); ++i) {
        uint64_t sum = 0;
        for (int32_t k = 0; k < n; ++k) {
          const uint32_t v = lines[size_t(k) * size + i];
          sum += uint64_t(v & 0xFFFF) * (weights[size_t(k)] & 0xFFFF) + uint64_t(v >> 16) * (weights[size_t(k)] >> 16);
        }
        const uint32_t c = uint32_t(std::min<uint64_t>(32767, (sum + 16384) >> 15));
        want[i] = c | c << 16;
      }
      EXPECT_EQ(out, want) << "corner row, count " << count << " mask " << mask;

      // No correction, one forward, one backward, then all four.
      for (int kind = 0; kind < 4; ++kind) {
        const uint32_t color = rng.Premultiplied(), down = value();
        std::vector<uint32_t> dst(size), expect(size);
        for (uint32_t& p : dst) p = rng.Premultiplied();
        expect = dst;
        // Backward from the last pixel's word; all four: each way twice.
        const uint32_t* first = &corr[start];
        const uint32_t* last = count ? &corr[start + size_t(count) - 1] : nullptr;
        owl::ShadowCorrections c{{kind & 1 ? first : nullptr, kind == 3 ? first : nullptr},
                                 {kind & 2 ? last : nullptr, kind == 3 ? last : nullptr}};
        owl::ShadowRow(&dst[start], &across[start], down, c, color, count);
        for (size_t i = start; i < start + size_t(count); ++i) {
          const uint32_t fwd = corr[i] & 0xFFFF, back = corr[2 * start + size_t(count) - 1 - i] & 0xFFFF;
          const int32_t less = kind == 1 ? fwd : kind == 2 ? back : kind == 3 ? 2 * (fwd + back) : 0;
          const int32_t q = std::max(0, int32_t(Mul15(across[i] & 0xFFFF, down)) - less);
          const uint32_t sa = Mul15(color >> 24, uint32_t(q));
          uint32_t p = 0;
          for (int k = 0; k < 32; k += 8)
            p |= (Mul15(color >> k & 0xFF, uint32_t(q)) + (((expect[i] >> k & 0xFF) * (256 - sa)) >> 8)) << k;
          expect[i] = p;
        }
        EXPECT_EQ(dst, expect) << "row, kind " << kind << " count " << count << " mask " << mask;
      }
    }
  }
}

// Whole shadows over a random background, clipped on every side in turn:
// the same pixels in every form.
TEST(RoundRectShadow, SamePixelsInEveryForm) {
  const struct { int l, t, r, b, corner, radius; } cases[] = {
      {10, 12, 51, 40, 0, 0}, {10, 12, 51, 40, 9, 0},  {-8, 5, 30, 47, 6, 3},   {20, 25, 59, 62, 19, 5},
      {3, 4, 60, 9, 2, 16},   {25, -30, 33, 90, 4, 9}, {1, 1, 63, 63, 30, 128}, {30, 30, 31, 31, 0, 2}};
  const int w = 61, h = 53;
  for (const auto& c : cases) {
    std::vector<uint32_t> plain;
    for (uint32_t mask : owltest::kMasks) {
      owl::ScopedCpuMask scoped(mask);
      Rng rng(3);
      CanvasHolder canvas(owltest::FilledCanvas(w, h, 0, &rng));
      const owlRect rect{c.l, c.t, c.r, c.b};
      ASSERT_EQ(DrawRoundRectShadow(canvas.h, &rect, c.corner, c.radius, 0xC0604020u, 0, 0), 1);
      ASSERT_EQ(DrawRoundRectShadow(canvas.h, &rect, c.corner, std::min(c.radius + 1, 128), 0x30303030u, 3, -2), 1);
      const std::vector<uint32_t> px = owltest::CanvasPixels(canvas.h);
      if (plain.empty()) plain = px;
      EXPECT_EQ(px, plain) << "corner " << c.corner << " radius " << c.radius << " mask " << mask;
    }
  }
}

}  // namespace
