// Constant-alpha blitters: stretch a source block onto a destination block of
// another size and composite each sample with premultiplied source-over,
// d = s + (((256 - s.A) * d) >> 8) per channel; the Alpha forms first scale
// every source channel (alpha included) to (s * (alpha + 1)) >> 8.
//
// The Alpha forms return at once for alpha 0 and run the matching Over form
// for alpha 255, before any feature test. Steps, positions and block limits
// are those of the stretch loops (resample/stretch.h): nearest and bilinear
// map the left edge onto the left edge, bicubic maps pixel centres. Vector
// forms add with unsigned saturation; for premultiplied samples every form
// agrees with the plain one except where noted.
#pragma once

#include <cstdint>

#include "owlgraphic.h"

namespace owl {

// SSE: two pixels a step; identical result for premultiplied sources.
bool StretchNearestOver(const BitmapBits& dst, const BitmapBits& src);
bool StretchNearestOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);
// Plain: SampleBilinearOver. MMX: separable interpolation, two pixels a
// step; may differ from the plain form by one in a channel.
bool StretchBilinearOver(const BitmapBits& dst, const BitmapBits& src);
// Plain only: SampleBilinearOverAlpha.
bool StretchBilinearOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);
// MMX or integer bicubic over-samplers with their edge-clamping wrappers;
// the two forms differ in their last bits.
bool StretchBicubicOver(const BitmapBits& dst, const BitmapBits& src);
bool StretchBicubicOverAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha);

}  // namespace owl
