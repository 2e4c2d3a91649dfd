// The per-call choice of row kernel.
//
// The flags are read on every call so that the test seam (ScopedCpuMask)
// reaches each form. Fill and copy under SSE use ordinary 128-bit stores:
// non-temporal stores measured slower, even on a 1920x1080 block, because
// such a block still fits the last-level cache. Source-over takes the
// 128-bit form only for rows wider than 8 pixels; shorter rows are dominated
// by the tail. With AVX2 each chosen form runs its eight-pixel kernel.
#include "rows/row_ops.h"

#include <cstdint>

#include "rows/row_runner.h"

namespace owl {

bool FillRows(const BitmapBits& dst, uint32_t color) {
  if (dst.width == 1 && !Gapless(dst, dst)) {  // a column: no call per pixel
    for (int32_t y = 0; y < dst.height; ++y) *RowAt(dst, y) = color;
    return true;
  }
  auto row = FillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? FillRow_AVX2 : FillRow_SSE;
#endif
  RunRows(dst, row, color);
  return true;
}

bool CopyRows(const BitmapBits& dst, const BitmapBits& src) {
  auto row = CopyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? CopyRow_AVX2 : CopyRow_SSE;
#endif
  RunRows(dst, src, row);
  return true;
}

bool CopyRowsKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key) {
  auto row = CopyRowKeyed_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = CopyRowKeyed_SSE;
#endif
  RunRows(dst, src, row, key);
  return true;
}

bool BlendRows(const BitmapBits& dst, const BitmapBits& src) {
  auto row = BlendRow_C;
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
  RunRows(dst, src, row);
  return true;
}

bool BlendRowsAlpha(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return true;
  if (alpha == 255) return BlendRows(dst, src);
  auto row = BlendRowAlpha_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? BlendRowAlpha_AVX2 : BlendRowAlpha_SSE;
#endif
  RunRows(dst, src, row, alpha);
  return true;
}

}  // namespace owl
