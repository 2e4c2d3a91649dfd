// Coverage of rounded rectangles and their rows.
//
// A corner of radius r is worked in its own frame: p and q are a pixel's
// distances from the corner's vertical and horizontal edges, u = r - p and
// v = r - q its distances from the arc's centre. Mirrored pixels of mirrored
// corners meet the same numbers, so equal radii give a shape symmetric in
// both axes bit for bit. The area under the arc is summed in a form whose
// terms are of the size of r, not r * r, so that it stays accurate to about
// 1e-7 of a pixel even for radii near 2^31.
#include "effects/round_rect.h"

#include <algorithm>
#include <cmath>

#include "core/geometry.h"
#include "core/pixel_math.h"
#include "draw/draw_geometry.h"
#include "rows/fill_rows.h"

namespace owl {
namespace {

// A point of the arc's frame with g = sqrt(r * r - u * u), kept beside u
// because it is known exactly at most points where it is needed.
struct ArcPoint {
  double u, g;
};

// sqrt(r * r - u * u) for u = r - d, written with d to avoid r * r.
double ArcHeight(double r, double d) { return d <= 0 ? 0 : std::sqrt(d * (2 * r - d)); }

// Integral of g from a to b (a.u <= b.u): half of (b g(b) - a g(a)) plus
// r * r times the angle between them, both rewritten without r * r terms.
double ArcIntegral(double r, ArcPoint a, ArcPoint b) {
  const double d = b.u - a.u;
  const double s = a.g + b.g;
  const double t = s > 0 ? a.u * (a.u + b.u) / s : 0;  // (g(a) - g(b)) / d
  const double chord = d * (b.g - t);                   // b g(b) - a g(a)
  const double cross = d * (a.g + t);                   // r * r * sin(angle)
  const double dot = a.u * b.u + a.g * b.g;             // r * r * cos(angle)
  return 0.5 * (chord + r * r * std::atan2(cross, dot));
}

// Area of the pixel p in [p0, p0 + 1), q in [q0, q0 + 1) that lies inside
// the corner square [0, r) x [0, r) but outside the arc.
double CornerExcess(double p0, double q0, double r) {
  if (!(p0 < r) || !(q0 < r)) return 0;
  const double u1 = r - p0, v1 = r - q0;
  const double u0 = std::max(0.0, u1 - 1), v0 = std::max(0.0, v1 - 1);
  const double box = (u1 - u0) * (v1 - v0);
  if (u1 * u1 + v1 * v1 <= r * r) return 0;  // wholly inside the arc
  if (u0 * u0 + v0 * v0 >= r * r) return box;
  // Inside the arc within the box: columns where g >= v1 are full; between
  // ua (g = v1) and ub (g = v0) they hold g - v0.
  const ArcPoint lo{u0, ArcHeight(r, p0 + 1 < r ? p0 + 1 : r)};
  const ArcPoint hi{u1, ArcHeight(r, p0)};
  const ArcPoint ua{ArcHeight(r, q0), v1};
  const ArcPoint ub{v0 > 0 ? ArcHeight(r, q0 + 1) : r, v0};
  double inside = std::max(0.0, std::min(u1, ua.u) - u0) * (v1 - v0);
  const ArcPoint a = ua.u > lo.u ? ua : lo;
  const ArcPoint b = ub.u < hi.u ? ub : hi;
  if (b.u > a.u) inside += ArcIntegral(r, a, b) - v0 * (b.u - a.u);
  return std::max(0.0, box - inside);
}

// Columns [begin, end).
struct Span {
  int64_t begin, end;
};

// The columns of row y where the shape's coverage may lie strictly between
// 0 and 1: those inside a corner square that the row meets. Appends up to
// two spans.
int PartialSpans(const RoundShape& s, int64_t y, Span* out) {
  if (s.Empty() || y < s.top || y >= s.bottom) return 0;
  const double qt = double(y - s.top), qb = double(s.bottom - 1 - y);
  const double left = std::max(qt < s.radius[0] ? s.radius[0] : 0, qb < s.radius[3] ? s.radius[3] : 0);
  const double right = std::max(qt < s.radius[1] ? s.radius[1] : 0, qb < s.radius[2] ? s.radius[2] : 0);
  const int64_t width = s.right - s.left;
  int n = 0;
  if (left > 0) out[n++] = Span{s.left, s.left + std::min(width, int64_t(std::ceil(left)))};
  if (right > 0) out[n++] = Span{s.right - std::min(width, int64_t(std::ceil(right))), s.right};
  return n;
}

double ShapeCoverage(const RoundShape& outer, const RoundShape& inner, int64_t x, int64_t y) {
  const double area = PixelCoverage(outer, x, y);
  return inner.Empty() ? area : area - PixelCoverage(inner, x, y);
}

inline void PutCoverage(uint32_t* p, uint32_t color, uint8_t k) {
  if (k == 0) return;
  *p = OverWrap(k == 255 ? color : ScaleChannels(color, uint32_t(k) + 1), *p);
}

}  // namespace

RoundShape MakeRoundShape(int64_t left, int64_t top, int64_t right, int64_t bottom, const double radius[4]) {
  RoundShape s;
  s.left = left, s.top = top, s.right = right, s.bottom = bottom;
  if (s.Empty()) return s;
  const double w = double(right - left), h = double(bottom - top);
  const double sides[4][3] = {{radius[0], radius[1], w}, {radius[3], radius[2], w},
                              {radius[0], radius[3], h}, {radius[1], radius[2], h}};
  double f = 1;
  for (const auto& side : sides)
    if (side[0] + side[1] > side[2]) f = std::min(f, side[2] / (side[0] + side[1]));
  for (int k = 0; k < 4; ++k) s.radius[k] = radius[k] * f;
  return s;
}

RoundShape InsetRoundShape(const RoundShape& s, int64_t width) {
  double radius[4];
  for (int k = 0; k < 4; ++k) radius[k] = std::max(0.0, s.radius[k] - double(width));
  return MakeRoundShape(s.left + width, s.top + width, s.right - width, s.bottom - width, radius);
}

double PixelCoverage(const RoundShape& s, int64_t x, int64_t y) {
  if (x < s.left || x >= s.right || y < s.top || y >= s.bottom) return 0;
  const double pl = double(x - s.left), pr = double(s.right - 1 - x);
  const double qt = double(y - s.top), qb = double(s.bottom - 1 - y);
  const double e0 = CornerExcess(pl, qt, s.radius[0]), e1 = CornerExcess(pr, qt, s.radius[1]);
  const double e2 = CornerExcess(pr, qb, s.radius[2]), e3 = CornerExcess(pl, qb, s.radius[3]);
  // Paired so that a mirror image sums the same terms in the same pairs.
  return 1 - ((e0 + e2) + (e1 + e3));
}

uint8_t QuantizeCoverage(double area) {
  const double v = area * 255 + 0.5;
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return uint8_t(v);
}

void DrawRoundShape(const Canvas& canvas, const RoundShape& outer, const RoundShape& inner, uint32_t color) {
  if (outer.Empty() || color < 0x01000000u) return;
  const owlRect request{int32_t(outer.left), int32_t(outer.top), int32_t(outer.right), int32_t(outer.bottom)};
  owlRect clip;
  BitmapBits view;
  if (!ClipToCanvas(&canvas, &request, &clip) || !canvas.Lock(&view, clip)) return;
  for (int64_t y = clip.top; y < clip.bottom; ++y) {
    uint32_t* row = RowAt(view, int32_t(y - clip.top));
    Span spans[4];
    int n = PartialSpans(outer, y, spans);
    n += PartialSpans(inner, y, spans + n);
    // Coverage is constant (0 or 1) between the shapes' edges and the
    // partial spans' ends, which cut the row into at most 13 pieces.
    int64_t cuts[14];
    int m = 0;
    cuts[m++] = clip.left;
    cuts[m++] = clip.right;
    for (const RoundShape* s : {&outer, &inner})
      if (!s->Empty() && y >= s->top && y < s->bottom) cuts[m++] = s->left, cuts[m++] = s->right;
    for (int i = 0; i < n; ++i) cuts[m++] = spans[i].begin, cuts[m++] = spans[i].end;
    for (int i = 1; i < m; ++i)  // insertion sort: a dozen values at most
      for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);
    for (int i = 0; i + 1 < m; ++i) {
      const int64_t a = std::max<int64_t>(cuts[i], clip.left), b = std::min<int64_t>(cuts[i + 1], clip.right);
      if (a >= b) continue;
      bool partial = false;
      for (int j = 0; j < n; ++j) partial |= spans[j].begin <= a && a < spans[j].end;
      if (partial) {
        for (int64_t x = a; x < b; ++x)
          PutCoverage(row + (x - clip.left), color, QuantizeCoverage(ShapeCoverage(outer, inner, x, y)));
      } else if (QuantizeCoverage(ShapeCoverage(outer, inner, a, y)) == 255) {
        BlendFillRows(BitmapBits{int32_t(b - a), 1, view.pitch, row + (a - clip.left)}, color);
      }
    }
  }
  canvas.Unlock();
}

}  // namespace owl
