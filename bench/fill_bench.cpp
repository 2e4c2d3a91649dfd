// Fill rows in every form and the exported gradient fill.
#include "bench_util.h"
#include "rows/fill_rows.h"

namespace {

const bool kRegistered = [] {
  owlbench::RegisterPerForm("BlendFillRows",
                            [](const BitmapBits& d, const BitmapBits&) { owl::BlendFillRows(d, 0x80402010u); });
  owlbench::RegisterPerForm("MultiplyFillRows",
                            [](const BitmapBits& d, const BitmapBits&) { owl::MultiplyFillRows(d, 0xC0A08060u); });
  owlbench::RegisterPerForm("OrFillRows",
                            [](const BitmapBits& d, const BitmapBits&) { owl::OrFillRows(d, 0x00102030u); });
  for (const owlbench::Size& size : owlbench::kSizes)
    for (int direction : {1, 2}) {
      const std::string name = std::string("FillGradualRect/") + (direction == 1 ? "vertical/" : "horizontal/") +
                               owlbench::SizeName(size);
      benchmark::RegisterBenchmark(name.c_str(), [size, direction](benchmark::State& state) {
        HGCANVAS c = CreateCanvas(size.width, size.height, HGCANVAS(0u));
        const owlRect r{0, 0, size.width, size.height};
        for (auto _ : state) FillGradualRect(c, 0x80402010u, 0xC0C08040u, &r, direction);
        state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
        DeleteCanvas(c);
      });
    }
  // Small solid fills through the exported functions: the per-call cost.
  for (int side : {16, 256}) {
    const std::string name = "FillSolidRect/" + std::to_string(side) + "x" + std::to_string(side);
    benchmark::RegisterBenchmark(name.c_str(), [side](benchmark::State& state) {
      HGCANVAS c = CreateCanvas(side, side, HGCANVAS(0u));
      const owlRect r{0, 0, side, side};
      for (auto _ : state) FillSolidRect(c, 0x80402010u, &r);
      state.SetItemsProcessed(int64_t(state.iterations()) * side * side);
      DeleteCanvas(c);
    });
  }
  return true;
}();

}  // namespace
