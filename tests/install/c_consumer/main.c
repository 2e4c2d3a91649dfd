/* A C program built through pkg-config: objects, slices and named values,
 * then "ok, owlgraphic <version>" with the version of the library it runs
 * with. */
#include <owlgraphic.h>
#include <stdio.h>

int main(void) {
  HGCANVAS none = {0};
  HGTEXTURE texture = CreateTexture(8, 4);
  owlSize size = {0, 0};
  owlRect slices[2] = {{0, 0, 4, 4}, {4, 0, 8, 4}};
  HGCANVAS canvas = CreateCanvas(4, 4, none);
  uint32_t v = GetOwlVersion();
  int ok = texture.value != 0 && GetTextureSize(texture, &size) && size.width == 8 && size.height == 4 &&
           SetTextureCurSlice(texture, 0) == OWL_NO_SLICE && SetTextureSlice(texture, 2, slices) == 0 &&
           SetTextureCurSlice(texture, 1) == 0 && canvas.value != 0 && DeleteCanvas(canvas) && DeleteTexture(texture) &&
           !DeleteTexture(texture) && v == OWL_VERSION;
  printf("%s, owlgraphic %u.%u.%u\n", ok ? "ok" : "FAILED", (unsigned)(v >> 16), (unsigned)(v >> 8 & 0xFF),
         (unsigned)(v & 0xFF));
  return ok ? 0 : 1;
}
