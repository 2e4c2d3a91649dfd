// Turning pixel blocks for the Gaussian blur's row passes, four by four in
// SSE2 registers; pure data movement, so exactly the plain form's result.
#include <emmintrin.h>

#include <algorithm>

#include "effects/gaussian_blur.h"

namespace owl {

void TurnPixels_SSE2(uint32_t* dst, std::ptrdiff_t dstPitch, const uint32_t* src, std::ptrdiff_t srcPitch,
                     int32_t width, int32_t height) {
  constexpr int32_t kTile = 32;
  const int32_t w4 = width & ~3, h4 = height & ~3;
  for (int32_t y0 = 0; y0 < h4; y0 += kTile)
    for (int32_t x0 = 0; x0 < w4; x0 += kTile) {
      const int32_t y1 = std::min(y0 + kTile, h4), x1 = std::min(x0 + kTile, w4);
      for (int32_t y = y0; y < y1; y += 4)
        for (int32_t x = x0; x < x1; x += 4) {
          const uint32_t* s = src + y * srcPitch + x;
          const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
          const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + srcPitch));
          const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * srcPitch));
          const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * srcPitch));
          const __m128i a = _mm_unpacklo_epi32(r0, r1), b = _mm_unpacklo_epi32(r2, r3);
          const __m128i c = _mm_unpackhi_epi32(r0, r1), d = _mm_unpackhi_epi32(r2, r3);
          uint32_t* o = dst + x * dstPitch + y;
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi64(a, b));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o + dstPitch), _mm_unpackhi_epi64(a, b));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 2 * dstPitch), _mm_unpacklo_epi64(c, d));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 3 * dstPitch), _mm_unpackhi_epi64(c, d));
        }
    }
  // The last columns and rows that make no block of four.
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = y < h4 ? w4 : 0; x < width; ++x) dst[x * dstPitch + y] = src[y * srcPitch + x];
}

}  // namespace owl
