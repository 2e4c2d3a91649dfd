// Plain forms of the fill rows: the reference for every vector form.
#include "core/pixel_math.h"
#include "rows/fill_rows.h"

namespace owl {

void BlendFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) dst[x] = OverWrap(color, dst[x]);
}

void MultiplyFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) dst[x] = MultiplyPixel(dst[x], color);
}

void OrFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) dst[x] |= color;
}

}  // namespace owl
