// In-memory device surfaces and the GDI copy onto them, for platforms
// without GDI.
#include "platform/device_surface.h"

#if !defined(_WIN32)

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/geometry.h"
#include "core/texture.h"

namespace {

// Live surfaces: an HDC is checked against this list before it is used.
std::vector<HDC__*>& LiveSurfaces() {
  static std::vector<HDC__*> live;
  return live;
}

}  // namespace

HDC__* DeviceSurfaceFromHdc(HDC hdc) {
  if (!hdc) return nullptr;
  const std::vector<HDC__*>& live = LiveSurfaces();
  return std::find(live.begin(), live.end(), hdc) != live.end() ? hdc : nullptr;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT cLines, const void* bits, const BITMAPINFO* bmi, UINT colorUse) {
  const HDC__* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface || !bits || !bmi || colorUse != DIB_RGB_COLORS) return 0;
  const BITMAPINFOHEADER& info = bmi->bmiHeader;
  if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biPlanes != 1 || info.biBitCount != 32 ||
      info.biCompression != BI_RGB || info.biWidth <= 0 || info.biHeight == 0)
    return 0;
  const bool topDown = info.biHeight < 0;
  const int64_t dibWidth = info.biWidth;
  const int64_t dibHeight = topDown ? -int64_t(info.biHeight) : int64_t(info.biHeight);
  const int64_t stride = dibWidth * 4;
  const owlRect& clip = surface->clip;

  // Columns: device x = xDest + i reads bitmap x = xSrc + i.
  const int64_t i0 = std::max({int64_t(0), -int64_t(xSrc), int64_t(clip.left) - xDest});
  const int64_t i1 = std::min({int64_t(w), dibWidth - xSrc, int64_t(clip.right) - xDest});
  if (i0 >= i1) return 0;
  const int64_t rowsGiven0 = startScan, rowsGiven1 = int64_t(startScan) + cLines;
  int written = 0;
  for (int64_t j = std::max(int64_t(0), int64_t(clip.top) - yDest);
       j < std::min(int64_t(h), int64_t(clip.bottom) - yDest); ++j) {
    // The bitmap line shown on device row yDest + j, and where it is stored.
    const int64_t line = topDown ? int64_t(ySrc) + j : int64_t(ySrc) + (int64_t(h) - 1 - j);
    if (line < 0 || line >= dibHeight || line < rowsGiven0 || line >= rowsGiven1) continue;
    const uint8_t* from = static_cast<const uint8_t*>(bits) + (line - rowsGiven0) * stride + (xSrc + i0) * 4;
    uint32_t* to = owl::PixelAtUnchecked(surface->pixels, int32_t(xDest + i0), int32_t(yDest + j));
    std::memcpy(to, from, size_t(i1 - i0) * 4);
    ++written;
  }
  return written;
}

HDC OWL_CALL CreateDeviceSurface(int width, int height) {
  if (width <= 0 || height <= 0 || width > owl::kMaxSide || height > owl::kMaxSide) return nullptr;
  HDC__* surface = new (std::nothrow) HDC__;
  if (!surface) return nullptr;
  void* buffer = std::calloc(size_t(width) * size_t(height), 4);
  if (!buffer) {
    delete surface;
    return nullptr;
  }
  surface->pixels = BitmapBits{width, height, width * 4, buffer};
  surface->clip = owlRect{0, 0, width, height};
  try {
    LiveSurfaces().push_back(surface);
  } catch (...) {
    std::free(buffer);
    delete surface;
    return nullptr;
  }
  return surface;
}

int OWL_CALL DeleteDeviceSurface(HDC hdc) {
  HDC__* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface) return 0;
  std::vector<HDC__*>& live = LiveSurfaces();
  live.erase(std::find(live.begin(), live.end(), surface));
  std::free(surface->pixels.bits);
  delete surface;
  return 1;
}

int OWL_CALL LockDeviceSurfaceBits(HDC hdc, BitmapBits* bits) {
  const HDC__* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface || !bits) return 0;
  *bits = surface->pixels;
  return 1;
}

int OWL_CALL UnlockDeviceSurfaceBits(HDC hdc) { return DeviceSurfaceFromHdc(hdc) ? 1 : 0; }

int OWL_CALL GetDeviceSurfaceClip(HDC hdc, owlRect* clip) {
  const HDC__* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface || !clip) return 0;
  *clip = surface->clip;
  return 1;
}

int OWL_CALL SetDeviceSurfaceClip(HDC hdc, const owlRect* clip, owlRect* oldClip) {
  HDC__* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface) return 0;
  if (oldClip) *oldClip = surface->clip;
  const owlRect bounds{0, 0, surface->pixels.width, surface->pixels.height};
  if (clip) {
    owl::Intersect(surface->clip, *clip, bounds);
  } else {
    surface->clip = bounds;
  }
  return 1;
}

#endif
