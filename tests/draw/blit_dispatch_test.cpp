// The dispatcher's whole table (blend kind, constant alpha, size, filter)
// through DrawTexture and DrawTextureEx under every processor mask, against
// pixels computed in the test.
#include <gtest/gtest.h>

#include "canvas_util.h"
#include "draw/blit_dispatch.h"
#include "draw_reference.h"
#include "test_util.h"

namespace {

using owltest::Image;
using owltest::Sampling;

struct Plan {
  enum Op { kNothing, kCopy, kKeyed, kOver, kMultiply } op;
  Sampling sampling;
  uint32_t alpha;
  bool vectorForm;  // separable bilinear or 16-bit-lane bicubic
};

Plan PlanFor(uint32_t kind, uint32_t alpha, int32_t sw, int32_t sh, int32_t dw, int32_t dh, uint32_t filter,
             uint32_t mask) {
  const bool same = sw == dw && sh == dh;
  if (sw == 1 || sh == 1) filter = 0;
  else if ((sw < 5 || sh < 5) && filter == 4) filter = 1;
  const Sampling filtered = same ? Sampling::kSame
                            : filter == 0 ? Sampling::kNearest
                            : filter == 4 ? Sampling::kBicubic
                                          : Sampling::kBilinear;
  const bool mmx = (mask & owl::kCpuMMX) != 0;
  if (kind == 3) return {Plan::kMultiply, same ? Sampling::kSame : Sampling::kNearest, 255, false};
  if (alpha == 0) return {Plan::kNothing, filtered, 0, false};
  // The bilinear constant-alpha loop has a plain form only.
  if (kind == 1 || alpha < 255)
    return {Plan::kOver, filtered, alpha, mmx && (filtered != Sampling::kBilinear || alpha == 255)};
  if (kind == 2) return {same || filter == 0 ? Plan::kKeyed : Plan::kOver, filtered, 255, mmx};
  return {Plan::kCopy, filtered, 255, mmx};
}

void Apply(const Plan& plan, const Image& src, Image& canvas, const owlRect& d) {
  const int32_t dw = d.right - d.left, dh = d.bottom - d.top;
  if (plan.op == Plan::kNothing) return;
  for (int32_t i = 0; i < dh; ++i)
    for (int32_t j = 0; j < dw; ++j) {
      const uint32_t s = owltest::SampleAt(src, dw, dh, j, i, plan.sampling, plan.vectorForm);
      uint32_t& p = canvas.at(d.left + j, d.top + i);
      switch (plan.op) {
        case Plan::kCopy: p = s; break;
        case Plan::kKeyed: if (s != 0) p = s; break;
        case Plan::kOver: p = owltest::Over(plan.alpha == 255 ? s : owltest::ScaleByAlpha(s, plan.alpha), p); break;
        case Plan::kMultiply: p = owltest::Multiply(p, s); break;
        case Plan::kNothing: break;
      }
    }
}

struct SizeCase {
  owlRect src;
  int32_t dw, dh;
};

TEST(BlitDispatch, EveryRowOfTheTable) {
  owltest::Rng rng(2024);
  Image texels = owltest::RandomImage(rng, 12, 12);
  for (size_t i = 0; i < texels.px.size(); i += 5) texels.px[i] = 0;  // key texels
  // Bicubic samples of opaque texels never carry colour above alpha, so
  // every form's source-over is defined alike.
  Image opaque = owltest::RandomImage(rng, 12, 12);
  for (auto& p : opaque.px) p |= 0xFF000000u;
  owltest::TextureHolder tex(CreateTexture(12, 12)), opaqueTex(CreateTexture(12, 12));
  owltest::WriteTexture(tex.h, texels);
  owltest::WriteTexture(opaqueTex.h, opaque);
  owltest::CanvasHolder canvas(CreateCanvas(24, 20, HGCANVAS(0u)));

  const SizeCase sizes[] = {
      {{1, 2, 8, 8}, 7, 6},     // 1:1
      {{1, 2, 8, 8}, 17, 13},   // magnified
      {{1, 2, 8, 8}, 5, 4},     // reduced
      {{4, 0, 5, 10}, 6, 12},   // one texel wide: nearest
      {{2, 1, 5, 11}, 9, 14},   // three wide: bicubic becomes bilinear
      {{6, 6, 11, 11}, 11, 9},  // 5x5 stays bicubic
  };
  const uint32_t kinds[] = {0, 1, 2, 3, 4, 0xC8};
  const uint32_t alphas[] = {0, 128, 255};
  const uint32_t filters[] = {OWL_RESAMPLE_NEAREST, OWL_RESAMPLE_BILINEAR, 2, OWL_RESAMPLE_BICUBIC, 7};
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (const SizeCase& sc : sizes)
      for (uint32_t kind : kinds)
        for (uint32_t alpha : alphas)
          for (uint32_t filter : filters) {
            const int32_t sw = sc.src.right - sc.src.left, sh = sc.src.bottom - sc.src.top;
            const Plan plan = PlanFor(kind, alpha, sw, sh, sc.dw, sc.dh, filter, mask);
            const bool useOpaque = plan.sampling == Sampling::kBicubic;
            const HGTEXTURE t = useOpaque ? opaqueTex.h : tex.h;
            ASSERT_EQ(SetTextureFilter(t, kind << 24 | 0x123456), 1);
            ASSERT_EQ(SetTextureSlice(t, 1, &sc.src), 0);  // DrawTextureEx draws the current slice

            Image before = owltest::RandomImage(rng, 24, 20);
            owltest::WriteCanvas(canvas.h, before);
            const owlRect d{3, 2, 3 + sc.dw, 2 + sc.dh};
            const int result = alpha == 255 ? DrawTexture(canvas.h, &d, t, filter)
                                            : DrawTextureEx(canvas.h, &d, t, filter, uint8_t(alpha));
            EXPECT_EQ(result, 1);
            Apply(plan, (useOpaque ? opaque : texels).Crop(sc.src), before, d);
            const Image after = owltest::ReadCanvas(canvas.h, 24, 20);
            ASSERT_EQ(after.px, before.px) << "mask " << mask << " kind " << kind << " alpha " << alpha
                                           << " filter " << filter << " src " << sc.src << " to " << sc.dw
                                           << "x" << sc.dh;
          }
  }
}

TEST(BlitDispatch, SmallSourceFilterAdjustment) {
  EXPECT_EQ(owl::AdjustResampleFilter(1, 10, 4), 0u);
  EXPECT_EQ(owl::AdjustResampleFilter(10, 1, 7), 0u);
  EXPECT_EQ(owl::AdjustResampleFilter(3, 10, 4), 1u);
  EXPECT_EQ(owl::AdjustResampleFilter(100, 4, 4), 1u);
  EXPECT_EQ(owl::AdjustResampleFilter(3, 10, 2), 2u);  // only bicubic is lowered
  EXPECT_EQ(owl::AdjustResampleFilter(5, 5, 4), 4u);
}

TEST(BlitDispatch, NullAndEmptyBlocks) {
  uint32_t px[4] = {1, 2, 3, 4};
  const BitmapBits block{2, 2, 8, px};
  const BitmapBits empty{0, 2, 8, px};
  EXPECT_FALSE(owl::BlitDispatch(nullptr, &block, 0, 0, 255));
  EXPECT_FALSE(owl::BlitDispatch(&block, nullptr, 0, 0, 255));
  EXPECT_TRUE(owl::BlitDispatch(&block, &empty, 0, 1, 255));
  EXPECT_TRUE(owl::BlitDispatch(&empty, &block, 0x03000000, 1, 255));
  EXPECT_EQ(px[0], 1u);
  EXPECT_EQ(px[3], 4u);
}

}  // namespace
