// SSE forms of the row operations: 64-bit MMX registers with the SSE
// additions (pshufw) for keyed copy and source-over, each ending with
// _mm_empty(); 128-bit SSE moves for fill and copy.
#include "rows/row_ops.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstring>

#include "core/mmx_lanes.h"

namespace owl {
// Fill and copy move 128 bits a step through the SSE registers: moves only,
// no arithmetic, so every bit pattern passes unchanged. Ordinary stores beat
// non-temporal ones in the benchmarks here (a 1920x1080 block stays in the
// last-level cache), so the stores are ordinary.
void FillRow_SSE(uint32_t* dst, int32_t width, uint32_t color) {
  // Loaded straight from memory: a float held in the x87 unit on 32-bit x86
  // would quiet a signalling-NaN bit pattern.
  float bits;
  std::memcpy(&bits, &color, 4);
  const __m128 one = _mm_load_ss(&bits);
  const __m128 c = _mm_shuffle_ps(one, one, 0);
  int32_t x = 0;
  // Head: single pixels until the stores are 16-byte aligned (pixel rows are
  // always 4-byte aligned).
  for (; x < width && (reinterpret_cast<uintptr_t>(dst + x) & 15) != 0; ++x) dst[x] = color;
  for (; x + 16 <= width; x += 16) {
    float* p = reinterpret_cast<float*>(dst + x);
    _mm_store_ps(p, c);
    _mm_store_ps(p + 4, c);
    _mm_store_ps(p + 8, c);
    _mm_store_ps(p + 12, c);
  }
  for (; x + 4 <= width; x += 4) _mm_storeu_ps(reinterpret_cast<float*>(dst + x), c);
  for (; x < width; ++x) dst[x] = color;
}

void CopyRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m128 a = _mm_loadu_ps(reinterpret_cast<const float*>(src + x));
    const __m128 b = _mm_loadu_ps(reinterpret_cast<const float*>(src + x + 4));
    _mm_storeu_ps(reinterpret_cast<float*>(dst + x), a);
    _mm_storeu_ps(reinterpret_cast<float*>(dst + x + 4), b);
  }
  for (; x < width; ++x) dst[x] = src[x];
}

void CopyRowKeyed_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t key) {
  const __m64 k = _mm_set1_pi32(int(key));
  int32_t x = 0;
  // Body: the equality mask keeps the old pixel, the rest takes the source.
  for (; x + 4 <= width; x += 4) {
    const __m64 s0 = LoadPair(src + x), s1 = LoadPair(src + x + 2);
    const __m64 m0 = _mm_cmpeq_pi32(s0, k), m1 = _mm_cmpeq_pi32(s1, k);
    StorePair(dst + x, _mm_or_si64(_mm_and_si64(m0, LoadPair(dst + x)), _mm_andnot_si64(m0, s0)));
    StorePair(dst + x + 2, _mm_or_si64(_mm_and_si64(m1, LoadPair(dst + x + 2)), _mm_andnot_si64(m1, s1)));
  }
  _mm_empty();
  for (; x < width; ++x)
    if (src[x] != key) dst[x] = src[x];
}

void BlendRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) StorePair(dst + x, Over2(LoadPair(src + x), LoadPair(dst + x)));
  // Tail: the odd pixel with the same arithmetic.
  if (x < width) StoreOne(dst + x, Over2(LoadOne(src + x), LoadOne(dst + x)));
  _mm_empty();
}

void BlendRowAlpha_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha) {
  const __m64 factor = _mm_set1_pi16(int16_t(alpha + 1));
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) StorePair(dst + x, Over2(Scale2(LoadPair(src + x), factor), LoadPair(dst + x)));
  if (x < width) StoreOne(dst + x, Over2(Scale2(LoadOne(src + x), factor), LoadOne(dst + x)));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
