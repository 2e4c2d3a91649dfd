// Plain stretch rows: the reference for every vector form.
#include "core/pixel_math.h"
#include "resample/samplers.h"
#include "resample/stretch_rows.h"

namespace owl {

void StretchNearestRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

void StretchNearestKeyedRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t key) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t s = src[x >> 16];
    if (s != key) dst[j] = s;
  }
}

void StretchBilinearRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                          uint32_t step, uint32_t fy) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t ix = x >> 16;
    SampleBilinear(row0 + ix, row1 + ix, (x >> 8) & 255, fy, dst + j);
  }
}

void StretchMultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = MultiplyPixel(dst[j], src[x >> 16]);
}

}  // namespace owl
