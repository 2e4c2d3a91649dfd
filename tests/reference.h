// The tests' reference arithmetic: every per-pixel rule of the library
// written channel by channel from its definition, never from the library's
// code or tables (the bicubic kernels are evaluated here). A pixel source is
// any get(column, row) callable.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/x87_precision.h"
#include "owlgraphic.h"

namespace owltest {

inline uint32_t Chan(uint32_t p, int k) { return (p >> (8 * k)) & 0xFFu; }
// Four channel values (low 8 bits of each) as a pixel, B first.
inline uint32_t Pack(const int32_t v[4]) {
  uint32_t p = 0;
  for (int k = 0; k < 4; ++k) p |= uint32_t(v[k] & 0xFF) << (8 * k);
  return p;
}

// Source-over: s + (((256 - s.A) * d) >> 8) per channel, the sum saturated
// at 255 (the vector forms) or wrapped to 8 bits (the plain forms); the two
// agree for premultiplied pixels.
inline uint32_t Over(uint32_t s, uint32_t d, bool saturate = true) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) {
    v[k] = int32_t(Chan(s, k) + (((256 - Chan(s, 3)) * Chan(d, k)) >> 8));
    if (saturate) v[k] = std::min(v[k], 255);
  }
  return Pack(v);
}

// (channel * (alpha + 1)) >> 8 on all four channels.
inline uint32_t ScaleByAlpha(uint32_t s, uint32_t alpha) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) v[k] = int32_t((Chan(s, k) * ((alpha & 0xFF) + 1)) >> 8);
  return Pack(v);
}

// (d * (m + 1)) >> 8, each channel with the same channel of m.
inline uint32_t Multiply(uint32_t d, uint32_t m) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) v[k] = int32_t((Chan(d, k) * (Chan(m, k) + 1)) >> 8);
  return Pack(v);
}

// Cross-fade: plain (d * (255 - a) + s * (a + 1)) >> 8; the MMX form
// truncates the two shares apart.
inline uint32_t MixPlain(uint32_t d, uint32_t s, uint32_t a) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) v[k] = int32_t((Chan(d, k) * (255 - a) + Chan(s, k) * (a + 1)) >> 8);
  return Pack(v);
}
inline uint32_t MixSplit(uint32_t d, uint32_t s, uint32_t a) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) v[k] = int32_t(((Chan(d, k) * (255 - a)) >> 8) + ((Chan(s, k) * (a + 1)) >> 8));
  return Pack(v);
}
// Opaque blend: the source made opaque and scaled by a + 1, over d.
inline uint32_t BlendOpaque(uint32_t d, uint32_t s, uint32_t a) {
  s |= 0xFF000000u;
  int32_t v[4];
  for (int k = 0; k < 4; ++k) v[k] = int32_t(((Chan(s, k) * (a + 1)) >> 8) + ((Chan(d, k) * (256 - a)) >> 8));
  return Pack(v);
}

// Fade towards a colour: (d * (255 - a)) >> 8 plus the colour scaled by
// a + 1.
inline uint32_t MixColor(uint32_t d, uint32_t color, uint32_t a) {
  return MixSplit(d, color, a);
}

// Bilinear, four weights out of 256 in one pass (the plain form).
inline uint32_t BilinearPlain(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy) {
  const uint32_t w11 = fx * fy / 256, w10 = fx - w11, w01 = fy - w11, w00 = 256 - w10 - w01 - w11;
  int32_t v[4];
  for (int k = 0; k < 4; ++k)
    v[k] = int32_t((w00 * Chan(p00, k) + w10 * Chan(p10, k) + w01 * Chan(p01, k) + w11 * Chan(p11, k)) / 256);
  return Pack(v);
}

// Bilinear in two linear passes, along each row, then down (the MMX form).
inline uint32_t BilinearSeparable(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx,
                                  uint32_t fy) {
  int32_t v[4];
  for (int k = 0; k < 4; ++k) {
    const uint32_t top = (Chan(p00, k) * (256 - fx) + Chan(p10, k) * fx) >> 8;
    const uint32_t bottom = (Chan(p01, k) * (256 - fx) + Chan(p11, k) * fx) >> 8;
    v[k] = int32_t((top * (256 - fy) + bottom * fy) >> 8);
  }
  return Pack(v);
}

// The bicubic kernel of a stretch-kernel mode at distance d (0..2): the
// cubic B-spline for mode 1, the cubic convolution with a = -1 otherwise.
inline double KernelAt(int mode, double d) {
  if (mode == 1) {
    auto p = [](double t) { return t > 0 ? t * t * t : 0.0; };
    return (p(d + 2) - 4 * p(d + 1) + 6 * p(d) - 4 * p(d - 1)) * double(1.0f / 6.0f);
  }
  if (d == 0) return 1.0;
  return d <= 1 ? d * d * d - 2 * d * d + 1 : -d * d * d + 5 * d * d - 8 * d + 4;
}

// Entry i (distance i / 256) in the 256 or the 16384 scale, rounded by
// adding 0.5 and truncating toward zero; the 16384 one kept to 16 bits. The
// two kernels' entries are computed once (with every double operation
// rounded as on 64-bit builds).
inline int32_t KernelEntry(int mode, int i, bool lanes) {
  struct Tables {
    int32_t entry[2][2][513];  // [B-spline][16384 scale][i]
    Tables() {
      const owl::ScopedDoublePrecision precision;
      for (int bspline = 0; bspline < 2; ++bspline)
        for (int k = 0; k <= 512; ++k) {
          const double v = KernelAt(bspline ? 1 : 2, k / 256.0);
          entry[bspline][0][k] = int32_t(v * 256 + 0.5);
          entry[bspline][1][k] = int32_t(int16_t(uint16_t(uint32_t(int32_t(v * 16384 + 0.5)) & 0xFFFF)));
        }
    }
  };
  static const Tables tables;
  return tables.entry[mode == 1][lanes][i];
}

inline int32_t Sat16(int32_t v) { return std::clamp(v, -32768, 32767); }

// A bicubic sample at 16.16 (x, y) with the current stretch-kernel mode: the
// integer form (every channel clamp(acc >> 16, 0, 255)) or the 16-bit-lane
// form (channel * 128, upper halves of signed products, saturating sums,
// >> 3, clamped).
template <typename Get>
uint32_t Bicubic(Get get, int32_t x, int32_t y, bool lanes) {
  const int mode = GetStretchKernelMode();
  const int32_t x0 = x >> 16, y0 = y >> 16;
  const int32_t fx = (x >> 8) & 255, fy = (y >> 8) & 255;
  const int ix[4] = {256 + fx, fx, 256 - fx, 512 - fx};
  const int iy[4] = {256 + fy, fy, 256 - fy, 512 - fy};
  int32_t v[4];
  for (int k = 0; k < 4; ++k) {
    int64_t acc = 0;
    for (int r = 0; r < 4; ++r) {
      const int32_t wy = KernelEntry(mode, iy[r], lanes);
      if (lanes) {
        int32_t q[4];
        for (int i = 0; i < 4; ++i)
          q[i] = (int32_t(Chan(get(x0 - 1 + i, y0 - 1 + r), k)) * 128 * KernelEntry(mode, ix[i], true)) >> 16;
        const int32_t h = Sat16(Sat16(q[0] + q[1]) + Sat16(q[2] + q[3]));
        acc = Sat16(int32_t(acc) + ((h * wy) >> 16));
      } else {
        int64_t h = 0;
        for (int i = 0; i < 4; ++i) h += int64_t(KernelEntry(mode, ix[i], false)) * Chan(get(x0 - 1 + i, y0 - 1 + r), k);
        acc += h * wy;
      }
    }
    v[k] = int32_t(std::clamp<int64_t>(lanes ? acc >> 3 : acc >> 16, 0, 255));
  }
  return Pack(v);
}
template <typename Get>
uint32_t BicubicInt(Get get, int32_t x, int32_t y) {
  return Bicubic(get, x, y, false);
}
template <typename Get>
uint32_t BicubicMmx(Get get, int32_t x, int32_t y) {
  return Bicubic(get, x, y, true);
}

}  // namespace owltest
