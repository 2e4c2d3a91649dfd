/* Uses the installed PNG companion from C: a canvas saved as a PNG file and
 * loaded back as a texture must give the same premultiplied pixels. */
#include <owlgraphic_png.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  static const uint32_t pixels[6] = {0xFF102030u, 0x80402010u, 0x00000000u,
                                     0xFFFFFFFFu, 0x40404040u, 0xC0806040u};
  const owlRect all = {0, 0, 3, 2};
  HGCANVAS canvas;
  HGTEXTURE texture;
  BitmapBits bits;
  int y, same = 1;
  if (argc != 2) return 2;
  canvas = CreateCanvas(3, 2, (HGCANVAS){0});
  if (!LockCanvasBits(canvas, &bits, &all)) return 1;
  for (y = 0; y < 2; ++y) memcpy((char*)bits.bits + y * bits.pitch, pixels + 3 * y, 12);
  UnlockCanvasBits(canvas);
  if (!SaveCanvasPng(canvas, &all, argv[1])) return 1;
  DeleteCanvas(canvas);

  texture = LoadPngTexture(argv[1]);
  if (!LockTextureBits(texture, &bits, NULL)) return 1;
  for (y = 0; y < 2; ++y) same = same && memcmp((char*)bits.bits + y * bits.pitch, pixels + 3 * y, 12) == 0;
  UnlockTextureBits(texture);
  DeleteTexture(texture);
  printf("png round trip %s\n", same ? "exact" : "changed");
  return same ? 0 : 1;
}
