// Plain forms of the row operations: the reference for every vector form.
#include <cstring>

#include "core/pixel_math.h"
#include "rows/row_ops.h"

namespace owl {
void FillRow_C(uint32_t* dst, int32_t width, uint32_t color) {
  for (int32_t x = 0; x < width; ++x) dst[x] = color;
}

void CopyRow_C(uint32_t* dst, const uint32_t* src, int32_t width) {
  if (width > 0) std::memcpy(dst, src, size_t(width) * 4);
}

void CopyRowKeyed_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t key) {
  for (int32_t x = 0; x < width; ++x)
    if (src[x] != key) dst[x] = src[x];
}

void BlendRow_C(uint32_t* dst, const uint32_t* src, int32_t width) {
  for (int32_t x = 0; x < width; ++x) dst[x] = OverWrap(src[x], dst[x]);
}

void BlendRowAlpha_C(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha) {
  const uint32_t factor = uint32_t(alpha) + 1;
  for (int32_t x = 0; x < width; ++x) dst[x] = OverWrap(ScaleChannels(src[x], factor), dst[x]);
}

}  // namespace owl
