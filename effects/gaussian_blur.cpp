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
  uint32_t k = 15;
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
  if (HasSSE2()) return BoxPassRow_SSE2;
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

// One pass from in to out for output rows y0..y1 - 1 (out's own indexing),
// bytes wide.
void Pass(const Rows& in, const Rows& out, int32_t y0, int32_t y1, int32_t bytes, uint16_t* sums,
          const BoxPass& pass, PassRow row) {
  std::fill(sums, sums + bytes, uint16_t(0));
  for (int32_t j = -pass.r; j <= pass.r; ++j) {
    const uint8_t* p = in(y0 + j);
    for (int32_t i = 0; i < bytes; ++i) sums[i] = uint16_t(sums[i] + p[i]);
  }
  const int32_t e = pass.r + 1;
  for (int32_t y = y0; y < y1; ++y) row(out(y), sums, in(y - e), in(y - pass.r), in(y + e), bytes, pass);
}

// The three passes down the columns of in (height rows of bytes) into out;
// out may be in. s1 holds height + 4e rows, s2 height + 2e.
void ThreePasses(const Rows& in, const Rows& out, int32_t height, int32_t bytes, uint8_t* s1, uint8_t* s2,
                 uint16_t* sums, const BoxPass& pass, PassRow row) {
  const int32_t e = pass.r + 1;
  const Rows r1{s1, bytes, -2 * e, height + 4 * e}, r2{s2, bytes, -e, height + 2 * e};
  Pass(in, r1, -2 * e, height + 2 * e, bytes, sums, pass, row);
  Pass(r1, r2, -e, height + e, bytes, sums, pass, row);
  Pass(r2, out, 0, height, bytes, sums, pass, row);
}

// dst (width x height pixels, dense) = src turned: dst(y, x) = src(x, y).
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

}  // namespace

bool GaussianBlur(const BitmapBits& dst, const BitmapBits& src, int32_t radius) {
  if (radius < 0 || radius > kMaxGaussianRadius) return false;
  if (dst.width != src.width || dst.height != src.height || src.width <= 0 || src.height <= 0) return false;
  if (radius == 0) return dst.bits == src.bits || CopyRows(dst, src);
  const int32_t w = src.width, h = src.height;
  const BoxPass pass = GaussianBoxPass(radius);
  const int64_t e = pass.r + 1, n = std::max(w, h);
  const int64_t s1 = std::max((w + 4 * e) * h, (h + 4 * e) * w), s2 = std::max((w + 2 * e) * h, (h + 2 * e) * w);
  const int64_t words = s1 + s2 + int64_t(w) * h + 2 * n;  // the sums: 4n 16-bit counters
  std::unique_ptr<uint32_t[]> scratch(new (std::nothrow) uint32_t[size_t(words)]);
  if (!scratch) return false;
  uint8_t* p1 = reinterpret_cast<uint8_t*>(scratch.get());
  uint8_t* p2 = p1 + 4 * s1;
  uint32_t* turned = scratch.get() + s1 + s2;  // w rows of h pixels
  uint16_t* sums = reinterpret_cast<uint16_t*>(turned + int64_t(w) * h);
  const PassRow row = ChoosePassRow();

  // Along the rows: turned, so that each row of src is a column.
  Transpose(turned, h, static_cast<const uint32_t*>(src.bits), src.pitch / 4, w, h);
  const Rows t{reinterpret_cast<uint8_t*>(turned), 4 * std::ptrdiff_t(h), 0, w};
  ThreePasses(t, t, w, 4 * h, p1, p2, sums, pass, row);
  Transpose(static_cast<uint32_t*>(dst.bits), dst.pitch / 4, turned, h, h, w);
  // Down the columns.
  const Rows d{static_cast<uint8_t*>(dst.bits), dst.pitch, 0, h};
  ThreePasses(d, d, h, 4 * w, p1, p2, sums, pass, row);
  return true;
}

}  // namespace owl
