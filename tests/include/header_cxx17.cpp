// The public header as a C++17 program sees it, the four exports with C++
// linkage included.
#include <owlgraphic.h>
#include <owlgraphic.h>  // the include guard holds

int main() {
  const HGCANVAS none;
  const HGTEXTURE texture(0u);
  const owlRect rect{0, 0, 1, 1};
  unsigned int (*nineGrid)(HGCANVAS, const owlRect*, HGTEXTURE, const owlRect*, const owlRect*, unsigned int, bool,
                           unsigned char) = DrawTexture9Grid;
  int (*draw)(HGCANVAS, const owlRect*, HGTEXTURE, unsigned int) = DrawTexture;
  static_cast<void>(nineGrid);
  static_cast<void>(draw);
  return int(none.value + texture.value) + rect.left;
}
