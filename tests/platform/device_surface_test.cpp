// In-memory device surfaces, the GDI copy onto them and GdiTransCanvas.
#include "platform/device_surface.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "canvas_util.h"
#include "test_util.h"

#if !defined(_WIN32)

namespace {

using owl::RowAt;
using owltest::CanvasHolder;

struct SurfaceHolder {
  HDC h;
  SurfaceHolder(int w, int h_) : h(CreateDeviceSurface(w, h_)) {}
  ~SurfaceHolder() { DeleteDeviceSurface(h); }
  uint32_t at(int32_t x, int32_t y) const {
    BitmapBits b{};
    LockDeviceSurfaceBits(h, &b);
    return RowAt(b, y)[x];
  }
};

// A canvas whose device pixel (x, y) is 0xFF000000 | y << 8 | x.
HGCANVAS NumberedCanvas(int32_t w, int32_t h) {
  const HGCANVAS c = CreateCanvas(w, h, HGCANVAS(0u));
  const BitmapBits b = owl::CanvasFromHandle(c)->texture()->pixels();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) RowAt(b, y)[x] = 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
  return c;
}
uint32_t Numbered(int32_t x, int32_t y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); }

TEST(DeviceSurface, CreateLockClipDelete) {
  SurfaceHolder s(5, 3);
  ASSERT_NE(s.h, nullptr);
  BitmapBits b{};
  ASSERT_EQ(LockDeviceSurfaceBits(s.h, &b), 1);
  EXPECT_EQ(b.width, 5);
  EXPECT_EQ(b.height, 3);
  EXPECT_EQ(b.pitch, 20);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(RowAt(b, y)[x], 0u);
  EXPECT_EQ(UnlockDeviceSurfaceBits(s.h), 1);

  owlRect clip{}, old{};
  ASSERT_EQ(GetDeviceSurfaceClip(s.h, &clip), 1);
  EXPECT_EQ(clip, (owlRect{0, 0, 5, 3}));
  const owlRect wide{-4, 1, 100, 2};
  ASSERT_EQ(SetDeviceSurfaceClip(s.h, &wide, &old), 1);
  EXPECT_EQ(old, (owlRect{0, 0, 5, 3}));
  GetDeviceSurfaceClip(s.h, &clip);
  EXPECT_EQ(clip, (owlRect{0, 1, 5, 2}));
  const owlRect outside{6, 0, 9, 3};
  SetDeviceSurfaceClip(s.h, &outside, nullptr);
  GetDeviceSurfaceClip(s.h, &clip);
  EXPECT_EQ(clip, (owlRect{0, 0, 0, 0}));
  SetDeviceSurfaceClip(s.h, nullptr, nullptr);
  GetDeviceSurfaceClip(s.h, &clip);
  EXPECT_EQ(clip, (owlRect{0, 0, 5, 3}));

  for (auto size : {std::pair<int, int>{0, 1}, {1, 0}, {-1, 5}, {32768, 1}})
    EXPECT_EQ(CreateDeviceSurface(size.first, size.second), nullptr);
}

TEST(DeviceSurface, ForeignAndFreedValuesAreRefused) {
  HDC gone = CreateDeviceSurface(2, 2);
  ASSERT_EQ(DeleteDeviceSurface(gone), 1);
  int local = 0;
  HDC forged = reinterpret_cast<HDC>(&local);
  BitmapBits b{};
  owlRect r{};
  for (HDC bad : {HDC(nullptr), gone, forged}) {
    EXPECT_EQ(DeleteDeviceSurface(bad), 0);
    EXPECT_EQ(LockDeviceSurfaceBits(bad, &b), 0);
    EXPECT_EQ(UnlockDeviceSurfaceBits(bad), 0);
    EXPECT_EQ(GetDeviceSurfaceClip(bad, &r), 0);
    EXPECT_EQ(SetDeviceSurfaceClip(bad, &r, nullptr), 0);
  }
  SurfaceHolder s(2, 2);
  EXPECT_EQ(LockDeviceSurfaceBits(s.h, nullptr), 0);
  EXPECT_EQ(GetDeviceSurfaceClip(s.h, nullptr), 0);
}

TEST(GdiTransCanvas, RowsStartAtTheRectangleLeftEdge) {
  CanvasHolder c(NumberedCanvas(20, 10));
  SurfaceHolder s(8, 6);
  const owlRect src{7, 3, 11, 6}, dst{2, 1, 6, 4};
  ASSERT_EQ(GdiTransCanvas(s.h, &dst, c.h, &src), 1);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 8; ++x)
      EXPECT_EQ(s.at(x, y), owl::Contains(dst, x, y) ? Numbered(x - 2 + 7, y - 1 + 3) : 0u) << x << "," << y;
}

TEST(GdiTransCanvas, PixelsReachTheDeviceUnchanged) {
  const HGCANVAS c = CreateCanvas(3, 1, HGCANVAS(0u));
  CanvasHolder hold(c);
  uint32_t* row = RowAt(owl::CanvasFromHandle(c)->texture()->pixels(), 0);
  row[0] = 0x80402010u;  // premultiplied: not undone
  row[1] = 0x00000000u;
  row[2] = 0x12FFFFFFu;  // not premultiplied: passed on as it is
  SurfaceHolder s(3, 1);
  const owlRect r{0, 0, 3, 1};
  ASSERT_EQ(GdiTransCanvas(s.h, &r, c, &r), 1);
  EXPECT_EQ(s.at(0, 0), 0x80402010u);
  EXPECT_EQ(s.at(1, 0), 0u);
  EXPECT_EQ(s.at(2, 0), 0x12FFFFFFu);
}

TEST(GdiTransCanvas, TheDeviceClipsNotTheCanvas) {
  CanvasHolder c(NumberedCanvas(10, 10));
  const owlRect canvasClip{0, 0, 1, 1};
  SetCanvasClip(c.h, &canvasClip, nullptr);
  SurfaceHolder s(6, 6);
  const owlRect deviceClip{1, 2, 4, 5};
  SetDeviceSurfaceClip(s.h, &deviceClip, nullptr);
  // Reaches past the device on the left and bottom.
  const owlRect dst{-2, 1, 4, 8}, src{3, 2, 9, 9};
  ASSERT_EQ(GdiTransCanvas(s.h, &dst, c.h, &src), 1);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x)
      EXPECT_EQ(s.at(x, y), owl::Contains(deviceClip, x, y) ? Numbered(x + 2 + 3, y - 1 + 2) : 0u) << x << "," << y;
}

TEST(GdiTransCanvas, RectanglesOfDifferentSizesCopyWhatBothCover) {
  CanvasHolder c(NumberedCanvas(6, 4));
  SurfaceHolder s(10, 10);
  // A destination larger than the source at the canvas's last row and
  // column: only 2 x 2 pixels exist to send.
  const owlRect src{4, 2, 6, 4}, big{0, 0, 9, 9};
  ASSERT_EQ(GdiTransCanvas(s.h, &big, c.h, &src), 1);
  const owlRect small{5, 5, 6, 7}, wide{0, 0, 6, 4};
  ASSERT_EQ(GdiTransCanvas(s.h, &small, c.h, &wide), 1);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) {
      uint32_t want = 0;
      if (x < 2 && y < 2) want = Numbered(x + 4, y + 2);
      if (owl::Contains(small, x, y)) want = Numbered(0, y - 5);
      EXPECT_EQ(s.at(x, y), want) << x << "," << y;
    }
}

TEST(GdiTransCanvas, RefusalsAndBadDevices) {
  CanvasHolder c(NumberedCanvas(4, 4));
  SurfaceHolder s(4, 4);
  const owlRect r{0, 0, 4, 4};
  EXPECT_EQ(GdiTransCanvas(s.h, &r, HGCANVAS(0u), &r), 0);
  const owlRect reversed{4, 0, 0, 4}, outside{0, 0, 5, 4};
  EXPECT_EQ(GdiTransCanvas(s.h, &r, c.h, &reversed), 1);
  EXPECT_EQ(GdiTransCanvas(s.h, &r, c.h, &outside), 1);
  EXPECT_EQ(GdiTransCanvas(s.h, &reversed, c.h, &r), 1);
  EXPECT_EQ(GdiTransCanvas(s.h, nullptr, c.h, &r), 1);
  EXPECT_EQ(GdiTransCanvas(s.h, &r, c.h, nullptr), 1);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(s.at(x, y), 0u);
  int local = 0;
  EXPECT_EQ(GdiTransCanvas(reinterpret_cast<HDC>(&local), &r, c.h, &r), 1);  // the device refuses it
  EXPECT_EQ(GdiTransCanvas(nullptr, &r, c.h, &r), 1);
}

// The copy itself, for the layouts GdiTransCanvas does not use: a bottom-up
// bitmap, a band of scan lines and a source offset.
TEST(SetDIBitsToDevice, BottomUpBandsAndOffsets) {
  SurfaceHolder s(4, 4);
  std::vector<uint32_t> bits{0x10, 0x11, 0x12, 0x20, 0x21, 0x22};  // scan lines 1 and 2, 3 wide
  BITMAPINFO info = {};
  info.bmiHeader = BITMAPINFOHEADER{40, 3, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  // Bottom-up 3 x 4 bitmap: device row 0 shows scan line 3 (not given),
  // rows 1 and 2 show lines 2 and 1, row 3 line 0 (not given).
  EXPECT_EQ(SetDIBitsToDevice(s.h, 0, 0, 4, 4, 1, 0, 1, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(s.at(0, 1), 0x21u);
  EXPECT_EQ(s.at(1, 1), 0x22u);
  EXPECT_EQ(s.at(2, 1), 0u);  // past the bitmap's width
  EXPECT_EQ(s.at(0, 2), 0x11u);
  EXPECT_EQ(s.at(0, 0), 0u);
  EXPECT_EQ(s.at(0, 3), 0u);
  info.bmiHeader.biBitCount = 24;
  EXPECT_EQ(SetDIBitsToDevice(s.h, 0, 0, 4, 4, 0, 0, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 0);
}

}  // namespace

#endif
