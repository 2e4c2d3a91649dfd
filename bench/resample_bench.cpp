// Stretch loops and constant-alpha blitters in every form, at a 1920x1080
// destination from a source of half (2x magnification) and twice (0.5x
// minification) its size, in destination pixels per second; memcpy of the
// destination's bytes is the physical reference.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/cpu_features.h"
#include "draw/blitters.h"
#include "resample/stretch.h"

namespace {

constexpr int32_t kDstW = 1920, kDstH = 1080;

struct Block {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  Block(int32_t w, int32_t h, uint32_t seed) : width(w), height(h), pixels(size_t(w) * size_t(h)) {
    std::mt19937 gen(seed);
    for (uint32_t& p : pixels) {
      const uint32_t a = gen() & 0xFF, r = gen();
      p = a << 24 | ((r & 0xFF) * a / 255) << 16 | (((r >> 8) & 0xFF) * a / 255) << 8 | ((r >> 16) & 0xFF) * a / 255;
    }
  }
  BitmapBits bits() { return BitmapBits{width, height, width * 4, pixels.data()}; }
};

using Loop = std::function<void(const BitmapBits&, const BitmapBits&)>;

struct Form {
  const char* name;
  uint32_t mask;
};
const Form kForms[] = {{"C", 0},
                       {"MMX", owl::kCpuMMX},
                       {"SSE", owl::kCpuMMX | owl::kCpuSSE},
                       {"SSE2", owl::kCpuMMX | owl::kCpuSSE | owl::kCpuSSE2},
                       {"AVX2", owl::kCpuAll}};

void Register(const std::string& name, Loop loop, bool same_size_only = false) {
  for (const Form& form : kForms) {
    for (int scale : {2, -2}) {
      if (same_size_only && scale != 2) continue;
      const int32_t sw = same_size_only ? kDstW : scale > 0 ? kDstW / 2 : kDstW * 2;
      const int32_t sh = same_size_only ? kDstH : scale > 0 ? kDstH / 2 : kDstH * 2;
      const std::string label = name + "/" + form.name + (same_size_only ? "" : scale > 0 ? "/x2" : "/x0.5");
      benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
        Block dst(kDstW, kDstH, 1), src(sw, sh, 2);
        owl::ScopedCpuMask mask(form.mask);
        for (auto _ : state) {
          loop(dst.bits(), src.bits());
          benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(int64_t(state.iterations()) * kDstW * kDstH);
      });
    }
  }
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("memcpy/1920x1080", [](benchmark::State& state) {
    Block dst(kDstW, kDstH, 1), src(kDstW, kDstH, 2);
    for (auto _ : state) {
      std::memcpy(dst.pixels.data(), src.pixels.data(), dst.pixels.size() * 4);
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kDstW * kDstH);
  });
  Register("StretchNearest", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchNearest(d, s); });
  Register("StretchNearestKeyed", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchNearestKeyed(d, s, 0); });
  Register("StretchBilinear", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBilinear(d, s); });
  Register("StretchBicubic", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBicubic(d, s); });
  Register("StretchMultiply", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchMultiply(d, s); });
  Register("MultiplyRows", [](const BitmapBits& d, const BitmapBits& s) { owl::MultiplyRows(d, s); }, true);
  Register("StretchNearestOver", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchNearestOver(d, s); });
  Register("StretchNearestOverAlpha",
           [](const BitmapBits& d, const BitmapBits& s) { owl::StretchNearestOverAlpha(d, s, 128); });
  Register("StretchBilinearOver", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBilinearOver(d, s); });
  Register("StretchBilinearOverAlpha",
           [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBilinearOverAlpha(d, s, 128); });
  Register("StretchBicubicOver", [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBicubicOver(d, s); });
  Register("StretchBicubicOverAlpha",
           [](const BitmapBits& d, const BitmapBits& s) { owl::StretchBicubicOverAlpha(d, s, 128); });
  return true;
}();

}  // namespace
