// Independent per-channel models of the resampling arithmetic, written from
// the definitions (not from the library's code), for the resample and
// blitter tests. A pixel source is any get(column, row) callable.
#pragma once

#include <algorithm>
#include <cstdint>

#include "resample/kernel_table.h"

namespace reftest {

inline uint32_t Ch(uint32_t p, int c) { return (p >> (8 * c)) & 0xFF; }
inline uint32_t Pack(const int32_t v[4]) {
  uint32_t p = 0;
  for (int c = 0; c < 4; ++c) p |= uint32_t(v[c] & 0xFF) << (8 * c);
  return p;
}

// d = s + ((256 - s.A) * d >> 8), wrapped to 8 bits or saturated at 255.
inline uint32_t Over(uint32_t s, uint32_t d, bool saturate) {
  int32_t v[4];
  for (int c = 0; c < 4; ++c) {
    v[c] = int32_t(Ch(s, c) + (((256 - Ch(s, 3)) * Ch(d, c)) >> 8));
    if (saturate) v[c] = std::min(v[c], 255);
  }
  return Pack(v);
}

inline uint32_t Scale(uint32_t s, uint32_t alpha) {
  int32_t v[4];
  for (int c = 0; c < 4; ++c) v[c] = int32_t((Ch(s, c) * (alpha + 1)) >> 8);
  return Pack(v);
}

inline uint32_t Multiply(uint32_t d, uint32_t m) {
  int32_t v[4];
  for (int c = 0; c < 4; ++c) v[c] = int32_t((Ch(d, c) * (Ch(m, c) + 1)) >> 8);
  return Pack(v);
}

// One pass of four weights out of 256.
inline uint32_t Bilinear4(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy) {
  const uint32_t w11 = fx * fy / 256, w10 = fx - w11, w01 = fy - w11, w00 = 256 - w10 - w01 - w11;
  int32_t v[4];
  for (int c = 0; c < 4; ++c)
    v[c] = int32_t((w00 * Ch(p00, c) + w10 * Ch(p10, c) + w01 * Ch(p01, c) + w11 * Ch(p11, c)) / 256);
  return Pack(v);
}

// Two linear passes on 16-bit lanes, products and sums modulo 2^16.
inline uint32_t BilinearSeparable(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx,
                                  uint32_t fy) {
  auto lerp = [](uint32_t a, uint32_t b, uint32_t f) {
    return (((a * 256 + (b - a) * f) & 0xFFFF) >> 8);
  };
  int32_t v[4];
  for (int c = 0; c < 4; ++c) {
    const uint32_t top = lerp(Ch(p00, c), Ch(p10, c), fx), bottom = lerp(Ch(p01, c), Ch(p11, c), fx);
    v[c] = int32_t(lerp(top, bottom, fy));
  }
  return Pack(v);
}

// Kernel taps of one axis for fraction f: entries 256 + f, f, 256 - f, 512 - f.
inline void Taps(uint32_t f, int32_t out[4], bool mmx) {
  const int idx[4] = {int(256 + f), int(f), int(256 - f), int(512 - f)};
  const int32_t* k = owl::KernelTableFor(owl::StretchKernelModeValue(), mmx);
  for (int i = 0; i < 4; ++i) out[i] = mmx ? int16_t(k[idx[i]] & 0xFFFF) : k[idx[i]];
}

// Integer bicubic at 16.16 (x, y): every channel clamp(acc >> 16, 0, 255).
template <typename Get>
uint32_t BicubicInt(Get get, int32_t x, int32_t y) {
  const int32_t x0 = x >> 16, y0 = y >> 16;
  int32_t wx[4], wy[4];
  Taps(uint32_t(x >> 8) & 255, wx, false);
  Taps(uint32_t(y >> 8) & 255, wy, false);
  int32_t v[4];
  for (int c = 0; c < 4; ++c) {
    int64_t acc = 0;
    for (int r = 0; r < 4; ++r) {
      int64_t h = 0;
      for (int i = 0; i < 4; ++i) h += int64_t(wx[i]) * Ch(get(x0 - 1 + i, y0 - 1 + r), c);
      acc += h * wy[r];
    }
    v[c] = int32_t(std::clamp<int64_t>(acc >> 16, 0, 255));
  }
  return Pack(v);
}

inline int32_t Sat16(int32_t v) { return std::clamp(v, -32768, 32767); }
inline int32_t MulHigh(int32_t a, int32_t b) { return (a * b) >> 16; }

// MMX bicubic: channel * 128, upper halves of signed 16x16 products,
// saturating 16-bit sums, >> 3, clamp to 0..255.
template <typename Get>
uint32_t BicubicMmx(Get get, int32_t x, int32_t y) {
  const int32_t x0 = x >> 16, y0 = y >> 16;
  int32_t wx[4], wy[4];
  Taps(uint32_t(x >> 8) & 255, wx, true);
  Taps(uint32_t(y >> 8) & 255, wy, true);
  int32_t v[4];
  for (int c = 0; c < 4; ++c) {
    int32_t acc = 0;
    for (int r = 0; r < 4; ++r) {
      int32_t q[4];
      for (int i = 0; i < 4; ++i) q[i] = MulHigh(int32_t(Ch(get(x0 - 1 + i, y0 - 1 + r), c)) * 128, wx[i]);
      const int32_t h = Sat16(Sat16(q[0] + q[1]) + Sat16(q[2] + q[3]));
      acc = Sat16(acc + MulHigh(h, wy[r]));
    }
    v[c] = std::clamp(acc >> 3, 0, 255);
  }
  return Pack(v);
}

}  // namespace reftest
