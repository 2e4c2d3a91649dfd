// Cross-fades between two small scenes and writes each frame of the fade as
// a PNG file: fade-animation <output folder>  (frames fade_0.png .. fade_5.png)
#include <cstdio>
#include <string>

#include "owlgraphic.h"
#include "owlgraphic_png.h"

namespace {

constexpr int kWidth = 160, kHeight = 100;

// A scene: a gradient sky and a panel of the given colour.
void DrawScene(HGCANVAS canvas, uint32_t sky, uint32_t panel) {
  const owlRect all = {0, 0, kWidth, kHeight}, box = {40, 30, 120, 70};
  FillGradualRect(canvas, sky, 0xFFFFFFFFu, &all, OWL_GRADIENT_TOP_TO_BOTTOM);
  FillSolidRect(canvas, panel, &box);  // source-over: opaque colours replace
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const HGCANVAS none(0u);
  HGCANVAS from = CreateCanvas(kWidth, kHeight, none);
  HGCANVAS to = CreateCanvas(kWidth, kHeight, none);
  HGCANVAS frame = CreateCanvas(kWidth, kHeight, none);
  if (from.value == 0 || to.value == 0 || frame.value == 0) return 1;
  DrawScene(from, 0xFF2050A0u, 0xFFE08030u);
  DrawScene(to, 0xFF206040u, 0xFF8040C0u);

  const owlRect all = {0, 0, kWidth, kHeight};
  const int frames = 6;
  bool ok = true;
  for (int i = 0; i < frames && ok; ++i) {
    // Start each frame from the first scene, then mix in the second:
    // alpha 0 keeps the first scene, 255 shows only the second.
    const uint8_t alpha = uint8_t(255 * i / (frames - 1));
    MixCanvas(frame, &all, from, &all, OWL_ALPHA_OPAQUE);
    MixCanvas(frame, &all, to, &all, alpha);
    const std::string path = std::string(argv[1]) + "/fade_" + std::to_string(i) + ".png";
    ok = SaveCanvasPng(frame, &all, path.c_str());
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
  DeleteCanvas(frame);
  DeleteCanvas(to);
  DeleteCanvas(from);
  return ok ? 0 : 1;
}
