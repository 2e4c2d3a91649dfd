// The per-call choice of blur row kernel.
#include "rows/blur_rows.h"

#include <cstring>
#include <new>

#include "core/geometry.h"

namespace owl {

bool BlurRows(const BitmapBits& dst, const BitmapBits& src) {
  if (src.width <= 0 || src.height <= 0 || dst.width <= 0 || dst.height <= 0) return true;
  BlurRowFn kernel = BlurRow_C;
#if defined(OWL_X86)
  if (HasSSE2()) kernel = HasAVX2() ? BlurRow_AVX2 : BlurRow_SSE2;
#endif
  // The column sums, and a whole row when dst is narrower than src.
  const bool narrow = dst.width < src.width;
  uint16_t* scratch = new (std::nothrow) uint16_t[(size_t(src.width) + 2) * 4];
  uint32_t* wide = narrow ? new (std::nothrow) uint32_t[size_t(src.width)] : nullptr;
  if (!scratch || (narrow && !wide)) {
    delete[] scratch;
    delete[] wide;
    return false;
  }
  const int32_t last = src.height - 1;
  for (int32_t y = 0; y <= last; ++y) {
    uint32_t* out = RowAt(dst, y < dst.height ? y : dst.height - 1);
    const uint32_t* above = RowAt(src, y > 0 ? y - 1 : 0);
    const uint32_t* below = RowAt(src, y < last ? y + 1 : last);
    if (!narrow) {
      kernel(out, above, RowAt(src, y), below, src.width, scratch);
      continue;
    }
    kernel(wide, above, RowAt(src, y), below, src.width, scratch);
    std::memcpy(out, wide, size_t(dst.width - 1) * 4);
    out[dst.width - 1] = wide[src.width - 1];
  }
  delete[] scratch;
  delete[] wide;
  return true;
}

}  // namespace owl
