// The canvas composition: cross-fade, opaque blend and fade towards a
// colour, as block functions and their row kernels.
//
// The two-block kernels read source pixel (j * stepX) >> 16 for destination
// pixel j, the position accumulated by adding stepX from 0 in unsigned 32
// bits: stepX 0x10000 walks the source one to one, any other step is the
// nearest-neighbour stretch. All channels (alpha included) are treated
// alike, in integers with truncating shifts.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// Block functions: equal sizes walk both blocks one to one; other sizes
// sample the source by nearest neighbour with 16.16 steps (source size << 16)
// / destination size, and draw nothing when either block is empty. Each
// chooses its kernel per call from the cached processor flags.
//
// Cross-fade by the rule of its kernel; alpha 0 changes nothing.
void MixRows(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);
// Opaque blend by the rule of its kernel.
void BlendOpaqueRows(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);
// Fade of one block towards color; alpha 0 changes nothing, 255 fills.
void MixColorRows(const BitmapBits& dst, uint32_t color, uint8_t alpha);

// Cross-fade, plain: d = (d * (255 - alpha) + s * (alpha + 1)) >> 8.
void MixRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
// Opaque blend: s' = ((s with alpha 255) * (alpha + 1)) >> 8, whose alpha is
// then alpha itself; d = s' + ((d * (256 - alpha)) >> 8).
void BlendOpaqueRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
// Fade towards a colour: d = ((d * (255 - alpha)) >> 8) + scaled, where
// scaled is the colour with each channel already (k * (alpha + 1)) >> 8.
void MixColorRow_C(uint32_t* dst, int32_t width, uint32_t scaled, uint8_t alpha);

#if defined(OWL_HAVE_MMX)
// Cross-fade with the truncation split: d = ((d * (255 - alpha)) >> 8) +
// ((s * (alpha + 1)) >> 8), which can be one lower than the plain form.
// Two pixels a step.
void MixRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
// As the plain form, two pixels a step, adding with saturation (never
// reached: every sum fits in 255).
void MixColorRow_MMX(uint32_t* dst, int32_t width, uint32_t scaled, uint8_t alpha);
// As the plain form, two pixels a step with the SSE shuffle and a source
// prefetch; the saturating add never changes a result.
void BlendOpaqueRow_SSE(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
#endif
#if defined(OWL_X86)
// The MMX cross-fade eight pixels a step, run when the processor also has
// AVX2; exactly the MMX form's pixels.
void MixRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
// The opaque blend eight pixels a step: exactly the plain and SSE forms'
// pixels.
void BlendOpaqueRow_AVX2(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
// The cross-fade sixteen pixels a step where the processor also has
// AVX-512 (one-to-one rows; others run the AVX2 kernel).
void MixRow_AVX512(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t stepX, uint8_t alpha);
#endif

}  // namespace owl
