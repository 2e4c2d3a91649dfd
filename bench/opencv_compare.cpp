// The Gaussian blur against OpenCV's GaussianBlur (one thread, the same
// standard deviation, edges repeated), and the rounded-rectangle shadow
// against blurring its shape as an image, timed interleaved in one
// process. OpenCV is linked into this program alone.
//
// Usage: owl_opencv_compare [--reps N]
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "owlgraphic.h"
#include "side_by_side.h"

namespace {

using owlbench::Op;

// Median seconds per call of each op, timed in alternating order.
std::vector<double> TimeInterleaved(const std::vector<Op>& ops, int reps) {
  return owlbench::TimeInterleaved(ops, [] {}, reps, 0.05);
}

uint32_t* Pixels(HGTEXTURE t, int* pitch) {
  BitmapBits b{};
  LockTextureBits(t, &b, nullptr);
  UnlockTextureBits(t);
  *pitch = b.pitch;
  return static_cast<uint32_t*>(b.bits);
}

void Report(const char* name, double owl, double other, double target) {
  const double ratio = other / owl;
  std::printf("%-34s %10.3f %10.3f %8.2fx  (target %.1fx) %s\n", name, owl * 1e3, other * 1e3, ratio, target,
              ratio >= target ? "met" : "MISSED");
}

bool InRoundRect(int x, int y, int l, int t, int r, int b, int c) {
  const double px = x + 0.5, py = y + 0.5;
  if (px < l || px > r || py < t || py > b) return false;
  const double cx = std::min(std::max(px, l + double(c)), r - double(c));
  const double cy = std::min(std::max(py, t + double(c)), b - double(c));
  return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= double(c) * c;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = 7;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--reps N]\n", argv[0]);
      return 2;
    }
  }
  cv::setNumThreads(1);
  std::printf("%-34s %10s %10s %9s\n", "milliseconds per call", "owl", "other", "other/owl");

  const struct { int w, h; } sizes[] = {{1920, 1080}, {256, 256}};
  const double targets[] = {1.0, 0.0, 5.0};
  for (const auto& s : sizes) {
    HGTEXTURE src = CreateTexture(s.w, s.h), dst = CreateTexture(s.w, s.h);
    int pitch = 0;
    uint32_t* px = Pixels(src, &pitch);
    owlbench::FillPremultiplied(BitmapBits{s.w, s.h, pitch, px}, 1);
    cv::Mat in(s.h, s.w, CV_8UC4, px, size_t(pitch)), out;
    const int radii[] = {2, 8, 32};
    for (int k = 0; k < 3; ++k) {
      const int r = radii[k];
      const std::vector<double> t = TimeInterleaved(
          {[&] { GaussianBlurTexture(dst, src, r); },
           [&] { cv::GaussianBlur(in, out, cv::Size(0, 0), r, r, cv::BORDER_REPLICATE); }},
          reps);
      const std::string name = "blur " + std::to_string(s.w) + "x" + std::to_string(s.h) + " radius " + std::to_string(r);
      Report(name.c_str(), t[0], t[1], targets[k]);
    }
    DeleteTexture(src);
    DeleteTexture(dst);
  }

  // A 320x200 panel with corners of 12 and a shadow of radius 16 on a
  // 1920x1080 canvas: drawn directly, or drawn into a texture (with room for
  // the blur), blurred and laid over the canvas.
  {
    const int radius = 16, margin = 3 * radius + 8, pw = 320, ph = 200, corner = 12;
    HGCANVAS canvas = CreateCanvas(1920, 1080, HGCANVAS{0});
    const int tw = pw + 2 * margin, th = ph + 2 * margin;
    HGTEXTURE shape = CreateTexture(tw, th), blurred = CreateTexture(tw, th);
    int pitch = 0;
    uint32_t* px = Pixels(shape, &pitch);
    for (int y = 0; y < th; ++y)
      for (int x = 0; x < tw; ++x)
        px[y * tw + x] = InRoundRect(x, y, margin, margin, margin + pw, margin + ph, corner) ? 0x60000000u : 0;
    SetTextureFilter(blurred, 0x01000000u);
    const owlRect panel{600, 400, 600 + pw, 400 + ph};
    const owlRect at{600 - margin, 400 - margin, 600 - margin + tw, 400 - margin + th};
    const std::vector<double> t = TimeInterleaved(
        {[&] { DrawRoundRectShadow(canvas, &panel, corner, radius, 0x60000000u, 0, 0); },
         [&] {
           GaussianBlurTexture(blurred, shape, radius);
           DrawTexture(canvas, &at, blurred, 0);
         }},
        reps);
    Report("round-rect shadow 320x200 radius 16", t[0], t[1], 10.0);
    DeleteTexture(shape);
    DeleteTexture(blurred);
    DeleteCanvas(canvas);
  }
  return 0;
}
