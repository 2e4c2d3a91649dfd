// Every drawing export leaves the x87 register stack empty under every
// feature mask: MMX registers alias it, and an MMX form that misses
// _mm_empty() corrupts the host's later floating point on 32-bit x86 (where
// doubles live there). The tag word shows it on 64-bit builds too.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "owlgraphic.h"
#include "test_util.h"

#if defined(OWL_X86) && defined(__GNUC__)

namespace {

using owltest::CanvasHolder;
using owltest::TextureHolder;

// 0xFFFF when all eight x87 registers are empty; the state is put back.
uint16_t X87TagWord() {
  struct {
    uint16_t control, pad0, status, pad1, tags, pad2;
    uint32_t rest[4];
  } env;
  __asm__ volatile("fnstenv %0\n\tfldenv %0" : "=m"(env) : : "memory");
  return env.tags;
}

void FillRandom(BitmapBits bits, owltest::Rng& rng) {
  for (int32_t y = 0; y < bits.height; ++y)
    for (int32_t x = 0; x < bits.width; ++x)
      static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x] = rng.Premultiplied();
}

TEST(MmxState, EveryDrawingExportEndsWithAnEmptyX87Stack) {
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  owltest::Rng rng(99);
  CanvasHolder canvas(CreateCanvas(70, 40, HGCANVAS(0u)));
  CanvasHolder other(CreateCanvas(33, 21, HGCANVAS(0u)));
  TextureHolder texture(CreateTexture(19, 13));
  TextureHolder second(CreateTexture(19, 13));
  BitmapBits bits;
  for (HGCANVAS c : {canvas.h, other.h}) {
    ASSERT_EQ(GetCanvasClipBits(c, &bits), 1);
    FillRandom(bits, rng);
  }
  for (HGTEXTURE t : {texture.h, second.h}) {
    ASSERT_EQ(LockTextureBits(t, &bits, nullptr), 1);
    FillRandom(bits, rng);
    UnlockTextureBits(t);
  }

  const owlRect same{3, 2, 22, 15}, big{1, 1, 61, 37}, small{5, 5, 14, 11}, all{0, 0, 70, 40};
  const owlRect src{0, 0, 19, 13}, margins{4, 3, 4, 3}, part{2, 2, 31, 19};
  const int32_t corner[2] = {9, 7};
  // Lambdas capture handles, never the holders.
  const HGCANVAS c = canvas.h, o = other.h;
  const HGTEXTURE t = texture.h, t2 = second.h;
  std::vector<std::pair<std::string, std::function<void()>>> calls;
  for (uint32_t kind = 0; kind < 5; ++kind)
    for (unsigned filter : {0u, 1u, 4u})
      for (unsigned char alpha : {255, 128}) {
        const std::string name = "kind " + std::to_string(kind) + " filter " + std::to_string(filter) +
                                 " alpha " + std::to_string(alpha);
        calls.emplace_back("DrawTextureEx same " + name, [=] {
          SetTextureFilter(t, kind << 24);
          DrawTextureEx(c, &same, t, filter, alpha);
        });
        calls.emplace_back("DrawTextureEx big " + name, [=] { DrawTextureEx(c, &big, t, filter, alpha); });
        calls.emplace_back("DrawTextureEx small " + name, [=] { DrawTextureEx(c, &small, t, filter, alpha); });
        calls.emplace_back("DrawTexture9Grid " + name,
                           [=] { DrawTexture9Grid(c, &big, t, &src, &margins, filter, true, alpha); });
        calls.emplace_back("DrawTextureTile " + name, [=] { DrawTextureTile(c, &big, t, &src, filter, alpha); });
        calls.emplace_back("DrawTextureTopTile " + name,
                           [=] { DrawTextureTopTile(c, &big, t, &src, &margins, filter, alpha); });
        calls.emplace_back("DrawTextureCenter " + name, [=] { DrawTextureCenter(c, &big, t, &src, filter, alpha); });
        calls.emplace_back("FillSolidRectEx " + name,
                           [=] { FillSolidRectEx(c, 0x80402010u, &big, kind << 24 | filter); });
        calls.emplace_back("MixCanvas " + name, [=] {
          MixCanvas(c, &part, o, &part, alpha);
          MixCanvas(c, &all, o, &part, alpha);
        });
        calls.emplace_back("BlendCanvas " + name, [=] {
          BlendCanvas(c, &part, o, &part, alpha);
          BlendCanvas(c, &all, o, &part, alpha);
        });
        calls.emplace_back("MixCanvasWithColor " + name, [=] { MixCanvasWithColor(c, &big, 0x60606060u, alpha); });
        calls.emplace_back("DrawModulation " + name,
                           [=] { DrawModulation(c, 7, 5, t, uint32_t(alpha) << 24 | 0x8040C0u); });
      }
  calls.emplace_back("FillSolidRect", [=] { FillSolidRect(c, 0x80808080u, &big); });
  calls.emplace_back("FillGradualRect", [=] {
    FillGradualRect(c, 0xFF102030u, 0x80FFEEDDu, &big, 1);
    FillGradualRect(c, 0xFF102030u, 0x80FFEEDDu, &big, 2);
  });
  calls.emplace_back("Geo outlines", [=] {
    GeoRectangleEx(c, &big, 0x80FF0000u);
    GeoRectFocusEx(c, &big, 0xFF00FF00u);
    GeoRoundRectEx(c, &big, corner, 0xC0C0C0C0u);
  });
  calls.emplace_back("texture effects", [=] {
    TranslateTexture(t2, 0, 0xFF000000u);
    NormalizeTexture(t2);
    GrayTexture(t2);
    InvertTexture(t2);
    ShuffleTexture(t2, 1);
    ShuffleTexture(t2, 6);
    BlurTexture(t2, t);
    LightTexture(t2);
  });
  calls.emplace_back("SetStretchKernelMode", [] {
    const int old = GetStretchKernelMode();
    for (int mode : {0, 1, 2}) SetStretchKernelMode(mode);
    SetStretchKernelMode(old);
  });
  calls.emplace_back("colour conversion", [] { AHSLtoARGB(ARGBtoAHSL(0xFF336699u)); });

  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (const auto& call : calls) {
      call.second();
      ASSERT_EQ(X87TagWord(), 0xFFFF) << call.first << " under mask " << mask;
    }
  }
}

}  // namespace

#endif
