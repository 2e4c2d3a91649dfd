// Same-size row operations: fill, copy, keyed copy and source-over of
// blocks of 32-bit premultiplied pixels.
//
// Block functions walk height rows of width pixels, each block with its own
// pitch (width and height come from dst); a width or height of 0 or less
// does nothing. They choose a kernel per call from the cached processor
// flags. Every kernel gives the same pixels as the plain one for
// premultiplied input; for colour bytes above their alpha the vector
// source-over kernels saturate the final sum at 255 where the plain ones
// keep its low 8 bits.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// pixel = color.
bool FillRows(const BitmapBits& dst, uint32_t color);
// dst = src.
bool CopyRows(const BitmapBits& dst, const BitmapBits& src);
// dst = src except where src == key (all 32 bits).
bool CopyRowsKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key);
// Per channel: d = s + (((256 - s.A) * d) >> 8).
bool BlendRows(const BitmapBits& dst, const BitmapBits& src);
// s' = (s * (alpha + 1)) >> 8 on all four channels, then source-over with s'.
// alpha 0 changes nothing; 255 is BlendRows.
bool BlendRowsAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);

// Kernels over one row of width pixels (width >= 0).
void FillRow_C(uint32_t* dst, int32_t width, uint32_t color);
void CopyRow_C(uint32_t* dst, const uint32_t* src, int32_t width);
void CopyRowKeyed_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t key);
// Keeps the low 8 bits of each channel sum.
void BlendRow_C(uint32_t* dst, const uint32_t* src, int32_t width);
void BlendRowAlpha_C(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha);

#if defined(OWL_HAVE_MMX)
// SSE forms: fill and copy move 128 bits a step, keyed copy and source-over
// work in 64-bit registers (2 pixels a step).
void FillRow_SSE(uint32_t* dst, int32_t width, uint32_t color);
void CopyRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width);
void CopyRowKeyed_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t key);
// Saturate each channel sum at 255.
void BlendRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width);
void BlendRowAlpha_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha);
#endif
#if defined(OWL_X86)
// Saturates each channel sum at 255; four pixels a step.
void BlendRow_SSE2(uint32_t* dst, const uint32_t* src, int32_t width);
// AVX2 kernels of the SSE and SSE2 forms, eight pixels a step, run when the
// processor also has AVX2; each gives exactly its form's pixels.
void FillRow_AVX2(uint32_t* dst, int32_t width, uint32_t color);
void CopyRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width);
void BlendRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width);
// BlendRow_AVX2 over every row of a block, without a call per row (the
// rows of a small draw are a few steps each).
void BlendBlock_AVX2(const BitmapBits& dst, const BitmapBits& src);
void BlendRowAlpha_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint8_t alpha);
#endif

}  // namespace owl
