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

}  // namespace owl
