// The per-call choice of row kernel.
//
// The flags are read on every call so that the test seam (ScopedCpuMask)
// reaches each form. Fill and copy under SSE use ordinary 128-bit stores:
// non-temporal stores measured slower, even on a 1920x1080 block, because
// such a block still fits the last-level cache. The SSE fill is taken from
// two pixels up. Source-over takes the 128-bit form only for rows wider than
// 8 pixels; shorter rows are dominated by the tail.
#include "draw/row_ops.h"

#include "core/geometry.h"

namespace owl {
namespace {

bool Nothing(const BitmapBits& dst) { return dst.width <= 0 || dst.height <= 0; }

}  // namespace

bool FillRows(const BitmapBits& dst, uint32_t color) {
  if (Nothing(dst)) return true;
  void (*row)(uint32_t*, int32_t, uint32_t) = FillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE() && dst.width > 1) row = FillRow_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), dst.width, color);
  return true;
}

bool CopyRows(const BitmapBits& dst, const BitmapBits& src) {
  if (Nothing(dst)) return true;
  void (*row)(uint32_t*, const uint32_t*, int32_t) = CopyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = CopyRow_SSE;
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
  if (HasSSE2() && dst.width > 8) row = BlendRow_SSE2;
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
  if (HasSSE()) row = BlendRowAlpha_SSE;
#endif
  for (int32_t y = 0; y < dst.height; ++y) row(RowAt(dst, y), RowAt(src, y), dst.width, alpha);
  return true;
}

}  // namespace owl
