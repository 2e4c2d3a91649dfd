/* Builds in C against an installed owlgraphic through pkg-config. */
#include <owlgraphic.h>
#include <stdio.h>

int main(void) {
  HGCANVAS none = {0};
  HGTEXTURE texture = CreateTexture(8, 4);
  owlSize size = {0, 0};
  HGCANVAS canvas = CreateCanvas(4, 4, none);
  int ok = texture.value != 0 && GetTextureSize(texture, &size) && size.width == 8 && size.height == 4 &&
           canvas.value != 0 && DeleteCanvas(canvas) && DeleteTexture(texture) && !DeleteTexture(texture);
  puts(ok ? "c consumer: ok" : "c consumer: FAILED");
  return ok ? 0 : 1;
}
