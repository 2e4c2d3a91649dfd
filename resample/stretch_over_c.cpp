// Plain source-over stretch rows: the reference for every vector form.
#include "core/pixel_math.h"
#include "resample/samplers.h"
#include "resample/stretch_over_rows.h"

namespace owl {

void StretchNearestOverRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = OverWrap(src[x >> 16], dst[j]);
}

void StretchNearestOverAlphaRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                  uint32_t alpha) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = OverWrap(ScaleByAlpha(src[x >> 16], alpha), dst[j]);
}

void StretchBilinearOverRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                              uint32_t step, uint32_t fy) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t ix = x >> 16;
    SampleBilinearOver(row0 + ix, row1 + ix, (x >> 8) & 255, fy, dst + j);
  }
}

void StretchBilinearOverAlphaRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                   uint32_t step, uint32_t fy, uint32_t alpha) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t ix = x >> 16;
    SampleBilinearOverAlpha(row0 + ix, row1 + ix, (x >> 8) & 255, fy, alpha, dst + j);
  }
}

}  // namespace owl
