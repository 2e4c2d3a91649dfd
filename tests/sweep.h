// The tests' one sweep harness: a source and a destination block in guarded
// buffers, an operation run under each forced feature mask, and every
// destination pixel compared with the reference arithmetic. Nothing outside
// either block may change, nor the source.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <type_traits>
#include <vector>

#include "reference.h"
#include "test_util.h"

namespace owltest {

using PixelGen = std::function<uint32_t(Rng&)>;
inline uint32_t AnyPremultiplied(Rng& r) { return r.Premultiplied(); }
inline std::vector<uint32_t> AllMasks() { return {std::begin(kMasks), std::end(kMasks)}; }

// A source of sw x sh and a destination of dw x dh pixels at their own odd
// pitches (pad words after each row; pad 0 makes both blocks gapless) and
// start offsets, filled from rng (the source through gen).
struct BlockCase {
  int32_t sw, sh, dw, dh;
  GuardedBlock src, dst;
  std::vector<uint32_t> src_before, dst_before;

  BlockCase(Rng& rng, int32_t sw_, int32_t sh_, int32_t dw_, int32_t dh_, int32_t pad, int32_t offset,
            const PixelGen& gen = AnyPremultiplied)
      : sw(sw_), sh(sh_), dw(dw_), dh(dh_), src(sw_, sh_, pad, offset), dst(dw_, dh_, pad ? 4 - pad : 0, 3 - offset) {
    for (int32_t y = 0; y < sh; ++y)
      for (int32_t x = 0; x < sw; ++x) src.at(x, y) = gen(rng);
    dst.Fill(rng);
    src_before = src.Pixels();
    dst_before = dst.Pixels();
  }
  // Source pixel with the coordinates clamped into the block.
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

// Runs run(dst, src) under each mask (it must return true if it returns a
// bool) and compares each destination pixel with ref(case, column, row,
// mask).
template <typename Run, typename Ref>
void CheckCase(BlockCase& c, Run run, Ref ref, const std::vector<uint32_t>& masks = AllMasks()) {
  for (uint32_t mask : masks) {
    c.Reset();
    {
      owl::ScopedCpuMask scoped(mask);
      if constexpr (std::is_same_v<decltype(run(c.dst.bits(), c.src.bits())), bool>) {
        ASSERT_TRUE(run(c.dst.bits(), c.src.bits()));
      } else {
        run(c.dst.bits(), c.src.bits());
      }
    }
    for (int32_t i = 0; i < c.dh; ++i)
      for (int32_t j = 0; j < c.dw; ++j)
        ASSERT_EQ(c.dst.at(j, i), ref(c, j, i, mask))
            << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " at " << j << "," << i << " mask " << mask;
    ASSERT_TRUE(c.dst.GuardsIntact()) << c.dw << "x" << c.dh << " mask " << mask;
    ASSERT_TRUE(c.src.GuardsIntact());
    ASSERT_EQ(c.src.Pixels(), c.src_before);
  }
}

// Same-size operations: widths 0..70, three rows, four start offsets, odd
// and gapless pitches; ref(source pixel, old destination pixel).
template <typename Op>
void SweepSameSize(Op op, const std::function<uint32_t(uint32_t s, uint32_t d)>& ref, uint32_t seed,
                   const PixelGen& gen = AnyPremultiplied, const std::vector<uint32_t>& masks = AllMasks()) {
  Rng rng(seed);
  for (int32_t width = 0; width <= 70; ++width)
    for (int32_t offset = 0; offset < 4; ++offset)
      for (int32_t pad : {0, 1, 3}) {
        BlockCase c(rng, width, 3, width, 3, pad, offset, gen);
        CheckCase(c, op, [&](const BlockCase& k, int32_t j, int32_t i, uint32_t) { return ref(k.S(j, i), k.D(j, i)); },
                  masks);
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
inline uint32_t BilinearRef(const BlockCase& c, int32_t j, int32_t i, uint32_t mask) {
  const int64_t x = BilinearPos(c.sw, c.dw, j), y = BilinearPos(c.sh, c.dh, i);
  const int32_t ix = int32_t(x >> 16), iy = int32_t(y >> 16);
  const uint32_t fx = uint32_t(x >> 8) & 255, fy = uint32_t(y >> 8) & 255;
  auto f = MmxRuns(mask) ? owltest::BilinearSeparable : owltest::BilinearPlain;
  return f(c.S(ix, iy), c.S(ix + 1, iy), c.S(ix, iy + 1), c.S(ix + 1, iy + 1), fx, fy);
}

inline uint32_t BicubicRef(const BlockCase& c, int32_t j, int32_t i, uint32_t mask) {
  auto get = [&](int32_t x, int32_t y) { return c.S(x, y); };
  const int32_t x = BicubicPos(c.sw, c.dw, j), y = BicubicPos(c.sh, c.dh, i);
  return MmxRuns(mask) ? owltest::BicubicMmx(get, x, y) : owltest::BicubicInt(get, x, y);
}

inline uint32_t NearestRef(const BlockCase& c, int32_t j, int32_t i) {
  return c.S(NearestAt(c.sw, c.dw, j), NearestAt(c.sh, c.dh, i));
}

// Sizes up to the largest side, as strips one pixel high or wide.
struct SizePair { int32_t sw, sh, dw, dh; };
inline std::vector<SizePair> ExtremeSizes() {
  const int32_t m = 32767;
  return {{m, 1, 1, 1},  {m, 1, 3, 1},  {m, 1, m, 1},  {1, 1, m, 1},  {m, 5, 7, 2},   {7, 3, m, 1},
          {1, m, 1, 3},  {1, 1, 1, m},  {5, m, 2, 9},  {m, 2, m - 1, 1}, {2, 2, m, 1}, {3, m, 1, m}};
}

// Nearest-neighbour block operations with a random alpha and colour per
// case: widths 0..70 from a source as wide, a third as wide or twice as wide
// (and as high or higher); ref(old destination pixel, source pixel at the
// nearest position, alpha, colour, mask).
template <typename Op, typename Ref>
void SweepNearest(Op op, Ref ref, uint32_t seed) {
  Rng rng(seed);
  for (int32_t width = 0; width <= 70; ++width)
    for (int32_t offset = 0; offset < 4; ++offset)
      for (int32_t sw : {width, width / 3 + 1, 2 * width + 1}) {
        BlockCase c(rng, sw, sw == width ? 2 : 3, width, 2, 1 + 2 * (offset & 1), offset);
        const uint8_t alpha = uint8_t(rng.Next());
        const uint32_t color = rng.Premultiplied();
        CheckCase(
            c, [&](const BitmapBits& d, const BitmapBits& s) { op(d, s, alpha, color); },
            [&](const BlockCase& k, int32_t j, int32_t i, uint32_t mask) {
              return ref(k.D(j, i), k.S(NearestAt(k.sw, k.dw, j), NearestAt(k.sh, k.dh, i)), alpha, color, mask);
            });
      }
}

}  // namespace owltest
