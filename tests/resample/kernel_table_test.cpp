#include "resample/kernel_table.h"

#include <gtest/gtest.h>

#include "owlgraphic.h"
#include "test_util.h"

namespace owl {
namespace {

// Restores the initial mode so that later tests sample with the default kernel.
struct ModeRestorer {
  ~ModeRestorer() {
    SetStretchKernelMode(OWL_KERNEL_CUBIC);
    BuildKernelTableIfNeeded();
  }
};

int32_t Entry(int i, bool mmx) { return mmx ? int16_t(KernelTable[i] & 0xFFFF) : KernelTable[i]; }

// Builds the table under a forced MMX flag; false when the processor lacks MMX.
bool BuildIn(bool mmx) {
  if (mmx && !HasMMX()) return false;
  ScopedCpuMask mask(mmx ? kCpuAll : 0);
  BuildKernelTableIfNeeded();
  return KernelTableIsMmxFormat() == mmx;
}

TEST(KernelMode, StartsAtTwoAndSetReportsChanges) {
  ModeRestorer restore;
  EXPECT_EQ(GetStretchKernelMode(), OWL_KERNEL_CUBIC);
  EXPECT_EQ(SetStretchKernelMode(OWL_KERNEL_CUBIC), 0);
  EXPECT_EQ(SetStretchKernelMode(-5), 1);
  EXPECT_EQ(GetStretchKernelMode(), -5);
  EXPECT_EQ(SetStretchKernelMode(-5), 0);
  EXPECT_EQ(SetStretchKernelMode(7), 1);  // another cubic: rebuilt, same table
  EXPECT_EQ(SetStretchKernelMode(OWL_KERNEL_CUBIC_STRICT), 1);
  EXPECT_EQ(SetStretchKernelMode(OWL_KERNEL_CUBIC), 1);
  EXPECT_EQ(GetStretchKernelMode(), OWL_KERNEL_CUBIC);
}

TEST(KernelTable, TellingEntriesInBothFormatsAndEveryMode) {
  ModeRestorer restore;
  struct Row { int i; int32_t cubic256, cubic16k, bs256, bs16k; };
  const Row rows[] = {{0, 256, 16384, 171, 10923},
                      {128, 160, 10240, 123, 7851},
                      {256, 0, 0, 43, 2731},
                      {384, -31, -2047, 5, 341},
                      {512, 0, 0, 0, 0}};
  for (bool mmx : {false, true}) {
    for (int mode : {OWL_KERNEL_CUBIC_STRICT, OWL_KERNEL_BSPLINE, OWL_KERNEL_CUBIC, 7, -5}) {
      SetStretchKernelMode(mode);
      if (!BuildIn(mmx)) continue;
      SCOPED_TRACE(testing::Message() << "mmx " << mmx << " mode " << mode);
      for (const Row& r : rows) {
        const int32_t want = mode == 1 ? (mmx ? r.bs16k : r.bs256) : (mmx ? r.cubic16k : r.cubic256);
        EXPECT_EQ(Entry(r.i, mmx), want) << "entry " << r.i;
      }
      if (mmx) {
        for (int i = 0; i < kKernelEntries; ++i)
          EXPECT_EQ(uint32_t(KernelTable[i]) >> 16, uint32_t(KernelTable[i]) & 0xFFFF) << "entry " << i;
      }
      // Four taps of one axis: 256..258 / 16384..16386 for the cubic,
      // one lower for the B-spline.
      const int32_t unit = mmx ? 16384 : 256, low = mode == 1 ? unit - 1 : unit;
      for (int f = 0; f < 256; ++f) {
        const int32_t sum = Entry(256 + f, mmx) + Entry(f, mmx) + Entry(256 - f, mmx) + Entry(512 - f, mmx);
        EXPECT_GE(sum, low) << "f " << f;
        EXPECT_LE(sum, low + 2) << "f " << f;
      }
      if (mode != 1) {
        int worst = 0;
        for (int i = 0; i < kKernelEntries; ++i)
          if (Entry(i, mmx) < Entry(worst, mmx)) worst = i;
        EXPECT_EQ(worst, mmx ? 340 : 332);
        EXPECT_EQ(Entry(worst, mmx), mmx ? -2426 : -37);
      }
    }
  }
}

TEST(KernelTable, StrictAndDefaultCubicAgreeAtEveryEntry) {
  ModeRestorer restore;
  for (bool mmx : {false, true}) {
    SetStretchKernelMode(OWL_KERNEL_CUBIC_STRICT);
    if (!BuildIn(mmx)) continue;
    const std::vector<int32_t> strict(KernelTable, KernelTable + kKernelEntries);
    SetStretchKernelMode(OWL_KERNEL_CUBIC);
    BuildIn(mmx);
    EXPECT_EQ(std::vector<int32_t>(KernelTable, KernelTable + kKernelEntries), strict);
  }
  EXPECT_DOUBLE_EQ(KernelBSpline(0.0), 4 * 0.1666666716337204);
  EXPECT_DOUBLE_EQ(KernelBSpline(1.0), 0.1666666716337204);
  EXPECT_DOUBLE_EQ(KernelBSpline(2.0), 0.0);
  EXPECT_DOUBLE_EQ(KernelCubic(1.5), -0.125);
  EXPECT_DOUBLE_EQ(KernelCubicStrict(2.0), 0.0);
}

TEST(KernelTable, FollowsTheMmxFlagWhenForced) {
  if (!HasMMX()) GTEST_SKIP() << "no MMX";
  EXPECT_TRUE(BuildIn(false));
  EXPECT_EQ(KernelTable[0], 256);
  EXPECT_TRUE(BuildIn(true));
  EXPECT_EQ(KernelTable[0], 16384 | 16384 << 16);
}

TEST(ClampTable, CenterClampsEverySignedSum) {
  BuildClampTableIfNeeded();
  for (int v = -256; v <= 511; ++v) EXPECT_EQ(ClampCenter[v], v < 0 ? 0 : v > 255 ? 255 : v) << v;
  EXPECT_EQ(ClampCenter, ClampTable + 256);
  EXPECT_EQ(ClampTable[767], 255);
}

}  // namespace
}  // namespace owl
