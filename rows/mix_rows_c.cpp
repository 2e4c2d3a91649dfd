// Plain forms of the composition kernels: the reference.
#include "core/pixel_math.h"
#include "rows/mix_rows.h"

namespace owl {
namespace {

inline uint32_t Byte(uint32_t p, int shift) { return p >> shift & 0xFF; }

}  // namespace

void MixRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  const uint32_t w = 255u - alpha, v = alpha + 1u;
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += stepX) {
    const uint32_t d = dst[j], s = src[x >> 16];
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) out |= ((Byte(d, shift) * w + Byte(s, shift) * v) >> 8) << shift;
    dst[j] = out;
  }
}

// The source made opaque and scaled is a premultiplied pixel of alpha
// alpha: plain source-over, whose sums never wrap.
void BlendOpaqueRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += stepX)
    dst[j] = OverWrap(ScaleByAlpha(src[x >> 16] | 0xFF000000u, alpha), dst[j]);
}

void MixColorRow_C(uint32_t* dst, int32_t width, uint32_t scaled, uint8_t alpha) {
  const uint32_t w = 255u - alpha;
  for (int32_t j = 0; j < width; ++j) {
    const uint32_t d = dst[j];
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) out |= (((Byte(d, shift) * w) >> 8) + Byte(scaled, shift)) << shift;
    dst[j] = out;
  }
}

}  // namespace owl
