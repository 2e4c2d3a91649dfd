// The Gaussian blur in every form at radii 2, 8 and 32, in pixels per
// second (owl_opencv_compare times it against OpenCV).
#include "bench_util.h"
#include "effects/gaussian_blur.h"

namespace {

const bool kRegistered = [] {
  for (int radius : {2, 8, 32})
    owlbench::RegisterPerForm("GaussianBlur/r" + std::to_string(radius),
                              [radius](const BitmapBits& d, const BitmapBits& s) { owl::GaussianBlur(d, s, radius); });
  return true;
}();

}  // namespace
