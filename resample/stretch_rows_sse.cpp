// Nearest and keyed stretch rows, four pixels a step in 64-bit registers.
#include "resample/stretch_rows.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstdint>

#include "core/mmx_lanes.h"

namespace owl {

void StretchNearestRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two 64-bit stores per four pixels.
  for (; j + 4 <= width; j += 4) {
    const uint32_t a = src[x >> 16]; x += step;
    const uint32_t b = src[x >> 16]; x += step;
    const uint32_t c = src[x >> 16]; x += step;
    const uint32_t d = src[x >> 16]; x += step;
    StorePair(dst + j, _mm_set_pi32(int(b), int(a)));
    StorePair(dst + j + 2, _mm_set_pi32(int(d), int(c)));
  }
  _mm_empty();
  // Tail: width mod 4 pixels.
  for (; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

void StretchNearestKeyedRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t key) {
  const __m64 keys = _mm_set1_pi32(int(key));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: keyed texels give an all-ones mask; (texel - mask, saturating) is
  // then 0 and (mask & old) keeps the destination.
  for (; j + 4 <= width; j += 4) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(dst + j) + 512), _MM_HINT_NTA);
    for (int half = 0; half < 4; half += 2) {
      const uint32_t a = src[x >> 16]; x += step;
      const uint32_t b = src[x >> 16]; x += step;
      const __m64 s = _mm_set_pi32(int(b), int(a));
      const __m64 mask = _mm_cmpeq_pi32(s, keys);
      const __m64 old = LoadPair(dst + j + half);
      StorePair(dst + j + half, _mm_or_si64(_mm_subs_pu8(s, mask), _mm_and_si64(mask, old)));
    }
  }
  _mm_empty();
  // Tail: width mod 4 pixels.
  for (; j < width; ++j, x += step) {
    const uint32_t s = src[x >> 16];
    if (s != key) dst[j] = s;
  }
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
