// Plain forms of the shadow's row kernels.
#include "effects/round_rect_shadow.h"

#include <algorithm>

namespace owl {

void ShadowCover_C(int32_t* cover, const int32_t* across, uint32_t down, int32_t count) {
  for (int32_t i = 0; i < count; ++i) cover[i] = int32_t((int64_t(across[i]) * down + 32768) >> 16);
}

void ShadowCut_C(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count) {
  for (int32_t i = 0; i < count; ++i) cover[i] -= int32_t((int64_t(weight) * (hi[i] - lo[i]) + 32768) >> 16);
}

void ShadowTint_C(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count) {
  const uint32_t ch[4] = {color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF, color >> 24};
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t a = uint32_t(std::min(std::max(cover[i], 0), 65536));
    line[i] = (ch[0] * a + 32768) >> 16 | ((ch[1] * a + 32768) >> 16) << 8 | ((ch[2] * a + 32768) >> 16) << 16 |
              ((ch[3] * a + 32768) >> 16) << 24;
  }
}

}  // namespace owl
