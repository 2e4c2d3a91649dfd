// Kernel functions and the first-use builders of the bicubic tables.
#include "resample/kernel_table.h"

#include <cmath>

#include "core/cpu_features.h"
#include "core/x87_precision.h"
#include "owlgraphic.h"

namespace owl {

int32_t KernelTable[kKernelEntries];
uint8_t ClampTable[kClampEntries];
const uint8_t* const ClampCenter = ClampTable + 256;

namespace {

int32_t g_mode = OWL_KERNEL_CUBIC;
bool g_kernel_built = false;
bool g_kernel_mmx = false;
bool g_clamp_built = false;

double Cube(double t) { return t > 0.0 ? t * t * t : 0.0; }

// A build without MMX forms keeps the integer format on any processor.
bool WantMmxFormat() {
#if defined(OWL_HAVE_MMX)
  return HasMMX();
#else
  return false;
#endif
}

}  // namespace

int32_t KernelMode() { return g_mode; }

bool SetKernelMode(int32_t mode) {
  if (mode == g_mode) return false;
  g_mode = mode;
  BuildKernelTableIfNeeded();
  BuildKernelTable();
  return true;
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
  return (Cube(x + 2.0) - 4.0 * Cube(x + 1.0) + 6.0 * Cube(x) - 4.0 * Cube(x - 1.0)) *
         0.1666666716337204;
}

void BuildKernelTable() {
  const ScopedDoublePrecision precision;  // the same table on x87 builds
  DetectCpuFeatures();
  const bool mmx = WantMmxFormat();
  double (*kernel)(double) = g_mode == OWL_KERNEL_CUBIC_STRICT ? KernelCubicStrict
                             : g_mode == OWL_KERNEL_BSPLINE    ? KernelBSpline
                                                               : KernelCubic;
  for (int i = 0; i < kKernelEntries; ++i) {
    const double v = kernel(i * 0.00390625);
    if (mmx) {
      // Truncation after adding 0.5: negative values move toward zero.
      const uint32_t w = uint32_t(int32_t(v * 16384.0 + 0.5)) & 0xFFFFu;
      KernelTable[i] = int32_t(w | w << 16);
    } else {
      KernelTable[i] = int32_t(v * 256.0 + 0.5);
    }
  }
  g_kernel_mmx = mmx;
  g_kernel_built = true;
}

void BuildKernelTableIfNeeded() {
  if (!g_kernel_built || g_kernel_mmx != WantMmxFormat()) BuildKernelTable();
}

bool KernelTableIsMmxFormat() { return g_kernel_mmx; }

void BuildClampTableIfNeeded() {
  if (g_clamp_built) return;
  for (int i = 0; i < kClampEntries; ++i) {
    const int t = i - 256 > 0 ? i - 256 : 0;
    ClampTable[i] = uint8_t(t >= 255 ? 255 : t);
  }
  g_clamp_built = true;
}

}  // namespace owl
