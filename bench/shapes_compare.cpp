// Rounded rectangles against cairo, and the scaled nine-grid against the
// plain one, timed side by side.
//
// Each row times two contenders on the same canvas, interleaved within one
// process (each repetition restores the destination, times a batch of one,
// restores, times a batch of the other, the order alternating), and prints
// medians in millions of destination pixels per second of the thread's
// processor time with their ratio and its target. The cairo rows, built only
// when cairo's development package is found, draw the same shape into a
// cairo surface over the canvas's own pixels; the largest per-channel
// difference between the two pictures is printed below the table.
//
//   owl_shapes_compare [--reps N]
#if defined(OWL_HAVE_CAIRO)
#include <cairo.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "owlgraphic.h"
#include "side_by_side.h"

namespace {

using owlbench::Op;

// Median seconds per call of a and b, interleaved.
std::pair<double, double> TimeInterleaved(const Op& a, const Op& b, const Op& restore, int reps) {
  const std::vector<double> t = owlbench::TimeInterleaved({a, b}, restore, reps, 0.02);
  return {t[0], t[1]};
}

// A canvas of premultiplied pixels with a pristine copy to restore.
struct Target {
  HGCANVAS canvas;
  BitmapBits bits{};
  std::vector<uint32_t> pristine;

  Target(int w, int h, uint32_t seed) : canvas(CreateCanvas(w, h, HGCANVAS(0u))) {
    const owlRect all{0, 0, w, h};
    if (!canvas.value || !LockCanvasBits(canvas, &bits, &all)) {
      std::fprintf(stderr, "cannot create a %dx%d canvas\n", w, h);
      std::exit(1);
    }
    owlbench::FillPremultiplied(bits, seed);
    pristine.assign(Row(0), Row(0) + size_t(w) * h);
  }
  ~Target() { DeleteCanvas(canvas); }
  uint32_t* Row(int y) const {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + std::ptrdiff_t(y) * bits.pitch);
  }
  void Restore() const { std::memcpy(bits.bits, pristine.data(), pristine.size() * 4); }
};

int misses = 0;

void Print(const char* name, const char* second, int w, int h, std::pair<double, double> t, double target) {
  const double pixels = double(w) * h;
  const double a = pixels / t.first / 1e6, b = pixels / t.second / 1e6, ratio = a / b;
  const bool ok = ratio >= target;
  if (!ok) ++misses;
  std::printf("%-36s %-22s %5dx%-5d %9.0f %9.0f %6.2f %6.2f  %s\n", name, second, w, h, a, b, ratio, target,
              ok ? "" : "BELOW");
  std::fflush(stdout);
}

// The scaled nine-grid (a 64x64 skin with 16-texel margins at 150%)
// against the plain nine-grid over the same destination. Target: the scaled
// one within 1.2x of the plain one's time.
void NineGrids(int w, int h, int reps) {
  Target dst(w, h, 1);
  const HGTEXTURE skin = CreateTexture(64, 64);
  BitmapBits tb{};
  LockTextureBits(skin, &tb, nullptr);
  for (int i = 0; i < 64 * 64; ++i) static_cast<uint32_t*>(tb.bits)[i] = 0xC0000000u | uint32_t(i) * 0x00010203u % 0xC0;
  UnlockTextureBits(skin);
  SetTextureFilter(skin, 0x01000000u);
  const owlRect d{0, 0, w, h}, m{16, 16, 16, 16}, scaled{24, 24, 24, 24};
  const Op restore = [&] { dst.Restore(); };
  for (const unsigned filter : {0u, 1u}) {
    const auto t = TimeInterleaved(
        [&] { DrawTexture9GridEx(dst.canvas, &d, skin, nullptr, &m, &scaled, 0, filter, 255); },
        [&] { DrawTexture9Grid(dst.canvas, &d, skin, nullptr, &m, filter, false, 255); }, restore, reps);
    Print(filter ? "9-grid 150% bilinear" : "9-grid 150% nearest", "DrawTexture9Grid", w, h, t, 1 / 1.2);
  }
  const auto t = TimeInterleaved(
      [&] { DrawTexture9GridEx(dst.canvas, &d, skin, nullptr, &m, &scaled, OWL_GRID_REPEAT_X | OWL_GRID_REPEAT_Y, 1,
                               255); },
      [&] { DrawTexture9Grid(dst.canvas, &d, skin, nullptr, &m, 1, false, 255); }, restore, reps);
  Print("9-grid 150% repeated, bilinear", "DrawTexture9Grid", w, h, t, 0);
  DeleteTexture(skin);
}

#if defined(OWL_HAVE_CAIRO)
void RoundedPath(cairo_t* cr, double l, double t, double r, double b, double radius) {
  cairo_new_path(cr);
  cairo_arc(cr, r - radius, t + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, r - radius, b - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, l + radius, b - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, l + radius, t + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

int largest_difference = 0;
int largest_difference_best = 0;

// FillRoundRect against cairo_fill of the same path (default antialiasing,
// OVER) over the same pixels. Target: at least 2x cairo.
void RoundRects(int w, int h, int radius, uint32_t color, int reps) {
  Target dst(w, h, 2);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(dst.bits.bits),
                                                                 CAIRO_FORMAT_ARGB32, w, h, dst.bits.pitch);
  cairo_t* cr = cairo_create(surface);
  // cairo takes straight colour and premultiplies it itself.
  const double a = (color >> 24) / 255.0;
  cairo_set_source_rgba(cr, ((color >> 16) & 0xFF) / 255.0 / a, ((color >> 8) & 0xFF) / 255.0 / a,
                        (color & 0xFF) / 255.0 / a, a);
  const owlRect rect{8, 8, w - 8, h - 8};
  const int32_t radii[4] = {radius, radius, radius, radius};
  const Op owl = [&] { FillRoundRect(dst.canvas, &rect, radii, color); };
  // The radii FillRoundRect scales down when they exceed half a side.
  const double fitted = std::min(double(radius), std::min(rect.right - rect.left, rect.bottom - rect.top) / 2.0);
  const Op cairo = [&] {
    RoundedPath(cr, rect.left, rect.top, rect.right, rect.bottom, fitted);
    cairo_fill(cr);
    cairo_surface_flush(surface);
  };
  const Op restore = [&] {
    dst.Restore();
    cairo_surface_mark_dirty(surface);
  };
  const auto t = TimeInterleaved(owl, cairo, restore, reps);
  char name[64];
  std::snprintf(name, sizeof name, "FillRoundRect r=%d alpha %u", radius, color >> 24);
  Print(name, "cairo_fill", w, h, t, 2.0);
  // The pictures: one draw each from the same pixels.
  restore();
  owl();
  const std::vector<uint32_t> mine(dst.Row(0), dst.Row(0) + size_t(w) * h);
  // cairo's default antialiasing samples a coarse grid; its best one is
  // closer to the exact area, so both are compared.
  for (int* largest : {&largest_difference, &largest_difference_best}) {
    cairo_set_antialias(cr, largest == &largest_difference ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_BEST);
    restore();
    cairo();
    for (size_t i = 0; i < mine.size(); ++i)
      for (int shift = 0; shift < 32; shift += 8)
        *largest = std::max(*largest, std::abs(int(mine[i] >> shift & 0xFF) - int(dst.Row(0)[i] >> shift & 0xFF)));
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  int reps = 9;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--reps" && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--reps N]\n", argv[0]);
      return 2;
    }
  }
  std::printf("medians of %d interleaved repetitions, Mpx/s of the destination\n\n", reps);
  std::printf("%-36s %-22s %-11s %9s %9s %6s %6s\n", "operation", "against", "size", "owl", "other", "ratio",
              "target");
  for (const auto& s : {std::pair<int, int>{1920, 1080}, {256, 256}}) NineGrids(s.first, s.second, reps);
#if defined(OWL_HAVE_CAIRO)
  for (const auto& s : {std::pair<int, int>{1920, 1080}, {256, 256}, {64, 32}})
    for (const uint32_t color : {0xFF3366CCu, 0x80402060u}) RoundRects(s.first, s.second, 12, color, reps);
  RoundRects(256, 256, 100, 0xFF3366CCu, reps);
  std::printf("\nlargest channel difference from cairo's pictures: %d of 255 with its default antialiasing, %d with "
              "CAIRO_ANTIALIAS_BEST (cairo %s)\n",
              largest_difference, largest_difference_best, cairo_version_string());
#else
  std::printf("\ncairo not found: the rounded-rectangle rows were not built\n");
#endif
  std::printf("%d row(s) below target\n", misses);
  return 0;
}
