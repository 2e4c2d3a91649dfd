// One call of every drawing export in many forms (blend kinds, filters,
// alphas, stretched and same-size pieces), on small objects of random
// premultiplied pixels, for tests that check what every export leaves
// behind whatever it draws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "owlgraphic.h"
#include "canvas_util.h"
#include "test_util.h"

namespace owltest {

class DrawingCalls {
 public:
  using Call = std::pair<std::string, std::function<void()>>;

  DrawingCalls()
      : canvas_(CreateCanvas(70, 40, HGCANVAS(0u))), other_(CreateCanvas(33, 21, HGCANVAS(0u))),
        texture_(CreateTexture(19, 13)), second_(CreateTexture(19, 13)) {
    Rng rng(99);
    BitmapBits bits;
    for (HGCANVAS h : {canvas_.h, other_.h})
      if (GetCanvasClipBits(h, &bits)) FillRandom(bits, rng);
    for (HGTEXTURE h : {texture_.h, second_.h})
      if (LockTextureBits(h, &bits, nullptr)) {
        FillRandom(bits, rng);
        UnlockTextureBits(h);
      }
    Build();
  }

  bool ok() const { return canvas_.h.value && other_.h.value && texture_.h.value && second_.h.value; }
  const std::vector<Call>& calls() const { return calls_; }

 private:
  static void FillRandom(const BitmapBits& bits, Rng& rng) {
    for (int32_t y = 0; y < bits.height; ++y)
      for (int32_t x = 0; x < bits.width; ++x)
        static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x] = rng.Premultiplied();
  }

  // The lambdas capture handles, never the holders.
  void Build() {
    const owlRect same{3, 2, 22, 15}, big{1, 1, 61, 37}, small{5, 5, 14, 11}, all{0, 0, 70, 40};
    const owlRect src{0, 0, 19, 13}, margins{4, 3, 4, 3}, part{2, 2, 31, 19};
    const int32_t corner[2] = {9, 7};
    const HGCANVAS c = canvas_.h, o = other_.h;
    const HGTEXTURE t = texture_.h, t2 = second_.h;
    for (uint32_t kind = 0; kind < 5; ++kind)
      for (unsigned filter : {OWL_RESAMPLE_NEAREST, OWL_RESAMPLE_BILINEAR, OWL_RESAMPLE_BICUBIC})
        for (unsigned char alpha : {255, 128}) {
          const std::string name = "kind " + std::to_string(kind) + " filter " + std::to_string(filter) +
                                   " alpha " + std::to_string(alpha);
          calls_.emplace_back("DrawTextureEx same " + name, [=] {
            SetTextureFilter(t, kind << 24);
            DrawTextureEx(c, &same, t, filter, alpha);
          });
          calls_.emplace_back("DrawTextureEx big " + name, [=] { DrawTextureEx(c, &big, t, filter, alpha); });
          calls_.emplace_back("DrawTextureEx small " + name, [=] { DrawTextureEx(c, &small, t, filter, alpha); });
          calls_.emplace_back("DrawTexture9Grid " + name,
                              [=] { DrawTexture9Grid(c, &big, t, &src, &margins, filter, true, alpha); });
          calls_.emplace_back("DrawTextureTile " + name, [=] { DrawTextureTile(c, &big, t, &src, filter, alpha); });
          calls_.emplace_back("DrawTextureTopTile " + name,
                              [=] { DrawTextureTopTile(c, &big, t, &src, &margins, filter, alpha); });
          calls_.emplace_back("DrawTextureCenter " + name, [=] { DrawTextureCenter(c, &big, t, &src, filter, alpha); });
          calls_.emplace_back("FillSolidRectEx " + name,
                              [=] { FillSolidRectEx(c, 0x80402010u, &big, kind << 24 | filter); });
          calls_.emplace_back("MixCanvas " + name, [=] {
            MixCanvas(c, &part, o, &part, alpha);
            MixCanvas(c, &all, o, &part, alpha);
          });
          calls_.emplace_back("BlendCanvas " + name, [=] {
            BlendCanvas(c, &part, o, &part, alpha);
            BlendCanvas(c, &all, o, &part, alpha);
          });
          calls_.emplace_back("MixCanvasWithColor " + name, [=] { MixCanvasWithColor(c, &big, 0x60606060u, alpha); });
          calls_.emplace_back("DrawModulation " + name,
                              [=] { DrawModulation(c, 7, 5, t, uint32_t(alpha) << 24 | 0x8040C0u); });
        }
    calls_.emplace_back("FillSolidRect", [=] { FillSolidRect(c, 0x80808080u, &big); });
    calls_.emplace_back("FillGradualRect", [=] {
      FillGradualRect(c, 0xFF102030u, 0x80FFEEDDu, &big, OWL_GRADIENT_TOP_TO_BOTTOM);
      FillGradualRect(c, 0xFF102030u, 0x80FFEEDDu, &big, OWL_GRADIENT_LEFT_TO_RIGHT);
    });
    calls_.emplace_back("Geo outlines", [=] {
      GeoRectangleEx(c, &big, 0x80FF0000u);
      GeoRectFocusEx(c, &big, 0xFF00FF00u);
      GeoRoundRectEx(c, &big, corner, 0xC0C0C0C0u);
    });
    calls_.emplace_back("texture effects", [=] {
      TranslateTexture(t2, 0, 0xFF000000u);
      NormalizeTexture(t2);
      GrayTexture(t2);
      InvertTexture(t2);
      ShuffleTexture(t2, OWL_SHUFFLE_ALPHA_TO_COLOR);
      ShuffleTexture(t2, OWL_SHUFFLE_COLOR_TO_ALPHA);
      BlurTexture(t2, t);
      LightTexture(t2);
    });
    calls_.emplace_back("SetStretchKernelMode", [] {
      const int old = GetStretchKernelMode();
      for (int mode : {OWL_KERNEL_CUBIC_STRICT, OWL_KERNEL_BSPLINE, OWL_KERNEL_CUBIC}) SetStretchKernelMode(mode);
      SetStretchKernelMode(old);
    });
    calls_.emplace_back("colour conversion", [] { AHSLtoARGB(ARGBtoAHSL(0xFF336699u)); });

  }

  CanvasHolder canvas_, other_;
  TextureHolder texture_, second_;
  std::vector<Call> calls_;
};

}  // namespace owltest
