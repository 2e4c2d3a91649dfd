// MMX forms of the multiply and OR fill rows; each ends with _mm_empty().
#include "rows/fill_rows.h"

#if defined(OWL_HAVE_MMX)
#include "core/mmx_lanes.h"

namespace owl {

void MultiplyFillRow_MMX(uint32_t* dst, int32_t width, uint32_t color) {
  const __m64 factor = _mm_add_pi16(_mm_unpacklo_pi8(_mm_cvtsi32_si64(int(color)), _mm_setzero_si64()),
                                    _mm_set1_pi16(1));
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) StorePair(dst + x, Scale2(LoadPair(dst + x), factor));
  // Tail: the odd pixel with the same arithmetic.
  if (x < width) StoreOne(dst + x, Scale2(LoadOne(dst + x), factor));
  _mm_empty();
}

void OrFillRow_MMX(uint32_t* dst, int32_t width, uint32_t color) {
  const __m64 c = _mm_set1_pi32(int(color));
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    StorePair(dst + x, _mm_or_si64(LoadPair(dst + x), c));
    StorePair(dst + x + 2, _mm_or_si64(LoadPair(dst + x + 2), c));
    StorePair(dst + x + 4, _mm_or_si64(LoadPair(dst + x + 4), c));
    StorePair(dst + x + 6, _mm_or_si64(LoadPair(dst + x + 6), c));
  }
  _mm_empty();
  for (; x < width; ++x) dst[x] |= color;
}

}  // namespace owl
#endif  // OWL_HAVE_MMX
