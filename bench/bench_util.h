// Shared pieces of the benchmarks: pixel blocks, the forced feature sets
// and registration per size and per form.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/cpu_features.h"
#include "owlgraphic.h"
#include "side_by_side.h"

namespace owlbench {

struct Size {
  int32_t width, height;
};
constexpr Size kSizes[] = {{1920, 1080}, {256, 256}};

struct Form {
  const char* name;
  uint32_t mask;
};
constexpr Form kForms[] = {{"plain", 0},
                           {"mmx", owl::kCpuMMX},
                           {"sse", owl::kCpuMMX | owl::kCpuSSE},
                           {"sse2", owl::kCpuMMX | owl::kCpuSSE | owl::kCpuSSE2},
                           {"avx2", owl::kCpuAll & ~owl::kCpuAVX512},
                           {"avx512", owl::kCpuAll}};

// True when the processor has every feature of mask.
inline bool MachineAllows(uint32_t mask) {
  owl::ScopedCpuMask all(owl::kCpuAll);
  return (!(mask & owl::kCpuMMX) || owl::HasMMX()) && (!(mask & owl::kCpuSSE) || owl::HasSSE()) &&
         (!(mask & owl::kCpuSSE2) || owl::HasSSE2()) && (!(mask & owl::kCpuAVX2) || owl::HasAVX2()) &&
         (!(mask & owl::kCpuAVX512) || owl::HasAVX512());
}

inline std::string SizeName(Size s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// A contiguous block of premultiplied pixels.
struct Block {
  std::vector<uint32_t> pixels;
  BitmapBits bits;
  explicit Block(Size s, uint32_t seed) : pixels(size_t(s.width) * s.height) {
    bits = BitmapBits{s.width, s.height, s.width * 4, pixels.data()};
    FillPremultiplied(bits, seed);
  }
};

using BlockOp = std::function<void(const BitmapBits& dst, const BitmapBits& src)>;

// Registers op as name/form/WxH for every size and every form the machine
// allows, reporting pixels per second.
inline void RegisterPerForm(const std::string& name, BlockOp op) {
  for (const Size& size : kSizes)
    for (const Form& form : kForms) {
      if (!MachineAllows(form.mask)) continue;
      const std::string full = name + "/" + form.name + "/" + SizeName(size);
      benchmark::RegisterBenchmark(full.c_str(), [op, size, form](benchmark::State& state) {
        Block dst(size, 1), src(size, 2);
        owl::ScopedCpuMask m(form.mask);
        for (auto _ : state) {
          op(dst.bits, src.bits);
          benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
      });
    }
}

}  // namespace owlbench
