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
#include <atomic>
#include <cmath>
#include <cstring>

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

// The columns of row y where the arc of a corner (radius r, q0 the row's
// distance from the corner's horizontal edge) crosses the row, as distances
// p from its vertical edge: left of them the pixels lie outside the arc,
// right of them inside, so the coverage is constant there. A rounding error
// here could only leave out a pixel that the arc barely touches, whose
// quantised coverage is that of its neighbours.
bool ArcColumns(double r, double q0, int64_t* begin, int64_t* end) {
  if (!(q0 < r)) return false;
  const double ua = ArcHeight(r, q0);                              // u where the arc leaves the row's bottom
  const double ub = r - q0 - 1 > 0 ? ArcHeight(r, q0 + 1) : r;    // ... and its top
  const double limit = std::ceil(r);
  *begin = int64_t(std::max(0.0, std::floor(r - ub)));
  *end = int64_t(std::min(limit, std::ceil(r - ua)));
  return *begin < *end;
}

// Coverage and arc columns already worked out, kept from call to call:
// user interfaces draw the same corners again and again, and an arc
// pixel's exact area (a square root or four and an arctangent) costs more
// than laying it over the canvas. Coverage is stored by a pixel's distances
// from the nearest vertical and horizontal edge of the outer shape: a shape
// symmetric in both axes has the same coverage at mirrored pixels, bit for
// bit (see above), so each arc pixel is computed once, not four times, and
// not again while the key holds. The key is everything a stored value
// depends on: the radii, the inset of the inner shape and the size, except
// that a side long enough that no pixel within kSide of one edge meets the
// corners of the other counts as "long".
class CoverageMemo {
 public:
  static constexpr int64_t kSide = 128;

  CoverageMemo() : valid_(false), on_(false) {}  // the tables are cleared by the first Use

  // Prepares the memo for a shape; false when the shape is not symmetric
  // in both axes (nothing is stored then).
  bool Use(const RoundShape& outer, const RoundShape& inner) {
    Key key;
    std::memset(&key, 0, sizeof key);  // padding too: the keys are compared bytewise
    const double r = outer.radius[0];
    for (int k = 0; k < 4; ++k)
      if (outer.radius[k] != r || inner.radius[k] != inner.radius[0]) return on_ = false;
    if (!(r < 1e9)) return on_ = false;
    key.outer = r;
    key.inner = inner.radius[0];
    key.inner_empty = inner.Empty();
    key.inset = key.inner_empty ? 0 : inner.left - outer.left;
    if (key.inset < 0 || key.inset > (int64_t(1) << 40)) return on_ = false;
    const int64_t long_side = 2 * (kSide + key.inset + int64_t(std::ceil(r))) + 4;
    const int64_t w = outer.right - outer.left, h = outer.bottom - outer.top;
    key.width = w >= long_side ? -1 : w;
    key.height = h >= long_side ? -1 : h;
    if (!valid_ || std::memcmp(&key, &key_, sizeof key) != 0) {
      std::memset(known_, 0, sizeof known_);
      std::memset(arcs_known_, 0, sizeof arcs_known_);
      std::memset(rows_known_, 0, sizeof rows_known_);
      std::memcpy(&key_, &key, sizeof key);
      valid_ = true;
    }
    return on_ = true;
  }
  bool On() const { return on_; }
  // The slot of pixel (x, y): -1 when it has none.
  int64_t Slot(const RoundShape& s, int64_t x, int64_t y) const {
    if (!on_) return -1;
    const int64_t p = std::min(x - s.left, s.right - 1 - x), q = std::min(y - s.top, s.bottom - 1 - y);
    return p < 0 || q < 0 || p >= kSide || q >= kSide ? -1 : q * kSide + p;
  }
  bool Has(int64_t slot) const { return known_[slot >> 6] >> (slot & 63) & 1; }
  uint8_t Get(int64_t slot) const { return value_[slot]; }
  void Set(int64_t slot, uint8_t k) {
    value_[slot] = k;
    known_[slot >> 6] |= uint64_t(1) << (slot & 63);
  }
  // The coverage of row y of the outer shape s (q = its distance from the
  // nearer horizontal edge, below kSide) by distance p from the nearer
  // vertical edge, filled in the first time for the arc columns [begin, end)
  // (end < kSide, 2 * end <= the width) and for the first pixel of each
  // piece around them: p = 0, begin - 1 and, when left of the middle, end.
  // The shape's corners lie apart (see DrawArcRow), so each pixel meets one
  // corner square at most, and its coverage 1 - ((e0 + e2) + (e1 + e3)),
  // three of the terms 0, is 1 - e exactly.
  const uint8_t* ArcRow(const RoundShape& s, int64_t y, int64_t begin, int64_t end) {
    const int64_t q = std::min(y - s.top, s.bottom - 1 - y);
    uint8_t* row = value_ + q * kSide;
    if (!(rows_known_[q >> 6] >> (q & 63) & 1)) {
      const auto fill = [&](int64_t p) {
        const int64_t slot = q * kSide + p;
        if (!Has(slot)) Set(slot, QuantizeCoverage(1 - CornerExcess(double(p), double(q), s.radius[0])));
      };
      for (int64_t p = begin; p < end; ++p) fill(p);
      fill(0);
      fill(std::max<int64_t>(begin - 1, 0));
      if (2 * end < s.right - s.left) fill(end);
      rows_known_[q >> 6] |= uint64_t(1) << (q & 63);
    }
    return row;
  }
  // ArcColumns of the outer (which 0) or inner (1) shape's corners for
  // distance q from their horizontal edge.
  bool Arc(int which, double r, double q, int64_t* begin, int64_t* end) {
    const int64_t i = int64_t(q);
    if (!on_ || i >= kSide) return ArcColumns(r, q, begin, end);
    Columns& c = arcs_[which][i];
    if (!(arcs_known_[which][i >> 6] >> (i & 63) & 1)) {
      c.crossed = ArcColumns(r, q, &c.begin, &c.end);
      arcs_known_[which][i >> 6] |= uint64_t(1) << (i & 63);
    }
    *begin = c.begin, *end = c.end;
    return c.crossed;
  }

 private:
  struct Key {
    double outer, inner;
    int64_t inset, width, height;
    bool inner_empty;
  };
  struct Columns {
    int64_t begin, end;
    bool crossed;
  };
  bool valid_, on_;
  Key key_;
  uint64_t known_[kSide * kSide / 64];
  uint64_t arcs_known_[2][kSide / 64];
  uint64_t rows_known_[kSide / 64];
  Columns arcs_[2][kSide];
  uint8_t value_[kSide * kSide];
};

// The memo for one draw: the shared one, kept from draw to draw, when no
// other thread is using it; else one of the draw's own, as cold as the
// shared one was at first.
class MemoLease {
 public:
  MemoLease() : shared_(!Busy().test_and_set(std::memory_order_acquire)) {}
  ~MemoLease() {
    if (shared_) Busy().clear(std::memory_order_release);
  }
  MemoLease(const MemoLease&) = delete;
  MemoLease& operator=(const MemoLease&) = delete;
  CoverageMemo& memo() { return shared_ ? Shared() : own_; }

 private:
  static std::atomic_flag& Busy() {
    static std::atomic_flag busy = ATOMIC_FLAG_INIT;
    return busy;
  }
  static CoverageMemo& Shared() {
    static CoverageMemo memo;
    return memo;
  }
  bool shared_;
  CoverageMemo own_;
};

// The columns of row y where the shape's coverage may change from pixel to
// pixel: where an arc crosses the row. Appends up to four spans.
int PartialSpans(const RoundShape& s, int which, int64_t y, Span* out, CoverageMemo& memo) {
  if (s.Empty() || y < s.top || y >= s.bottom) return 0;
  const double qt = double(y - s.top), qb = double(s.bottom - 1 - y);
  const int64_t width = s.right - s.left;
  int n = 0;
  // Corners 0 and 1 share the row's distance from the top, 3 and 2 from
  // the bottom: an equal radius gives mirrored columns.
  for (const int left : {0, 3}) {
    const int right = left == 0 ? 1 : 2;
    const double q = left == 0 ? qt : qb;
    int64_t b, e;
    const bool crossed = memo.Arc(which, s.radius[left], q, &b, &e);
    if (crossed) out[n++] = Span{s.left + std::min(b, width), s.left + std::min(e, width)};
    if (s.radius[right] != s.radius[left] && !ArcColumns(s.radius[right], q, &b, &e)) continue;
    if (s.radius[right] == s.radius[left] && !crossed) continue;
    out[n++] = Span{s.right - std::min(e, width), s.right - std::min(b, width)};
  }
  return n;
}

// The first row below the top corners' squares and the first row of the
// bottom ones.
int64_t TopBandEnd(const RoundShape& s) {
  return s.top + int64_t(std::ceil(std::max(s.radius[0], s.radius[1])));
}
int64_t BottomBandStart(const RoundShape& s) {
  return s.bottom - int64_t(std::ceil(std::max(s.radius[2], s.radius[3])));
}

double ShapeCoverage(const RoundShape& outer, const RoundShape& inner, int64_t x, int64_t y) {
  const double area = PixelCoverage(outer, x, y);
  return inner.Empty() ? area : area - PixelCoverage(inner, x, y);
}

// The quantised coverage of pixel (x, y), from the memo when it has it.
uint8_t MemoCoverage(const RoundShape& outer, const RoundShape& inner, int64_t x, int64_t y, CoverageMemo& memo) {
  const int64_t slot = memo.Slot(outer, x, y);
  if (slot >= 0 && memo.Has(slot)) return memo.Get(slot);
  const uint8_t k = QuantizeCoverage(ShapeCoverage(outer, inner, x, y));
  if (slot >= 0) memo.Set(slot, k);
  return k;
}

inline void PutCoverage(uint32_t* p, uint32_t color, uint8_t k) {
  if (k == 0) return;
  *p = OverWrap(k == 255 ? color : ScaleChannels(color, uint32_t(k) + 1), *p);
}

// Draws rows y .. y + rows - 1 (rows > 1 only when no arc crosses them, so
// that every row has the coverage of the first).
void DrawRow(const BitmapBits& view, const owlRect& clip, const RoundShape& outer, const RoundShape& inner,
             int64_t y, int64_t rows, const Span* spans, int n, uint32_t color, CoverageMemo& memo) {
  uint32_t* row = RowAt(view, int32_t(y - clip.top));
  // Coverage is constant between the shapes' edges and the partial spans'
  // ends, which cut the row into at most 21 pieces.
  int64_t cuts[22];
  int m = 0;
  cuts[m++] = clip.left;
  cuts[m++] = clip.right;
  for (const RoundShape* s : {&outer, &inner})
    if (!s->Empty() && y >= s->top && y < s->bottom) cuts[m++] = s->left, cuts[m++] = s->right;
  for (int i = 0; i < n; ++i) cuts[m++] = spans[i].begin, cuts[m++] = spans[i].end;
  for (int i = 1; i < m; ++i) {  // insertion sort: a few values
    const int64_t v = cuts[i];
    int j = i;
    for (; j > 0 && cuts[j - 1] > v; --j) cuts[j] = cuts[j - 1];
    cuts[j] = v;
  }
  for (int i = 0; i + 1 < m; ++i) {
    const int64_t a = std::max<int64_t>(cuts[i], clip.left), b = std::min<int64_t>(cuts[i + 1], clip.right);
    if (a >= b) continue;
    bool partial = false;
    for (int j = 0; j < n; ++j) partial |= spans[j].begin <= a && a < spans[j].end;
    if (partial) {
      for (int64_t x = a; x < b; ++x) PutCoverage(row + (x - clip.left), color, MemoCoverage(outer, inner, x, y, memo));
      continue;
    }
    const uint8_t k = MemoCoverage(outer, inner, a, y, memo);
    if (k == 255) {
      BlendFillRows(BitmapBits{int32_t(b - a), int32_t(rows), view.pitch, row + (a - clip.left)}, color);
    } else if (k != 0) {  // a row that meets a corner square's fractional edge
      for (int64_t r = 0; r < rows; ++r)
        for (int64_t x = a; x < b; ++x) PutCoverage(RowAt(view, int32_t(y + r - clip.top)) + (x - clip.left), color, k);
    }
  }
}

// A row of a symmetric fill whose arcs cross it at columns [begin, end)
// from each side, its corners far enough apart that these are the row's
// only partial pixels: DrawRow's five pieces without the sorting, the arc
// pixels' coverage from the memo, computed for the whole span the first time.
void DrawArcRow(const BitmapBits& view, const owlRect& clip, const RoundShape& outer, int64_t y, int64_t begin,
                int64_t end, uint32_t color, CoverageMemo& memo) {
  uint32_t* row = RowAt(view, int32_t(y - clip.top));
  const int64_t l = outer.left, r = outer.right;
  const uint8_t* arc = memo.ArcRow(outer, y, begin, end);
  const RoundShape none;
  const int64_t edges[6] = {l, l + begin, l + end, r - end, r - begin, r};
  for (int i = 0; i < 5; ++i) {
    const int64_t a = std::max<int64_t>(edges[i], clip.left), b = std::min<int64_t>(edges[i + 1], clip.right);
    if (a >= b) continue;
    if (i == 1) {
      for (int64_t x = a; x < b; ++x) PutCoverage(row + (x - clip.left), color, arc[x - l]);
      continue;
    }
    if (i == 3) {
      for (int64_t x = a; x < b; ++x) PutCoverage(row + (x - clip.left), color, arc[r - 1 - x]);
      continue;
    }
    // The piece's coverage is that of its first pixel (see DrawRow).
    const int64_t first[5] = {0, 0, end, 0, begin - 1};
    const uint8_t k = a == edges[i] ? arc[first[i]] : MemoCoverage(outer, none, a, y, memo);
    if (k == 255) {
      BlendFillRows(BitmapBits{int32_t(b - a), 1, view.pitch, row + (a - clip.left)}, color);
    } else if (k != 0) {
      for (int64_t x = a; x < b; ++x) PutCoverage(row + (x - clip.left), color, k);
    }
  }
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
  // Rows between these breaks meet the same corner squares; rows that meet
  // none have the same coverage in every column and are drawn as blocks.
  int64_t breaks[10] = {outer.top, TopBandEnd(outer), BottomBandStart(outer), outer.bottom, clip.bottom};
  int nb = 5;
  if (!inner.Empty()) {
    for (const int64_t b : {inner.top, TopBandEnd(inner), BottomBandStart(inner), inner.bottom}) breaks[nb++] = b;
  }
  MemoLease lease;
  CoverageMemo& memo = lease.memo();
  memo.Use(outer, inner);
  // A symmetric fill whose corner squares lie apart, each inside the memo:
  // its arc rows go through DrawArcRow.
  const int64_t corner = int64_t(std::ceil(outer.radius[0]));
  const bool arc_rows = memo.On() && inner.Empty() && corner < CoverageMemo::kSide &&
                        2 * corner <= outer.right - outer.left && 2 * corner <= outer.bottom - outer.top;
  for (int64_t y = clip.top; y < clip.bottom;) {
    int64_t next = clip.bottom;
    for (int i = 0; i < nb; ++i)
      if (breaks[i] > y) next = std::min(next, breaks[i]);
    if (arc_rows && y >= outer.top && y < outer.bottom) {
      // One band of corners at most: the arc columns of the nearer edge.
      int64_t begin, end;
      const double q = double(std::min(y - outer.top, outer.bottom - 1 - y));
      if (memo.Arc(0, outer.radius[0], q, &begin, &end)) {
        DrawArcRow(view, clip, outer, y, begin, end, color, memo);
        ++y;
        continue;
      }
    }
    Span spans[8];
    int n = PartialSpans(outer, 0, y, spans, memo);
    n += PartialSpans(inner, 1, y, spans + n, memo);
    const int64_t rows = n == 0 ? next - y : 1;
    DrawRow(view, clip, outer, inner, y, rows, spans, n, color, memo);
    y += rows;
  }
  canvas.Unlock();
}

}  // namespace owl
