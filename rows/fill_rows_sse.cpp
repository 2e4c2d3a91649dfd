// 64-bit SSE form of the blend fill row; ends with _mm_empty().
#include "rows/fill_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void BlendFillRow_SSE(uint32_t* dst, int32_t width, uint32_t color) {
  const __m64 s = _mm_set1_pi32(int(color));
  const __m64 w = _mm_set1_pi16(int16_t(256 - (color >> 24)));
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) StorePair(dst + x, _mm_adds_pu8(s, Scale2(LoadPair(dst + x), w)));
  // Tail: the odd pixel with the same arithmetic.
  if (x < width) StoreOne(dst + x, _mm_adds_pu8(s, Scale2(LoadOne(dst + x), w)));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
