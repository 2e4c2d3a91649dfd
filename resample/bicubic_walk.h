// The bicubic loops' common frame: the choice of sampler form and the walk
// over the edge and interior bands.
#pragma once

#include "resample/kernel_table.h"
#include "resample/stretch_walk.h"

namespace owl {

// The interior sampler of one output and its edge-clamping wrapper.
template <typename Fn>
struct BicubicSamplers {
  Fn inner, edge;
};

// Builds the kernel table first, then takes the MMX samplers when the table
// is in their format and the integer samplers (with the clamp table)
// otherwise. extra (the constant alpha) is passed before the pixel.
template <typename Fn, typename... Extra>
bool StretchBicubicWith(const BitmapBits& dst, const BitmapBits& src, BicubicSamplers<Fn> integer,
                        BicubicSamplers<Fn> mmx, Extra... extra) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  GetKernelTable();
  BicubicSamplers<Fn> use = integer;
  if (KernelTableIsMmxFormat()) {
    use = mmx;
  } else {
    GetClampTable();
  }
  WalkBicubicPixels(
      dst, src, [&](int32_t x, int32_t y, uint32_t* d) { use.inner(src, x, y, extra..., d); },
      [&](int32_t x, int32_t y, uint32_t* d) { use.edge(src, x, y, extra..., d); });
  return true;
}

}  // namespace owl
