// 8-bit and bool arguments arrive in a 4-byte stack slot or a register
// whose upper bits the caller may leave as they were (Microsoft's compiler
// does): the library must read the low byte only.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "owlgraphic.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;
using owltest::TextureHolder;

// The exports seen by a caller that passes 32 bits for the byte arguments.
using DrawTextureExWide = int(OWL_CALL*)(HGCANVAS, const owlRect*, HGTEXTURE, unsigned int, uint32_t);
using MixCanvasWide = int(OWL_CALL*)(HGCANVAS, const owlRect*, HGCANVAS, const owlRect*, uint32_t);
using NineGridWide = unsigned int(OWL_CALL*)(HGCANVAS, const owlRect*, HGTEXTURE, const owlRect*, const owlRect*,
                                             unsigned int, uint32_t, uint32_t);

template <typename Wide, typename Fn>
Wide Widened(Fn fn) {
  return reinterpret_cast<Wide>(reinterpret_cast<void*>(fn));
}

std::vector<uint32_t> Pixels(HGCANVAS canvas) {
  BitmapBits bits;
  std::vector<uint32_t> out;
  if (!GetCanvasClipBits(canvas, &bits)) return out;
  for (int32_t y = 0; y < bits.height; ++y)
    for (int32_t x = 0; x < bits.width; ++x) out.push_back(static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x]);
  return out;
}

void Fill(HGCANVAS canvas, uint32_t seed) {
  owltest::Rng rng(seed);
  BitmapBits bits;
  ASSERT_EQ(GetCanvasClipBits(canvas, &bits), 1);
  for (int32_t y = 0; y < bits.height; ++y)
    for (int32_t x = 0; x < bits.width; ++x) static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x] = rng.Premultiplied();
}

// Runs draw(canvas, narrow) and draw(canvas, wide) on equal canvases.
template <typename Draw>
void ExpectSamePixels(Draw draw, uint32_t narrow, uint32_t wide) {
  CanvasHolder a(CreateCanvas(23, 17, HGCANVAS(0u))), b(CreateCanvas(23, 17, HGCANVAS(0u)));
  Fill(a.h, 5);
  Fill(b.h, 5);
  draw(a.h, narrow);
  draw(b.h, wide);
  EXPECT_EQ(Pixels(a.h), Pixels(b.h)) << std::hex << narrow << " against " << wide;
}

TEST(AbiArguments, ByteArgumentsIgnoreTheUpperBitsOfTheirSlot) {
  TextureHolder texture(CreateTexture(9, 7));
  BitmapBits bits;
  ASSERT_EQ(LockTextureBits(texture.h, &bits, nullptr), 1);
  owltest::Rng rng(3);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x) static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x] = rng.Premultiplied();
  UnlockTextureBits(texture.h);
  SetTextureFilter(texture.h, OWL_BLEND_SOURCE_OVER);
  CanvasHolder source(CreateCanvas(23, 17, HGCANVAS(0u)));
  Fill(source.h, 8);
  const owlRect dst{1, 2, 20, 15}, src{0, 0, 9, 7}, margins{2, 2, 2, 2}, part{3, 1, 14, 9};

  const auto draw_ex = Widened<DrawTextureExWide>(&DrawTextureEx);
  const auto mix = Widened<MixCanvasWide>(&MixCanvas);
  const auto nine = Widened<NineGridWide>(&DrawTexture9Grid);
  for (uint32_t alpha : {0x00u, 0x80u, 0xFFu}) {
    const uint32_t garbage = 0xA5C3E700u | alpha;
    ExpectSamePixels([&](HGCANVAS c, uint32_t a) { draw_ex(c, &dst, texture.h, 1, a); }, alpha, garbage);
    ExpectSamePixels([&](HGCANVAS c, uint32_t a) { mix(c, &part, source.h, &part, a); }, alpha, garbage);
    ExpectSamePixels([&](HGCANVAS c, uint32_t a) { nine(c, &dst, texture.h, &src, &margins, 1, 1, a); }, alpha,
                     garbage);
  }
  // bool: the low byte decides.
  for (uint32_t fill : {0u, 1u})
    ExpectSamePixels([&](HGCANVAS c, uint32_t f) { nine(c, &dst, texture.h, &src, &margins, 1, f, 0x80); }, fill,
                     0x7F3C0000u | fill);
}

}  // namespace
