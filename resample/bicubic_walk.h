// The bicubic loops' common frame: the choice of sampler form and the walk
// over the edge and interior bands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "core/cpu_features.h"
#include "resample/kernel_table.h"
#include "resample/samplers.h"
#include "resample/stretch_walk.h"

namespace owl {

// The interior sampler of one output and its edge-clamping wrapper; rows,
// when set, is the AVX2 kernel of inner over a run of a row, block the
// same over whole rows of a block through kept rows, and wide_block, when
// set, block with some of its work sixteen pixels a step (AVX-512).
template <typename Fn>
struct BicubicSamplers {
  Fn inner, edge;
  BicubicRowFn rows = nullptr;
  BicubicBlockFn block = nullptr;
  BicubicBlockFn wide_block = nullptr;
};

inline uint32_t AlphaOf() { return 255; }
inline uint32_t AlphaOf(uint32_t alpha) { return alpha; }

// Takes the current kernel table once, so the whole draw reads one table,
// then the MMX samplers when the table is in their format and the integer
// samplers otherwise. extra (the constant alpha) is passed before the pixel.
template <typename Fn, typename... Extra>
bool StretchBicubicWith(const BitmapBits& dst, const BitmapBits& src, BicubicSamplers<Fn> integer,
                        BicubicSamplers<Fn> mmx, Extra... extra) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  bool mmx_format;
  const int32_t* const kernel = CurrentKernelTable(&mmx_format);
  const BicubicSamplers<Fn> use = mmx_format ? mmx : integer;
  // The AVX2 kernel runs where the MMX samplers are chosen and the processor
  // has AVX2; it leaves the last pixels of a run to the sampler.
  const BicubicRowFn rows = HasAVX2() ? use.rows : nullptr;
  const uint32_t alpha = AlphaOf(extra...);
  // Its kept rows; without memory for them it filters every row itself.
  // One block, 64-byte aligned, of the sums (4 slots of 8 bytes a pixel),
  // the weights (20 bytes a pixel), the first texel columns (4 bytes), and
  // per eight pixels the end of its run (4 bytes) and its way (a byte); the
  // capacity rounded up to whole blocks of eight pixels keeps every slot
  // aligned.
  BicubicKeptRows kept;
  const size_t capacity = (size_t(dst.width) + 7) & ~size_t(7);
  const BicubicBlockFn block = !rows ? nullptr : HasAVX512() && use.wide_block ? use.wide_block : use.block;
  std::unique_ptr<uint8_t[]> memory(block ? new (std::nothrow) uint8_t[capacity * 56 + capacity / 8 * 5 + 63] : nullptr);
  if (memory) {
    uint8_t* const base = memory.get() + ((64 - reinterpret_cast<uintptr_t>(memory.get()) % 64) % 64);
    kept.sums = reinterpret_cast<int16_t*>(base);
    kept.weights = reinterpret_cast<int32_t*>(base + capacity * 32);
    kept.columns = reinterpret_cast<int32_t*>(base + capacity * 52);
    kept.run_ends = reinterpret_cast<int32_t*>(base + capacity * 56);
    kept.blocks = base + capacity * 56 + capacity / 2;
    kept.capacity = int32_t(capacity);
  }
  const bool sums = memory != nullptr;
  if (sums) {
    // Whole rows, edges included (the kept rows clamp what they read), in
    // the positions of the band walk; the last width mod 8 pixels through
    // the clamping sampler.
    const BicubicAxis ax = PlaceBicubicAxis(src.width, dst.width);
    const BicubicAxis ay = PlaceBicubicAxis(src.height, dst.height);
    const int32_t done = block(kernel, dst, src, uint32_t(ax.first), uint32_t(ax.step), uint32_t(ay.first),
                               uint32_t(ay.step), alpha, &kept);
    uint32_t y = uint32_t(ay.first);
    for (int32_t i = 0; i < dst.height && done < dst.width; ++i, y += uint32_t(ay.step)) {
      uint32_t* out = RowAt(dst, i);
      uint32_t x = uint32_t(ax.first) + uint32_t(done) * uint32_t(ax.step);
      for (int32_t j = done; j < dst.width; ++j, x += uint32_t(ax.step)) use.edge(kernel, src, int32_t(x), int32_t(y), extra..., out + j);
    }
    return true;
  }
  WalkBicubicRuns(
      dst, src,
      [&](uint32_t x, int32_t y, uint32_t* out, int32_t count, uint32_t step) {
        const int32_t done = rows ? rows(kernel, out, src, x, step, y, count, alpha, nullptr) : 0;
        x += uint32_t(done) * step;
        for (int32_t k = done; k < count; ++k, x += step) use.inner(kernel, src, int32_t(x), y, extra..., out + k);
      },
      [&](int32_t x, int32_t y, uint32_t* d) { use.edge(kernel, src, x, y, extra..., d); });
  return true;
}

}  // namespace owl
