// Stretch loops and constant-alpha blitters in every form, at a 1920x1080
// destination from a source of half (2x magnification) and twice (0.5x
// minification) its size, in destination pixels per second.
#include "bench_util.h"
#include "resample/stretch.h"
#include "resample/stretch_over.h"
#include "rows/multiply_rows.h"

namespace {

constexpr owlbench::Size kDst{1920, 1080};

void Register(const std::string& name, owlbench::BlockOp loop, bool same_size_only = false) {
  for (const owlbench::Form& form : owlbench::kForms) {
    if (!owlbench::MachineAllows(form.mask)) continue;
    for (int scale : {2, -2}) {
      if (same_size_only && scale != 2) continue;
      const owlbench::Size src = same_size_only ? kDst
                                 : scale > 0    ? owlbench::Size{kDst.width / 2, kDst.height / 2}
                                                : owlbench::Size{kDst.width * 2, kDst.height * 2};
      const std::string label = name + "/" + form.name + (same_size_only ? "" : scale > 0 ? "/x2" : "/x0.5");
      benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
        owlbench::Block dst(kDst, 1), source(src, 2);
        owl::ScopedCpuMask mask(form.mask);
        for (auto _ : state) {
          loop(dst.bits, source.bits);
          benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(int64_t(state.iterations()) * kDst.width * kDst.height);
      });
    }
  }
}

const bool kRegistered = [] {
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
