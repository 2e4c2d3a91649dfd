// A stretch test case: a random source and destination in guarded blocks, a
// run of one loop under each forced feature mask, and a per-pixel comparison
// with a model computed in the test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "reference.h"
#include "test_util.h"

namespace owltest {

struct StretchCase {
  int32_t sw, sh, dw, dh;
  GuardedBlock src, dst;
  std::vector<uint32_t> src_before, dst_before;

  StretchCase(Rng& rng, int32_t sw_, int32_t sh_, int32_t dw_, int32_t dh_, int32_t pad, int32_t offset)
      : sw(sw_), sh(sh_), dw(dw_), dh(dh_), src(sw_, sh_, pad, offset), dst(dw_, dh_, 4 - pad, 3 - offset) {
    src.Fill(rng);
    dst.Fill(rng);
    src_before = src.Pixels();
    dst_before = dst.Pixels();
  }
  // Source texel with the coordinates clamped into the block.
  uint32_t S(int32_t x, int32_t y) const {
    x = std::clamp(x, 0, sw - 1), y = std::clamp(y, 0, sh - 1);
    return src_before[size_t(y) * size_t(sw) + size_t(x)];
  }
  uint32_t D(int32_t x, int32_t y) const { return dst_before[size_t(y) * size_t(dw) + size_t(x)]; }
  void Reset() {
    for (int32_t y = 0; y < dh; ++y)
      for (int32_t x = 0; x < dw; ++x) dst.at(x, y) = D(x, y);
  }
};

// Runs run(dst, src) under every mask and compares each pixel with
// ref(case, column, row, mask); nothing outside either block may change.
template <typename Run, typename Ref>
void CheckStretch(StretchCase& c, Run run, Ref ref) {
  for (uint32_t mask : kMasks) {
    c.Reset();
    {
      owl::ScopedCpuMask scoped(mask);
      ASSERT_TRUE(run(c.dst.bits(), c.src.bits()));
    }
    for (int32_t i = 0; i < c.dh; ++i)
      for (int32_t j = 0; j < c.dw; ++j)
        ASSERT_EQ(c.dst.at(j, i), ref(c, j, i, mask))
            << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " at " << j << "," << i << " mask " << mask;
    ASSERT_TRUE(c.dst.GuardsIntact());
    ASSERT_TRUE(c.src.GuardsIntact());
    ASSERT_EQ(c.src.Pixels(), c.src_before);
  }
}

// Positions of the three placements along one axis.
inline int32_t NearestAt(int32_t s, int32_t d, int32_t k) { return int32_t(int64_t(k) * ((int64_t(s) << 16) / d) >> 16); }
inline int64_t BilinearPos(int32_t s, int32_t d, int32_t k) { return int64_t(k) * ((int64_t(s - 1) << 16) / d); }
inline int32_t BicubicPos(int32_t s, int32_t d, int32_t k) {
  const int64_t step = (int64_t(s) << 16) / d + 1;
  return int32_t((step >> 1) - 0x8000 + k * step);
}

// Whether the MMX form of a loop runs under mask on this processor (asked
// outside any forced mask).
inline bool MmxRuns(uint32_t mask) { return (mask & owl::kCpuMMX) && owl::HasMMX(); }

// The bilinear sample of destination (j, i) in the form the mask selects.
inline uint32_t BilinearRef(const StretchCase& c, int32_t j, int32_t i, uint32_t mask) {
  const int64_t x = BilinearPos(c.sw, c.dw, j), y = BilinearPos(c.sh, c.dh, i);
  const int32_t ix = int32_t(x >> 16), iy = int32_t(y >> 16);
  const uint32_t fx = uint32_t(x >> 8) & 255, fy = uint32_t(y >> 8) & 255;
  auto f = MmxRuns(mask) ? owltest::BilinearSeparable : owltest::BilinearPlain;
  return f(c.S(ix, iy), c.S(ix + 1, iy), c.S(ix, iy + 1), c.S(ix + 1, iy + 1), fx, fy);
}

inline uint32_t BicubicRef(const StretchCase& c, int32_t j, int32_t i, uint32_t mask) {
  auto get = [&](int32_t x, int32_t y) { return c.S(x, y); };
  const int32_t x = BicubicPos(c.sw, c.dw, j), y = BicubicPos(c.sh, c.dh, i);
  return MmxRuns(mask) ? owltest::BicubicMmx(get, x, y) : owltest::BicubicInt(get, x, y);
}

inline uint32_t NearestRef(const StretchCase& c, int32_t j, int32_t i) {
  return c.S(NearestAt(c.sw, c.dw, j), NearestAt(c.sh, c.dh, i));
}

// Sizes up to the largest side, as strips one pixel high or wide.
struct SizePair { int32_t sw, sh, dw, dh; };
inline std::vector<SizePair> ExtremeSizes() {
  const int32_t m = 32767;
  return {{m, 1, 1, 1},  {m, 1, 3, 1},  {m, 1, m, 1},  {1, 1, m, 1},  {m, 5, 7, 2},   {7, 3, m, 1},
          {1, m, 1, 3},  {1, 1, 1, m},  {5, m, 2, 9},  {m, 2, m - 1, 1}, {2, 2, m, 1}, {3, m, 1, m}};
}

}  // namespace owltest
