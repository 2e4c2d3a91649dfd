// Helpers shared by the tests: seeded premultiplied pixels, guarded blocks
// and the processor-feature masks every vector form is run under (canvases
// and textures: canvas_util.h).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <vector>

#include "core/cpu_features.h"
#include "owlgraphic.h"

inline std::ostream& operator<<(std::ostream& os, const owlRect& r) {
  return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline std::ostream& operator<<(std::ostream& os, const owlPoint& p) {
  return os << "(" << p.x << ", " << p.y << ")";
}

namespace owltest {

// Plain first, then each rising feature set; then AVX2 on top of each of the
// vector sets, since every chosen form runs its AVX2 kernel where there is
// one: with SSE but not SSE2, BlendRowsAlpha runs an AVX2 kernel while
// BlendRows stays with SSE. Last, everything but AVX-512 and everything: the
// AVX2 kernels are checked on processors that also have AVX-512.
constexpr uint32_t kMasks[] = {0,
                               owl::kCpuMMX,
                               owl::kCpuMMX | owl::kCpuSSE,
                               owl::kCpuMMX | owl::kCpuSSE | owl::kCpuSSE2,
                               owl::kCpuMMX | owl::kCpuSSE | owl::kCpuAVX2,
                               owl::kCpuAll & ~owl::kCpuAVX512,
                               owl::kCpuAll};

// True when the suite runs under an emulator (scripts/test-cross.sh sets
// OWL_TEST_EMULATED): the sweeps whose references take minutes there check a
// subset of their cases; the native runs check them all.
inline bool Emulated() {
  const char* e = std::getenv("OWL_TEST_EMULATED");
  return e && *e && *e != '0';
}

class Rng {
 public:
  explicit Rng(uint32_t seed) : gen_(seed) {}
  uint32_t Next() { return uint32_t(gen_()); }
  int32_t Range(int32_t lo, int32_t hi) { return lo + int32_t(Next() % uint32_t(hi - lo + 1)); }
  // Alpha biased towards 0 and 255; every colour byte at or below alpha.
  uint32_t Premultiplied() {
    const uint32_t pick = Next() % 8;
    const uint32_t a = pick == 0 ? 0 : pick <= 2 ? 255 : Next() & 0xFF;
    uint32_t p = a << 24;
    for (int shift = 0; shift < 24; shift += 8) p |= (a ? Next() % (a + 1) : 0) << shift;
    return p;
  }

 private:
  std::mt19937 gen_;
};

// A block of width x height pixels at an odd pitch and a chosen start
// offset inside a larger buffer; every word outside the block is a guard.
class GuardedBlock {
 public:
  static constexpr uint32_t kGuard = 0xDEADBEEFu;

  GuardedBlock(int32_t width, int32_t height, int32_t pad = 3, int32_t offset = 1)
      : width_(width), height_(height), stride_(width + pad), offset_(offset + 8),
        words_(size_t(offset_) + size_t(stride_) * size_t(height > 0 ? height : 0) + 8, kGuard) {}

  BitmapBits bits() {
    return BitmapBits{width_, height_, stride_ * 4, words_.data() + offset_};
  }
  uint32_t& at(int32_t x, int32_t y) { return words_[size_t(offset_ + y * stride_ + x)]; }
  void Fill(Rng& rng) {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) at(x, y) = rng.Premultiplied();
  }
  // True when no word outside the block has changed.
  bool GuardsIntact() const {
    for (size_t i = 0; i < words_.size(); ++i) {
      const int64_t rel = int64_t(i) - offset_;
      const bool inside = stride_ > 0 && rel >= 0 && rel / stride_ < height_ && rel % stride_ < width_;
      if (!inside && words_[i] != kGuard) return false;
    }
    return true;
  }
  std::vector<uint32_t> Pixels() {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) out.push_back(at(x, y));
    return out;
  }

 private:
  int32_t width_, height_, stride_, offset_;
  std::vector<uint32_t> words_;
};

}  // namespace owltest

// Canvases and textures: holders, whole buffers, images.
#include "canvas_util.h"
