// Stretch multiplying row, two pixels a step on 16-bit lanes: the multiplier is the
// source byte plus 1 (saturating add), the product fits 16 bits.
#include "resample/stretch_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void StretchMultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels.
  for (; j + 2 <= width; j += 2) {
    const uint32_t a = src[x >> 16]; x += step;
    const uint32_t b = src[x >> 16]; x += step;
    StorePair(dst + j, Multiply2(LoadPair(dst + j), _mm_set_pi32(int(b), int(a))));
  }
  // Tail: an odd last pixel.
  if (j < width) StoreOne(dst + j, Multiply2(LoadOne(dst + j), LoadOne(src + (x >> 16))));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
