// The blurred rounded rectangle from the separable structure of a blurred
// box: the box's blur is the product of a row profile and a column profile
// (each a difference of two cumulative line weights), and each corner takes
// back the blur of the piece it cuts off. The four pieces are mirror images
// of one another, so the blur of one, a table of (w + 2 reach) squared
// coverages (w the width of the piece's first row, a little less than the
// corner) made once per call, serves all four; a drawn pixel then costs one
// product, at most one table read (several only where corners' reaches
// overlap) and the tinted source-over, all in one row kernel.
//
// Coverages are 15-bit fractions, 32767 for all: the cumulative weights
// C(n) = round(32767 * (sum of the line weights at m <= n)), the row profile
// C(x - left) - C(x - right), and likewise down the columns. The table of
// the top-left piece, with u and v counted from reach pixels above and left
// of the corner: T(u, v) = min(32767, (sum over the piece's rows i of
// g(u - reach - i) * h_i(v) + 16384) >> 15), where g are the line weights
// times 32768, rounded (at most 32767), and h_i(v) the row profile of the
// piece's row i (its columns 0 to w_i - 1). Rows, columns or both run the
// other way for the other three corners.
#include "effects/round_rect_shadow.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "core/cpu_features.h"
#include "core/geometry.h"
#include "core/x87_precision.h"
#include "draw/draw_geometry.h"
#include "effects/gaussian_blur.h"

namespace owl {
namespace {

constexpr int32_t kFull = 32767;

int64_t Isqrt(int64_t m) {
  int64_t s = 0;
  for (int64_t bit = int64_t(1) << 31; bit; bit >>= 1)
    if ((s + bit) * (s + bit) <= m) s += bit;
  return s;
}

struct ShadowKernels {
  void (*corner)(uint32_t*, const uint32_t*, std::ptrdiff_t, const uint32_t*, int32_t, int32_t);
  void (*row)(uint32_t*, const uint32_t*, uint32_t, const ShadowCorrections&, uint32_t, int32_t);
};

ShadowKernels ChooseShadowKernels() {
#if defined(OWL_X86)
  if (HasSSE2() && HasAVX2()) return {ShadowCornerRow_AVX2, ShadowRow_AVX2};
  if (HasSSE2()) return {ShadowCornerRow_SSE2, ShadowRow_SSE2};
#endif
  return {ShadowCornerRow_C, ShadowRow_C};
}

// The cumulative weights C(n) and the weights g(n), n counted from the
// middle of the line.
class Weights {
 public:
  explicit Weights(const std::vector<double>& kernel)
      : reach_(int64_t(kernel.size() / 2)), cum_(kernel.size()), weight_(kernel.size()) {
    double sum = 0;
    for (size_t i = 0; i < kernel.size(); ++i) {
      sum += kernel[i];
      cum_[i] = int32_t(std::min<double>(kFull, double(kFull) * sum + 0.5));
      weight_[i] = uint32_t(std::min<double>(kFull, 32768.0 * kernel[i] + 0.5));
    }
    cum_.back() = kFull;
  }
  int64_t reach() const { return reach_; }
  int32_t Cum(int64_t n) const { return n < -reach_ ? 0 : n >= reach_ ? kFull : cum_[size_t(n + reach_)]; }
  uint32_t Weight(int64_t n) const { return n < -reach_ || n > reach_ ? 0 : weight_[size_t(n + reach_)]; }

 private:
  int64_t reach_;
  std::vector<int32_t> cum_;
  std::vector<uint32_t> weight_;
};

struct Span {
  int64_t from, to;  // [from, to), empty when from >= to
};

Span Meet(Span a, Span b) { return {std::max(a.from, b.from), std::min(a.to, b.to)}; }
Span Hull(Span a, Span b) {
  if (a.from >= a.to) return b;
  if (b.from >= b.to) return a;
  return {std::min(a.from, b.from), std::max(a.to, b.to)};
}

// An array of words from the free store, or none when it runs out.
std::unique_ptr<uint32_t[]> Words(int64_t n) {
  if (n < 0 || n > (int64_t(1) << 28)) return nullptr;
  return std::unique_ptr<uint32_t[]>(new (std::nothrow) uint32_t[size_t(std::max<int64_t>(n, 1))]);
}

}  // namespace

void ShadowCornerRow(uint32_t* out, const uint32_t* lines, std::ptrdiff_t stride, const uint32_t* weights, int32_t n,
                     int32_t count) {
  ChooseShadowKernels().corner(out, lines, stride, weights, n, count);
}
void ShadowRow(uint32_t* dst, const uint32_t* across, uint32_t down, const ShadowCorrections& corr, uint32_t color,
               int32_t count) {
  ChooseShadowKernels().row(dst, across, down, corr, color, count);
}

bool DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                           uint32_t color) {
  const int64_t l = shape.left, t = shape.top, r = shape.right, b = shape.bottom;
  if (l >= r || t >= b || color == 0) return true;
  const int64_t c = std::min<int64_t>(std::max(corner, 0), std::min(r - l, b - t) / 2);
  const ScopedDoublePrecision precision;  // the same weights on x87 builds
  const Weights w(GaussianKernel(radius));
  // Corner row i keeps n pixels on each side of the straight part, those
  // whose centres lie inside the corner's circle; the piece has the other
  // w_i = c - n, fewer in each row down. The piece is as tall as its first
  // row is wide (it is symmetric about its diagonal): the corners reach
  // that far plus the blur's reach.
  auto cut = [c](int64_t i) {
    if (i >= c) return int64_t(0);
    const int64_t s = Isqrt((2 * i + 1) * (4 * c - 2 * i - 1));  // (2c)^2 - (2 (c - i) - 1)^2
    return c - (s == 0 ? 0 : ((s & 1) ? s : s - 1) / 2 + 1);
  };
  const int64_t piece = cut(0), reach = w.reach(), side = piece + 2 * reach;

  // The pixels the blur reaches, clipped; coordinates stay in 64 bits until
  // the clip has bounded them.
  auto clamp32 = [](int64_t v) { return int32_t(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX)); };
  const owlRect request{clamp32(l - reach), clamp32(t - reach), clamp32(r + reach), clamp32(b + reach)};
  owlRect clipped;
  if (!ClipToCanvas(&canvas, &request, &clipped)) return true;

  // A pixel whose coverage q gives every channel c * q < 16384 gets a clear
  // source and stays as it is; q is at most the row and the column profile,
  // so the rows and columns whose profile is that small are left out.
  uint32_t most = 0;
  for (int k = 0; k < 32; k += 8) most = std::max(most, color >> k & 0xFF);
  auto profile = [&](int64_t p, int64_t from, int64_t to) { return uint32_t(w.Cum(p - from) - w.Cum(p - to)); };
  auto visible = [&](uint32_t q) { return most * q >= 16384; };
  Span xs{clipped.left, clipped.right}, ys{clipped.top, clipped.bottom};
  while (xs.from < xs.to && !visible(profile(xs.from, l, r))) ++xs.from;
  while (xs.from < xs.to && !visible(profile(xs.to - 1, l, r))) --xs.to;
  while (ys.from < ys.to && !visible(profile(ys.from, t, b))) ++ys.from;
  while (ys.from < ys.to && !visible(profile(ys.to - 1, t, b))) --ys.to;
  if (xs.from >= xs.to || ys.from >= ys.to) return true;
  const int32_t width = int32_t(xs.to - xs.from);

  // The table rows and columns any visible pixel reads: rows u of the top
  // corners lie on y = t - reach + u, of the bottom ones on
  // y = b - 1 + reach - u; columns likewise.
  const Span all{0, piece > 0 ? side : 0};
  const Span us = Hull(Meet(all, {ys.from - t + reach, ys.to - t + reach}), Meet(all, {b + reach - ys.to, b + reach - ys.from}));
  const Span vs = Hull(Meet(all, {xs.from - l + reach, xs.to - l + reach}), Meet(all, {r + reach - xs.to, r + reach - xs.from}));
  const bool corners = us.from < us.to && vs.from < vs.to;
  const int64_t rows = corners ? us.to - us.from : 0, cols = corners ? vs.to - vs.from : 0;
  // The piece's rows within reach of those table rows, in pairs.
  const int64_t i0 = corners ? std::max<int64_t>(0, us.from - 2 * reach) & ~int64_t(1) : 0;
  const int64_t i1 = corners ? std::min(piece, us.to) : 0;
  const int64_t pairs = (i1 - i0 + 1) / 2;

  const std::unique_ptr<uint32_t[]> across = Words(width);
  const std::unique_ptr<uint32_t[]> table = Words(rows * cols), lines = Words(pairs * cols), weights = Words(pairs);
  if (!across || !table || !lines || !weights) return false;
  for (int32_t x = 0; x < width; ++x) across[size_t(x)] = profile(xs.from + x, l, r) * 0x10001u;
  const ShadowKernels k = ChooseShadowKernels();

  if (corners) {
    // The piece's row profiles, two rows to a word.
    for (int64_t p = 0; p < pairs; ++p) {
      const int64_t even = cut(i0 + 2 * p), odd = cut(i0 + 2 * p + 1);
      uint32_t* line = &lines[size_t(p * cols)];
      for (int64_t v = vs.from; v < vs.to; ++v) {
        const int64_t x = v - reach;  // from the shape's edge
        line[size_t(v - vs.from)] = uint32_t(w.Cum(x) - w.Cum(x - even)) | uint32_t(w.Cum(x) - w.Cum(x - odd)) << 16;
      }
    }
    for (int64_t u = us.from; u < us.to; ++u) {
      const int64_t first = std::max(i0, u - 2 * reach) & ~int64_t(1), last = std::min(i1, u + 1);
      int32_t n = 0;
      for (int64_t i = first; i < last; i += 2, ++n)
        weights[size_t(n)] = w.Weight(u - reach - i) | (i + 1 < piece ? w.Weight(u - reach - i - 1) : 0) << 16;
      k.corner(&table[size_t((u - us.from) * cols)], &lines[size_t((first - i0) / 2 * cols)], std::ptrdiff_t(cols),
               weights.get(), n, int32_t(cols));
    }
  }

  BitmapBits view;
  const owlRect drawn{int32_t(xs.from), int32_t(ys.from), int32_t(xs.to), int32_t(ys.to)};
  if (!canvas.Lock(&view, drawn)) return true;
  // Where the corners' columns begin and end along a row.
  int64_t cuts[6] = {xs.from, xs.to, l - reach, l + piece + reach, r - piece - reach, r + reach};
  for (int64_t& x : cuts) x = std::min(std::max(x, xs.from), xs.to);
  std::sort(cuts, cuts + 6);
  for (int64_t y = ys.from; y < ys.to; ++y) {
    const uint32_t down = profile(y, t, b);
    if (!visible(down)) continue;
    uint32_t* out = RowAt(view, int32_t(y - ys.from));
    const int64_t top = y - t + reach, bottom = b - 1 + reach - y;
    const bool upper = piece > 0 && top >= 0 && top < side, lower = piece > 0 && bottom >= 0 && bottom < side;
    const ShadowCorrections none{{nullptr, nullptr}, {nullptr, nullptr}};
    if (!upper && !lower) {
      k.row(out, across.get(), down, none, color, width);
      continue;
    }
    for (int s = 0; s < 5; ++s) {
      const int64_t from = cuts[s], to = cuts[s + 1];
      if (from >= to) continue;
      const bool left = from >= l - reach && from < l + piece + reach,
                 right = from >= r - piece - reach && from < r + reach;
      // The table rows of the top and bottom corners, read forward on the
      // left and backward on the right.
      ShadowCorrections corr = none;
      int n = 0;
      for (int64_t u : {upper ? top : int64_t(-1), lower ? bottom : int64_t(-1)}) {
        if (u < 0) continue;
        const uint32_t* row = &table[size_t((u - us.from) * cols)];
        if (left) corr.forward[n] = row + (from - l + reach - vs.from);
        if (right) corr.backward[n] = row + (r - 1 - from + reach - vs.from);
        ++n;
      }
      k.row(out + (from - xs.from), &across[size_t(from - xs.from)], down, corr, color, int32_t(to - from));
    }
  }
  canvas.Unlock();
  return true;
}

}  // namespace owl
