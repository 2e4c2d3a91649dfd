// The per-call choice of composition row kernel and the walk over a block.
#include "rows/mix_rows.h"

#include "core/geometry.h"
#include "core/pixel_math.h"
#include "rows/row_ops.h"
#include "rows/row_runner.h"

namespace owl {
namespace {

// Runs row over every destination row with its source row: one to one at
// equal sizes, else nearest positions (which need a destination of at least
// one pixel each way and a source pixel to read); equal gapless blocks as
// one long row. The blocks share no pixel: the exported composition runs
// blocks that do through the plain loop.
template <typename Row>
void WalkRows(const BitmapBits& dst, const BitmapBits& src, Row row, uint8_t alpha) {
  const bool same = dst.width == src.width && dst.height == src.height;
  if (!same && (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0)) return;
  const uint32_t stepX = same ? 0x10000 : uint32_t((src.width << 16) / dst.width);
  const uint32_t stepY = same ? 0x10000 : uint32_t((src.height << 16) / dst.height);
  if (same && Gapless(dst, src)) {  // one long row
    row(static_cast<uint32_t*>(dst.bits), static_cast<const uint32_t*>(src.bits), dst.width * dst.height, stepX, alpha);
    return;
  }
  uint32_t sy = 0;
  for (int32_t y = 0; y < dst.height; ++y, sy += stepY)
    row(RowAt(dst, y), RowAt(src, int32_t(sy >> 16)), dst.width, stepX, alpha);
}

}  // namespace

void MixRows(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  if (alpha == 0) return;
  auto row = MixRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = HasAVX512() ? MixRow_AVX512 : HasAVX2() ? MixRow_AVX2 : MixRow_MMX;  // 16, 8 or 2 px a step
#endif
  WalkRows(dst, src, row, alpha);
}

void BlendOpaqueRows(const BitmapBits& dst, const BitmapBits& src, uint8_t alpha) {
  auto row = BlendOpaqueRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? BlendOpaqueRow_AVX2 : BlendOpaqueRow_SSE;  // 8 or 2 px a step
#endif
  WalkRows(dst, src, row, alpha);
}

void MixColorRows(const BitmapBits& dst, uint32_t color, uint8_t alpha) {
  if (alpha == 0) return;
  if (alpha == 255) {
    FillRows(dst, color);
    return;
  }
  auto row = MixColorRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = MixColorRow_MMX;  // 2 px a step
#endif
  const uint32_t scaled = ScaleByAlpha(color, alpha);
  RunRows(dst, row, scaled, alpha);
}

}  // namespace owl
