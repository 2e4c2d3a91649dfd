#include "core/cpu_features.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace owl {
namespace {

TEST(CpuFeatures, MaskForcesEveryFeatureSetAndAProbeChangesNothing) {
  const bool mmx = HasMMX(), sse = HasSSE(), sse2 = HasSSE2(), avx2 = HasAVX2(), avx512 = HasAVX512();
  for (uint32_t mask : owltest::kMasks) {
    ScopedCpuMask scoped(mask);
    DetectCpuFeatures();  // probed at load: a second probe writes nothing
    EXPECT_EQ(HasMMX(), mmx && (mask & kCpuMMX));
    EXPECT_EQ(HasSSE(), sse && (mask & kCpuSSE));
    EXPECT_EQ(HasSSE2(), sse2 && (mask & kCpuSSE2));
    EXPECT_EQ(HasAVX2(), avx2 && (mask & kCpuAVX2));
    EXPECT_EQ(HasAVX512(), avx512 && (mask & kCpuAVX2) && (mask & kCpuAVX512));
  }
  EXPECT_TRUE(!avx512 || avx2);
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
