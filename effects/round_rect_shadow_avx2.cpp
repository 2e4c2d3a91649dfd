// AVX2 forms of the shadow's row kernels, eight words a step: 16-bit
// products rounded by the multiply-high-round instruction, which is
// (a * b + 16384) >> 15 for the non-negative values here, and the
// source-over of core/avx2_pixels.h.
#include <immintrin.h>

#include "core/avx2_pixels.h"
#include "effects/round_rect_shadow.h"

namespace owl {
namespace {

// The pixels of one step, coverages corr[0], corr[step], ... (none when
// corr is null).
template <int step>
inline __m256i Corrections8(const uint32_t* corr) {
  if (step > 0) return Load8(corr);
  return _mm256_permutevar8x32_epi32(Load8(corr - 7), _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

template <int step>
int32_t Row(uint32_t* dst, const uint32_t* across, uint32_t down, const uint32_t* corr, uint32_t color,
            int32_t count) {
  const __m256i d = _mm256_set1_epi16(int16_t(down & 0xFFFF)), zero = _mm256_setzero_si256();
  const __m256i br = _mm256_set1_epi32(int32_t((color & 0xFF) | (color >> 16 & 0xFF) << 16));
  const __m256i ga = _mm256_set1_epi32(int32_t((color >> 8 & 0xFF) | (color >> 24) << 16));
  const __m256i aa = _mm256_set1_epi16(int16_t(color >> 24)), full = _mm256_set1_epi16(256);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i q = _mm256_mulhrs_epi16(Load8(across + i), d);
    if (step != 0) q = _mm256_max_epi16(_mm256_sub_epi16(q, Corrections8<step>(corr + i * step)), zero);
    const __m256i s = _mm256_or_si256(_mm256_mulhrs_epi16(q, br), _mm256_slli_epi16(_mm256_mulhrs_epi16(q, ga), 8));
    const __m256i f = _mm256_sub_epi16(full, _mm256_mulhrs_epi16(q, aa));
    Store8(dst + i, _mm256_add_epi8(s, ScaleChannels8(Load8(dst + i), f)));
  }
  return i;
}

}  // namespace

void ShadowCornerRow_AVX2(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                          int32_t n, int32_t count) {
  const __m256i half = _mm256_set1_epi32(16384), top = _mm256_set1_epi32(32767);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i sum = _mm256_setzero_si256();
    const uint32_t* line = lines + i;
    for (int32_t k = 0; k < n; ++k, line += stride)
      sum = _mm256_add_epi32(sum, _mm256_madd_epi16(Load8(line), _mm256_set1_epi32(int32_t(weights[k]))));
    const __m256i c = _mm256_min_epu32(_mm256_srli_epi32(_mm256_add_epi32(sum, half), 15), top);
    Store8(out + i, _mm256_or_si256(c, _mm256_slli_epi32(c, 16)));
  }
  ShadowCornerRow_SSE2(out + i, lines + i, stride, weights, n, count - i);
}

void ShadowRow_AVX2(uint32_t* dst, const uint32_t* across, uint32_t down, const uint32_t* corr, int32_t step,
                    uint32_t color, int32_t count) {
  const int32_t done = !corr ? Row<0>(dst, across, down, corr, color, count)
                       : step > 0 ? Row<1>(dst, across, down, corr, color, count)
                                  : Row<-1>(dst, across, down, corr, color, count);
  ShadowRow_SSE2(dst + done, across + done, down, corr ? corr + done * step : nullptr, step, color, count - done);
}

}  // namespace owl
