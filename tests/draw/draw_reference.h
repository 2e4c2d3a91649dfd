// Independent reference arithmetic for texture draws: samplers, the
// kernel tables and the per-pixel compositing rules, written from the pixel
// definitions rather than from the library's code.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "owlgraphic.h"

namespace owltest {

inline uint32_t Chan(uint32_t p, int k) { return (p >> (8 * k)) & 0xFFu; }

// A plain image: width x height pixels, row-major.
struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> px;
  Image() = default;
  Image(int32_t w, int32_t h) : width(w), height(h), px(size_t(w) * size_t(h)) {}
  uint32_t& at(int32_t x, int32_t y) { return px[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t at(int32_t x, int32_t y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t Clamped(int32_t x, int32_t y) const {
    return at(std::min(std::max(x, 0), width - 1), std::min(std::max(y, 0), height - 1));
  }
  Image Crop(const owlRect& r) const {
    Image out(r.right - r.left, r.bottom - r.top);
    for (int32_t y = 0; y < out.height; ++y)
      for (int32_t x = 0; x < out.width; ++x) out.at(x, y) = at(r.left + x, r.top + y);
    return out;
  }
};

inline uint32_t ScaleByAlpha(uint32_t s, uint32_t alpha) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Chan(s, k) * (alpha + 1)) >> 8) << (8 * k);
  return out;
}

// Source-over with the sum saturated (the same as wrapping for premultiplied
// pixels).
inline uint32_t Over(uint32_t s, uint32_t d) {
  const uint32_t inv = 256 - Chan(s, 3);
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= std::min<uint32_t>(255, Chan(s, k) + ((inv * Chan(d, k)) >> 8)) << (8 * k);
  return out;
}

inline uint32_t Multiply(uint32_t d, uint32_t s) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Chan(d, k) * (Chan(s, k) + 1)) >> 8) << (8 * k);
  return out;
}

// Four weights out of 256 in one pass.
inline uint32_t BilinearPlain(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy) {
  const uint32_t w11 = (fx * fy) >> 8, w10 = fx - w11, w01 = fy - w11, w00 = 256 - w01 - w10 - w11;
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k)
    out |= ((w00 * Chan(p00, k) + w10 * Chan(p10, k) + w01 * Chan(p01, k) + w11 * Chan(p11, k)) >> 8) << (8 * k);
  return out;
}

// Separable: along each row, then down.
inline uint32_t BilinearSeparable(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx,
                                  uint32_t fy) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) {
    const uint32_t top = (Chan(p00, k) * (256 - fx) + Chan(p10, k) * fx) >> 8;
    const uint32_t bottom = (Chan(p01, k) * (256 - fx) + Chan(p11, k) * fx) >> 8;
    out |= ((top * (256 - fy) + bottom * fy) >> 8) << (8 * k);
  }
  return out;
}

// The default cubic kernel (a = -1) at distances i / 256, in the 256 and the
// 16384 scale.
struct CubicTables {
  int32_t k256[513];
  int16_t k16384[513];
  CubicTables() {
    for (int i = 0; i <= 512; ++i) {
      const double d = i / 256.0;
      const double v = d == 0 ? 1.0 : d <= 1 ? d * d * d - 2 * d * d + 1 : -d * d * d + 5 * d * d - 8 * d + 4;
      k256[i] = int32_t(v * 256 + 0.5);
      k16384[i] = int16_t(uint16_t(uint32_t(int32_t(v * 16384 + 0.5)) & 0xFFFF));
    }
  }
};

inline const CubicTables& Cubic() {
  static const CubicTables t;
  return t;
}

inline int32_t Sat16(int32_t v) { return std::min(32767, std::max(-32768, v)); }

// A bicubic sample at 16.16 position (x, y), border texels repeated; the
// integer form or the 16-bit-lane form.
inline uint32_t Bicubic(const Image& src, int32_t x, int32_t y, bool lanes) {
  const int32_t x0 = x >> 16, y0 = y >> 16;
  const int32_t fx = (x >> 8) & 255, fy = (y >> 8) & 255;
  const int ix[4] = {256 + fx, fx, 256 - fx, 512 - fx};
  const int iy[4] = {256 + fy, fy, 256 - fy, 512 - fy};
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) {
    int32_t acc = 0;
    for (int r = 0; r < 4; ++r) {
      if (lanes) {
        int32_t q[4];
        for (int i = 0; i < 4; ++i) {
          const int32_t lane = int32_t(Chan(src.Clamped(x0 - 1 + i, y0 - 1 + r), k)) * 128;
          q[i] = (lane * Cubic().k16384[ix[i]]) >> 16;
        }
        const int32_t h = Sat16(Sat16(q[0] + q[1]) + Sat16(q[2] + q[3]));
        acc = Sat16(acc + ((h * Cubic().k16384[iy[r]]) >> 16));
      } else {
        int32_t h = 0;
        for (int i = 0; i < 4; ++i)
          h += Cubic().k256[ix[i]] * int32_t(Chan(src.Clamped(x0 - 1 + i, y0 - 1 + r), k));
        acc += h * Cubic().k256[iy[r]];
      }
    }
    const int32_t v = lanes ? acc >> 3 : acc >> 16;
    out |= uint32_t(std::min(255, std::max(0, v))) << (8 * k);
  }
  return out;
}

enum class Sampling { kSame, kNearest, kBilinear, kBicubic };

// Destination pixel (j, i) of a dw x dh block drawn from src.
inline uint32_t SampleAt(const Image& src, int32_t dw, int32_t dh, int32_t j, int32_t i, Sampling s,
                         bool vectorForm) {
  const int32_t sw = src.width, sh = src.height;
  switch (s) {
    case Sampling::kSame:
      return src.at(j, i);
    case Sampling::kNearest:
      return src.at((j * ((sw << 16) / dw)) >> 16, (i * ((sh << 16) / dh)) >> 16);
    case Sampling::kBilinear: {
      const int32_t x = j * (((sw - 1) << 16) / dw), y = i * (((sh - 1) << 16) / dh);
      const int32_t ix = x >> 16, iy = y >> 16;
      const uint32_t fx = (x >> 8) & 255, fy = (y >> 8) & 255;
      const uint32_t a = src.at(ix, iy), b = src.at(ix + 1, iy), c = src.at(ix, iy + 1), d = src.at(ix + 1, iy + 1);
      return vectorForm ? BilinearSeparable(a, b, c, d, fx, fy) : BilinearPlain(a, b, c, d, fx, fy);
    }
    case Sampling::kBicubic: {
      const int32_t sx = (sw << 16) / dw + 1, sy = (sh << 16) / dh + 1;
      return Bicubic(src, (sx >> 1) - 0x8000 + j * sx, (sy >> 1) - 0x8000 + i * sy, vectorForm);
    }
  }
  return 0;
}

}  // namespace owltest
