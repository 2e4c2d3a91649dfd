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

int64_t Round16(int64_t v) { return (v + 32768) >> 16; }

// Coverages and factors at their ends (0, 65535, 65536) as often as between;
// every count to 40 at unaligned starts, the words past the end untouched.
TEST(RoundRectShadow, RowKernelsMatchPlainArithmetic) {
  Rng rng(11);
  auto value = [&](int32_t top) {
    const uint32_t pick = rng.Next() % 4;
    return pick == 0 ? 0 : pick == 1 ? top : pick == 2 ? top - 1 : int32_t(rng.Next() % uint32_t(top + 1));
  };
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (int32_t count = 0; count <= 40; ++count) {
      const size_t start = size_t(count % 3), size = start + size_t(count) + 2;
      std::vector<int32_t> across(size), lo(size), hi(size), cover(size, -7), cut(size), want(size, -7);
      for (size_t i = 0; i < size; ++i) {
        across[i] = value(65536);
        lo[i] = value(65536);
        hi[i] = std::min(65536, lo[i] + value(65536));
        cut[i] = int32_t(rng.Next() % 140000) - 70000;
      }
      const uint32_t factor = uint32_t(value(65536));
      owl::ShadowCover(&cover[start], &across[start], factor, count);
      for (size_t i = start; i < start + size_t(count); ++i) want[i] = int32_t(Round16(int64_t(across[i]) * factor));
      EXPECT_EQ(cover, want) << "cover, count " << count << " mask " << mask;

      std::vector<int32_t> cutWant = cut;
      owl::ShadowCut(&cut[start], &hi[start], &lo[start], factor, count);
      for (size_t i = start; i < start + size_t(count); ++i)
        cutWant[i] -= int32_t(Round16(int64_t(factor) * (hi[i] - lo[i])));
      EXPECT_EQ(cut, cutWant) << "cut, count " << count << " mask " << mask;

      const uint32_t color = rng.Premultiplied();
      std::vector<uint32_t> line(size, 0xDEADBEEFu), lineWant = line;
      owl::ShadowTint(&line[start], &cutWant[start], color, count);
      for (size_t i = start; i < start + size_t(count); ++i) {
        const int64_t a = std::min(std::max(cutWant[i], 0), 65536);
        lineWant[i] = 0;
        for (int k = 0; k < 32; k += 8) lineWant[i] |= uint32_t(Round16(int64_t(color >> k & 0xFF) * a)) << k;
      }
      EXPECT_EQ(line, lineWant) << "tint, count " << count << " mask " << mask;
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
