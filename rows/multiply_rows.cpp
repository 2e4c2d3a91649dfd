// The per-call choice of multiply row kernel.
#include "rows/multiply_rows.h"

#include "core/texture.h"
#include "rows/row_runner.h"

namespace owl {
namespace {

bool ValidBlock(const BitmapBits& b) {
  return b.width >= 0 && b.height >= 0 && b.width <= kMaxSide && b.height <= kMaxSide;
}

}  // namespace

// A smaller source is refused rather than read past its end; blocks are
// checked as the stretch loops check theirs.
bool MultiplyRows(const BitmapBits& dst, const BitmapBits& src) {
  if (!ValidBlock(dst) || !ValidBlock(src)) return false;
  if (dst.width == 0 || dst.height == 0 || src.width == 0 || src.height == 0) return true;
  if (src.width < dst.width || src.height < dst.height) return false;
  auto row = MultiplyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = MultiplyRow_MMX;  // 2 px a step
#endif
#if defined(OWL_X86)
  if (HasSSE2()) row = HasAVX512() ? MultiplyRow_AVX512 : HasAVX2() ? MultiplyRow_AVX2 : MultiplyRow_SSE2;  // 16, 8, 4
#endif
  RunRows(dst, src, row);
  return true;
}

}  // namespace owl
