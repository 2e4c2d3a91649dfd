// The blurred rounded rectangle as a sum over its rows: every row of the
// shape is one interval, and the blur of an interval along a line is a
// difference of two cumulative weights. Taken as a plain rectangle, the sum
// over its rows is one product of a column profile and a row profile; each
// corner row then takes back the blur of the two pieces its corners cut
// off, which reaches only the columns near the corners.
#include "effects/round_rect_shadow.h"

#include <algorithm>
#include <vector>

#include "core/geometry.h"
#include "core/x87_precision.h"
#include "draw/draw_geometry.h"
#include "effects/gaussian_blur.h"
#include "rows/row_ops.h"

namespace owl {
namespace {

constexpr int64_t kOne = 1 << 16;  // weights in 16.16 fixed point

int64_t Isqrt(int64_t m) {
  int64_t s = 0;
  for (int64_t bit = int64_t(1) << 31; bit; bit >>= 1)
    if ((s + bit) * (s + bit) <= m) s += bit;
  return s;
}

// The line weights and their cumulative sums C(n) = sum of weight[m] for
// m <= n (m counted from the middle), both rounded to 16.16; C is kept for
// |n| <= span and clamped beyond.
class Weights {
 public:
  // Sized once, never grown: a growing std::vector would leave its template
  // code among the library's exported symbols.
  Weights(const std::vector<double>& kernel, int64_t span)
      : half_(int64_t(kernel.size() / 2)), span_(span), weight_(kernel.size()), cum_(size_t(2 * span + 1)) {
    std::vector<double> cumulative(kernel.size());
    double sum = 0;
    for (size_t i = 0; i < kernel.size(); ++i) {
      weight_[i] = int64_t(kernel[i] * kOne + 0.5);
      cumulative[i] = sum += kernel[i];
    }
    for (int64_t n = -span; n <= span; ++n) {
      const double v = n < -half_ ? 0.0 : n >= half_ ? cumulative.back() : cumulative[size_t(n + half_)];
      cum_[size_t(n + span)] = int32_t(v * kOne + 0.5);
    }
  }
  int64_t half() const { return half_; }
  int64_t Weight(int64_t d) const { return weight_[size_t(d + half_)]; }
  // C(n) for |n| <= span.
  int64_t Near(int64_t n) const { return cum_[size_t(n + span_)]; }
  int64_t operator()(int64_t n) const { return Near(std::min(std::max(n, -span_), span_)); }

 private:
  int64_t half_, span_;
  std::vector<int64_t> weight_;
  std::vector<int32_t> cum_;
};

}  // namespace

void DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                           uint32_t color) {
  const int64_t l = shape.left, t = shape.top, r = shape.right, b = shape.bottom;
  if (l >= r || t >= b || color == 0) return;
  const int64_t c = std::min<int64_t>(std::max(corner, 0), std::min(r - l, b - t) / 2);
  const ScopedDoublePrecision precision;  // the same weights on x87 builds
  const std::vector<double> kernel = GaussianKernel(radius);
  const int64_t reach = int64_t(kernel.size() / 2);
  const Weights w(kernel, c + reach + 1);

  // The pixels the blur reaches, clipped; coordinates stay in 64 bits until
  // the clip has bounded them.
  auto clamp32 = [](int64_t v) { return int32_t(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX)); };
  const owlRect request{clamp32(l - reach), clamp32(t - reach), clamp32(r + reach), clamp32(b + reach)};
  owlRect clipped;
  if (!ClipToCanvas(&canvas, &request, &clipped)) return;
  BitmapBits view;
  if (!canvas.Lock(&view, clipped)) return;
  const int64_t x0 = clipped.left, x1 = clipped.right;

  // Corner row i (0 at the edge) keeps n pixels on each side of the straight
  // part, those whose centres lie inside the corner's circle.
  std::vector<int32_t> inset(static_cast<size_t>(c));
  for (int64_t i = 0; i < c; ++i) {
    const int64_t s = Isqrt((2 * i + 1) * (4 * c - 2 * i - 1));  // (2c)^2 - (2 (c - i) - 1)^2
    inset[size_t(i)] = int32_t(s == 0 ? 0 : ((s & 1) ? s : s - 1) / 2 + 1);
  }
  // Coverage in 16.16 (0 to 65536), each product rounded to it.
  std::vector<int32_t> across(size_t(view.width)), cover(size_t(view.width));
  for (int64_t x = x0; x < x1; ++x) across[size_t(x - x0)] = int32_t(w(x - l) - w(x - r));
  std::vector<uint32_t> line(size_t(view.width));
  const uint32_t ch[4] = {color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF, color >> 24};

  for (int32_t y = 0; y < view.height; ++y) {
    const int64_t ly = int64_t(clipped.top) + y;
    const int64_t down = w(ly - t) - w(ly - b);
    if (down == 0) continue;
    for (size_t x = 0; x < across.size(); ++x) cover[x] = int32_t((across[x] * down + (kOne >> 1)) >> 16);
    // What the corners cut off: in corner row j, [l, l + c - n) and
    // [r - c + n, r), whose blur reaches reach pixels past each end.
    auto cut = [&](int64_t j, int64_t i) {
      const int64_t n = inset[size_t(i)], weight = w.Weight(ly - j);
      if (n == c || weight == 0) return;
      const int64_t inner = l + c - n;
      for (int64_t x = std::max(x0, l - reach); x < std::min(x1, inner + reach); ++x)
        cover[size_t(x - x0)] -= int32_t((weight * (w.Near(x - l) - w.Near(x - inner)) + (kOne >> 1)) >> 16);
      const int64_t outer = r - c + n;
      for (int64_t x = std::max(x0, outer - reach); x < std::min(x1, r + reach); ++x)
        cover[size_t(x - x0)] -= int32_t((weight * (w.Near(x - outer) - w.Near(x - r)) + (kOne >> 1)) >> 16);
    };
    for (int64_t j = std::max(t, ly - reach); j < std::min(t + c, ly + reach + 1); ++j) cut(j, j - t);
    for (int64_t j = std::max(b - c, ly - reach); j < std::min(b, ly + reach + 1); ++j) cut(j, b - 1 - j);
    for (size_t x = 0; x < cover.size(); ++x) {
      const uint32_t a = uint32_t(std::min(std::max(cover[x], 0), int32_t(kOne)));
      line[x] = uint32_t((ch[0] * a + 32768) >> 16 | ((ch[1] * a + 32768) >> 16) << 8 |
                         ((ch[2] * a + 32768) >> 16) << 16 | ((ch[3] * a + 32768) >> 16) << 24);
    }
    BlendRows(BitmapBits{view.width, 1, view.pitch, RowAt(view, y)},
              BitmapBits{view.width, 1, view.width * 4, line.data()});
  }
  canvas.Unlock();
}

}  // namespace owl
