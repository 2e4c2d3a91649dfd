// In-memory device surfaces and the GDI copy onto them, for platforms
// without GDI.
#include "platform/device_surface.h"

#if !defined(_WIN32)

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <mutex>

#include "core/geometry.h"
#include "core/texture.h"

namespace {

// Live surfaces by slot. An HDC value is (generation << kIndexBits) | (index
// + 1); a slot's generation advances when its surface is deleted, and freed
// slots are reused oldest first, so a stale value names nothing until its
// slot has been reused 2^16 times (2^32 on 64-bit systems, where the
// generation is wider). The lock serialises every use of the registry.
constexpr unsigned kIndexBits = 16;
constexpr uintptr_t kIndexMask = (uintptr_t(1) << kIndexBits) - 1;
constexpr uintptr_t kGenerationMask = sizeof(uintptr_t) > 4 ? 0xFFFFFFFFu : 0xFFFFu;
// As many live surfaces as canvases and textures together.
constexpr uint32_t kCapacity = 32767;
constexpr uint32_t kNone = UINT32_MAX;

struct Slot {
  DeviceSurface* surface;
  uint32_t generation;
  uint32_t next_free;  // the queue of freed slots, oldest first
};

// Static storage only: built at load, never destroyed and never on the
// heap, so hosts may delete surfaces from static destructors at process
// exit and unloading the module leaves nothing behind.
struct Registry {
  std::mutex lock;
  uint32_t used = 0;  // slots 0..used - 1 have held a surface
  uint32_t free_head = kNone, free_tail = kNone;
  Slot slots[kCapacity];
};

Registry& Surfaces() {
  alignas(Registry) static unsigned char storage[sizeof(Registry)];
  static Registry* const registry = new (storage) Registry;
  return *registry;
}

// Build the registry at load, not on the first call.
const bool g_built_at_load = (Surfaces(), true);

HDC ValueOf(uint32_t index, uint32_t generation) {
  const uintptr_t v = (uintptr_t(generation) & kGenerationMask) << kIndexBits | (uintptr_t(index) + 1);
  return reinterpret_cast<HDC>(v);
}

// The slot hdc names, or null; the caller holds the lock.
Slot* Find(Registry& r, HDC hdc) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(hdc);
  const uintptr_t index = (v & kIndexMask) - 1;
  if ((v & kIndexMask) == 0 || index >= r.used) return nullptr;
  Slot& s = r.slots[index];
  if (!s.surface || (uintptr_t(s.generation) & kGenerationMask) != v >> kIndexBits) return nullptr;
  return &s;
}

// A slot for a new surface, oldest freed first; kNone when all are taken.
uint32_t TakeSlot(Registry& r) {
  if (r.free_head != kNone) {
    const uint32_t index = r.free_head;
    r.free_head = r.slots[index].next_free;
    if (r.free_head == kNone) r.free_tail = kNone;
    return index;
  }
  if (r.used == kCapacity) return kNone;
  r.slots[r.used] = Slot{nullptr, 1, kNone};
  return r.used++;
}

void QueueFreeSlot(Registry& r, uint32_t index) {
  r.slots[index].next_free = kNone;
  if (r.free_tail == kNone) {
    r.free_head = index;
  } else {
    r.slots[r.free_tail].next_free = index;
  }
  r.free_tail = index;
}

}  // namespace

DeviceSurface* DeviceSurfaceFromHdc(HDC hdc) {
  Registry& r = Surfaces();
  const std::lock_guard<std::mutex> hold(r.lock);
  const Slot* s = Find(r, hdc);
  return s ? s->surface : nullptr;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT cLines, const void* bits, const BITMAPINFO* bmi, UINT colorUse) {
  const DeviceSurface* surface = DeviceSurfaceFromHdc(hdc);
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
  DeviceSurface* surface = new (std::nothrow) DeviceSurface;
  if (!surface) return nullptr;
  void* buffer = std::calloc(size_t(width) * size_t(height), 4);
  if (!buffer) {
    delete surface;
    return nullptr;
  }
  surface->pixels = BitmapBits{width, height, width * 4, buffer};
  surface->clip = owlRect{0, 0, width, height};
  Registry& r = Surfaces();
  const std::lock_guard<std::mutex> hold(r.lock);
  const uint32_t index = TakeSlot(r);
  if (index == kNone) {
    std::free(buffer);
    delete surface;
    return nullptr;
  }
  r.slots[index].surface = surface;
  return ValueOf(index, r.slots[index].generation);
}

int OWL_CALL DeleteDeviceSurface(HDC hdc) {
  Registry& r = Surfaces();
  DeviceSurface* surface;
  {
    const std::lock_guard<std::mutex> hold(r.lock);
    Slot* s = Find(r, hdc);
    if (!s) return 0;
    surface = s->surface;
    s->surface = nullptr;
    ++s->generation;
    QueueFreeSlot(r, uint32_t(s - r.slots));
  }
  std::free(surface->pixels.bits);
  delete surface;
  return 1;
}

int OWL_CALL LockDeviceSurfaceBits(HDC hdc, BitmapBits* bits) {
  const DeviceSurface* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface || !bits) return 0;
  *bits = surface->pixels;
  return 1;
}

int OWL_CALL UnlockDeviceSurfaceBits(HDC hdc) { return DeviceSurfaceFromHdc(hdc) ? 1 : 0; }

int OWL_CALL GetDeviceSurfaceClip(HDC hdc, owlRect* clip) {
  const DeviceSurface* surface = DeviceSurfaceFromHdc(hdc);
  if (!surface || !clip) return 0;
  *clip = surface->clip;
  return 1;
}

int OWL_CALL SetDeviceSurfaceClip(HDC hdc, const owlRect* clip, owlRect* oldClip) {
  DeviceSurface* surface = DeviceSurfaceFromHdc(hdc);
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
