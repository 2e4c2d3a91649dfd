#include "draw/blit_dispatch.h"

#include "resample/stretch.h"
#include "resample/stretch_over.h"
#include "rows/multiply_rows.h"
#include "rows/row_ops.h"

namespace owl {

uint32_t AdjustResampleFilter(int32_t srcWidth, int32_t srcHeight, uint32_t resampleFilter) {
  // Bilinear reads a right and a lower neighbour; bicubic needs 5 texels
  // for an inner band.
  if (srcWidth == 1 || srcHeight == 1) return kResampleNearest;
  if ((srcWidth <= 4 || srcHeight <= 4) && resampleFilter == kResampleBicubic) return kResampleBilinear;
  return resampleFilter;
}

bool BlitDispatch(const BitmapBits* dst, const BitmapBits* src, uint32_t filterValue, uint32_t resampleFilter,
                  uint8_t constantAlpha) {
  if (!dst || !src) return false;
  if (dst->width <= 0 || dst->height <= 0 || src->width <= 0 || src->height <= 0 || !dst->bits || !src->bits)
    return true;
  const uint32_t kind = filterValue >> 24;
  const bool same = dst->width == src->width && dst->height == src->height;

  if (kind == kBlendMultiply) {
    if (same) MultiplyRows(*dst, *src);
    else StretchMultiply(*dst, *src);
    return true;
  }

  if (kind == kBlendAlpha || constantAlpha != 255) {
    if (same) BlendRowsAlpha(*dst, *src, constantAlpha);
    else if (resampleFilter == kResampleNearest) StretchNearestOverAlpha(*dst, *src, constantAlpha);
    else if (resampleFilter == kResampleBicubic) StretchBicubicOverAlpha(*dst, *src, constantAlpha);
    else StretchBilinearOverAlpha(*dst, *src, constantAlpha);
    return true;
  }

  if (kind == kBlendColorKey) {
    // The key is consulted only where texels are copied whole; filtered
    // samples are composited, under which transparent black changes nothing.
    if (same) CopyRowsKeyed(*dst, *src, 0x00000000u);
    else if (resampleFilter == kResampleNearest) StretchNearestKeyed(*dst, *src, 0x00000000u);
    else if (resampleFilter == kResampleBicubic) StretchBicubicOverAlpha(*dst, *src, 255);
    else StretchBilinearOverAlpha(*dst, *src, 255);
    return true;
  }

  if (same) CopyRows(*dst, *src);
  else if (resampleFilter == kResampleNearest) StretchNearest(*dst, *src);
  else if (resampleFilter == kResampleBicubic) StretchBicubic(*dst, *src);
  else StretchBilinear(*dst, *src);
  return true;
}

bool BlitLocked(Canvas* canvas, const owlRect* clippedDst, Texture* texture, const owlRect* mappedSrc,
                uint32_t filterValue, uint32_t resampleFilter, uint8_t constantAlpha) {
  if (!canvas || !clippedDst || !texture || !mappedSrc) return true;
  BitmapBits dst;
  if (!canvas->Lock(&dst, *clippedDst) || !dst.bits) return true;
  BitmapBits src;
  if (texture->Lock(&src, mappedSrc)) {
    BlitDispatch(&dst, &src, filterValue, AdjustResampleFilter(src.width, src.height, resampleFilter),
                 constantAlpha);
    texture->Unlock();
  }
  canvas->Unlock();
  return true;
}

}  // namespace owl
