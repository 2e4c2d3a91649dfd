// Reference pictures for texture draws: an image type and the sample each
// destination pixel of a draw takes, with the arithmetic of reference.h.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "canvas_util.h"
#include "owlgraphic.h"
#include "reference.h"

namespace owltest {

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
      return Bicubic([&](int32_t x, int32_t y) { return src.Clamped(x, y); }, (sx >> 1) - 0x8000 + j * sx,
                     (sy >> 1) - 0x8000 + i * sy, vectorForm);
    }
  }
  return 0;
}

}  // namespace owltest
