// Bilinear and multiplying stretch rows, two pixels a step in 64-bit
// registers: separable interpolation on 16-bit lanes, and the multiplier as
// the source byte plus 1.
#include "resample/stretch_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void StretchBilinearRow_MMX(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                            uint32_t step, uint32_t fy) {
  const __m64 vfy = _mm_set1_pi16(short(fy));
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels, one 64-bit store.
  for (; j + 2 <= width; j += 2) {
    const __m64 p0 = BilinearLanes(row0, row1, x, vfy);
    const __m64 p1 = BilinearLanes(row0, row1, x + step, vfy);
    x += 2 * step;
    StorePair(dst + j, _mm_packs_pu16(p0, p1));
  }
  // Tail: an odd last pixel.
  if (j < width) dst[j] = PackPixel(BilinearLanes(row0, row1, x, vfy));
  _mm_empty();
}

void StretchMultiplyRow_MMX(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  int32_t j = 0;
  // Body: two pixels.
  for (; j + 2 <= width; j += 2) {
    const uint32_t a = src[x >> 16]; x += step;
    const uint32_t b = src[x >> 16]; x += step;
    StorePair(dst + j, Multiply2(LoadPair(dst + j), _mm_set_pi32(int(b), int(a))));
  }
  // Tail: an odd last pixel.
  if (j < width) StoreOne(dst + j, Multiply2(LoadOne(dst + j), LoadOne(src + (x >> 16))));
  _mm_empty();
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
