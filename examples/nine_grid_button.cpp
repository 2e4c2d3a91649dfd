// Loads a small button face from a PNG file and draws it as a nine-grid at
// several sizes: the corners keep their size, the edges and the middle
// stretch. nine-grid-button <button.png> <output.png>
#include <cstdio>

#include "owlgraphic.h"
#include "owlgraphic_png.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <button.png> <output.png>\n", argv[0]);
    return 2;
  }
  HGTEXTURE face = LoadPngTexture(argv[1]);
  const int width = 320, height = 160;
  HGCANVAS canvas = CreateCanvas(width, height, HGCANVAS(0u));
  if (face.value == 0 || canvas.value == 0) {
    std::fprintf(stderr, "cannot load %s or create the canvas\n", argv[1]);
    return 1;
  }

  // The face has transparent corners: lay it over the canvas, cut 8 texels
  // from every side for the nine-grid.
  SetTextureFilter(face, OWL_BLEND_SOURCE_OVER);
  const TextureMode nineGrid = {OWL_MODE_NINE_GRID, {8, 8, 8, 8}};
  SetTextureMode(face, &nineGrid);

  const owlRect background = {0, 0, width, height};
  FillGradualRect(canvas, 0xFFF4F6FAu, 0xFFD8DEE8u, &background, OWL_GRADIENT_TOP_TO_BOTTOM);

  const owlRect buttons[] = {
      {16, 16, 40, 40},     // the face's own size
      {56, 16, 176, 48},    // wide
      {16, 64, 176, 144},   // wide and tall
      {192, 16, 304, 72},   // large
  };
  for (const owlRect& button : buttons) DrawTextureEx(canvas, &button, face, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE);
  // The large one again at half opacity.
  const owlRect faded = {192, 88, 304, 144};
  DrawTextureEx(canvas, &faded, face, OWL_RESAMPLE_BILINEAR, 128);

  const bool ok = SaveCanvasPng(canvas, &background, argv[2]);
  DeleteCanvas(canvas);
  DeleteTexture(face);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[2]);
  return ok ? 0 : 1;
}
