// Fill row operations: a block of pixels combined with one colour by
// source-over (blend fill), per-channel multiply or bitwise OR.
//
// Block functions walk height rows of width pixels; a width or height of 0
// or less does nothing. Each chooses its kernel per call from the cached
// processor flags; all kernels give the same pixels as the plain one, except
// that for a colour not premultiplied the vector blend fills saturate each
// channel sum at 255 where the plain one keeps its low 8 bits.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// Per channel: d = s + (((256 - A) * d) >> 8), A the colour's alpha.
// Alpha 0 changes nothing; alpha 255 is FillRows.
bool BlendFillRows(const BitmapBits& dst, uint32_t color);
// Per channel, alpha included: d = (d * (s + 1)) >> 8.
bool MultiplyFillRows(const BitmapBits& dst, uint32_t color);
// d = d | color.
bool OrFillRows(const BitmapBits& dst, uint32_t color);

// Kernels over one row of width pixels (width >= 0).
void BlendFillRow_C(uint32_t* dst, int32_t width, uint32_t color);
void MultiplyFillRow_C(uint32_t* dst, int32_t width, uint32_t color);
void OrFillRow_C(uint32_t* dst, int32_t width, uint32_t color);
#if defined(OWL_HAVE_MMX)
void MultiplyFillRow_MMX(uint32_t* dst, int32_t width, uint32_t color);  // 2 px a step
void OrFillRow_MMX(uint32_t* dst, int32_t width, uint32_t color);        // 8 px a step
void BlendFillRow_SSE(uint32_t* dst, int32_t width, uint32_t color);     // 2 px, saturating
#endif
#if defined(OWL_X86)
void BlendFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color);     // 4 px, saturating
void MultiplyFillRow_SSE2(uint32_t* dst, int32_t width, uint32_t color);  // 4 px
// The SSE2 forms eight pixels a step, run when the processor also has AVX2.
void BlendFillRow_AVX2(uint32_t* dst, int32_t width, uint32_t color);
void MultiplyFillRow_AVX2(uint32_t* dst, int32_t width, uint32_t color);
#endif

}  // namespace owl
