// The shadow of a rounded rectangle, computed from the blur's line weights
// instead of by blurring an image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/canvas.h"
#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// Draws source-over, within the canvas clip, the Gaussian blur (radius
// 0..kMaxGaussianRadius) of shape (logical coordinates, not reversed) filled
// with color, its corners rounded by corner (at most half the shorter side;
// a pixel is inside when its centre is). False when scratch memory runs out
// (nothing drawn).
bool DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                           uint32_t color);

// Row kernels of the shadow. Coverages are 15-bit fractions (0 to 32767),
// each held twice in a 32-bit word (low and high halves equal), and every
// product of two is rounded: Mul15(a, b) = (a * b + 16384) >> 15.
//
// One corner row: out[i] = c | c << 16 with
//   c = min(32767, (sum over k < n of lo(line_k[i]) * lo(weights[k])
//                   + hi(line_k[i]) * hi(weights[k]) + 16384) >> 15),
// line_k = lines + k * stride,
// lo and hi the 16-bit halves (each 0..32767), the sum taken modulo 2^32.
void ShadowCornerRow_C(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                       int32_t n, int32_t count);
// The corner coverages subtracted along a drawn row: pixel i reads
// forward[k][i] and backward[k][-i]; null pointers are left out.
struct ShadowCorrections {
  const uint32_t* forward[2];
  const uint32_t* backward[2];
};
// The corrections from pixel n on.
inline ShadowCorrections Advance(const ShadowCorrections& c, int32_t n) {
  ShadowCorrections out = c;
  for (int k = 0; k < 2; ++k) {
    if (out.forward[k]) out.forward[k] += n;
    if (out.backward[k]) out.backward[k] -= n;
  }
  return out;
}
// One drawn row, pixel i: q = max(0, Mul15(across[i], down) - the sum of its
// corrections); the source s = Mul15(channel, q) for each channel of color
// (premultiplied), laid over dst[i]: d = s + (((256 - s.A) * d) >> 8),
// modulo 256 (only a colour not premultiplied can exceed 255).
void ShadowRow_C(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                 uint32_t color, int32_t count);
// The forms above chosen for this processor.
void ShadowCornerRow(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights, int32_t n,
                     int32_t count);
void ShadowRow(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr, uint32_t color,
               int32_t count);
#if defined(OWL_X86)
// Four words a step; exactly the plain forms' values.
void ShadowCornerRow_SSE2(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                          int32_t n, int32_t count);
void ShadowRow_SSE2(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                    uint32_t color, int32_t count);
// Eight words a step; exactly the plain forms' values.
void ShadowCornerRow_AVX2(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights,
                          int32_t n, int32_t count);
void ShadowRow_AVX2(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr,
                    uint32_t color, int32_t count);
#endif

}  // namespace owl
