// The per-call choice of row kernel.
//
// The flags are read on every call so that the test seam (ScopedCpuMask)
// reaches each form. Fill and copy under SSE use ordinary 128-bit stores:
// non-temporal stores measured slower, even on a 1920x1080 block, because
// such a block still fits the last-level cache. The SSE fill is taken from
// two pixels up. Source-over takes the 128-bit form only for rows wider than
// 8 pixels; shorter rows are dominated by the tail. With AVX2 each chosen
// form runs its eight-pixel kernel.
#include "rows/row_ops.h"

#include <cstdint>

#include "core/geometry.h"

namespace owl {
namespace {

bool Nothing(const BitmapBits& dst) { return dst.width <= 0 || dst.height <= 0; }

// True when the rows of both blocks follow each other without a gap (pitch
// = width * 4), so that the block can be handled as one long row: the same
// pixels, one kernel call instead of one per row.
bool Contiguous(const BitmapBits& dst, const BitmapBits& src) {
  const int64_t row = int64_t(dst.width) * 4;
  return dst.height > 1 && dst.pitch == row && src.pitch == row && int64_t(dst.width) * dst.height <= INT32_MAX;
}

// A block's pixels as one row of count pixels.
BitmapBits OneRow(const BitmapBits& b, int32_t count) { return BitmapBits{count, 1, b.pitch, b.bits}; }

}  // namespace

bool FillRows(const BitmapBits& dst, uint32_t color) {
  if (Nothing(dst)) return true;
  if (Contiguous(dst, dst)) return FillRows(OneRow(dst, dst.width * dst.height), color);
  if (dst.width == 1) {  // a column: the plain form, without a call per pixel
    for (int32_t y = 0; y < dst.height; ++y) *RowAt(dst, y) = color;
    return true;
  }
  void (*row)(uint32_t*, int32_t, uint32_t) = FillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE() && dst.width > 1) row = HasAVX2() ? FillRow_AVX2 : FillRow_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), dst.width, color);
  return true;
}

bool CopyRows(const BitmapBits& dst, const BitmapBits& src) {
  if (Nothing(dst)) return true;
  if (Contiguous(dst, src)) {
    const int32_t n = dst.width * dst.height;
    return CopyRows(OneRow(dst, n), OneRow(src, n));
  }
  void (*row)(uint32_t*, const uint32_t*, int32_t) = CopyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? CopyRow_AVX2 : CopyRow_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width);
  return true;
}

bool CopyRowsKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key) {
  if (Nothing(dst)) return true;
  void (*row)(uint32_t*, const uint32_t*, int32_t, uint32_t) = CopyRowKeyed_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = CopyRowKeyed_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width, key);
  return true;
}

bool BlendRows(const BitmapBits& dst, const BitmapBits& src) {
  if (Nothing(dst)) return true;
  void (*row)(uint32_t*, const uint32_t*, int32_t) = BlendRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = BlendRow_SSE;
#endif
#if defined(OWL_X86)
  if (HasSSE2() && dst.width > 8) {
    if (HasAVX2()) {
      BlendBlock_AVX2(dst, src);
      return true;
    }
    row = BlendRow_SSE2;
  }
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width);
  return true;
}

bool BlendRowsAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return true;
  if (alpha == 255) return BlendRows(dst, src);
  if (Nothing(dst)) return true;
  void (*row)(uint32_t*, const uint32_t*, int32_t, uint8_t) = BlendRowAlpha_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? BlendRowAlpha_AVX2 : BlendRowAlpha_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width, alpha);
  return true;
}

}  // namespace owl
