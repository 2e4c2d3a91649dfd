// AVX2 forms of the shadow's row kernels, eight words a step: 16-bit
// products rounded by the multiply-high-round instruction, which is
// (a * b + 16384) >> 15 for the non-negative values here, and the
// source-over of core/avx2_pixels.h. A row's last pixels take one step of
// the same arithmetic on copies of their words.
#include <immintrin.h>

#include "core/avx2_pixels.h"
#include "effects/round_rect_shadow.h"

namespace owl {
namespace {

// Coverage q less the corrections of the step at pixel i, each taken off
// with the result kept at 0 or more. Kinds: 0 none, 1 one forward, 2 one
// backward, 3 any. Backward, the step's words are read from p - 7 up and
// turned round.
template <int kind>
inline __m256i Less(__m256i q, const ShadowCorrections& c, int32_t i) {
  const __m256i zero = _mm256_setzero_si256();
  auto forward = [&](const uint32_t* p) { return _mm256_max_epi16(_mm256_sub_epi16(q, Load8(p)), zero); };
  auto backward = [&](const uint32_t* p) {
    const __m256i turned = _mm256_permutevar8x32_epi32(Load8(p - 7), _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    return _mm256_max_epi16(_mm256_sub_epi16(q, turned), zero);
  };
  if (kind == 1) q = forward(c.forward[0] + i);
  if (kind == 2) q = backward(c.backward[0] - i);
  if (kind == 3)
    for (int k = 0; k < 2; ++k) {
      if (c.forward[k]) q = forward(c.forward[k] + i);
      if (c.backward[k]) q = backward(c.backward[k] - i);
    }
  return q;
}

template <int kind>
void Row(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& given, uint32_t color,
         int32_t count) {
  const ShadowCorrections corr = given;  // a copy the stores to dst cannot change
  const __m256i d = _mm256_set1_epi16(int16_t(down & 0xFFFF));
  const __m256i br = _mm256_set1_epi32(int32_t((color & 0xFF) | (color >> 16 & 0xFF) << 16));
  const __m256i ga = _mm256_set1_epi32(int32_t((color >> 8 & 0xFF) | (color >> 24) << 16));
  const __m256i aa = _mm256_set1_epi16(int16_t(color >> 24)), full = _mm256_set1_epi16(256);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i q = _mm256_mulhrs_epi16(Load8(across + i), d);
    q = Less<kind>(q, corr, i);
    const __m256i s = _mm256_or_si256(_mm256_mulhrs_epi16(q, br), _mm256_slli_epi16(_mm256_mulhrs_epi16(q, ga), 8));
    const __m256i f = _mm256_sub_epi16(full, _mm256_mulhrs_epi16(q, aa));
    Store8(dst + i, _mm256_add_epi8(s, ScaleChannels8(Load8(dst + i), f)));
  }
  const int32_t rest = count - i;
  if (rest == 0) return;
  // The last one to seven pixels: their words copied into eight-word
  // buffers (the rest 0), one step there, the pixels copied back.
  uint32_t out[8] = {}, cover[8] = {}, ahead[2][8] = {}, behind[2][8] = {};
  ShadowCorrections last{{nullptr, nullptr}, {nullptr, nullptr}};
  for (int32_t j = 0; j < rest; ++j) {
    out[j] = dst[i + j];
    cover[j] = across[i + j];
    for (int k = 0; k < 2; ++k) {
      if (corr.forward[k]) ahead[k][j] = corr.forward[k][i + j];
      if (corr.backward[k]) behind[k][7 - j] = corr.backward[k][-(i + j)];
    }
  }
  for (int k = 0; k < 2; ++k) {
    if (corr.forward[k]) last.forward[k] = ahead[k];
    if (corr.backward[k]) last.backward[k] = behind[k] + 7;
  }
  Row<kind>(out, cover, down, last, color, 8);
  for (int32_t j = 0; j < rest; ++j) dst[i + j] = out[j];
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

void ShadowRow_AVX2(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                    uint32_t color, int32_t count) {
  const int present = (corr.forward[0] != nullptr) + (corr.forward[1] != nullptr) + (corr.backward[0] != nullptr) +
                      (corr.backward[1] != nullptr);
  if (present == 0) Row<0>(dst, across, down, corr, color, count);
  else if (present == 1 && corr.forward[0]) Row<1>(dst, across, down, corr, color, count);
  else if (present == 1 && corr.backward[0]) Row<2>(dst, across, down, corr, color, count);
  else Row<3>(dst, across, down, corr, color, count);
}

}  // namespace owl
