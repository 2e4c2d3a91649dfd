// Canvas composition through the exported functions: every feature mask,
// equal and stretched rectangles, worked values, overlaps and refusals.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "canvas_util.h"
#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "reference.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::CanvasHolder;
using owltest::CanvasPixels;
using owltest::DeviceBits;
using owltest::FilledCanvas;
using owltest::PixelAt;
using owltest::GuardedBlock;
using owltest::kMasks;
using owltest::Rng;

using Ref = uint32_t (*)(uint32_t, uint32_t, uint32_t);

using Export = int (*)(HGCANVAS, const owlRect*, HGCANVAS, const owlRect*, uint8_t);

// Runs a two-canvas export under every mask over equal and stretched
// rectangles and compares every destination pixel with ref (chosen per
// mask); pixels outside dstRect stay.
void CheckExport(Export fn, const std::function<Ref(uint32_t mask)>& refFor, uint32_t seed) {
  Rng rng(seed);
  const owlRect dstRects[] = {{3, 2, 40, 9}, {0, 0, 13, 5}, {5, 1, 6, 12}};
  const owlRect srcRects[] = {{1, 4, 38, 11}, {2, 0, 41, 14}, {0, 0, 3, 2}};
  for (const owlRect& dr : dstRects)
    for (const owlRect& sr : srcRects)
      for (uint32_t mask : kMasks) {
        CanvasHolder dst(FilledCanvas(45, 15, 0, &rng)), src(FilledCanvas(45, 15, 0, &rng));
        const std::vector<uint32_t> before = CanvasPixels(dst.h), sp = CanvasPixels(src.h);
        const uint8_t alpha = uint8_t(rng.Range(1, 254));
        {
          ScopedCpuMask m(mask);
          ASSERT_EQ(fn(dst.h, &dr, src.h, &sr, alpha), 1);
        }
        const Ref ref = refFor(mask);
        const int32_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
        const uint32_t sx = uint32_t(((sr.right - sr.left) << 16) / dw);
        const uint32_t sy = uint32_t(((sr.bottom - sr.top) << 16) / dh);
        const std::vector<uint32_t> got = CanvasPixels(dst.h);
        for (int32_t y = 0; y < 15; ++y)
          for (int32_t x = 0; x < 45; ++x) {
            uint32_t want = before[size_t(y * 45 + x)];
            if (Contains(dr, x, y)) {
              const int32_t col = sr.left + int32_t((uint32_t(x - dr.left) * sx) >> 16);
              const int32_t row = sr.top + int32_t((uint32_t(y - dr.top) * sy) >> 16);
              want = ref(want, sp[size_t(row * 45 + col)], alpha);
            }
            ASSERT_EQ(got[size_t(y * 45 + x)], want) << "mask " << mask << " at " << x << "," << y << " " << dr << sr;
          }
      }
}

TEST(Composition, MixCanvasEveryFormAndSize) {
  CheckExport(MixCanvas, [](uint32_t mask) { return (mask & kCpuMMX) && HasMMX() ? owltest::MixSplit : owltest::MixPlain; }, 11);
}

TEST(Composition, BlendCanvasEveryFormAndSize) {
  CheckExport(BlendCanvas, [](uint32_t) { return Ref(owltest::BlendOpaque); }, 12);
}

TEST(Composition, MixCanvasWorkedValuesAndShortcuts) {
  const owlRect r{0, 0, 4, 2};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    CanvasHolder dst(FilledCanvas(4, 2, 0xFF000000u)), src(FilledCanvas(4, 2, 0xFFFFFFFFu));
    ASSERT_EQ(MixCanvas(dst.h, &r, src.h, &r, 128), 1);
    // Plain: (255 * 127 + 255 * 129) >> 8 = 255 for alpha; the split
    // truncation gives 126 + 128.
    EXPECT_EQ(PixelAt(dst.h, 3, 1), HasMMX() ? 0xFE808080u : 0xFF808080u) << mask;

    Rng rng(mask);
    CanvasHolder a(FilledCanvas(4, 2, 0, &rng)), b(FilledCanvas(4, 2, 0, &rng));
    const std::vector<uint32_t> before = CanvasPixels(a.h);
    EXPECT_EQ(MixCanvas(a.h, &r, b.h, &r, 0), 1);
    EXPECT_EQ(CanvasPixels(a.h), before);
    EXPECT_EQ(MixCanvas(a.h, &r, b.h, &r, 255), 1);
    EXPECT_EQ(CanvasPixels(a.h), CanvasPixels(b.h));
  }
}

TEST(Composition, MixCanvasStretchReadsNearestColumns) {
  CanvasHolder dst(FilledCanvas(3, 1, 0)), src(CreateCanvas(6, 1, HGCANVAS(0u)));
  for (uint32_t i = 0; i < 6; ++i) RowAt(DeviceBits(src.h), 0)[i] = 0xFF000000u | i;
  const owlRect dr{0, 0, 3, 1}, sr{0, 0, 6, 1};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    ASSERT_EQ(MixCanvas(dst.h, &dr, src.h, &sr, 255), 1);
    EXPECT_EQ(CanvasPixels(dst.h), (std::vector<uint32_t>{0xFF000000u, 0xFF000002u, 0xFF000004u}));
  }
}

TEST(Composition, BlendCanvasTakesTheSourceAsOpaque) {
  const owlRect r{1, 1, 3, 2};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    CanvasHolder dst(FilledCanvas(4, 3, 0x80402010u)), src(FilledCanvas(4, 3, 0u));
    ASSERT_EQ(BlendCanvas(dst.h, &r, src.h, &r, 255), 1);
    EXPECT_EQ(PixelAt(dst.h, 1, 1), 0xFF000000u);
    EXPECT_EQ(PixelAt(dst.h, 2, 1), 0xFF000000u);
    EXPECT_EQ(PixelAt(dst.h, 0, 1), 0x80402010u);
    ASSERT_EQ(BlendCanvas(dst.h, &r, src.h, &r, 0), 1);
    EXPECT_EQ(PixelAt(dst.h, 1, 1), 0xFF000000u);  // alpha 0: (d * 256) >> 8
  }
}

TEST(Composition, MixCanvasWithColorEveryForm) {
  const owlRect r{2, 1, 37, 4};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    Rng rng(21 + mask);
    for (int alpha : {0, 1, 77, 128, 254, 255}) {
      CanvasHolder c(FilledCanvas(40, 5, 0, &rng));
      const std::vector<uint32_t> before = CanvasPixels(c.h);
      const uint32_t color = rng.Premultiplied();
      ASSERT_EQ(MixCanvasWithColor(c.h, &r, color, uint8_t(alpha)), 1);
      const std::vector<uint32_t> got = CanvasPixels(c.h);
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 40; ++x) {
          const uint32_t was = before[size_t(y * 40 + x)];
          const uint32_t want = !Contains(r, x, y) || alpha == 0 ? was
                                : alpha == 255                   ? color
                                                                 : owltest::MixColor(was, color, uint32_t(alpha));
          ASSERT_EQ(got[size_t(y * 40 + x)], want) << alpha << " " << x << "," << y;
        }
    }
  }
}

TEST(Composition, RefusedRectanglesDrawNothing) {
  Rng rng(31);
  CanvasHolder dst(FilledCanvas(8, 8, 0, &rng)), src(FilledCanvas(8, 8, 0, &rng));
  const std::vector<uint32_t> before = CanvasPixels(dst.h);
  const owlRect good{0, 0, 4, 4};
  const owlRect bad[] = {{4, 0, 0, 4},  {0, 4, 4, 0},   {-1, 0, 3, 4},  {0, 0, 9, 4},
                         {0, 0, 4, 9},  {INT32_MIN, 0, INT32_MAX, 4}};
  const owlRect zero[] = {{2, 2, 2, 6}, {2, 2, 6, 2}, {0, 0, 0, 0}};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    for (Export fn : {Export(MixCanvas), Export(BlendCanvas)}) {
      for (const owlRect& r : bad) {
        EXPECT_EQ(fn(dst.h, &r, src.h, &good, 100), 1);
        EXPECT_EQ(fn(dst.h, &good, src.h, &r, 100), 1);
      }
      for (const owlRect& r : zero) {
        EXPECT_EQ(fn(dst.h, &r, src.h, &good, 100), 1);  // nothing to divide by
        EXPECT_EQ(fn(dst.h, &good, src.h, &r, 100), 1);  // nothing to sample
        EXPECT_EQ(fn(dst.h, &r, src.h, &r, 255), 1);
      }
      EXPECT_EQ(fn(dst.h, nullptr, src.h, &good, 100), 1);
      EXPECT_EQ(fn(dst.h, &good, src.h, nullptr, 100), 1);
      EXPECT_EQ(fn(HGCANVAS(0u), &good, src.h, &good, 100), 0);
      EXPECT_EQ(fn(dst.h, &good, HGCANVAS(0u), &good, 100), 0);
    }
    for (const owlRect& r : bad) EXPECT_EQ(MixCanvasWithColor(dst.h, &r, 0xFFFFFFFFu, 100), 1);
    EXPECT_EQ(MixCanvasWithColor(dst.h, nullptr, 0xFFFFFFFFu, 100), 1);
    EXPECT_EQ(MixCanvasWithColor(HGCANVAS(0u), &good, 0xFFFFFFFFu, 100), 0);
  }
  EXPECT_EQ(CanvasPixels(dst.h), before);
}

TEST(Composition, RectanglesFollowTheCanvasOrigins) {
  // Logical (10, 10) is device (0, 0): the rectangles are mapped, not clipped.
  CanvasHolder dst(FilledCanvas(4, 4, 0)), src(FilledCanvas(4, 4, 0xFF112233u));
  SetWindowOrg(dst.h, 10, 10, nullptr);
  const owlRect clip{10, 10, 11, 11};
  SetCanvasClip(dst.h, &clip, nullptr);
  const owlRect dr{11, 11, 13, 13}, sr{0, 0, 2, 2};
  ASSERT_EQ(MixCanvas(dst.h, &dr, src.h, &sr, 255), 1);
  EXPECT_EQ(PixelAt(dst.h, 1, 1), 0xFF112233u);
  EXPECT_EQ(PixelAt(dst.h, 2, 2), 0xFF112233u);
  EXPECT_EQ(PixelAt(dst.h, 3, 3), 0u);
}

// A rectangle reversed as given draws nothing, also where the wrapping map
// of a far origin would turn it into a proper one inside the canvas; the
// same corner with a proper rectangle is drawn there.
TEST(Composition, ReversedAsGivenDrawsNothingWhateverTheOrigin) {
  Rng rng(77);
  CanvasHolder distant(FilledCanvas(32, 16, 0, &rng)), other(FilledCanvas(32, 16, 0, &rng));
  SetViewportOrg(distant.h, -2147483633, 0, nullptr);
  const owlRect reversed{INT32_MAX - 9, 0, INT32_MIN + 11, 10};  // would map to (5, 0, 26, 10)
  const owlRect proper{INT32_MAX - 9, 0, INT32_MAX, 10};         // maps to (5, 0, 14, 10)
  const owlRect inside{0, 0, 21, 10};
  const std::vector<uint32_t> distantBefore = CanvasPixels(distant.h), otherBefore = CanvasPixels(other.h);
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    for (Export fn : {Export(MixCanvas), Export(BlendCanvas)}) {
      EXPECT_EQ(fn(distant.h, &reversed, other.h, &inside, 100), 1);
      EXPECT_EQ(fn(other.h, &inside, distant.h, &reversed, 100), 1);
    }
    EXPECT_EQ(MixCanvasWithColor(distant.h, &reversed, 0xFFFFFFFFu, 100), 1);
  }
  EXPECT_EQ(CanvasPixels(distant.h), distantBefore);
  EXPECT_EQ(CanvasPixels(other.h), otherBefore);
#if !defined(_WIN32)
  const HDC device = CreateDeviceSurface(32, 16);
  EXPECT_EQ(GdiTransCanvas(device, &inside, distant.h, &reversed), 1);
  BitmapBits seen{};
  ASSERT_EQ(LockDeviceSurfaceBits(device, &seen), 1);
  EXPECT_EQ(RowAt(seen, 0)[0], 0u);
  EXPECT_EQ(GdiTransCanvas(device, &inside, distant.h, &proper), 1);
  EXPECT_EQ(RowAt(seen, 0)[0], distantBefore[5]);
  DeleteDeviceSurface(device);
#endif
  EXPECT_EQ(MixCanvasWithColor(distant.h, &proper, 0xFFFFFFFFu, 255), 1);
  EXPECT_EQ(PixelAt(distant.h, 5, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(distant.h, 13, 9), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(distant.h, 14, 0), distantBefore[14]);
}

// One canvas as source and destination, the destination moved from the
// source by every small offset in both directions, at one size and
// stretched: every form gives the plain formula applied pixel by pixel, rows
// from the top and each row from the left, reading what the call has
// already written.
TEST(Composition, OverlappingRectanglesGiveThePlainLoop) {
  constexpr int32_t kW = 30, kH = 12;
  const owlRect sr{7, 3, 23, 9};  // 16 x 6
  Rng rng(51);
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    for (int32_t dy = -2; dy <= 2; ++dy)
      for (int32_t dx = -7; dx <= 7; ++dx)
        for (const owlSize size : {owlSize{16, 6}, owlSize{11, 4}, owlSize{16, 3}})
          for (const uint8_t alpha : {uint8_t(1), uint8_t(100), uint8_t(255)})
            for (const bool mix : {true, false}) {
              const owlRect dr{sr.left + dx, sr.top + dy, sr.left + dx + size.width, sr.top + dy + size.height};
              CanvasHolder c(FilledCanvas(kW, kH, 0, &rng));
              std::vector<uint32_t> want = CanvasPixels(c.h);
              const Ref ref = mix ? owltest::MixPlain : owltest::BlendOpaque;
              const uint32_t stepX = uint32_t((16 << 16) / size.width), stepY = uint32_t((6 << 16) / size.height);
              for (int32_t y = 0; y < size.height; ++y)
                for (int32_t x = 0; x < size.width; ++x) {
                  const int32_t sx = sr.left + int32_t((uint32_t(x) * stepX) >> 16);
                  const int32_t sy = sr.top + int32_t((uint32_t(y) * stepY) >> 16);
                  uint32_t& d = want[size_t((dr.top + y) * kW + dr.left + x)];
                  d = ref(d, want[size_t(sy * kW + sx)], alpha);
                }
              ASSERT_EQ((mix ? MixCanvas : BlendCanvas)(c.h, &dr, c.h, &sr, alpha), 1);
              ASSERT_EQ(CanvasPixels(c.h), want) << (mix ? "mix" : "blend") << " mask " << mask << " offset " << dx
                                                 << "," << dy << " size " << size.width << "x" << size.height
                                                 << " alpha " << int(alpha);
            }
  }
  // Rectangles of one canvas that share rows but no pixel keep the form the
  // processor allows.
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    CanvasHolder c(FilledCanvas(kW, kH, 0, &rng));
    std::vector<uint32_t> want = CanvasPixels(c.h);
    const owlRect dr{0, 2, 12, 8}, apart{14, 3, 26, 9};
    const Ref ref = HasMMX() ? owltest::MixSplit : owltest::MixPlain;
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 12; ++x) {
        uint32_t& d = want[size_t((dr.top + y) * kW + dr.left + x)];
        d = ref(d, want[size_t((apart.top + y) * kW + apart.left + x)], 100);
      }
    ASSERT_EQ(MixCanvas(c.h, &dr, c.h, &apart, 100), 1);
    EXPECT_EQ(CanvasPixels(c.h), want) << mask;
  }
}

}  // namespace
}  // namespace owl
