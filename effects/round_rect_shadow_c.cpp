// Plain forms of the shadow's row kernels.
#include "effects/round_rect_shadow.h"

namespace owl {

void ShadowCornerRow_C(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                       int32_t n, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t sum = 0;
    for (int32_t k = 0; k < n; ++k) {
      const uint32_t v = lines[k * stride + i], w = weights[k];
      sum += (v & 0xFFFF) * (w & 0xFFFF) + (v >> 16) * (w >> 16);
    }
    uint32_t c = (sum + 16384) >> 15;
    if (c > 32767) c = 32767;
    out[i] = c | c << 16;
  }
}

void ShadowRow_C(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                 uint32_t color, int32_t count) {
  const uint32_t d = down & 0xFFFF;
  for (int32_t i = 0; i < count; ++i) {
    int32_t q = int32_t(((across[i] & 0xFFFF) * d + 16384) >> 15);
    for (int k = 0; k < 2; ++k) {
      if (corr.forward[k]) q -= int32_t(corr.forward[k][i] & 0xFFFF);
      if (corr.backward[k]) q -= int32_t(corr.backward[k][-i] & 0xFFFF);
    }
    if (q <= 0) continue;  // a clear source leaves the pixel as it is
    uint32_t s[4];
    for (int k = 0; k < 4; ++k) s[k] = ((color >> (8 * k) & 0xFF) * uint32_t(q) + 16384) >> 15;
    const uint32_t p = dst[i], f = 256 - s[3];
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= ((s[k] + (((p >> (8 * k) & 0xFF) * f) >> 8)) & 0xFF) << (8 * k);
    dst[i] = v;
  }
}

}  // namespace owl
