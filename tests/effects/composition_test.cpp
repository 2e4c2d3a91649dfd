// Canvas composition: every kernel form against its own arithmetic, the
// exported functions under every feature mask, and the device copy.
#include "rows/mix_rows.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "test_util.h"

namespace owl {
namespace {

using owltest::CanvasHolder;
using owltest::GuardedBlock;
using owltest::kMasks;
using owltest::Rng;

uint32_t Ch(uint32_t p, int k) { return p >> (8 * k) & 0xFF; }

uint32_t MixPlainRef(uint32_t d, uint32_t s, uint32_t a) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Ch(d, k) * (255 - a) + Ch(s, k) * (a + 1)) >> 8) << (8 * k);
  return out;
}
uint32_t MixMmxRef(uint32_t d, uint32_t s, uint32_t a) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Ch(d, k) * (255 - a) >> 8) + (Ch(s, k) * (a + 1) >> 8)) << (8 * k);
  return out;
}
uint32_t BlendOpaqueRef(uint32_t d, uint32_t s, uint32_t a) {
  s |= 0xFF000000u;
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Ch(s, k) * (a + 1) >> 8) + (Ch(d, k) * (256 - a) >> 8)) << (8 * k);
  return out;
}
uint32_t MixColorRef(uint32_t d, uint32_t color, uint32_t a) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= ((Ch(d, k) * (255 - a) >> 8) + (Ch(color, k) * (a + 1) >> 8)) << (8 * k);
  return out;
}

using Kernel = std::function<void(uint32_t*, const uint32_t*, int32_t, uint32_t, uint8_t)>;
using Ref = uint32_t (*)(uint32_t, uint32_t, uint32_t);

// Runs kernel over widths 0..70, unaligned starts, one-to-one and stretched
// steps, and checks every pixel against ref at its nearest source position;
// nothing past the row may change.
void CheckKernel(const Kernel& kernel, Ref ref, uint32_t seed) {
  Rng rng(seed);
  for (int32_t width = 0; width <= 70; ++width)
    for (int32_t offset = 0; offset < 4; ++offset)
      for (int32_t srcWidth : {width, width / 3 + 1, 2 * width + 1}) {
        GuardedBlock src(srcWidth, 1, 1, offset), dst(width, 1, 2, 3 - offset);
        src.Fill(rng);
        dst.Fill(rng);
        const std::vector<uint32_t> before = dst.Pixels(), sp = src.Pixels();
        const uint32_t step = width ? uint32_t((srcWidth << 16) / width) : 0;
        const uint8_t alpha = uint8_t(rng.Next());
        kernel(RowAt(dst.bits(), 0), RowAt(src.bits(), 0), width, step, alpha);
        for (int32_t j = 0; j < width; ++j)
          ASSERT_EQ(dst.at(j, 0), ref(before[size_t(j)], sp[(uint32_t(j) * step) >> 16], alpha))
              << "width " << width << " pixel " << j << " alpha " << int(alpha);
        ASSERT_TRUE(dst.GuardsIntact());
      }
}

TEST(CompositionKernels, MixPlainAndMmxEachByTheirOwnArithmetic) {
  CheckKernel(MixRow_C, MixPlainRef, 1);
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) CheckKernel(MixRow_MMX, MixMmxRef, 2);
#endif
#if defined(OWL_X86)
  if (HasAVX2()) CheckKernel(MixRow_AVX2, MixMmxRef, 3);
#endif
}

TEST(CompositionKernels, BlendOpaqueFormsAgree) {
  CheckKernel(BlendOpaqueRow_C, BlendOpaqueRef, 3);
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) CheckKernel(BlendOpaqueRow_SSE, BlendOpaqueRef, 4);
#endif
#if defined(OWL_X86)
  if (HasAVX2()) CheckKernel(BlendOpaqueRow_AVX2, BlendOpaqueRef, 5);
#endif
}

TEST(CompositionKernels, MixColorFormsAgree) {
  using ColorRow = void (*)(uint32_t*, int32_t, uint32_t, uint8_t);
  std::vector<ColorRow> forms{MixColorRow_C};
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) forms.push_back(MixColorRow_MMX);
#endif
  Rng rng(5);
  for (ColorRow row : forms)
    for (int32_t width = 0; width <= 70; ++width) {
      GuardedBlock dst(width, 1, 2, width & 3);
      dst.Fill(rng);
      const std::vector<uint32_t> before = dst.Pixels();
      const uint32_t color = rng.Premultiplied();
      const uint8_t alpha = uint8_t(rng.Next());
      row(RowAt(dst.bits(), 0), width, MixColorRef(0, color, alpha), alpha);
      for (int32_t j = 0; j < width; ++j) ASSERT_EQ(dst.at(j, 0), MixColorRef(before[size_t(j)], color, alpha));
      ASSERT_TRUE(dst.GuardsIntact());
    }
}

// The whole pixel buffer of a canvas, in device coordinates.
BitmapBits DeviceBits(HGCANVAS c) { return CanvasFromHandle(c)->texture()->pixels(); }

// A canvas of w x h filled from rng (or with one value).
HGCANVAS MakeCanvas(int32_t w, int32_t h, Rng* rng, uint32_t value = 0) {
  const HGCANVAS c = CreateCanvas(w, h, HGCANVAS(0u));
  const BitmapBits b = DeviceBits(c);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) RowAt(b, y)[x] = rng ? rng->Premultiplied() : value;
  return c;
}
std::vector<uint32_t> CanvasPixels(HGCANVAS c) {
  const BitmapBits b = DeviceBits(c);
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < b.height; ++y) out.insert(out.end(), RowAt(b, y), RowAt(b, y) + b.width);
  return out;
}
uint32_t PixelOf(HGCANVAS c, int32_t x, int32_t y) { return RowAt(DeviceBits(c), y)[x]; }

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
        CanvasHolder dst(MakeCanvas(45, 15, &rng)), src(MakeCanvas(45, 15, &rng));
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
  CheckExport(MixCanvas, [](uint32_t mask) { return (mask & kCpuMMX) && HasMMX() ? MixMmxRef : MixPlainRef; }, 11);
}

TEST(Composition, BlendCanvasEveryFormAndSize) {
  CheckExport(BlendCanvas, [](uint32_t) { return Ref(BlendOpaqueRef); }, 12);
}

TEST(Composition, MixCanvasWorkedValuesAndShortcuts) {
  const owlRect r{0, 0, 4, 2};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    CanvasHolder dst(MakeCanvas(4, 2, nullptr, 0xFF000000u)), src(MakeCanvas(4, 2, nullptr, 0xFFFFFFFFu));
    ASSERT_EQ(MixCanvas(dst.h, &r, src.h, &r, 128), 1);
    // Plain: (255 * 127 + 255 * 129) >> 8 = 255 for alpha; the split
    // truncation gives 126 + 128.
    EXPECT_EQ(PixelOf(dst.h, 3, 1), HasMMX() ? 0xFE808080u : 0xFF808080u) << mask;

    Rng rng(mask);
    CanvasHolder a(MakeCanvas(4, 2, &rng)), b(MakeCanvas(4, 2, &rng));
    const std::vector<uint32_t> before = CanvasPixels(a.h);
    EXPECT_EQ(MixCanvas(a.h, &r, b.h, &r, 0), 1);
    EXPECT_EQ(CanvasPixels(a.h), before);
    EXPECT_EQ(MixCanvas(a.h, &r, b.h, &r, 255), 1);
    EXPECT_EQ(CanvasPixels(a.h), CanvasPixels(b.h));
  }
}

TEST(Composition, MixCanvasStretchReadsNearestColumns) {
  CanvasHolder dst(MakeCanvas(3, 1, nullptr, 0)), src(CreateCanvas(6, 1, HGCANVAS(0u)));
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
    CanvasHolder dst(MakeCanvas(4, 3, nullptr, 0x80402010u)), src(MakeCanvas(4, 3, nullptr, 0u));
    ASSERT_EQ(BlendCanvas(dst.h, &r, src.h, &r, 255), 1);
    EXPECT_EQ(PixelOf(dst.h, 1, 1), 0xFF000000u);
    EXPECT_EQ(PixelOf(dst.h, 2, 1), 0xFF000000u);
    EXPECT_EQ(PixelOf(dst.h, 0, 1), 0x80402010u);
    ASSERT_EQ(BlendCanvas(dst.h, &r, src.h, &r, 0), 1);
    EXPECT_EQ(PixelOf(dst.h, 1, 1), 0xFF000000u);  // alpha 0: (d * 256) >> 8
  }
}

TEST(Composition, MixCanvasWithColorEveryForm) {
  const owlRect r{2, 1, 37, 4};
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    Rng rng(21 + mask);
    for (int alpha : {0, 1, 77, 128, 254, 255}) {
      CanvasHolder c(MakeCanvas(40, 5, &rng));
      const std::vector<uint32_t> before = CanvasPixels(c.h);
      const uint32_t color = rng.Premultiplied();
      ASSERT_EQ(MixCanvasWithColor(c.h, &r, color, uint8_t(alpha)), 1);
      const std::vector<uint32_t> got = CanvasPixels(c.h);
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 40; ++x) {
          const uint32_t was = before[size_t(y * 40 + x)];
          const uint32_t want = !Contains(r, x, y) || alpha == 0 ? was
                                : alpha == 255                   ? color
                                                                 : MixColorRef(was, color, uint32_t(alpha));
          ASSERT_EQ(got[size_t(y * 40 + x)], want) << alpha << " " << x << "," << y;
        }
    }
  }
}

TEST(Composition, RefusedRectanglesDrawNothing) {
  Rng rng(31);
  CanvasHolder dst(MakeCanvas(8, 8, &rng)), src(MakeCanvas(8, 8, &rng));
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
  CanvasHolder dst(MakeCanvas(4, 4, nullptr, 0)), src(MakeCanvas(4, 4, nullptr, 0xFF112233u));
  SetWindowOrg(dst.h, 10, 10, nullptr);
  const owlRect clip{10, 10, 11, 11};
  SetCanvasClip(dst.h, &clip, nullptr);
  const owlRect dr{11, 11, 13, 13}, sr{0, 0, 2, 2};
  ASSERT_EQ(MixCanvas(dst.h, &dr, src.h, &sr, 255), 1);
  EXPECT_EQ(PixelOf(dst.h, 1, 1), 0xFF112233u);
  EXPECT_EQ(PixelOf(dst.h, 2, 2), 0xFF112233u);
  EXPECT_EQ(PixelOf(dst.h, 3, 3), 0u);
}

// One canvas as source and destination: rows are taken from the top, each
// row as it stands when it is reached; overlapping rows never make an
// undefined block copy.
TEST(Composition, MixCanvasWithinOneCanvas) {
  for (uint32_t mask : kMasks) {
    ScopedCpuMask m(mask);
    Rng rng(51);
    CanvasHolder c(MakeCanvas(12, 6, &rng));
    std::vector<uint32_t> want = CanvasPixels(c.h);
    const owlRect dr{1, 1, 9, 5}, sr{3, 2, 11, 6};  // the source lies right of and below
    for (int32_t y = 0; y < 4; ++y) {
      std::vector<uint32_t> row(want.begin() + (y + 2) * 12 + 3, want.begin() + (y + 2) * 12 + 11);
      std::copy(row.begin(), row.end(), want.begin() + (y + 1) * 12 + 1);
    }
    ASSERT_EQ(MixCanvas(c.h, &dr, c.h, &sr, 255), 1);
    EXPECT_EQ(CanvasPixels(c.h), want) << mask;
    const owlRect left{0, 0, 8, 3}, right{2, 0, 10, 3};
    EXPECT_EQ(MixCanvas(c.h, &right, c.h, &left, 255), 1);  // moves right within rows
    EXPECT_EQ(MixCanvas(c.h, &right, c.h, &left, 100), 1);
    EXPECT_EQ(BlendCanvas(c.h, &right, c.h, &left, 100), 1);
  }
}

}  // namespace
}  // namespace owl
