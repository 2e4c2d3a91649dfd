// Plain forms of the fill rows: the reference for every vector form.
#include "rows/fill_rows.h"

namespace owl {

void BlendFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  const uint32_t w = 256 - (color >> 24);
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t d = dst[x];
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
      out |= ((((color >> shift) & 0xFF) + ((w * ((d >> shift) & 0xFF)) >> 8)) & 0xFF) << shift;
    dst[x] = out;
  }
}

void MultiplyFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t d = dst[x];
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
      out |= ((((d >> shift) & 0xFF) * (((color >> shift) & 0xFF) + 1)) >> 8) << shift;
    dst[x] = out;
  }
}

void OrFillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) dst[x] |= color;
}

}  // namespace owl
