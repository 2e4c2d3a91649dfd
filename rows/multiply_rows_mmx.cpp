// Same-size multiplying row, two pixels a step on 16-bit lanes: the
// multiplier is the source byte plus 1 (saturating add), the product fits 16
// bits.
#include "rows/multiply_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void MultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width) {
  int32_t j = 0;
  for (; j + 2 <= width; j += 2) StorePair(dst + j, Multiply2(LoadPair(dst + j), LoadPair(src + j)));
  if (j < width) StoreOne(dst + j, Multiply2(LoadOne(dst + j), LoadOne(src + j)));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
