/* The public header as a C99 program sees it: every type used once, every
 * plain-named export referenced, so that the declarations are checked too. */
#include <owlgraphic.h>
#include <owlgraphic.h> /* the include guard holds */

int main(void) {
  owlRect rect = {0, 0, 1, 1};
  owlPoint point = {0, 0};
  owlSize size = {0, 0};
  BitmapBits bits = {0, 0, 0, 0};
  TextureMode mode = {0, {0, 0, 0, 0}};
  HGCANVAS canvas = {0};
  HGTEXTURE texture = {0};
  int (*lock)(HGCANVAS, BitmapBits*, const owlRect*) = LockCanvasBits;
  uint32_t (*convert)(uint32_t) = ARGBtoAHSL;
  (void)rect;
  (void)point;
  (void)size;
  (void)bits;
  (void)mode;
  (void)canvas;
  (void)texture;
  (void)lock;
  (void)convert;
  return 0;
}
