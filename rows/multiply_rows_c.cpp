// Plain multiply row.
#include "core/pixel_math.h"
#include "rows/multiply_rows.h"

namespace owl {

void MultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width) {
  for (int32_t j = 0; j < width; ++j) dst[j] = MultiplyPixel(dst[j], src[j]);
}

}  // namespace owl
