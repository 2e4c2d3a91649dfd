// Row operations and the composition blocks in every form, with memcpy and memset of the same bytes as
// the physical reference for every benchmark of the program.
#include "bench_util.h"
#include "rows/mix_rows.h"
#include "rows/row_ops.h"

namespace {

using owlbench::Block;

void References() {
  for (const owlbench::Size& size : owlbench::kSizes) {
    const std::string suffix = "/" + owlbench::SizeName(size);
    benchmark::RegisterBenchmark(("memset" + suffix).c_str(), [size](benchmark::State& state) {
      Block dst(size, 1);
      for (auto _ : state) {
        std::memset(dst.pixels.data(), 0x5A, dst.pixels.size() * 4);
        benchmark::ClobberMemory();
      }
      state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
    });
    benchmark::RegisterBenchmark(("memcpy" + suffix).c_str(), [size](benchmark::State& state) {
      Block dst(size, 1), src(size, 2);
      for (auto _ : state) {
        std::memcpy(dst.pixels.data(), src.pixels.data(), dst.pixels.size() * 4);
        benchmark::ClobberMemory();
      }
      state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
    });
  }
}

const bool kRegistered = [] {
  References();
  owlbench::RegisterPerForm("FillRows", [](const BitmapBits& d, const BitmapBits&) { owl::FillRows(d, 0xFF336699u); });
  owlbench::RegisterPerForm("CopyRows", [](const BitmapBits& d, const BitmapBits& s) { owl::CopyRows(d, s); });
  owlbench::RegisterPerForm("CopyRowsKeyed",
                            [](const BitmapBits& d, const BitmapBits& s) { owl::CopyRowsKeyed(d, s, 0); });
  owlbench::RegisterPerForm("BlendRows", [](const BitmapBits& d, const BitmapBits& s) { owl::BlendRows(d, s); });
  owlbench::RegisterPerForm("BlendRowsAlpha",
                            [](const BitmapBits& d, const BitmapBits& s) { owl::BlendRowsAlpha(d, s, 128); });
  owlbench::RegisterPerForm("MixRows", [](const BitmapBits& d, const BitmapBits& s) { owl::MixRows(d, s, 100); });
  owlbench::RegisterPerForm("BlendOpaqueRows",
                            [](const BitmapBits& d, const BitmapBits& s) { owl::BlendOpaqueRows(d, s, 100); });
  owlbench::RegisterPerForm("MixColorRows",
                            [](const BitmapBits& d, const BitmapBits&) { owl::MixColorRows(d, 0x80402010u, 100); });
  return true;
}();

}  // namespace
