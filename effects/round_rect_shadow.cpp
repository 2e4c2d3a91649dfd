// The blurred rounded rectangle as a sum over its rows: every row of the
// shape is one interval, and the blur of an interval along a line is a
// difference of two cumulative weights. The rows between the corners share
// one interval, so their sum is one product; only the corner rows near a
// pixel add terms of their own.
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

int64_t Isqrt(int64_t m) {
  int64_t s = 0;
  for (int64_t bit = int64_t(1) << 31; bit; bit >>= 1)
    if ((s + bit) * (s + bit) <= m) s += bit;
  return s;
}

// The cumulative weights C(n) = sum of kernel[m] for m <= n (m counted from
// the middle).
class Cumulative {
 public:
  explicit Cumulative(const std::vector<double>& kernel) : half_(int64_t(kernel.size() / 2)) {
    double sum = 0;
    for (double k : kernel) sum_.push_back(sum += k);
  }
  double operator()(int64_t n) const {
    if (n < -half_) return 0.0;
    if (n >= half_) return sum_.back();
    return sum_[size_t(n + half_)];
  }
  int64_t half() const { return half_; }

 private:
  int64_t half_;
  std::vector<double> sum_;
};

}  // namespace

void DrawShadowOfRoundRect(const Canvas& canvas, const owlRect& shape, int32_t corner, int32_t radius,
                         uint32_t color) {
  const ScopedDoublePrecision precision;  // the same pixels on x87 builds
  const int64_t l = shape.left, t = shape.top, r = shape.right, b = shape.bottom;
  if (l >= r || t >= b || color == 0) return;
  const int64_t c = std::min<int64_t>(std::max(corner, 0), std::min(r - l, b - t) / 2);
  const std::vector<double> kernel = GaussianKernel(radius);
  const Cumulative cum(kernel);
  const int64_t reach = cum.half();

  // The pixels the blur reaches, clipped; coordinates stay in 64 bits until
  // the clip has bounded them.
  auto clamp32 = [](int64_t v) { return int32_t(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX)); };
  const owlRect request{clamp32(l - reach), clamp32(t - reach), clamp32(r + reach), clamp32(b + reach)};
  owlRect clipped;
  if (!ClipToCanvas(&canvas, &request, &clipped)) return;
  BitmapBits view;
  if (!canvas.Lock(&view, clipped)) return;

  // Row i of the top corner rows covers [l + c - n, r - c + n), n pixels on
  // each side of the straight part whose centres lie inside the corner's
  // circle; the bottom corner rows mirror them.
  auto inset = [c](int64_t i) {
    const int64_t s = Isqrt((2 * i + 1) * (4 * c - 2 * i - 1));  // (2c)^2 - (2 (c - i) - 1)^2
    return s == 0 ? 0 : ((s & 1) ? s : s - 1) / 2 + 1;
  };
  std::vector<double> across(size_t(view.width));
  for (int32_t x = 0; x < view.width; ++x) {
    const int64_t lx = int64_t(clipped.left) + x;
    across[size_t(x)] = cum(lx - l) - cum(lx - r);
  }
  std::vector<uint32_t> line(size_t(view.width));
  // At most 2 (2 reach + 1) corner rows meet a row's kernel.
  struct Term { double weight; int64_t left, right; };
  std::vector<Term> terms;
  terms.reserve(size_t(std::min<int64_t>(2 * c, 2 * (2 * reach + 1))));
  double channel[4];
  for (int k = 0; k < 4; ++k) channel[k] = double(color >> (8 * k) & 0xFF);

  for (int32_t y = 0; y < view.height; ++y) {
    const int64_t ly = int64_t(clipped.top) + y;
    const double down = cum(ly - (t + c)) - cum(ly - (b - c));
    // The corner rows within the kernel's reach of this row.
    terms.clear();
    auto add = [&](int64_t j0, int64_t j1, bool top) {
      for (int64_t j = std::max(j0, ly - reach); j < std::min(j1, ly + reach + 1); ++j) {
        const int64_t n = inset(top ? j - t : b - 1 - j);
        const double weight = kernel[size_t(ly - j + reach)];
        if (weight != 0.0) terms.push_back(Term{weight, l + c - n, r - c + n});
      }
    };
    add(t, t + c, true);
    add(b - c, b, false);
    if (down == 0.0 && terms.empty()) continue;
    for (int32_t x = 0; x < view.width; ++x) {
      const int64_t lx = int64_t(clipped.left) + x;
      double cover = across[size_t(x)] * down;
      for (const Term& term : terms) cover += term.weight * (cum(lx - term.left) - cum(lx - term.right));
      uint32_t p = 0;
      for (int k = 0; k < 4; ++k) p |= uint32_t(int32_t(channel[k] * cover + 0.5)) << (8 * k);
      line[size_t(x)] = p;
    }
    BlendRows(BitmapBits{view.width, 1, view.pitch, RowAt(view, y)},
              BitmapBits{view.width, 1, view.width * 4, line.data()});
  }
  canvas.Unlock();
}

}  // namespace owl
