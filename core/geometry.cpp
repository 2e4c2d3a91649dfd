#include "core/geometry.h"

#include <utility>

namespace owl {

void Normalize(owlRect& r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
}

bool Intersect(owlRect& out, const owlRect& a, const owlRect& b) {
  const int32_t l = a.left > b.left ? a.left : b.left;
  const int32_t t = a.top > b.top ? a.top : b.top;
  const int32_t r = a.right < b.right ? a.right : b.right;
  const int32_t bo = a.bottom < b.bottom ? a.bottom : b.bottom;
  if (l < r && t < bo) {
    out = owlRect{l, t, r, bo};
    return true;
  }
  SetEmpty(out);
  return false;
}

owlPoint CenterPoint(const owlRect& r) {
  // 64-bit sums so that rectangles near the int32 limits do not overflow.
  return owlPoint{int32_t((int64_t(r.left) + r.right) / 2), int32_t((int64_t(r.top) + r.bottom) / 2)};
}

void MoveToX(owlRect& r, int32_t x) {
  r.right = AddWrap(x, Width(r));
  r.left = x;
}

void MoveToY(owlRect& r, int32_t y) {
  r.bottom = AddWrap(y, Height(r));
  r.top = y;
}

uint32_t* PixelAt(const BitmapBits& v, int32_t x, int32_t y) {
  if (x >= v.width) x = v.width - 1;
  if (x < 0) x = 0;
  if (y >= v.height) y = v.height - 1;
  if (y < 0) y = 0;
  return PixelAtUnchecked(v, x, y);
}

}  // namespace owl
