#include "core/texture.h"

#include <cstdlib>
#include <new>

namespace owl {

namespace {
constexpr uint32_t kAlign = 64;
}  // namespace

void Texture::Reset() {
  std::free(block_);
  block_ = nullptr;
  pixels_ = BitmapBits{0, 0, 0, nullptr};
  delete slices_;
  slices_ = nullptr;
  filter_ = 0;
  mode_ = TextureMode{0, {0, 0, 0, 0}};
}

bool Texture::Create(int32_t width, int32_t height) {
  Reset();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4u;
  if (bytes > 0xFFFFFFFFu - kAlign || bytes > SIZE_MAX - kAlign) return false;
  // Zeroed by the allocator (fresh pages come zeroed from the system), so a
  // new buffer never shows an old one's pixels and costs no extra pass. The
  // pixels start on a 64-byte boundary, so that the widest vector loads of
  // two such buffers line up with each other and with the cache lines.
  void* block = std::calloc(size_t(bytes) + kAlign, 1);
  if (!block) return false;
  const uintptr_t at = (reinterpret_cast<uintptr_t>(block) + kAlign - 1) & ~uintptr_t(kAlign - 1);
  block_ = block;
  pixels_ = BitmapBits{width, height, width * 4, reinterpret_cast<void*>(at)};
  return true;
}

bool Texture::Lock(BitmapBits* view, const owlRect* rect) const {
  if (!rect) {
    *view = pixels_;
    return view->bits != nullptr;
  }
  const owlRect& r = *rect;
  if (!pixels_.bits || r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom ||
      r.right > pixels_.width || r.bottom > pixels_.height) {
    *view = BitmapBits{0, 0, 0, nullptr};
    return false;
  }
  view->width = r.right - r.left;
  view->height = r.bottom - r.top;
  view->pitch = pixels_.pitch;
  view->bits = static_cast<uint8_t*>(pixels_.bits) + std::ptrdiff_t(r.top) * pixels_.pitch + std::ptrdiff_t(r.left) * 4;
  return true;
}

int32_t Texture::SetSlices(uint32_t count, const owlRect* rects) {
  if (count == 0 || rects == nullptr) {
    delete slices_;
    slices_ = nullptr;
    return -1;
  }
  if (!slices_) {
    slices_ = new (std::nothrow) SliceList;
    if (!slices_) return -1;
  }
  slices_->slices.clear();
  slices_->current = -1;
  try {
    slices_->slices.assign(rects, rects + count);
  } catch (...) {  // out of memory, or a count no vector can hold
    slices_->slices.clear();
    return -1;
  }
  slices_->current = 0;
  return 0;
}

int32_t Texture::SetCurrentSlice(int32_t index) {
  if (!slices_ || index < 0 || size_t(index) >= slices_->slices.size()) return -1;
  const int32_t previous = slices_->current;
  slices_->current = index;
  return previous;
}

const owlRect* Texture::CurrentSlice() const {
  if (!slices_ || slices_->current < 0 || size_t(slices_->current) >= slices_->slices.size()) return nullptr;
  return &slices_->slices[size_t(slices_->current)];
}

}  // namespace owl
