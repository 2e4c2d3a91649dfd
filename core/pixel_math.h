// Per-pixel arithmetic shared by the plain forms of the samplers, stretch
// loops and blitters: two channels per 32-bit multiplication (B and R in one
// word, G and A in the other), no lane carrying into the next.
#pragma once

#include <cstdint>

namespace owl {

constexpr uint32_t kLowPairs = 0x00FF00FFu;
constexpr uint32_t kHighPairs = 0xFF00FF00u;

// (channel * f) >> 8 for all four channels, f in 0..256.
inline uint32_t ScaleChannels(uint32_t p, uint32_t f) {
  const uint32_t rb = (((p & kLowPairs) * f) >> 8) & kLowPairs;
  const uint32_t ag = (((p >> 8) & kLowPairs) * f) & kHighPairs;
  return rb | ag;
}

// Constant alpha: every channel, alpha included, times (alpha + 1) >> 8.
inline uint32_t ScaleByAlpha(uint32_t p, uint32_t alpha) { return ScaleChannels(p, (alpha & 0xFF) + 1); }

// Source-over keeping the low 8 bits of each channel sum: the plain row
// arithmetic, equal to the saturating one for premultiplied samples.
inline uint32_t OverWrap(uint32_t s, uint32_t d) {
  const uint32_t t = ScaleChannels(d, 256 - (s >> 24));
  return (((s & kLowPairs) + (t & kLowPairs)) & kLowPairs) |
         (((s & kHighPairs) + (t & kHighPairs)) & kHighPairs);
}

// Source-over with each channel sum saturated at 255, as the vector forms add.
inline uint32_t OverSaturate(uint32_t s, uint32_t d) {
  const uint32_t t = ScaleChannels(d, 256 - (s >> 24));
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = ((s >> shift) & 0xFF) + ((t >> shift) & 0xFF);
    out |= (sum > 255 ? 255 : sum) << shift;
  }
  return out;
}

// Four bilinear weights out of 256 applied in one pass; each channel is the
// weighted sum shifted right by 8.
inline uint32_t BilinearSample(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy) {
  const uint32_t w11 = (fx * fy) >> 8;
  const uint32_t w10 = fx - w11;
  const uint32_t w01 = fy - w11;
  const uint32_t w00 = 256 - w01 - w10 - w11;
  const uint32_t p00 = row0[0], p10 = row0[1], p01 = row1[0], p11 = row1[1];
  const uint32_t rb = w00 * (p00 & kLowPairs) + w10 * (p10 & kLowPairs) + w01 * (p01 & kLowPairs) +
                      w11 * (p11 & kLowPairs);
  const uint32_t ag = w00 * ((p00 & kHighPairs) >> 8) + w10 * ((p10 & kHighPairs) >> 8) +
                      w01 * ((p01 & kHighPairs) >> 8) + w11 * ((p11 & kHighPairs) >> 8);
  return (ag & kHighPairs) | ((rb & kHighPairs) >> 8);
}

// Multiply blend: each channel d = (d * (m + 1)) >> 8 with m the same channel
// of the multiplier pixel.
inline uint32_t MultiplyPixel(uint32_t d, uint32_t m) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((((d >> shift) & 0xFF) * (((m >> shift) & 0xFF) + 1)) >> 8) << shift;
  return out;
}

}  // namespace owl
