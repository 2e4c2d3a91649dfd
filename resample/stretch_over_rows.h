// Row kernels of the constant-alpha blitters; positions as in
// resample/stretch_rows.h. Plain rows keep the low 8 bits of each channel
// sum, vector rows saturate: the same for premultiplied samples.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"

namespace owl {

void StretchNearestOverRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestOverAlphaRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                  uint32_t alpha);
void StretchBilinearOverRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                              uint32_t step, uint32_t fy);
void StretchBilinearOverAlphaRow_C(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                   uint32_t step, uint32_t fy, uint32_t alpha);

#if defined(OWL_HAVE_MMX)
// Two pixels a step, destination prefetched ahead.
void StretchNearestOverRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestOverAlphaRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                    uint32_t alpha);
// Separable interpolation (as StretchBilinearRow_MMX), then source-over;
// two pixels a step.
void StretchBilinearOverRow_MMX(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                uint32_t step, uint32_t fy);
#endif
#if defined(OWL_X86)
// AVX2 kernels of the forms above, eight pixels a step, run when the
// processor also has AVX2; each gives exactly its form's pixels.
void StretchNearestOverRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step);
void StretchNearestOverAlphaRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step,
                                     uint32_t alpha);
void StretchBilinearOverRow_AVX2(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                 uint32_t step, uint32_t fy);
#endif

}  // namespace owl
