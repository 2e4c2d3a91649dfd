// The shadow of a rounded rectangle, computed from the blur's line weights
// instead of by blurring an image.
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// Draws source-over, within the canvas clip, the Gaussian blur (radius
// 0..kMaxGaussianRadius) of shape (logical coordinates, not reversed) filled
// with color, its corners rounded by corner (at most half the shorter side;
// a pixel is inside when its centre is). Each pixel gets color times the
// blurred coverage, rounded per channel.
void DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                         uint32_t color);

// Row kernels of the shadow; coverage in 16.16 (0 to 65536), every product
// rounded: (v + 32768) >> 16.
// cover[i] = round(across[i] * down), across and down 0..65536.
void ShadowCover_C(int32_t* cover, const int32_t* across, uint32_t down, int32_t count);
// cover[i] -= round(weight * (hi[i] - lo[i])), 0 <= hi - lo <= 65536,
// weight 0..65536.
void ShadowCut_C(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count);
// line[i] = each channel of color times cover[i] clamped to 0..65536, rounded.
void ShadowTint_C(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count);
// The forms above chosen for this processor.
void ShadowCover(int32_t* cover, const int32_t* across, uint32_t down, int32_t count);
void ShadowCut(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count);
void ShadowTint(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count);
#if defined(OWL_X86)
void ShadowCover_SSE2(int32_t* cover, const int32_t* across, uint32_t down, int32_t count);
void ShadowCut_SSE2(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count);
void ShadowTint_SSE2(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count);
void ShadowCover_AVX2(int32_t* cover, const int32_t* across, uint32_t down, int32_t count);
void ShadowCut_AVX2(int32_t* cover, const int32_t* hi, const int32_t* lo, uint32_t weight, int32_t count);
void ShadowTint_AVX2(uint32_t* line, const int32_t* cover, uint32_t color, int32_t count);
#endif

}  // namespace owl
