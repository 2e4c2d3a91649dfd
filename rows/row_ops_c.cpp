// Plain forms of the row operations: the reference for every vector form.
#include <cstring>

#include "rows/row_ops.h"

namespace owl {
namespace {

// s + (((256 - s.A) * d) >> 8) per channel, each sum kept to 8 bits.
inline uint32_t Over(uint32_t s, uint32_t d) {
  const uint32_t w = 256 - (s >> 24);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = ((s >> shift) & 0xFF) + ((w * ((d >> shift) & 0xFF)) >> 8);
    out |= (sum & 0xFF) << shift;
  }
  return out;
}

inline uint32_t Scale(uint32_t s, uint32_t factor) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= ((((s >> shift) & 0xFF) * factor) >> 8) << shift;
  return out;
}

}  // namespace

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
  for (int32_t x = 0; x < width; ++x) dst[x] = Over(src[x], dst[x]);
}

void BlendRowAlpha_C(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha) {
  const uint32_t factor = uint32_t(alpha) + 1;
  for (int32_t x = 0; x < width; ++x) dst[x] = Over(Scale(src[x], factor), dst[x]);
}

}  // namespace owl
