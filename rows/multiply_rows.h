// Same-size multiply: each channel of a destination pixel, alpha included,
// times the same channel of the source pixel: d = (d * (s + 1)) >> 8.
//
// The block function walks dst's rows with the matching source rows and
// chooses a kernel per call from the cached processor flags; every kernel
// gives the plain one's pixels.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// dst's size drives the loop. An empty block draws nothing and returns true;
// a negative or oversized one, or a source smaller than dst, returns false
// untouched.
bool MultiplyRows(const BitmapBits& dst, const BitmapBits& src);

// Kernels over one row of width pixels (width >= 0).
void MultiplyRow_C(uint32_t* dst, const uint32_t* src, int32_t width);
#if defined(OWL_HAVE_MMX)
void MultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width);  // 2 px a step
#endif
#if defined(OWL_X86)
void MultiplyRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width);  // 4 px a step
// The SSE2 form eight pixels a step, run when the processor also has AVX2.
void MultiplyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width);
// Sixteen pixels a step, run when the processor also has AVX-512.
void MultiplyRow_AVX512(uint32_t* dst, const uint32_t* src, int32_t width);
#endif

}  // namespace owl
