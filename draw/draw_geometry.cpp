#include "draw/draw_geometry.h"

#include <cstdint>

#include "core/geometry.h"

namespace owl {
namespace {

// a * b / c truncated toward zero, exact for |a|, |b| < 2^32 (every
// difference of two int32 values): the product's magnitude fits in 64
// unsigned bits. Saturates at +-2^62 so that callers may add and subtract
// int32-sized values freely. c must not be 0.
int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
  const bool negative = (a < 0) != (b < 0) ? c > 0 : c < 0;
  const uint64_t ua = uint64_t(a < 0 ? -a : a);
  const uint64_t ub = uint64_t(b < 0 ? -b : b);
  const uint64_t uc = uint64_t(c < 0 ? -c : c);
  uint64_t q = ua * ub / uc;
  const uint64_t kLimit = uint64_t(1) << 62;
  if (q > kLimit) q = kLimit;
  return negative ? -int64_t(q) : int64_t(q);
}

// Sign of a * b - c * d, exact for factors of magnitude below 2^32.
int CompareProducts(int64_t a, int64_t b, int64_t c, int64_t d) {
  auto sign_of = [](int64_t x, int64_t y) { return (x == 0 || y == 0) ? 0 : ((x < 0) != (y < 0) ? -1 : 1); };
  auto mag = [](int64_t x, int64_t y) { return uint64_t(x < 0 ? -x : x) * uint64_t(y < 0 ? -y : y); };
  const int s1 = sign_of(a, b), s2 = sign_of(c, d);
  if (s1 != s2) return s1 < s2 ? -1 : 1;
  if (s1 == 0) return 0;
  const uint64_t m1 = mag(a, b), m2 = mag(c, d);
  if (m1 == m2) return 0;
  return (m1 < m2) == (s1 > 0) ? -1 : 1;
}

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

bool ValidateSourceRect(const Texture* texture, owlRect* out, const owlRect* rect) {
  if (!texture || !out) return false;
  if (!rect) {
    *out = owlRect{0, 0, texture->width(), texture->height()};
    return !IsEmpty(*out);
  }
  *out = *rect;
  Normalize(*out);
  if (out->right > texture->width() || out->bottom > texture->height()) return false;
  if (out->left < 0 || out->top < 0) return false;
  return !IsEmpty(*out);
}

bool ClipToCanvas(const Canvas* canvas, const owlRect* request, owlRect* out) {
  if (!canvas || !request || !out) return false;
  owlRect clipped;
  // Intersect zeroes its result when empty; out must stay as it was then.
  if (!Intersect(clipped, *request, canvas->LogicalClip())) return false;
  *out = clipped;
  return true;
}

bool MapToSource(const owlRect* dst, const owlRect* src, const owlRect* clipped, owlRect* out) {
  if (!dst || !src || !clipped || !out) return false;
  const int64_t dw = Width64(*dst), dh = Height64(*dst);
  const int64_t sw = Width64(*src), sh = Height64(*src);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;
  if (clipped->right < clipped->left || clipped->bottom < clipped->top) return false;
  // Nothing clipped (the common case): the whole source, without divisions.
  if (clipped->left == dst->left && clipped->top == dst->top && clipped->right == dst->right &&
      clipped->bottom == dst->bottom) {
    *out = *src;
    return true;
  }
  // For a piece inside dst the clamps change nothing; a piece reaching
  // outside dst still reads only texels of src.
  const int64_t left = Clamp(MulDiv(int64_t(clipped->left) - dst->left, sw, dw), 0, sw - 1);
  const int64_t top = Clamp(MulDiv(int64_t(clipped->top) - dst->top, sh, dh), 0, sh - 1);
  int64_t right = Clamp(MulDiv(int64_t(clipped->right) - dst->left, sw, dw), left, sw);
  int64_t bottom = Clamp(MulDiv(int64_t(clipped->bottom) - dst->top, sh, dh), top, sh);
  // A piece smaller than one texel still reads one.
  if (right == left) ++right;
  if (bottom == top) ++bottom;
  *out = owlRect{int32_t(src->left + left), int32_t(src->top + top), int32_t(src->left + right),
                 int32_t(src->top + bottom)};
  return true;
}

bool CenterFit(const owlRect* dst, const owlRect* src, owlRect* out) {
  if (!dst || !src || !out) return true;
  const int64_t w = Width64(*dst), h = Height64(*dst);
  const int64_t sw = Width64(*src), sh = Height64(*src);
  int64_t fit_w = w, fit_h = h;
  if (CompareProducts(sw, h, w, sh) < 0) {
    if (sh != 0) fit_w = MulDiv(h, sw, sh);
  } else if (sw != 0) {
    fit_h = MulDiv(w, sh, sw);
  }
  const int64_t dx = fit_w < w ? (fit_w - w) / 2 : 0;
  const int64_t dy = fit_h < h ? (fit_h - h) / 2 : 0;
  // In range for every dst and src that are not reversed; wraps otherwise.
  *out = owlRect{int32_t(uint32_t(int64_t(dst->left) - dx)), int32_t(uint32_t(int64_t(dst->top) - dy)),
                 int32_t(uint32_t(int64_t(dst->right) + dx)), int32_t(uint32_t(int64_t(dst->bottom) + dy))};
  return true;
}

void NineGridCells(const owlRect* rect, const owlRect* margins, owlRect cells[9]) {
  const int32_t xs[4] = {rect->left, AddWrap(rect->left, margins->left), SubWrap(rect->right, margins->right),
                         rect->right};
  const int32_t ys[4] = {rect->top, AddWrap(rect->top, margins->top), SubWrap(rect->bottom, margins->bottom),
                         rect->bottom};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) cells[3 * i + j] = owlRect{xs[j], ys[i], xs[j + 1], ys[i + 1]};
}

}  // namespace owl
