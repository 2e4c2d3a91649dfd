// The canvas object: a drawing target with origins, a clip and a texture
// that holds its pixels.
#pragma once

#include <cstdint>

#include "core/geometry.h"
#include "core/texture.h"

namespace owl {

class Canvas {
 public:
  Canvas() = default;
  ~Canvas() { delete texture_; }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Gives the canvas a texture with a buffer of width x height and the clip
  // (0, 0, width, height). False when the size is refused or memory runs out.
  bool Create(int32_t width, int32_t height);

  // Logical to device: offset by the viewport origin, then by minus the
  // window origin. Device to logical is the inverse.
  void LogicalToDevice(owlRect& r) const;
  void DeviceToLogical(owlRect& r) const;

  // A view of the logical rectangle; false (view zeroed) when the mapped
  // rectangle is reversed or reaches outside the buffer.
  bool Lock(BitmapBits* view, const owlRect& logical) const;
  // As Lock, but also false for a rectangle reversed as given: the wrapping
  // map could otherwise turn it into a proper one inside the buffer.
  bool LockAsGiven(BitmapBits* view, const owlRect& logical) const {
    if (IsReversed(logical)) {
      *view = BitmapBits{0, 0, 0, nullptr};
      return false;
    }
    return Lock(view, logical);
  }
  void Unlock() const {}
  // The clip in logical coordinates; (0, 0, 0, 0) when there are no pixels.
  owlRect LogicalClip() const;
  // Maps the logical clip to the device and intersects it with the canvas.
  void SetLogicalClip(const owlRect& logical);

  const owlRect& clip() const { return clip_; }
  uint32_t bk_color() const { return bk_color_; }
  void set_bk_color(uint32_t c) { bk_color_ = c; }
  const owlPoint& window_org() const { return window_org_; }
  void set_window_org(owlPoint p) { window_org_ = p; }
  const owlPoint& viewport_org() const { return viewport_org_; }
  void set_viewport_org(owlPoint p) { viewport_org_ = p; }
  uint32_t filter() const { return texture_ ? texture_->filter() : 0; }
  void set_filter(uint32_t f) {
    if (texture_) texture_->set_filter(f);
  }
  Texture* texture() const { return texture_; }
  // The canvas no longer owns its texture afterwards.
  Texture* DetachTexture() {
    Texture* t = texture_;
    texture_ = nullptr;
    return t;
  }

 private:
  owlPoint viewport_org_{0, 0};
  owlPoint window_org_{0, 0};
  owlRect clip_{0, 0, 0, 0};
  uint32_t bk_color_ = 0;
  Texture* texture_ = nullptr;
};

}  // namespace owl
