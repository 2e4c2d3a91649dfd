// Row kernels of the stretch and multiply loops. Nearest and multiply rows
// sample column x >> 16 with x = 0, step, 2 * step, ...; bilinear rows read
// row0[x >> 16 .. + 1] and row1 likewise with fraction (x >> 8) & 255.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"

namespace owl {

void StretchNearestRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestKeyedRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t key);
void StretchBilinearRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                          uint32_t step, uint32_t fy);
void StretchMultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void MultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width);

#if defined(OWL_HAVE_MMX)
// Four pixels a step in 64-bit registers; identical to the plain rows.
void StretchNearestRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestKeyedRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                uint32_t key);
// Separable interpolation, two pixels a step; may differ from the plain row
// by one in a channel.
void StretchBilinearRow_MMX(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                            uint32_t step, uint32_t fy);
// Two pixels a step (four for SSE2); identical to the plain rows.
void StretchMultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void MultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width);
#endif
#if defined(OWL_X86)
void MultiplyRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width);
// AVX2 kernels of the SSE2 multiply, SSE nearest and MMX bilinear forms, eight pixels a
// step, run when the processor also has AVX2; each gives exactly its form's
// pixels.
void MultiplyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width);
void StretchNearestRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchBilinearRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                             uint32_t step, uint32_t fy);
#endif

}  // namespace owl
