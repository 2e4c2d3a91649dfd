// How the stretch loops and blitters walk a destination block: block checks,
// steps, first positions and the bicubic bands. The per-row or per-pixel
// work is passed in, so every loop visits exactly the same source positions.
#pragma once

#include <cstdint>

#include "core/geometry.h"
#include "core/texture.h"

namespace owl {

// True when both blocks hold pixels and the loop should run; otherwise
// *result is what the loop returns: true for an empty block (nothing to do),
// false for a negative or oversized one (the 16.16 steps cannot hold it).
inline bool BlocksReady(const BitmapBits& dst, const BitmapBits& src, bool* result) {
  auto valid = [](const BitmapBits& b) {
    return b.width >= 0 && b.height >= 0 && b.width <= kMaxSide && b.height <= kMaxSide;
  };
  *result = valid(dst) && valid(src);
  return *result && dst.width > 0 && dst.height > 0 && src.width > 0 && src.height > 0;
}

// (size << 16) / dst: the step of the nearest loops.
inline uint32_t NearestStep(int32_t src_size, int32_t dst_size) {
  return uint32_t(int32_t(src_size * 65536) / dst_size);
}

// Nearest positions from 0: row(dst row, src row at y >> 16, x step).
template <typename RowFn>
inline void WalkNearestRows(const BitmapBits& dst, const BitmapBits& src, RowFn row) {
  const uint32_t sx = NearestStep(src.width, dst.width);
  const uint32_t sy = NearestStep(src.height, dst.height);
  uint32_t y = 0;
  for (int32_t i = 0; i < dst.height; ++i, y += sy) row(RowAt(dst, i), RowAt(src, int32_t(y >> 16)), sx);
}

// The bilinear walk's 16.16 step along an axis: (src - 1) / dst.
inline uint32_t BilinearStep(int32_t src_size, int32_t dst_size) {
  return uint32_t(int32_t((src_size - 1) * 65536) / dst_size);
}

// Bilinear positions from 0 with step ((size - 1) << 16) / dst:
// row(dst row, upper src row, lower src row, x step, fy). Positions stay
// short of the last column and row, so the right and lower neighbours are
// inside. A source one texel wide or high has step 0 and fraction 0 on that
// axis; its missing neighbour (weight 0) is read from a copy of the edge.
template <typename RowFn>
inline void WalkBilinearRows(const BitmapBits& dst, const BitmapBits& src, RowFn row) {
  const uint32_t sx = BilinearStep(src.width, dst.width), sy = BilinearStep(src.height, dst.height);
  uint32_t y = 0;
  for (int32_t i = 0; i < dst.height; ++i, y += sy) {
    const int32_t iy = int32_t(y >> 16);
    const uint32_t fy = (y >> 8) & 255;
    const uint32_t* row0 = RowAt(src, iy);
    const uint32_t* row1 = src.height > 1 ? RowAt(src, iy + 1) : row0;
    if (src.width > 1) {
      row(RowAt(dst, i), row0, row1, sx, fy);
    } else {
      const uint32_t edge0[2] = {row0[0], row0[0]}, edge1[2] = {row1[0], row1[0]};
      row(RowAt(dst, i), edge0, edge1, sx, fy);
    }
  }
}

// Bicubic placement of one axis: step (src << 16) / dst + 1, first position
// (step >> 1) - 0x8000, and the band [begin, end) of destination pixels whose
// 4x4 taps lie inside the source (integer part 1..src - 3).
struct BicubicAxis {
  int32_t step, first, begin, end;
};

inline BicubicAxis PlaceBicubicAxis(int32_t src_size, int32_t dst_size) {
  BicubicAxis a;
  a.step = int32_t(src_size * 65536) / dst_size + 1;
  a.first = (a.step >> 1) - 0x8000;
  a.begin = (0x10000 - a.first) / a.step + 1;
  if (a.begin >= dst_size) a.begin = dst_size;
  a.end = ((src_size - 3) * 65536 - a.first) / a.step + 1;
  if (a.end < a.begin) a.end = a.begin;
  if (a.end > dst_size) a.end = dst_size;  // never happens: the step is rounded up
  return a;
}

// Calls inner_run(x, y, pixels, count, step) once per row for the run of
// pixels inside both bands (x the first one's position) and edge(x, y,
// pixel) for every other pixel.
template <typename InnerRun, typename Edge>
inline void WalkBicubicRuns(const BitmapBits& dst, const BitmapBits& src, InnerRun inner_run, Edge edge) {
  const BicubicAxis ax = PlaceBicubicAxis(src.width, dst.width);
  const BicubicAxis ay = PlaceBicubicAxis(src.height, dst.height);
  uint32_t y = uint32_t(ay.first);
  for (int32_t i = 0; i < dst.height; ++i, y += uint32_t(ay.step)) {
    uint32_t* out = RowAt(dst, i);
    const int32_t yi = int32_t(y);
    const bool inside = i >= ay.begin && i < ay.end;
    const int32_t left = inside ? ax.begin : dst.width, right = inside ? ax.end : dst.width;
    uint32_t x = uint32_t(ax.first);
    int32_t j = 0;
    for (; j < left; ++j, x += uint32_t(ax.step)) edge(int32_t(x), yi, out + j);
    if (j < right) {
      inner_run(x, yi, out + j, right - j, uint32_t(ax.step));
      x += uint32_t(right - j) * uint32_t(ax.step);
      j = right;
    }
    for (; j < dst.width; ++j, x += uint32_t(ax.step)) edge(int32_t(x), yi, out + j);
  }
}

}  // namespace owl
