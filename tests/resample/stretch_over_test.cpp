#include "resample/stretch_over.h"

#include <gtest/gtest.h>

#include "sweep.h"

namespace owl {
namespace {

using owltest::CheckCase;
using owltest::Rng;
using owltest::BlockCase;

using Sampler = uint32_t (*)(const BlockCase&, int32_t, int32_t, uint32_t);

uint32_t NearestSample(const BlockCase& c, int32_t j, int32_t i, uint32_t) { return owltest::NearestRef(c, j, i); }
uint32_t PlainBilinearSample(const BlockCase& c, int32_t j, int32_t i, uint32_t) {
  return owltest::BilinearRef(c, j, i, 0);
}

// sample under mask, scaled by alpha (255: unscaled), composited onto the
// old destination pixel; vector forms saturate, plain forms wrap (the same
// for premultiplied samples except bicubic, whose both forms saturate).
template <typename Run>
void CheckBlitter(uint32_t seed, Sampler sample, bool saturate, Run run, uint32_t alpha) {
  Rng rng(seed);
  std::vector<owltest::SizePair> sizes;
  for (int32_t dw = 0; dw <= 70; ++dw) sizes.push_back({rng.Range(1, 12), rng.Range(1, 9), dw, rng.Range(1, 3)});
  if (alpha == 128 || alpha == 255)  // the largest sizes once per loop and form of alpha handling
    for (const owltest::SizePair& p : owltest::ExtremeSizes()) sizes.push_back(p);
  for (size_t n = 0; n < sizes.size(); ++n) {
    const owltest::SizePair& p = sizes[n];
    BlockCase c(rng, p.sw, p.sh, p.dw, p.dh, 1 + int32_t(n % 3), int32_t(n % 4));
    CheckCase(c, run, [&](const BlockCase& k, int32_t j, int32_t i, uint32_t mask) {
      if (alpha == 0) return k.D(j, i);
      const uint32_t s = sample(k, j, i, mask);
      return owltest::Over(alpha == 255 ? s : owltest::ScaleByAlpha(s, alpha), k.D(j, i), saturate);
    });
  }
}

const uint8_t kAlphas[] = {0, 1, 128, 254, 255};

TEST(StretchNearestOver, EachFormComposites) {
  CheckBlitter(31, NearestSample, true, StretchNearestOver, 255);
  for (uint8_t a : kAlphas)
    CheckBlitter(32 + a, NearestSample, true,
                 [a](const BitmapBits& d, const BitmapBits& s) { return StretchNearestOverAlpha(d, s, a); }, a);
}

TEST(StretchBilinearOver, EachFormCompositesItsInterpolation) {
  CheckBlitter(41, owltest::BilinearRef, true, StretchBilinearOver, 255);
  // The Alpha form has only the plain four-weight sampler, except at 255.
  for (uint8_t a : kAlphas)
    CheckBlitter(42 + a, a == 255 ? Sampler(owltest::BilinearRef) : PlainBilinearSample, true,
                 [a](const BitmapBits& d, const BitmapBits& s) { return StretchBilinearOverAlpha(d, s, a); }, a);
}

TEST(StretchBicubicOver, EachFormCompositesItsSampler) {
  CheckBlitter(51, owltest::BicubicRef, true, StretchBicubicOver, 255);
  for (uint8_t a : kAlphas)
    CheckBlitter(52 + a, owltest::BicubicRef, true,
                 [a](const BitmapBits& d, const BitmapBits& s) { return StretchBicubicOverAlpha(d, s, a); }, a);
}

// A transparent source changes nothing; an opaque one at alpha 255 hides the
// destination in the nearest and bilinear blitters.
TEST(Blitters, TransparentAndOpaqueSources) {
  using Blit = bool (*)(const BitmapBits&, const BitmapBits&, uint8_t);
  const Blit blits[] = {StretchNearestOverAlpha, StretchBilinearOverAlpha, StretchBicubicOverAlpha};
  for (size_t b = 0; b < 3; ++b) {
    for (uint32_t texel : {0u, 0xFF336699u}) {
      std::vector<uint32_t> src(7 * 6, texel), dst(13 * 11, 0x80402010u);
      for (uint32_t mask : owltest::kMasks) {
        ScopedCpuMask scoped(mask);
        std::fill(dst.begin(), dst.end(), 0x80402010u);
        blits[b](BitmapBits{13, 11, 13 * 4, dst.data()}, BitmapBits{7, 6, 7 * 4, src.data()}, 255);
        const uint32_t want = texel == 0 ? 0x80402010u : texel;
        if (texel != 0 && b == 2) continue;  // bicubic taps sum above one unit
        for (uint32_t d : dst) ASSERT_EQ(d, want) << "blitter " << b << " mask " << mask;
      }
    }
  }
}

}  // namespace
}  // namespace owl
