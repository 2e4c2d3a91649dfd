// Nearest source-over rows, two pixels a step in 64-bit registers.
#include "resample/stretch_over_rows.h"

#if defined(OWL_HAVE_MMX)
#include <xmmintrin.h>

#include <cstdint>

#include "core/mmx_lanes.h"

namespace owl {
namespace {

inline void Prefetch(const uint32_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + 512), _MM_HINT_T0);
}

// mul holds alpha + 1 in every lane, or is unused when Scale is false.
template <bool Scale>
inline void OverRow(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, __m64 mul) {
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two texels in one register, composited onto two pixels.
  for (; j + 2 <= width; j += 2) {
    Prefetch(dst + j);
    __m64 s0 = UnpackPixel(src[x >> 16]);
    x += step;
    __m64 s1 = UnpackPixel(src[x >> 16]);
    x += step;
    if (Scale) {
      s0 = ScaleLanes(s0, mul);
      s1 = ScaleLanes(s1, mul);
    }
    OverLanesPair(s0, s1, dst + j);
  }
  // Tail: an odd last pixel with the same arithmetic.
  if (j < width) {
    __m64 s = UnpackPixel(src[x >> 16]);
    if (Scale) s = ScaleLanes(s, mul);
    dst[j] = OverLanes(s, dst[j]);
  }
  _mm_empty();
}

}  // namespace

void StretchNearestOverRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  OverRow<false>(dst, src, width, step, _mm_setzero_si64());
}

void StretchNearestOverAlphaRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                    uint32_t alpha) {
  OverRow<true>(dst, src, width, step, _mm_set1_pi16(short((alpha & 0xFF) + 1)));
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
