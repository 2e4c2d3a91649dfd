// The texture object: an owned premultiplied pixel buffer with its filter
// word, layout mode and optional slice list.
#pragma once

#include <cstdint>
#include <vector>

#include "owlgraphic.h"

namespace owl {

// Largest side of any canvas or texture: keeps every 16.16 stretch position
// and every byte offset of a buffer inside 32 bits.
constexpr int32_t kMaxSide = 32767;

struct SliceList {
  std::vector<owlRect> slices;
  int32_t current = -1;
};

class Texture {
 public:
  Texture() = default;
  ~Texture() { Reset(); }
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Frees the buffer and the slices; filter and mode become 0.
  void Reset();
  // Reset, then a new buffer of width x height (contents undefined). False
  // for a size out of range or when memory runs out; the texture is then
  // empty.
  bool Create(int32_t width, int32_t height);

  // Fills view with the whole buffer (rect null) or with rect, which must
  // lie inside the buffer and not be reversed; an empty rect inside the
  // buffer gives a view of 0 pixels. True when the view has pixels to point
  // at; false (view zeroed) otherwise.
  bool Lock(BitmapBits* view, const owlRect* rect) const;
  void Unlock() const {}

  int32_t width() const { return pixels_.width; }
  int32_t height() const { return pixels_.height; }
  const BitmapBits& pixels() const { return pixels_; }
  uint32_t filter() const { return filter_; }
  void set_filter(uint32_t f) { filter_ = f; }
  const TextureMode& mode() const { return mode_; }
  void set_mode(const TextureMode& m) { mode_ = m; }

  // Replaces the slice list (count 0 or null: empties it). Returns the new
  // current index: 0 when slices were stored, -1 otherwise (also when memory
  // runs out).
  int32_t SetSlices(uint32_t count, const owlRect* rects);
  // Stores index as current and returns the previous one; -1 and no change
  // without a list or for an index out of range.
  int32_t SetCurrentSlice(int32_t index);
  // The current slice, or null.
  const owlRect* CurrentSlice() const;

 private:
  BitmapBits pixels_{0, 0, 0, nullptr};
  void* block_ = nullptr;  // what the allocator returned; pixels_.bits lies in it
  uint32_t filter_ = 0;
  TextureMode mode_{0, {0, 0, 0, 0}};
  SliceList* slices_ = nullptr;
};

}  // namespace owl
