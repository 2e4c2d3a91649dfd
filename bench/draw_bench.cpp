// Texture drawing in pixels per second: 1:1 source-over, 2x and 0.5x
// stretches for each filter with and without constant alpha, a nine-grid
// button and a full-screen tiling, per forced processor mask.
#include "bench_util.h"

namespace {

using owlbench::kForms;
using owlbench::kSizes;

// A texture of random premultiplied texels with a filter.
HGTEXTURE MakeTexture(int w, int h, uint32_t filter) {
  HGTEXTURE t = CreateTexture(w, h);
  BitmapBits bits{};
  LockTextureBits(t, &bits, nullptr);
  owlbench::FillPremultiplied(bits, 12345);
  UnlockTextureBits(t);
  SetTextureFilter(t, filter);
  return t;
}

struct Target {
  HGCANVAS canvas;
  explicit Target(int w, int h) : canvas(CreateCanvas(w, h, HGCANVAS(0u))) {
    const owlRect all{0, 0, w, h};
    FillSolidRectEx(canvas, 0xFF808080u, &all, 0);
  }
  ~Target() { DeleteCanvas(canvas); }
};

void Label(benchmark::State& state, int w, int h) {
  state.SetItemsProcessed(int64_t(state.iterations()) * w * h);
  state.SetLabel(std::string(kForms[state.range(0)].name) + " " + owlbench::SizeName({w, h}));
}

// Args: mask index, size index, source scale (1: 1:1, 2: magnify 2x, 3:
// reduce to 0.5x), filter, alpha.
void BM_DrawTexture(benchmark::State& state) {
  owl::ScopedCpuMask mask(kForms[state.range(0)].mask);
  const int w = kSizes[state.range(1)].width, h = kSizes[state.range(1)].height;
  const int scale = int(state.range(2));
  const int sw = scale == 1 ? w : scale == 2 ? w / 2 : w * 2, sh = scale == 1 ? h : scale == 2 ? h / 2 : h * 2;
  Target target(w, h);
  HGTEXTURE texture = MakeTexture(sw, sh, 0x01000000u);
  const owlRect dst{0, 0, w, h};
  for (auto _ : state)
    DrawTextureEx(target.canvas, &dst, texture, uint32_t(state.range(3)), uint8_t(state.range(4)));
  DeleteTexture(texture);
  Label(state, w, h);
}

void DrawArgs(benchmark::internal::Benchmark* b) {
  for (int m = 0; m < 5; ++m)
    for (int s = 0; s < 2; ++s) {
      b->Args({m, s, 1, 0, 255});
      for (int scale : {2, 3})
        for (int filter : {0, 1, 4})
          for (int alpha : {255, 128}) b->Args({m, s, scale, filter, alpha});
    }
}
BENCHMARK(BM_DrawTexture)->Apply(DrawArgs)->Unit(benchmark::kMicrosecond);

// A 200x60 button from a 32x32 face with 6-pixel margins, bilinear.
void BM_NineGridButton(benchmark::State& state) {
  owl::ScopedCpuMask mask(kForms[state.range(0)].mask);
  Target target(256, 128);
  HGTEXTURE face = MakeTexture(32, 32, 0x01000000u);
  const owlRect dst{20, 30, 220, 90}, margins{6, 6, 6, 6};
  for (auto _ : state) DrawTexture9Grid(target.canvas, &dst, face, nullptr, &margins, 1, false, 255);
  DeleteTexture(face);
  Label(state, 200, 60);
}
BENCHMARK(BM_NineGridButton)->DenseRange(0, 4);

// 1920x1080 covered by a 64x64 texture, copied tile by tile.
void BM_TileScreen(benchmark::State& state) {
  owl::ScopedCpuMask mask(kForms[state.range(0)].mask);
  Target target(1920, 1080);
  HGTEXTURE tile = MakeTexture(64, 64, 0);
  const owlRect dst{0, 0, 1920, 1080};
  for (auto _ : state) DrawTextureTile(target.canvas, &dst, tile, nullptr, 0, 255);
  DeleteTexture(tile);
  Label(state, 1920, 1080);
}
BENCHMARK(BM_TileScreen)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// 1920x1080 covered by tiny tiles (arg: side 1, 2 or 4), source-over, and
// the same texel stretched over it: the tiling should cost what the pixels
// cost, not what the number of tiles would.
void BM_TileTiny(benchmark::State& state) {
  Target target(1920, 1080);
  const int side = int(state.range(0));
  HGTEXTURE tile = MakeTexture(side, side, 0x01000000u);
  const owlRect dst{0, 0, 1920, 1080};
  for (auto _ : state) DrawTextureTile(target.canvas, &dst, tile, nullptr, 0, 255);
  DeleteTexture(tile);
  state.SetItemsProcessed(int64_t(state.iterations()) * 1920 * 1080);
}
BENCHMARK(BM_TileTiny)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_StretchOneTexel(benchmark::State& state) {
  Target target(1920, 1080);
  HGTEXTURE texel = MakeTexture(1, 1, 0x01000000u);
  const owlRect dst{0, 0, 1920, 1080};
  for (auto _ : state) DrawTexture(target.canvas, &dst, texel, 0);
  DeleteTexture(texel);
  state.SetItemsProcessed(int64_t(state.iterations()) * 1920 * 1080);
}
BENCHMARK(BM_StretchOneTexel)->Unit(benchmark::kMillisecond);

// A 16x16 icon drawn 1:1 with source-over (arg 1: filter 0, 1 or 4): the
// per-call cost of handle look-ups, clipping and dispatch dominates.
void BM_DrawIcon16(benchmark::State& state) {
  Target target(64, 64);
  HGTEXTURE icon = MakeTexture(16, 16, 0x01000000u);
  const owlRect dst{8, 8, 24, 24};
  for (auto _ : state) DrawTextureEx(target.canvas, &dst, icon, uint32_t(state.range(0)), 255);
  DeleteTexture(icon);
  state.SetItemsProcessed(int64_t(state.iterations()) * 256);
}
BENCHMARK(BM_DrawIcon16)->Arg(0)->Arg(1)->Arg(4);

}  // namespace
