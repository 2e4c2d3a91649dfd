#include "core/canvas.h"

#include <new>

namespace owl {

bool Canvas::Create(int32_t width, int32_t height) {
  delete texture_;
  texture_ = new (std::nothrow) Texture;
  if (!texture_ || !texture_->Create(width, height)) {
    delete texture_;
    texture_ = nullptr;
    return false;
  }
  clip_ = owlRect{0, 0, width, height};
  return true;
}

void Canvas::LogicalToDevice(owlRect& r) const {
  Offset(r, viewport_org_.x, viewport_org_.y);
  Offset(r, SubWrap(0, window_org_.x), SubWrap(0, window_org_.y));
}

void Canvas::DeviceToLogical(owlRect& r) const {
  Offset(r, SubWrap(0, viewport_org_.x), SubWrap(0, viewport_org_.y));
  Offset(r, window_org_.x, window_org_.y);
}

bool Canvas::Lock(BitmapBits* view, const owlRect& logical) const {
  if (!texture_) {
    *view = BitmapBits{0, 0, 0, nullptr};
    return false;
  }
  owlRect device = logical;
  LogicalToDevice(device);
  return texture_->Lock(view, &device);
}

owlRect Canvas::LogicalClip() const {
  if (!texture_ || !texture_->pixels().bits) return owlRect{0, 0, 0, 0};
  owlRect r = clip_;
  DeviceToLogical(r);
  return r;
}

void Canvas::SetLogicalClip(const owlRect& logical) {
  owlRect device = logical;
  LogicalToDevice(device);
  const owlRect bounds{0, 0, texture_ ? texture_->width() : 0, texture_ ? texture_->height() : 0};
  Intersect(clip_, device, bounds);
}

}  // namespace owl
