#include "draw/texture_layout.h"

#include <algorithm>

#include "draw/draw_geometry.h"

namespace owl {

void NineGridPieces(const owlRect& d, const owlRect& s, const owlRect& margins, TexturePiece pieces[9],
                    bool sound[9]) {
  owlRect dst[9], src[9];
  NineGridCells(&d, &margins, dst);
  NineGridCells(&s, &margins, src);
  for (int i = 0; i < 9; ++i) {
    pieces[i] = TexturePiece{dst[i], src[i]};
    // Cells cut by wrapped edges fall outside d or s and are refused here.
    sound[i] = ProperInside(ToRect64(dst[i]), d) && ProperInside(ToRect64(src[i]), s);
  }
}

GridAxis CutGridAxis(int64_t begin, int64_t end, int64_t m0, int64_t m1) {
  const int64_t n = std::max<int64_t>(end - begin, 0);
  if (m0 + m1 > n) {
    // m0 < 2^31 and n < 2^32: the product fits in 63 bits.
    const int64_t shrunk = m0 * n / (m0 + m1);
    m0 = shrunk;
    m1 = n - shrunk;
  }
  return GridAxis{{begin, begin + m0, begin + n - m1, begin + n}};
}

int64_t GridTileLength(int64_t srcLength, int64_t dstMargins, int64_t srcMargins) {
  if (dstMargins <= 0 || srcMargins <= 0) return std::max<int64_t>(srcLength, 1);
  // srcLength < 2^15 and dstMargins < 2^33: no overflow.
  return std::max<int64_t>((2 * srcLength * dstMargins + srcMargins) / (2 * srcMargins), 1);
}

}  // namespace owl
