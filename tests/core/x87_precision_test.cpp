// Floating point that must not depend on the build: x87 registers (32-bit)
// against SSE (64-bit). These run on every build; on x87 builds they fail
// without ScopedDoublePrecision and RoundToFloat.
#include "core/x87_precision.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "owlgraphic.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

// u * a + t * b with t = 1/3, u = 1 - t: exactly 255 in double arithmetic,
// just below it at x87's 64-bit precision.
int32_t ThirdsOf255() {
  volatile double one = 1.0, three = 3.0, c = 255.0;
  const owl::ScopedDoublePrecision precision;
  const double t = one / three;
  const double u = 1.0 - t;
  return int32_t(u * c + t * c);
}

TEST(X87Precision, DoublePrecisionRoundsEveryOperationToDouble) { EXPECT_EQ(ThirdsOf255(), 255); }

TEST(X87Precision, RoundToFloatRoundsAStoredValue) {
  volatile double tiny = 1e-12;
  const float f = owl::RoundToFloat(1.0 + tiny);
  EXPECT_EQ(double(f), 1.0);
  EXPECT_EQ(int64_t(owl::RoundToFloat(4.9999999999)), 5);
}

#if defined(OWL_X87_MATH)
TEST(X87Precision, ThePrecisionControlIsPutBack) {
  uint16_t before, inside, after;
  __asm__ volatile("fnstcw %0" : "=m"(before));
  {
    const owl::ScopedDoublePrecision precision;
    __asm__ volatile("fnstcw %0" : "=m"(inside));
  }
  __asm__ volatile("fnstcw %0" : "=m"(after));
  EXPECT_EQ(inside & 0x0300, 0x0200);
  EXPECT_EQ(after, before);
}
#endif

// The exports that compute in floating point, at values that sit on an
// integer boundary of the truncation.
TEST(X87Precision, GradientStepsAreTheSameOnEveryBuild) {
  owltest::CanvasHolder canvas(CreateCanvas(4, 3, HGCANVAS(0u)));
  const owlRect rect{0, 0, 4, 3};
  ASSERT_EQ(FillSolidRectEx(canvas.h, 0, &rect, OWL_FILL_COPY), 1);
  ASSERT_EQ(FillGradualRect(canvas.h, 0xFF000000u, 0xFFFFFFFFu, &rect, OWL_GRADIENT_TOP_TO_BOTTOM), 1);
  BitmapBits bits;
  ASSERT_EQ(GetCanvasClipBits(canvas.h, &bits), 1);
  const uint32_t* px = static_cast<const uint32_t*>(bits.bits);
  EXPECT_EQ(px[0], 0xFF000000u);
  EXPECT_EQ(px[bits.pitch / 4], 0xFF555555u);
  EXPECT_EQ(px[bits.pitch / 2], 0xFFAAAAAAu);
}

TEST(X87Precision, ColorConversionValuesAreTheSameOnEveryBuild) {
  EXPECT_EQ(AHSLtoARGB(0xFF00FF80u), 0xFFFF0101u);
  EXPECT_EQ(AHSLtoARGB(0x00AAFF80u), 0x000101FFu);
  EXPECT_EQ(ARGBtoAHSL(0xFFFF0000u), 0xFF00FF80u);
}

}  // namespace
