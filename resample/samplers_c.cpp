// Plain samplers: bilinear in one pass of four weights, bicubic in integers.
#include <cstddef>

#include "core/pixel_math.h"
#include "resample/kernel_table.h"
#include "resample/sampler_clamp.h"
#include "resample/samplers.h"

namespace owl {

void SampleBilinear(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy, uint32_t* out) {
  *out = BilinearSample(row0, row1, fx, fy);
}

void SampleBilinearOver(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy, uint32_t* dst) {
  *dst = OverWrap(BilinearSample(row0, row1, fx, fy), *dst);
}

void SampleBilinearOverAlpha(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy,
                             uint32_t alpha, uint32_t* dst) {
  *dst = OverWrap(ScaleByAlpha(BilinearSample(row0, row1, fx, fy), alpha), *dst);
}

namespace {

// The 4x4 taps with 256-scaled weights; each channel ClampCentre[acc >> 16].
uint32_t BicubicSample(const BitmapBits& src, int32_t x, int32_t y) {
  const int32_t x0 = x >> 16, y0 = y >> 16;
  const int32_t fx = (x >> 8) & 255, fy = (y >> 8) & 255;
  const int32_t* k = KernelTable;
  const int32_t wx[4] = {k[256 + fx], k[fx], k[256 - fx], k[512 - fx]};
  const int32_t wy[4] = {k[256 + fy], k[fy], k[256 - fy], k[512 - fy]};
  const uint8_t* base = static_cast<const uint8_t*>(src.bits) + std::ptrdiff_t(y0 - 1) * src.pitch +
                        std::ptrdiff_t(x0 - 1) * 4;
  int32_t acc[4] = {0, 0, 0, 0};
  for (int r = 0; r < 4; ++r) {
    const uint32_t* p = reinterpret_cast<const uint32_t*>(base + std::ptrdiff_t(r) * src.pitch);
    for (int ch = 0; ch < 4; ++ch) {
      const int shift = ch * 8;
      const int32_t h = wx[0] * int32_t((p[0] >> shift) & 0xFF) + wx[1] * int32_t((p[1] >> shift) & 0xFF) +
                        wx[2] * int32_t((p[2] >> shift) & 0xFF) + wx[3] * int32_t((p[3] >> shift) & 0xFF);
      acc[ch] += h * wy[r];
    }
  }
  uint32_t s = 0;
  for (int ch = 0; ch < 4; ++ch) s |= uint32_t(ClampCenter[acc[ch] >> 16]) << (ch * 8);
  return s;
}

}  // namespace

void SampleBicubic(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  *dst = BicubicSample(src, x, y);
}

// A sample's colour can exceed its alpha (negative lobes); the sum is then
// saturated rather than wrapped, as the MMX form does.
void SampleBicubicOver(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  *dst = OverSaturate(BicubicSample(src, x, y), *dst);
}

void SampleBicubicOverAlpha(const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst) {
  *dst = OverSaturate(ScaleByAlpha(BicubicSample(src, x, y), alpha), *dst);
}

void SampleBicubicClamped(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  SampleClampedWindow(SampleBicubic, src, x, y, dst);
}

void SampleBicubicOverClamped(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  SampleClampedWindow(SampleBicubicOver, src, x, y, dst);
}

void SampleBicubicOverAlphaClamped(const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst) {
  SampleClampedWindow(SampleBicubicOverAlpha, src, x, y, alpha, dst);
}

}  // namespace owl
