// The walk of every same-size block function: a row kernel called on each
// row of the destination block (with the matching row of the source block).
#pragma once

#include <cstdint>

#include "core/geometry.h"
#include "owlgraphic.h"

namespace owl {

// True when the rows of both blocks follow each other without a gap (pitch
// = width * 4), so that the block can be handled as one long row: the same
// pixels, one kernel call instead of one per row.
inline bool Gapless(const BitmapBits& dst, const BitmapBits& src) {
  const int64_t row = int64_t(dst.width) * 4;
  return dst.height > 1 && dst.pitch == row && src.pitch == row && int64_t(dst.width) * dst.height <= INT32_MAX;
}

// row(dst row, width, args...) on each row of dst; nothing for a block of
// width or height 0 or less.
template <typename Row, typename... Args>
void RunRows(const BitmapBits& dst, Row row, Args... args) {
  if (dst.width <= 0 || dst.height <= 0) return;
  if (Gapless(dst, dst)) {
    row(static_cast<uint32_t*>(dst.bits), dst.width * dst.height, args...);
    return;
  }
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), dst.width, args...);
}

// row(dst row, src row, width, args...) on each row of dst with the source
// row of the same index; dst's size drives the walk.
template <typename Row, typename... Args>
void RunRows(const BitmapBits& dst, const BitmapBits& src, Row row, Args... args) {
  if (dst.width <= 0 || dst.height <= 0) return;
  if (Gapless(dst, src)) {
    row(static_cast<uint32_t*>(dst.bits), static_cast<const uint32_t*>(src.bits), dst.width * dst.height, args...);
    return;
  }
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width, args...);
}

}  // namespace owl
