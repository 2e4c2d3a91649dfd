// Cross-fade and opaque blend rows, AVX2 kernels of the MMX and SSE forms:
// eight pixels a step (sixteen for the one-to-one cross-fade).
#include "rows/mix_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {
namespace {

// ((d * (255 - alpha)) >> 8) + ((s * (alpha + 1)) >> 8): each channel
// unpacked into the high byte of a 16-bit lane (times 256), so the high half
// of its product with the factor is its share; the shares never sum above
// 255.
inline __m256i Mix8(__m256i d, __m256i s, __m256i w, __m256i v) {
  const __m256i z = _mm256_setzero_si256();
  const __m256i lo = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, d), w),
                                      _mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, s), v));
  const __m256i hi = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, d), w),
                                      _mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, s), v));
  return _mm256_packus_epi16(lo, hi);
}

}  // namespace

void MixRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m256i w = _mm256_set1_epi16(int16_t(255 - alpha)), v = _mm256_set1_epi16(int16_t(alpha + 1));
  uint32_t x = 0;
  int32_t j = 0;
  auto single = [&](int32_t k, uint32_t at) {
    dst[k] = FirstPixel(Mix8(OnePixel(dst[k]), OnePixel(src[at >> 16]), w, v));
  };
  if (stepX == 0x10000) {
    auto eight = [&](int32_t k) { Store8(dst + k, Mix8(Load8(dst + k), Load8(src + k), w, v)); };
    j = WalkAligned(dst, width, [&](int32_t k) { single(k, uint32_t(k) << 16); }, eight);
    x = uint32_t(j) << 16;
  } else {
    for (; j + 8 <= width; j += 8, x += 8 * stepX)
      Store8(dst + j, Mix8(Load8(dst + j), Nearest8(src, x, stepX), w, v));
  }
  // Tail: one pixel at a time with the same arithmetic.
  for (; j < width; ++j, x += stepX) single(j, x);
}

void BlendOpaqueRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const __m256i v = _mm256_set1_epi16(int16_t(alpha + 1)), w = _mm256_set1_epi16(int16_t(256 - alpha));
  const __m256i opaque = _mm256_set1_epi32(int(0xFF000000u));
  // s' + d': the two shares never sum above 255, so a byte addition is exact.
  auto blend = [&](__m256i d, __m256i s) {
    return _mm256_add_epi8(ScaleChannels8(_mm256_or_si256(s, opaque), v), ScaleChannels8(d, w));
  };
  uint32_t x = 0;
  int32_t j = 0;
  if (stepX == 0x10000) {
    for (; j + 8 <= width; j += 8) Store8(dst + j, blend(Load8(dst + j), Load8(src + j)));
    x = uint32_t(j) << 16;
  } else {
    for (; j + 8 <= width; j += 8, x += 8 * stepX) Store8(dst + j, blend(Load8(dst + j), Nearest8(src, x, stepX)));
  }
  for (; j < width; ++j, x += stepX) dst[j] = FirstPixel(blend(OnePixel(dst[j]), OnePixel(src[x >> 16])));
}

}  // namespace owl
#endif  // OWL_X86
