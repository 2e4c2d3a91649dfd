// The Gaussian blur's weights, its passes over rows and columns, and the
// per-call choice of pass kernel.
#include "effects/gaussian_blur.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "core/geometry.h"
#include "core/texture.h"
#include "rows/row_ops.h"

namespace owl {

BoxPass GaussianBoxPass(int32_t s) {
  const int64_t q = int64_t(s) * s;
  int32_t r = 0;
  while (int64_t(r + 1) * (r + 2) <= q) ++r;
  uint32_t k = 14;
  for (int32_t n = 2 * r + 1; n > 1; n >>= 1) ++k;
  const int64_t d = int64_t(2 * r + 1) * (r + 1) * (2 * r + 3);
  const int64_t w = (int64_t(1) << k) * (3 * int64_t(r + 1) * (r + 1) - q) / d;
  const int64_t a = ((int64_t(1) << k) - w * (2 * r + 1)) / 2;
  return BoxPass{r, k, uint16_t(w), uint16_t(a)};
}

std::vector<double> GaussianKernel(int32_t s) {
  if (s <= 0) return {1.0};
  const BoxPass pass = GaussianBoxPass(s);
  const double scale = 1.0 / double(1u << pass.shift);
  std::vector<double> box(size_t(2 * pass.r + 3), pass.inner * scale);
  box.front() = box.back() = pass.end * scale;
  std::vector<double> k{1.0};
  for (int n = 0; n < 3; ++n) {
    std::vector<double> next(k.size() + box.size() - 1, 0.0);
    for (size_t i = 0; i < k.size(); ++i)
      for (size_t j = 0; j < box.size(); ++j) next[i + j] += k[i] * box[j];
    k.swap(next);
  }
  return k;
}

namespace {

using PassRow = void (*)(uint8_t*, uint16_t*, const uint8_t*, const uint8_t*, const uint8_t*, int32_t,
                         const BoxPass&);

PassRow ChoosePassRow() {
#if defined(OWL_X86)
  if (HasSSE2()) return HasAVX2() ? BoxPassRow_AVX2 : BoxPassRow_SSE2;
#endif
  return BoxPassRow_C;
}

// Rows of bytes first..first + count - 1 of a line direction; a row index
// outside them reads the nearest one (the repeated edge).
struct Rows {
  uint8_t* base;
  std::ptrdiff_t pitch;
  int32_t first, count;
  uint8_t* operator()(int32_t i) const {
    i = std::min(std::max(i - first, 0), count - 1);
    return base + pitch * i;
  }
};

// One pass as a stage of a pipeline: it makes its output rows one at a time
// into a ring of 2e + 2 rows, from the rows of the stage before.
class Stage {
 public:
  // Rows first, first + 1, ... of the pass over in, bytes wide.
  Stage(const BoxPass& pass, PassRow row, int32_t bytes, uint8_t* ring, uint16_t* sums)
      : pass_(pass), row_(row), bytes_(bytes), ring_(ring), sums_(sums), size_(2 * (pass.r + 1) + 2) {}

  // Sums the 2r + 1 input rows around first; in(i) gives input row i.
  template <class In>
  void Start(int32_t first, const In& in) {
    next_ = first;
    std::fill(sums_, sums_ + bytes_, uint16_t(0));
    for (int32_t j = -pass_.r; j <= pass_.r; ++j) {
      const uint8_t* p = in(first + j);
      for (int32_t i = 0; i < bytes_; ++i) sums_[i] = uint16_t(sums_[i] + p[i]);
    }
  }
  // Makes output row next into out.
  template <class In>
  void Make(uint8_t* out, const In& in) {
    const int32_t e = pass_.r + 1, y = next_++;
    row_(out, sums_, in(y - e), in(y - pass_.r), in(y + e), bytes_, pass_);
  }
  template <class In>
  void MakeUpTo(int32_t last, const In& in) {
    while (next_ <= last) Make(Row(next_), in);
  }
  uint8_t* Row(int32_t y) const {
    const int32_t k = y % size_;
    return ring_ + std::ptrdiff_t(k < 0 ? k + size_ : k) * bytes_;
  }
  int32_t rows() const { return size_; }

 private:
  BoxPass pass_;
  PassRow row_;
  int32_t bytes_;
  uint8_t* ring_;
  uint16_t* sums_;
  int32_t size_, next_ = 0;
};

// The three passes down the columns of in (height rows of bytes) into out,
// which may be in: each output row is written only after every read of the
// input row it replaces. ring holds 2 (2e + 2) rows, sums 3 rows of
// counters.
void ThreePasses(const Rows& in, const Rows& out, int32_t height, int32_t bytes, uint8_t* ring, uint16_t* sums,
                 const BoxPass& pass, PassRow row) {
  const int32_t e = pass.r + 1;
  Stage one(pass, row, bytes, ring, sums), two(pass, row, bytes, ring + std::ptrdiff_t(2 * e + 2) * bytes, sums + bytes),
      three(pass, row, bytes, nullptr, sums + 2 * bytes);
  auto first = [&](int32_t i) { return in(i); };
  auto second = [&](int32_t i) {
    one.MakeUpTo(i, first);
    return one.Row(i);
  };
  auto third = [&](int32_t i) {
    two.MakeUpTo(i, second);
    return two.Row(i);
  };
  one.Start(-2 * e, first);
  two.Start(-e, second);
  three.Start(0, third);
  for (int32_t y = 0; y < height; ++y) three.Make(out(y), third);
}

// dst (width rows of height pixels) = src (height rows of width pixels)
// turned: row x of dst is column x of src. Pitches in pixels.
void Transpose(uint32_t* dst, std::ptrdiff_t dstPitch, const uint32_t* src, std::ptrdiff_t srcPitch,
               int32_t width, int32_t height) {
  constexpr int32_t kTile = 16;
  for (int32_t y0 = 0; y0 < height; y0 += kTile)
    for (int32_t x0 = 0; x0 < width; x0 += kTile) {
      const int32_t y1 = std::min(y0 + kTile, height), x1 = std::min(x0 + kTile, width);
      for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) dst[x * dstPitch + y] = src[y * srcPitch + x];
    }
}

void Turn(uint32_t* dst, std::ptrdiff_t dstPitch, const uint32_t* src, std::ptrdiff_t srcPitch, int32_t width,
          int32_t height) {
#if defined(OWL_X86)
  if (HasSSE2()) return TurnPixels_SSE2(dst, dstPitch, src, srcPitch, width, height);
#endif
  Transpose(dst, dstPitch, src, srcPitch, width, height);
}

}  // namespace

bool GaussianBlur(const BitmapBits& dst, const BitmapBits& src, int32_t radius) {
  if (radius < 0 || radius > kMaxGaussianRadius) return false;
  if (dst.width != src.width || dst.height != src.height || src.width <= 0 || src.height <= 0) return false;
  if (radius == 0) return dst.bits == src.bits || CopyRows(dst, src);
  const int32_t w = src.width, h = src.height;
  const BoxPass pass = GaussianBoxPass(radius);
  const PassRow row = ChoosePassRow();
  // Along the rows, a strip of kStrip rows at a time: turned, so that each
  // row of the strip is a column, blurred down its columns and turned back.
  constexpr int32_t kStrip = 32;
  const int64_t e = pass.r + 1, strip = std::min(h, kStrip);
  const int64_t bytes = 4 * std::max<int64_t>(w, strip);  // the widest line set
  const int64_t ringBytes = 2 * (2 * e + 2) * bytes, sumBytes = 3 * bytes * 2;
  const int64_t words = int64_t(w) * strip + (ringBytes + sumBytes) / 4;
  std::unique_ptr<uint32_t[]> scratch(new (std::nothrow) uint32_t[size_t(words)]);
  if (!scratch) return false;
  uint32_t* turned = scratch.get();  // w rows of strip pixels
  uint8_t* ring = reinterpret_cast<uint8_t*>(turned + int64_t(w) * strip);
  uint16_t* sums = reinterpret_cast<uint16_t*>(ring + ringBytes);
  for (int32_t y0 = 0; y0 < h; y0 += kStrip) {
    const int32_t n = std::min(kStrip, h - y0);
    Turn(turned, n, RowAt(src, y0), src.pitch / 4, w, n);
    const Rows t{reinterpret_cast<uint8_t*>(turned), 4 * std::ptrdiff_t(n), 0, w};
    ThreePasses(t, t, w, 4 * n, ring, sums, pass, row);
    Turn(RowAt(dst, y0), dst.pitch / 4, turned, n, n, w);
  }
  // Down the columns.
  const Rows d{static_cast<uint8_t*>(dst.bits), dst.pitch, 0, h};
  ThreePasses(d, d, h, 4 * w, ring, sums, pass, row);
  return true;
}

}  // namespace owl
