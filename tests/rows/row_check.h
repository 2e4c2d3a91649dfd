// Checks a block operation in every processor form against per-pixel
// arithmetic written independently of the library.
#pragma once

#include <functional>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "test_util.h"

namespace owltest {

// Source-over written channel by channel; the plain form wraps the sum, the
// vector forms saturate it.
inline uint32_t OverRef(uint32_t s, uint32_t d, bool saturate) {
  const uint32_t sa = s >> 24;
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) {
    const uint32_t sc = (s >> (8 * k)) & 0xFF, dc = (d >> (8 * k)) & 0xFF;
    uint32_t v = sc + ((256 - sa) * dc >> 8);
    v = saturate ? (v > 255 ? 255 : v) : (v & 0xFF);
    out |= v << (8 * k);
  }
  return out;
}

inline uint32_t ScaleRef(uint32_t s, uint32_t alpha) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((((s >> (8 * k)) & 0xFF) * (alpha + 1)) >> 8) << (8 * k);
  return out;
}

using BlockOp = std::function<void(const BitmapBits& dst, const BitmapBits& src)>;
using PixelRef = std::function<uint32_t(uint32_t s, uint32_t d)>;

using PixelGen = std::function<uint32_t(Rng&)>;
inline uint32_t AnyPremultiplied(Rng& r) { return r.Premultiplied(); }

// Runs op under each mask (every one of kMasks by default) over widths
// 0..70, unaligned starts and odd, differing pitches, and compares every
// pixel with ref; nothing outside the destination may change. src_pixel
// makes the source data.
inline void CheckEveryForm(const BlockOp& op, const PixelRef& ref, uint32_t seed,
                           const PixelGen& src_pixel = AnyPremultiplied,
                           std::vector<uint32_t> masks = {std::begin(kMasks), std::end(kMasks)}) {
  Rng rng(seed);
  for (int32_t width = 0; width <= 70; ++width)
    for (int32_t offset = 0; offset < 4; ++offset)
      for (int32_t pad : {1, 4}) {  // GuardedBlock needs a pitch above 0
        GuardedBlock src(width, 3, pad + 1, 3 - offset);
        for (int32_t y = 0; y < 3; ++y)
          for (int32_t x = 0; x < width; ++x) src.at(x, y) = src_pixel(rng);
        GuardedBlock original(width, 3, pad, offset);
        original.Fill(rng);
        for (uint32_t mask : masks) {
          GuardedBlock dst = original;
          {
            owl::ScopedCpuMask m(mask);
            op(dst.bits(), src.bits());
          }
          for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < width; ++x)
              ASSERT_EQ(dst.at(x, y), ref(src.at(x, y), original.at(x, y)))
                  << "mask " << mask << " width " << width << " offset " << offset << " pad " << pad << " at " << x
                  << "," << y;
          ASSERT_TRUE(dst.GuardsIntact()) << "mask " << mask << " width " << width;
        }
      }
}

}  // namespace owltest
