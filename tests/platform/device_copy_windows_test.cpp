// GdiTransCanvas into a real GDI device context: a 32-bit top-down DIB
// section selected into a memory DC, read back through its bits.
#include <windows.h>

#include <cstdint>

#include <gtest/gtest.h>

#include "owlgraphic.h"
#include "canvas_util.h"
#include "test_util.h"

namespace {

using owltest::CanvasHolder;

constexpr uint32_t kUntouched = 0x5A5A5A5Au;

class MemoryDc {
 public:
  MemoryDc(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, like the canvas
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    if (dib_) old_ = SelectObject(dc_, dib_);
    for (int i = 0; bits_ && i < width * height; ++i) bits_[i] = kUntouched;
  }
  ~MemoryDc() {
    if (old_) SelectObject(dc_, old_);
    if (dib_) DeleteObject(dib_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  bool ok() const { return dc_ && dib_ && bits_ && old_; }
  HDC dc() const { return dc_; }
  uint32_t at(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x];
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// A canvas whose pixel (x, y) is Pattern(x, y), premultiplied.
uint32_t Pattern(int x, int y) { return 0x80000000u | uint32_t(y) << 16 | uint32_t(x) << 8 | 0x40u; }

HGCANVAS PatternCanvas(int width, int height) {
  const HGCANVAS canvas = CreateCanvas(width, height, HGCANVAS(0u));
  BitmapBits bits;
  const owlRect all{0, 0, width, height};
  if (!LockCanvasBits(canvas, &bits, &all)) return canvas;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      static_cast<uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x] = Pattern(x, y);
  UnlockCanvasBits(canvas);
  return canvas;
}

// Expects the device to show canvas pixels (sx + i, sy + j) at (dx + i, dy + j)
// for the w x h block, and nothing changed elsewhere; alpha goes through as it is.
void ExpectBlock(const MemoryDc& dc, int dx, int dy, int w, int h, int sx, int sy) {
  for (int y = 0; y < dc.height(); ++y)
    for (int x = 0; x < dc.width(); ++x) {
      const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
      const uint32_t want = inside ? Pattern(sx + x - dx, sy + y - dy) : kUntouched;
      ASSERT_EQ(dc.at(x, y), want) << "device pixel (" << x << ", " << y << ")";
    }
}

TEST(GdiTransCanvasWindows, CopiesRowsFromTheRectanglesLeftEdgeWithTheCanvasStride) {
  MemoryDc dc(24, 12);
  ASSERT_TRUE(dc.ok());
  CanvasHolder canvas(PatternCanvas(37, 9));  // odd width: the stride is the canvas row
  const owlRect src{5, 2, 16, 8}, dst{3, 4, 14, 10};
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &dst, canvas.h, &src), 1);
  ExpectBlock(dc, 3, 4, 11, 6, 5, 2);
}

TEST(GdiTransCanvasWindows, WorksInLogicalCoordinatesWithoutTheCanvasClip) {
  MemoryDc dc(16, 16);
  ASSERT_TRUE(dc.ok());
  CanvasHolder canvas(PatternCanvas(20, 20));
  ASSERT_EQ(SetViewportOrg(canvas.h, 4, 3, nullptr), 1);  // logical (0, 0) is pixel (4, 3)
  const owlRect tiny{0, 0, 1, 1};
  ASSERT_EQ(SetCanvasClip(canvas.h, &tiny, nullptr), 1);
  const owlRect src{1, 1, 7, 5}, dst{0, 0, 6, 4};
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &dst, canvas.h, &src), 1);
  ExpectBlock(dc, 0, 0, 6, 4, 5, 4);
}

TEST(GdiTransCanvasWindows, TheDeviceClipApplies) {
  MemoryDc dc(16, 16);
  ASSERT_TRUE(dc.ok());
  CanvasHolder canvas(PatternCanvas(16, 16));
  ASSERT_NE(IntersectClipRect(dc.dc(), 2, 3, 6, 5), ERROR);
  const owlRect rect{0, 0, 10, 10};
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &rect, canvas.h, &rect), 1);
  ExpectBlock(dc, 2, 3, 4, 2, 2, 3);
}

TEST(GdiTransCanvasWindows, RefusedOrEmptyCallsLeaveTheDeviceAlone) {
  MemoryDc dc(8, 8);
  ASSERT_TRUE(dc.ok());
  const owlRect rect{0, 0, 4, 4};
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &rect, HGCANVAS(0u), &rect), 0);
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &rect, HGCANVAS(0x01017FFFu), &rect), 0);
  CanvasHolder canvas(PatternCanvas(4, 4));
  const owlRect outside{2, 2, 6, 6}, reversed{3, 3, 1, 1};
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &rect, canvas.h, &outside), 1);  // a failed lock draws nothing
  EXPECT_EQ(GdiTransCanvas(dc.dc(), &rect, canvas.h, &reversed), 1);
  ExpectBlock(dc, 0, 0, 0, 0, 0, 0);
}

}  // namespace
