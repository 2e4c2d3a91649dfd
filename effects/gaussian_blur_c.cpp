// Plain form of the Gaussian blur's box pass.
#include "effects/gaussian_blur.h"

namespace owl {

void BoxPassRow_C(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                  int32_t count, const BoxPass& pass) {
  const uint32_t half = 1u << (pass.shift - 1);
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t v = pass.inner * uint32_t(sums[i]) + pass.end * uint32_t(lo[i] + hi[i]) + half;
    out[i] = uint8_t(v >> pass.shift);
    sums[i] = uint16_t(sums[i] + hi[i] - sub[i]);
  }
}

void BoxPassLine_C(uint8_t* out, const uint8_t* in, int32_t count, const BoxPass& pass) {
  const uint32_t half = 1u << (pass.shift - 1);
  const int32_t e = 4 * (pass.r + 1);
  for (int32_t i = 0; i < count; ++i) {
    uint32_t sum = 0;
    for (int32_t j = -4 * pass.r; j <= 4 * pass.r; j += 4) sum += in[i + j];
    out[i] = uint8_t((pass.inner * sum + pass.end * uint32_t(in[i - e] + in[i + e]) + half) >> pass.shift);
  }
}

}  // namespace owl
