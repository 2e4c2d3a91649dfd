// Exported copy of a canvas rectangle to a device context.
#include <algorithm>
#include <cstdint>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "owlgraphic.h"
#include "platform/device_surface.h"

using owl::Canvas;
using owl::CanvasFromHandle;

int OWL_CALL GdiTransCanvas(HDC hdc, const owlRect* dstRect, HGCANVAS canvas, const owlRect* srcRect) {
  const Canvas* c = CanvasFromHandle(canvas);
  if (!c) return 0;
  BitmapBits block;
  if (!dstRect || !srcRect || !c->LockAsGiven(&block, *srcRect)) return 1;
  // The bitmap is the whole width of the canvas's rows, starting at the
  // rectangle's first pixel, so its rows begin at the rectangle's left edge.
  // Only the part both rectangles cover is sent: a wider or taller dstRect
  // would make the device read past the rectangle.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = block.pitch / 4;
  info.bmiHeader.biHeight = -block.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = DWORD(block.pitch / 4) * DWORD(block.height) * 4;
  const int64_t width = std::max<int64_t>(0, std::min<int64_t>(owl::Width64(*dstRect), block.width));
  const int64_t height = std::max<int64_t>(0, std::min<int64_t>(owl::Height64(*dstRect), block.height));
  if (width > 0 && height > 0)
    SetDIBitsToDevice(hdc, dstRect->left, dstRect->top, DWORD(width), DWORD(height), 0, 0, 0, UINT(block.height),
                      block.bits, &info, DIB_RGB_COLORS);
  c->Unlock();
  return 1;
}
