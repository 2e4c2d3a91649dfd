// Builds against an installed owlgraphic through find_package.
#include <owlgraphic.h>

#include <cstdio>

int main() {
  const HGCANVAS canvas = CreateCanvas(16, 8, HGCANVAS(0u));
  owlRect clip{};
  if (canvas.value == 0 || !GetCanvasClip(canvas, &clip) || clip.right != 16 || clip.bottom != 8) {
    std::puts("cmake consumer: FAILED");
    return 1;
  }
  const HGTEXTURE texture = CanvasToTexture(canvas);
  owlSize size{};
  const bool ok = GetTextureSize(texture, &size) && size.width == 16 && DeleteTexture(texture);
  std::puts(ok ? "cmake consumer: ok" : "cmake consumer: FAILED");
  return ok ? 0 : 1;
}
