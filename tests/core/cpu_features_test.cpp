#include "core/cpu_features.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace owl {
namespace {

TEST(CpuFeatures, MaskForcesEveryFeatureSetAndSurvivesReprobe) {
  const bool mmx = HasMMX(), sse = HasSSE(), sse2 = HasSSE2(), avx2 = HasAVX2();
  for (uint32_t mask : owltest::kMasks) {
    ScopedCpuMask scoped(mask);
    DetectCpuFeatures();  // the kernel-table build probes again
    EXPECT_EQ(HasMMX(), mmx && (mask & kCpuMMX));
    EXPECT_EQ(HasSSE(), sse && (mask & kCpuSSE));
    EXPECT_EQ(HasSSE2(), sse2 && (mask & kCpuSSE2));
    EXPECT_EQ(HasAVX2(), avx2 && (mask & kCpuAVX2));
  }
  EXPECT_EQ(HasAVX2(), avx2);
  EXPECT_EQ(HasMMX(), mmx);
  EXPECT_EQ(HasSSE2(), sse2);
}

#if defined(__x86_64__)
TEST(CpuFeatures, Every64BitX86ProcessorHasAllThree) {
  EXPECT_TRUE(HasMMX());
  EXPECT_TRUE(HasSSE());
  EXPECT_TRUE(HasSSE2());
}
#endif

#if defined(__AVX2__)
TEST(CpuFeatures, AProgramBuiltForAvx2RunsWhereTheProbeFindsIt) { EXPECT_TRUE(HasAVX2()); }
#endif

}  // namespace
}  // namespace owl
