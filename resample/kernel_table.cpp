// Kernel functions and the bicubic tables, all built at load.
#include "resample/kernel_table.h"

#include <atomic>
#include <cmath>

#include "core/cpu_features.h"
#include "core/x87_precision.h"
#include "owlgraphic.h"

namespace owl {

namespace {

// Computed by the compiler: no start-up work, nothing written at run time.
constexpr struct ClampValues {
  uint8_t v[kClampEntries];
  constexpr ClampValues() : v() {
    for (int i = 0; i < kClampEntries; ++i) v[i] = uint8_t(i < 256 ? 0 : i - 256 > 255 ? 255 : i - 256);
  }
} kClamp;

}  // namespace

const uint8_t* const ClampCenter = kClamp.v + 256;

namespace {

std::atomic<int32_t> g_mode{2};

double Cube(double t) { return t > 0.0 ? t * t * t : 0.0; }

// The three kernels (strict cubic, B-spline, cubic with a = -1) in both
// formats.
struct Tables {
  int32_t entries[3][2][kKernelEntries];
  Tables() {
    const ScopedDoublePrecision precision;  // the same tables on x87 builds
    double (*const kernels[3])(double) = {KernelCubicStrict, KernelBSpline, KernelCubic};
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < kKernelEntries; ++i) {
        const double v = kernels[k](i * 0.00390625);
        entries[k][0][i] = int32_t(v * 256.0 + 0.5);
        // Truncation after adding 0.5: negative values move toward zero.
        const uint32_t w = uint32_t(int32_t(v * 16384.0 + 0.5)) & 0xFFFFu;
        entries[k][1][i] = int32_t(w | w << 16);
      }
  }
};

// Built on first use, which the load-time initialiser below makes the
// library's start-up; static storage, so nothing to free at exit.
const Tables& AllTables() {
  static const Tables tables;
  return tables;
}
const bool g_built_at_load = (AllTables(), true);

// A build without MMX forms keeps the integer format on any processor.
bool WantMmxFormat() {
#if defined(OWL_HAVE_MMX)
  return HasMMX();
#else
  return false;
#endif
}

}  // namespace

int32_t KernelMode() { return g_mode.load(std::memory_order_relaxed); }

bool SetKernelMode(int32_t mode) { return g_mode.exchange(mode, std::memory_order_relaxed) != mode; }

const int32_t* KernelTableFor(int32_t mode, bool mmx) {
  const int kernel = mode == 0 ? 0 : mode == 1 ? 1 : 2;
  return AllTables().entries[kernel][mmx ? 1 : 0];
}

const int32_t* CurrentKernelTable(bool* mmx) {
  *mmx = WantMmxFormat();
  return KernelTableFor(KernelMode(), *mmx);
}

double KernelCubic(double x) {
  const double a = -1.0;
  const double d = std::fabs(x);
  if (d == 0.0) return 1.0;
  if (d <= 1.0) return (a + 2.0) * d * d * d - (a + 3.0) * d * d + 1.0;
  if (d <= 2.0) return a * d * d * d - 5.0 * a * d * d + 8.0 * a * d - 4.0 * a;
  return 0.0;
}

double KernelCubicStrict(double x) {
  const double d = std::fabs(x);
  if (d < 1.0) return 1.0 - 2.0 * d * d + d * d * d;
  if (d < 2.0) return 4.0 - 8.0 * d + 5.0 * d * d - d * d * d;
  return 0.0;
}

double KernelBSpline(double x) {
  if (x > 2.0) return 0.0;
  // 1/6 rounded to single precision, kept as a double constant.
  return (Cube(x + 2.0) - 4.0 * Cube(x + 1.0) + 6.0 * Cube(x) - 4.0 * Cube(x - 1.0)) * 0.1666666716337204;
}

}  // namespace owl
