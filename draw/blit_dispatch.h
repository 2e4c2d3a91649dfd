// The blit dispatcher: the one place that decides which routine moves the
// texels of a draw onto the canvas.
//
// The choice depends on the texture's blend kind (the top byte of its filter
// word), the constant alpha, whether the blocks have the same size and the
// resampling filter, tested in that order:
//   kind 3 (multiply)       MultiplyRows at 1:1, else StretchMultiply;
//                           filter and alpha are ignored.
//   kind 1, or alpha < 255  constant-alpha source-over: BlendRowsAlpha at
//                           1:1, else the nearest, bicubic or bilinear
//                           Over-Alpha blitter.
//   kind 2 (colour key)     CopyRowsKeyed / StretchNearestKeyed with key 0 at
//                           1:1 or nearest; filtered draws are source-over.
//   any other kind (copy)   CopyRows at 1:1, else the copying stretch loops.
// A draw at 1:1 never resamples, whatever the filter.
#pragma once

#include <cstdint>

#include "core/canvas.h"
#include "core/texture.h"
#include "owlgraphic.h"

namespace owl {

enum BlendKind : uint32_t {
  kBlendCopy = OWL_BLEND_COPY >> 24,
  kBlendAlpha = OWL_BLEND_SOURCE_OVER >> 24,
  kBlendColorKey = OWL_BLEND_COLOR_KEY >> 24,
  kBlendMultiply = OWL_BLEND_MULTIPLY >> 24,
};
enum ResampleFilter : uint32_t {
  kResampleNearest = OWL_RESAMPLE_NEAREST,
  kResampleBilinear = OWL_RESAMPLE_BILINEAR,
  kResampleBicubic = OWL_RESAMPLE_BICUBIC,
};

// The filter a source of width x height texels can take: nearest for a
// source one texel wide or high, bilinear instead of bicubic under 5 texels.
uint32_t AdjustResampleFilter(int32_t srcWidth, int32_t srcHeight, uint32_t resampleFilter);

// Runs the routine chosen as above over the whole of dst. False only for a
// null block; blocks without pixels draw nothing.
bool BlitDispatch(const BitmapBits* dst, const BitmapBits* src, uint32_t filterValue, uint32_t resampleFilter,
                  uint8_t constantAlpha);

// Locks the canvas rectangle clippedDst (logical coordinates, inside the
// clip) and the texture rectangle mappedSrc, adjusts the filter to the
// source's size and dispatches. A failed lock draws nothing. Always true.
bool BlitLocked(Canvas* canvas, const owlRect* clippedDst, Texture* texture, const owlRect* mappedSrc,
                uint32_t filterValue, uint32_t resampleFilter, uint8_t constantAlpha);

}  // namespace owl
