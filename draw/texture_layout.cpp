#include "draw/texture_layout.h"

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

}  // namespace owl
