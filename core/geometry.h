// Rectangle, point and pixel-addressing helpers shared by the whole library.
#pragma once

#include <cstddef>
#include <cstdint>

#include "owlgraphic.h"

// Value comparison of the interface records (global, so lookup finds them).
inline bool operator==(const owlRect& a, const owlRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const owlRect& a, const owlRect& b) { return !(a == b); }
inline bool operator==(const owlPoint& a, const owlPoint& b) { return a.x == b.x && a.y == b.y; }

namespace owl {

// Two's-complement wrapping add and subtract: callers may pass any int32
// coordinates and origins, and a wrapped value is always caught later by the
// bounds check of the lock, never by undefined behaviour.
inline int32_t AddWrap(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
inline int32_t SubWrap(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

inline owlRect MakeRect(int32_t l, int32_t t, int32_t r, int32_t b) { return owlRect{l, t, r, b}; }
inline int32_t Width(const owlRect& r) { return SubWrap(r.right, r.left); }
inline int32_t Height(const owlRect& r) { return SubWrap(r.bottom, r.top); }
// Exact sizes for rectangles whose extent does not fit in int32.
inline int64_t Width64(const owlRect& r) { return int64_t(r.right) - r.left; }
inline int64_t Height64(const owlRect& r) { return int64_t(r.bottom) - r.top; }
// Reversed as given, before any mapping: such a rectangle holds no point.
inline bool IsReversed(const owlRect& r) { return r.left > r.right || r.top > r.bottom; }
// Equality only: a reversed rectangle is not empty by this test.
inline bool IsEmpty(const owlRect& r) { return r.left == r.right || r.top == r.bottom; }
inline void SetEmpty(owlRect& r) { r = owlRect{0, 0, 0, 0}; }

inline void Inflate(owlRect& r, int32_t dx, int32_t dy) {
  r.left = SubWrap(r.left, dx); r.top = SubWrap(r.top, dy);
  r.right = AddWrap(r.right, dx); r.bottom = AddWrap(r.bottom, dy);
}
inline void Offset(owlRect& r, int32_t dx, int32_t dy) {
  r.left = AddWrap(r.left, dx); r.right = AddWrap(r.right, dx);
  r.top = AddWrap(r.top, dy); r.bottom = AddWrap(r.bottom, dy);
}
inline void Offset(owlPoint& p, int32_t dx, int32_t dy) { p.x = AddWrap(p.x, dx); p.y = AddWrap(p.y, dy); }
void Normalize(owlRect& r);
// Stores a ∩ b in out (which may alias either) and returns true when it is
// non-empty; otherwise out becomes all zeros.
bool Intersect(owlRect& out, const owlRect& a, const owlRect& b);
owlPoint CenterPoint(const owlRect& r);
void MoveToX(owlRect& r, int32_t x);
void MoveToY(owlRect& r, int32_t y);
inline void MoveToXY(owlRect& r, int32_t x, int32_t y) { MoveToX(r, x); MoveToY(r, y); }
inline bool Contains(const owlRect& r, int32_t x, int32_t y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

inline uint32_t MakeARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Row y of a view.
inline uint32_t* RowAt(const BitmapBits& v, int32_t y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(v.bits) + std::ptrdiff_t(y) * v.pitch);
}
inline uint32_t* PixelAtUnchecked(const BitmapBits& v, int32_t x, int32_t y) {
  return RowAt(v, y) + x;
}
// Pixel (x, y) with x and y clamped into the view; a view of width or height
// 0 clamps to its first pixel.
uint32_t* PixelAt(const BitmapBits& v, int32_t x, int32_t y);

// True when the bytes the two blocks span meet (one canvas given twice).
inline bool BlocksOverlap(const BitmapBits& a, const BitmapBits& b) {
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  const auto start = [](const BitmapBits& v) { return reinterpret_cast<uintptr_t>(v.bits); };
  const auto end = [&](const BitmapBits& v) {
    return start(v) + uintptr_t(v.height - 1) * uintptr_t(v.pitch) + uintptr_t(v.width) * 4;
  };
  return start(a) < end(b) && start(b) < end(a);
}

}  // namespace owl
