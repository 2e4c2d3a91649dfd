// The per-call choice of fill row kernel, with the colours that need no
// per-pixel arithmetic handled first.
//
// Blend fill prefers SSE2 over 64-bit SSE; multiply fill SSE2 over MMX; the
// OR fill has an MMX form only. The OR shortcuts are those of a plain OR:
// colour 0 changes nothing and 0xFFFFFFFF sets every pixel to 0xFFFFFFFF.
#include "rows/fill_rows.h"

#include "rows/row_ops.h"
#include "rows/row_runner.h"

namespace owl {

bool BlendFillRows(const BitmapBits& dst, uint32_t color) {
  const uint32_t alpha = color >> 24;
  if (alpha == 0) return true;
  if (alpha == 255) return FillRows(dst, color);
  auto row = BlendFillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = BlendFillRow_SSE;
#endif
#if defined(OWL_X86)
  if (HasSSE2()) row = HasAVX2() ? BlendFillRow_AVX2 : BlendFillRow_SSE2;
#endif
  RunRows(dst, row, color);
  return true;
}

bool MultiplyFillRows(const BitmapBits& dst, uint32_t color) {
  if (color == 0) return FillRows(dst, 0);
  if (color == 0xFFFFFFFFu) return true;
  auto row = MultiplyFillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = MultiplyFillRow_MMX;
#endif
#if defined(OWL_X86)
  if (HasSSE2()) row = HasAVX2() ? MultiplyFillRow_AVX2 : MultiplyFillRow_SSE2;
#endif
  RunRows(dst, row, color);
  return true;
}

bool OrFillRows(const BitmapBits& dst, uint32_t color) {
  if (color == 0) return true;
  if (color == 0xFFFFFFFFu) return FillRows(dst, color);
  auto row = OrFillRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = OrFillRow_MMX;
#endif
  RunRows(dst, row, color);
  return true;
}

}  // namespace owl
