// MMX bicubic samplers: the four channels of a pixel in signed 16-bit lanes.
#include "resample/samplers.h"

#if defined(OWL_HAVE_MMX)
#include <mmintrin.h>

#include <cstddef>

#include "resample/kernel_table.h"
#include "core/mmx_lanes.h"
#include "resample/sampler_clamp.h"

namespace owl {
namespace {

// Returns the sample as four lanes already clamped to 0..255.
inline __m64 BicubicLanes(const BitmapBits& src, int32_t x, int32_t y) {
  const uint32_t ux = uint32_t(x), uy = uint32_t(y);
  const uint32_t x0 = ux >> 16, y0 = uy >> 16;
  const uint32_t fx = (ux >> 8) & 255, fy = (uy >> 8) & 255;
  const int32_t* k = KernelTable;
  const __m64 wx0 = _mm_set1_pi32(k[256 + fx]), wx1 = _mm_set1_pi32(k[fx]);
  const __m64 wx2 = _mm_set1_pi32(k[256 - fx]), wx3 = _mm_set1_pi32(k[512 - fx]);
  const int32_t wy[4] = {k[256 + fy], k[fy], k[256 - fy], k[512 - fy]};
  const uint8_t* base = static_cast<const uint8_t*>(src.bits) + (std::ptrdiff_t(y0) - 1) * src.pitch +
                        (std::ptrdiff_t(x0) - 1) * 4;
  __m64 acc = _mm_setzero_si64();
  for (int r = 0; r < 4; ++r) {
    const uint32_t* p = reinterpret_cast<const uint32_t*>(base + std::ptrdiff_t(r) * src.pitch);
    const __m64 q0 = _mm_mulhi_pi16(_mm_slli_pi16(UnpackPixel(p[0]), 7), wx0);
    const __m64 q1 = _mm_mulhi_pi16(_mm_slli_pi16(UnpackPixel(p[1]), 7), wx1);
    const __m64 q2 = _mm_mulhi_pi16(_mm_slli_pi16(UnpackPixel(p[2]), 7), wx2);
    const __m64 q3 = _mm_mulhi_pi16(_mm_slli_pi16(UnpackPixel(p[3]), 7), wx3);
    const __m64 h = _mm_adds_pi16(_mm_adds_pi16(q0, q1), _mm_adds_pi16(q2, q3));
    acc = _mm_adds_pi16(acc, _mm_mulhi_pi16(h, _mm_set1_pi32(wy[r])));
  }
  // Signed to unsigned saturation clamps each lane to 0..255.
  return UnpackPixel(PackPixel(_mm_srai_pi16(acc, 3)));
}

inline __m64 ScaleByAlphaLanes(__m64 s, uint32_t alpha) {
  return ScaleLanes(s, _mm_set1_pi16(short((alpha & 0xFF) + 1)));
}

}  // namespace

void SampleBicubic_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  *dst = PackPixel(BicubicLanes(src, x, y));
  _mm_empty();
}

void SampleBicubicOver_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  *dst = OverLanes(BicubicLanes(src, x, y), *dst);
  _mm_empty();
}

void SampleBicubicOverAlpha_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst) {
  *dst = OverLanes(ScaleByAlphaLanes(BicubicLanes(src, x, y), alpha), *dst);
  _mm_empty();
}

void SampleBicubicClamped_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  SampleClampedWindow(SampleBicubic_MMX, src, x, y, dst);
}

void SampleBicubicOverClamped_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst) {
  SampleClampedWindow(SampleBicubicOver_MMX, src, x, y, dst);
}

void SampleBicubicOverAlphaClamped_MMX(const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha,
                                      uint32_t* dst) {
  SampleClampedWindow(SampleBicubicOverAlpha_MMX, src, x, y, alpha, dst);
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
