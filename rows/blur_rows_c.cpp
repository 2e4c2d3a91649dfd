// Plain form of the blur row: the reference.
#include "rows/blur_rows.h"

namespace owl {
namespace {

// The four channels of pixels as two pairs of 16-bit fields: B and R, G and
// A. A sum of nine channels (at most 2295) never carries into the next
// field, so the nine-pixel sums take two additions per pixel, not four.
struct Pairs {
  uint32_t br, ga;
  Pairs operator+(Pairs o) const { return {br + o.br, ga + o.ga}; }
};

inline Pairs Split(uint32_t p) { return {p & 0x00FF00FFu, (p >> 8) & 0x00FF00FFu}; }

inline uint32_t Ninth(Pairs s) {
  return ((s.ga >> 16) / 9) << 24 | ((s.br >> 16) / 9) << 16 | ((s.ga & 0xFFFF) / 9) << 8 | (s.br & 0xFFFF) / 9;
}

}  // namespace

// Three column sums slide along the row.
void BlurRow_C(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
               uint16_t*) {
  const int32_t last = width - 1;
  auto column = [&](int32_t x) { return Split(above[x]) + Split(row[x]) + Split(below[x]); };
  Pairs left = column(0), mid = left, right = column(last > 0 ? 1 : 0);
  for (int32_t x = 0;; ++x) {
    out[x] = Ninth(left + mid + right);
    if (x == last) break;
    left = mid;
    mid = right;
    right = column(x + 2 <= last ? x + 2 : last);
  }
}

}  // namespace owl
