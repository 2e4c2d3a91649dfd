// Texture drawing in pixels per second: 1:1 source-over, 2x and 0.5x
// stretches for each filter with and without constant alpha, a nine-grid
// button and a full-screen tiling, per forced processor mask. A memcpy of the
// same bytes is the physical reference.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace {

constexpr uint32_t kMasks[] = {0, owl::kCpuMMX, owl::kCpuMMX | owl::kCpuSSE,
                               owl::kCpuMMX | owl::kCpuSSE | owl::kCpuSSE2, owl::kCpuAll};
constexpr int kSizes[][2] = {{1920, 1080}, {256, 256}};

// A texture of premultiplied texels, half of them translucent, with a filter.
HGTEXTURE MakeTexture(int w, int h, uint32_t filter) {
  HGTEXTURE t = CreateTexture(w, h);
  BitmapBits bits{};
  LockTextureBits(t, &bits, nullptr);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + ptrdiff_t(y) * bits.pitch);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const uint32_t a = (seed >> 31) ? 255 : (seed >> 24) & 0x7F;
      row[x] = a << 24 | ((seed >> 8) % (a + 1)) << 16 | ((seed >> 16) % (a + 1)) << 8 | (seed % (a + 1));
    }
  }
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
  state.SetLabel("mask " + std::to_string(kMasks[state.range(0)]) + " " + std::to_string(w) + "x" +
                 std::to_string(h));
}

// Args: mask index, size index, source scale (1: 1:1, 2: magnify 2x, 3:
// reduce to 0.5x), filter, alpha.
void BM_DrawTexture(benchmark::State& state) {
  owl::ScopedCpuMask mask(kMasks[state.range(0)]);
  const int w = kSizes[state.range(1)][0], h = kSizes[state.range(1)][1];
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
  owl::ScopedCpuMask mask(kMasks[state.range(0)]);
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
  owl::ScopedCpuMask mask(kMasks[state.range(0)]);
  Target target(1920, 1080);
  HGTEXTURE tile = MakeTexture(64, 64, 0);
  const owlRect dst{0, 0, 1920, 1080};
  for (auto _ : state) DrawTextureTile(target.canvas, &dst, tile, nullptr, 0, 255);
  DeleteTexture(tile);
  Label(state, 1920, 1080);
}
BENCHMARK(BM_TileScreen)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void BM_MemcpyReference(benchmark::State& state) {
  const int w = kSizes[state.range(0)][0], h = kSizes[state.range(0)][1];
  std::vector<uint32_t> a(size_t(w) * h, 1), b(size_t(w) * h);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * w * h);
}
BENCHMARK(BM_MemcpyReference)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

}  // namespace
