// Row kernels of the stretch loops. Nearest and multiply rows
// sample column x >> 16 with x = 0, step, 2 * step, ...; bilinear rows read
// row0[x >> 16 .. + 1] and row1 likewise with fraction (x >> 8) & 255.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cpu_features.h"

namespace owl {

void StretchNearestRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestKeyedRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t key);
void StretchBilinearRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                          uint32_t step, uint32_t fy);
void StretchMultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);

#if defined(OWL_HAVE_MMX)
// Four pixels a step in 64-bit registers; identical to the plain rows.
void StretchNearestRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestKeyedRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                uint32_t key);
// Separable interpolation, two pixels a step; may differ from the plain row
// by one in a channel.
void StretchBilinearRow_MMX(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                            uint32_t step, uint32_t fy);
// Two pixels a step; identical to the plain row.
void StretchMultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
#endif
#if defined(OWL_X86)
// AVX2 kernels of the SSE nearest and MMX bilinear forms, eight pixels a
// step, run when the processor also has AVX2; each gives exactly its form's
// pixels. The nearest row takes steps 0x8000 (2x) and 0x20000 (0.5x) as
// texel duplication and decimation, and other steps below 0x10000 as one
// eight-texel load and a permute per eight pixels.
void StretchNearestRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
// The bilinear stretch in two passes (AVX2): each channel of a texel row
// filtered horizontally, (t0 * (256 - fx) + t1 * fx) >> 8 at the positions
// j * step, then two such rows filtered vertically, (top * (256 - fy) +
// bottom * fy) >> 8: exactly the MMX and AVX2 one-pass rows' pixels.
void BilinearHorizontalRow_AVX2(uint32_t* out, const uint32_t* row, int32_t width, uint32_t step);
void BilinearVerticalRow_AVX2(uint32_t* dst, const uint32_t* top, const uint32_t* bottom, int32_t width,
                              uint32_t fy);
void StretchBilinearRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                             uint32_t step, uint32_t fy);
// The one-pass row near 0.5x (steps 0x1E000 to 0x20000): each block of
// eight pixels reads its sixteen or fifteen neighbouring texels of a row
// with two loads, placed by a plan that BilinearHalvePlan_AVX2 fills once
// for the width and step (BilinearHalvePlanWords words); the weights are
// byte multiply-adds on texels biased to signed bytes. Each block also
// prefetches the texels ahead bytes on from each of its rows (the next
// output row's; 0 when there is none). Exactly the MMX row's pixels.
size_t BilinearHalvePlanWords(int32_t width, uint32_t step);
void BilinearHalvePlan_AVX2(uint32_t* plan, int32_t width, uint32_t step);
void StretchBilinearHalveRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                  uint32_t step, uint32_t fy, const uint32_t* plan, std::ptrdiff_t ahead);
// Its AVX-512 kernel (F and BW), run in its place where the processor has
// AVX-512: sixteen pixels a step from two loads of sixteen texels a row,
// with a plan of its own (64-byte aligned); the loads of a row's first
// block, of blocks where the pairs fall one texel back and of the last
// block when short of sixteen pixels read only the texels the row reads.
// Exactly the same pixels, at those steps only (the AVX2 row takes any
// step). The step is not looked at: the plan holds it.
size_t BilinearHalvePlanWords_AVX512(int32_t width, uint32_t step);
void BilinearHalvePlan_AVX512(uint32_t* plan, int32_t width, uint32_t step);
void StretchBilinearHalveRow_AVX512(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                    uint32_t step, uint32_t fy, const uint32_t* plan, std::ptrdiff_t ahead);
#endif

}  // namespace owl
