// Threads on different objects at the same time: each creates, draws,
// composes and deletes its own canvases, textures and device surfaces while
// another thread flips the bicubic kernel and another creates and deletes
// handles as fast as it can. Every thread's pixels must equal those of the
// same work done alone; a bicubic draw must show one kernel's pixels
// throughout. Run under ThreadSanitizer by scripts/test.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "owlgraphic.h"

namespace {

constexpr int kSide = 40;

// FNV-1a over a canvas's pixels.
uint64_t Digest(HGCANVAS c) {
  BitmapBits b{};
  const owlRect all{0, 0, kSide, kSide};
  if (LockCanvasBits(c, &b, &all) != 1) return 0;
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < b.height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(b.bits) + y * b.pitch);
    for (int x = 0; x < b.width; ++x) h = (h ^ row[x]) * 1099511628211ull;
  }
  UnlockCanvasBits(c);
  return h;
}

HGTEXTURE PatternTexture(int w, int h, uint32_t seed) {
  const HGTEXTURE t = CreateTexture(w, h);
  BitmapBits b{};
  if (LockTextureBits(t, &b, nullptr) != 1) return t;
  uint32_t s = seed;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.bits) + y * b.pitch);
    for (int x = 0; x < w; ++x) {
      s = s * 1664525u + 1013904223u;
      const uint32_t a = (s >> 24) | 0x40, c = (s >> 8) & 0xFF;
      row[x] = a << 24 | (c * a / 255) << 16 | ((c ^ 0x55) * a / 255) << 8 | ((c ^ 0xAA) * a / 255);
    }
  }
  UnlockTextureBits(t);
  return t;
}

// One thread's work on its own objects; bicubic draws go to *bicubic, the
// rest to the returned digest.
uint64_t Scene(uint32_t seed, HGCANVAS bicubic) {
  const owlRect all{0, 0, kSide, kSide}, half{5, 5, 25, 30};
  const HGCANVAS a = CreateCanvas(kSide, kSide, HGCANVAS(0u)), b = CreateCanvas(kSide, kSide, HGCANVAS(0u));
  const HGTEXTURE icon = PatternTexture(13, 11, seed), glow = PatternTexture(9, 9, seed + 1);
  SetTextureFilter(icon, 0x01000000u);
  FillGradualRect(a, 0xFF204080u, 0xFFC0A060u, &all, 2);
  FillSolidRect(b, 0xC0603020u, &all);
  DrawTextureEx(a, &half, icon, 1, 200);
  DrawTexture(b, &all, icon, 0);
  LightTexture(glow);
  const owlRect tile{3, 3, 37, 37};
  DrawTextureTile(a, &tile, glow, nullptr, 1, 255);
  MixCanvas(a, &half, b, &half, 100);
  BlendCanvas(b, &all, a, &all, 60);
  MixCanvasWithColor(a, &all, 0x80102030u, 90);
  // Rounded corners of a radius of each thread's own, kept per thread.
  const int32_t radius = 3 + int32_t(seed % 11), radii[4] = {radius, radius, radius, radius};
  FillRoundRect(a, &tile, radii, 0xC0406080u);
  StrokeRoundRect(b, &tile, radii, 2, 0xFF808080u);
  const owlRect square{1, 1, 30, 30};
  DrawTexture(bicubic, &square, icon, 4);
  uint64_t digest = Digest(a) * 31 + Digest(b);
#if !defined(_WIN32)
  // The in-memory device surfaces of platforms without GDI.
  HDC device = CreateDeviceSurface(kSide, kSide);
  if (GdiTransCanvas(device, &all, a, &all) != 1) digest = 0;
  BitmapBits px{};
  if (LockDeviceSurfaceBits(device, &px) != 1)
    digest = 0;
  else
    digest += static_cast<const uint32_t*>(px.bits)[kSide * 20 + 20];
  if (DeleteDeviceSurface(device) != 1) digest = 0;
#endif
  if (DeleteCanvas(a) != 1 || DeleteCanvas(b) != 1 || DeleteTexture(icon) != 1 || DeleteTexture(glow) != 1)
    digest = 0;
  return digest;
}

TEST(Threads, OwnObjectsOnEveryThreadWhileTheKernelChanges) {
  constexpr int kThreads = 4, kRounds = 40;
  // What each thread must see, done alone first, with both kernels.
  uint64_t want[kThreads], bicubic_want[kThreads][2];
  for (int t = 0; t < kThreads; ++t)
    for (int mode : {1, 2}) {
      SetStretchKernelMode(mode);
      const HGCANVAS c = CreateCanvas(kSide, kSide, HGCANVAS(0u));
      want[t] = Scene(uint32_t(t) * 7919u, c);
      bicubic_want[t][mode - 1] = Digest(c);
      DeleteCanvas(c);
    }
  ASSERT_NE(bicubic_want[0][0], bicubic_want[0][1]);
  SetStretchKernelMode(2);

  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int r = 0; r < kRounds; ++r) {
        const HGCANVAS c = CreateCanvas(kSide, kSide, HGCANVAS(0u));
        const uint64_t got = Scene(uint32_t(t) * 7919u, c), drawn = Digest(c);
        if (got != want[t] || (drawn != bicubic_want[t][0] && drawn != bicubic_want[t][1])) ++failures;
        if (DeleteCanvas(c) != 1) ++failures;
      }
    });
  std::thread kernel([&] {
    for (int i = 0; !stop.load(); ++i) SetStretchKernelMode(1 + (i & 1));
  });
  std::thread churn([&] {
    // Handles made and deleted while the others run: never one of theirs.
    std::vector<HGTEXTURE> mine;
    while (!stop.load()) {
      for (int i = 0; i < 64; ++i) mine.push_back(CreateTexture(1, 1));
      for (HGTEXTURE h : mine)
        if (h.value == 0 || DeleteTexture(h) != 1 || DeleteTexture(h) != 0) ++failures;
      mine.clear();
    }
  });
  for (std::thread& th : threads) th.join();
  stop = true;
  kernel.join();
  churn.join();
  SetStretchKernelMode(2);
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
