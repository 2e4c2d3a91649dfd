/* The public header as a C99 program sees it: every type used once, every
 * plain-named export referenced, so that the declarations are checked too,
 * and every named value, as the type it is passed as. */
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
  uint32_t (*version)(void) = GetOwlVersion;
  uint32_t words[] = {OWL_BLEND_COPY, OWL_BLEND_SOURCE_OVER, OWL_BLEND_COLOR_KEY, OWL_BLEND_MULTIPLY,
                      OWL_BLEND_MASK, OWL_FILL_COPY, OWL_FILL_SOURCE_OVER, OWL_FILL_MULTIPLY, OWL_FILL_OR};
  unsigned int unsigneds[] = {OWL_RESAMPLE_NEAREST, OWL_RESAMPLE_BILINEAR, OWL_RESAMPLE_BICUBIC,
                              OWL_MODE_STRETCH, OWL_MODE_NINE_GRID, OWL_MODE_TILE, OWL_MODE_CENTER,
                              OWL_MODE_NINE_GRID_SOLID, OWL_MODE_TOP_TILE};
  int ints[] = {OWL_KERNEL_CUBIC_STRICT, OWL_KERNEL_BSPLINE, OWL_KERNEL_CUBIC, OWL_GRADIENT_TOP_TO_BOTTOM,
                OWL_GRADIENT_LEFT_TO_RIGHT, OWL_SHUFFLE_ALPHA_TO_COLOR, OWL_SHUFFLE_COLOR_TO_ALPHA,
                OWL_NO_SLICE, OWL_ALPHA_OPAQUE, OWL_VERSION};
  unsigned char alpha = OWL_ALPHA_OPAQUE;
  (void)rect;
  (void)point;
  (void)size;
  (void)bits;
  (void)mode;
  (void)canvas;
  (void)texture;
  (void)lock;
  (void)convert;
  (void)version;
  (void)words;
  (void)unsigneds;
  (void)ints;
  (void)alpha;
#if OWL_VERSION < OWL_MAKE_VERSION(0, 2, 0)
#error "OWL_VERSION compares in the preprocessor"
#endif
  return 0;
}
