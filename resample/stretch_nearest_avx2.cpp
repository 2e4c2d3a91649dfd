// Nearest stretch row, AVX2 kernel of the SSE form: eight texels a step.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "core/avx2_pixels.h"

namespace owl {
namespace {

// Step 0x8000 (exactly 2x): pixel j is texel j / 2.
int32_t Double(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 16 <= width; j += 16) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + j / 2));
    const __m256i lo = _mm256_unpacklo_epi32(s, s), hi = _mm256_unpackhi_epi32(s, s);
    Store8(dst + j, _mm256_permute2x128_si256(lo, hi, 0x20));
    Store8(dst + j + 8, _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  return j;
}

// Step 0x20000 (exactly 0.5x): pixel j is texel 2j. Sixteen texels are
// loaded for eight pixels; the last of them is read only when a later pixel
// reads it.
int32_t Halve(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 8 < width; j += 8) {
    const __m256 a = _mm256_loadu_ps(reinterpret_cast<const float*>(src + 2 * j));
    const __m256 b = _mm256_loadu_ps(reinterpret_cast<const float*>(src + 2 * j + 8));
    const __m256i even = _mm256_castps_si256(_mm256_shuffle_ps(a, b, 0x88));  // a0 a2 b0 b2 | a4 a6 b4 b6
    Store8(dst + j, _mm256_permute4x64_epi64(even, 0xD8));
  }
  return j;
}

// Steps below 0x10000: eight pixels read at most eight neighbouring texels,
// so one load and a permute place them, as long as the load stays within
// the texels the row reads (up to last).
int32_t Magnify(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t last) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i pos = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(int(step)));  // positions from x = 0
  const __m256i advance = _mm256_set1_epi32(int(8 * step));
  uint32_t x = 0;
  int32_t j = 0;
  for (; j + 8 <= width; j += 8, x += 8 * step, pos = _mm256_add_epi32(pos, advance)) {
    const uint32_t base = x >> 16;
    if (base + 7 > last) break;
    const __m256i index = _mm256_sub_epi32(_mm256_srli_epi32(pos, 16), _mm256_set1_epi32(int(base)));
    Store8(dst + j, _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + base)), index));
  }
  return j;
}

}  // namespace

void StretchNearestRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  if (width <= 0) return;
  int32_t j = 0;
  if (step == 0x8000) {
    j = Double(dst, src, width);
  } else if (step == 0x20000) {
    j = Halve(dst, src, width);
  } else if (step < 0x10000) {
    j = Magnify(dst, src, width, step, (uint32_t(width - 1) * step) >> 16);
  }
  uint32_t x = uint32_t(j) * step;
  for (; j + 8 <= width; j += 8, x += 8 * step) {
    PrefetchAhead(src + (x >> 16));
    Store8(dst + j, Nearest8(src, x, step));
  }
  for (; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

}  // namespace owl
#endif  // OWL_X86
