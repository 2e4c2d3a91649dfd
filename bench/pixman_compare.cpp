// owlgraphic against pixman on identical work, timed side by side.
//
// Every row runs one owlgraphic call through the exported functions and the
// closest pixman composite on the same pixel buffers (pixman's images wrap
// the canvas's and the texture's own memory), interleaved within one process:
// each repetition restores the destination, times a batch of owlgraphic
// calls, restores it again and times the same batch of pixman calls, the
// order alternating between repetitions. The table shows medians of the
// repetitions in millions of destination pixels per second of the thread's
// processor time.
//
//   owl_pixman_compare [--reps N] [--filter text] [--size WxH]...
#include <pixman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <time.h>

#include "owlgraphic.h"

namespace {

using Op = std::function<void()>;

constexpr uint32_t kCopy = 0x00000000u, kOver = 0x01000000u, kMultiply = 0x03000000u;
constexpr unsigned kNearest = 0, kBilinear = 1, kBicubic = 4;

struct Options {
  int reps = 9;
  double batch_seconds = 0.02;
  std::vector<std::string> filters;
  std::vector<std::pair<int, int>> sizes;
};

// Premultiplied pixels: a quarter opaque, the rest of any alpha, every colour
// byte at or below its alpha.
void FillPremultiplied(const BitmapBits& b, uint32_t seed) {
  std::mt19937 gen(seed);
  for (int y = 0; y < b.height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.bits) + std::ptrdiff_t(y) * b.pitch);
    for (int x = 0; x < b.width; ++x) {
      const uint32_t a = gen() % 4 == 0 ? 255 : gen() & 0xFF;
      uint32_t p = a << 24;
      for (int shift = 0; shift < 24; shift += 8) p |= (uint32_t(gen()) % (a + 1)) << shift;
      row[x] = p;
    }
  }
}

pixman_image_t* Wrap(const BitmapBits& b) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, b.width, b.height, static_cast<uint32_t*>(b.bits), b.pitch);
}

// A canvas and the pixman image over its pixels, with a pristine copy to
// restore before every timed batch.
struct Target {
  HGCANVAS canvas = 0;
  BitmapBits bits{};
  pixman_image_t* image = nullptr;
  std::vector<uint32_t> pristine;

  Target(int w, int h, uint32_t seed) {
    canvas = CreateCanvas(w, h, 0);
    const owlRect all{0, 0, w, h};
    if (!canvas.value || !LockCanvasBits(canvas, &bits, &all)) {
      std::fprintf(stderr, "cannot create a %dx%d canvas\n", w, h);
      std::exit(1);
    }
    UnlockCanvasBits(canvas);
    FillPremultiplied(bits, seed);
    pristine.assign(static_cast<uint32_t*>(bits.bits), static_cast<uint32_t*>(bits.bits) + size_t(w) * h);
    image = Wrap(bits);
  }
  ~Target() {
    pixman_image_unref(image);
    DeleteCanvas(canvas);
  }
  void Restore() const { std::memcpy(bits.bits, pristine.data(), pristine.size() * 4); }
};

// A texture of premultiplied pixels and the pixman image over them.
struct Source {
  HGTEXTURE texture = 0;
  BitmapBits bits{};
  pixman_image_t* image = nullptr;

  Source(int w, int h, uint32_t seed) {
    texture = CreateTexture(w, h);
    if (!texture.value || !LockTextureBits(texture, &bits, nullptr)) {
      std::fprintf(stderr, "cannot create a %dx%d texture\n", w, h);
      std::exit(1);
    }
    UnlockTextureBits(texture);
    FillPremultiplied(bits, seed);
    image = Wrap(bits);
  }
  ~Source() {
    pixman_image_unref(image);
    DeleteTexture(texture);
  }
};

// The thread's processor time: the cores are shared, and time spent
// descheduled would count against whichever library was running.
double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double SecondsOf(const Op& op, int n) {
  const double t0 = ThreadSeconds();
  for (int i = 0; i < n; ++i) op();
  return (ThreadSeconds() - t0) / n;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Times each contender (owlgraphic first) interleaved; returns the median
// seconds per call of each.
std::vector<double> TimeInterleaved(const std::vector<Op>& ops, const Op& restore, const Options& opt) {
  // One batch takes about batch_seconds of the slowest contender.
  restore();
  double slowest = 0;
  for (const Op& op : ops) {
    op();  // warm the caches and any first-use tables
    restore();
    slowest = std::max(slowest, SecondsOf(op, 1));
    restore();
  }
  const int n = std::max(1, int(opt.batch_seconds / std::max(slowest, 1e-9)));
  const int reps = slowest > 0.05 ? std::max(3, (opt.reps / 2) | 1) : opt.reps;
  std::vector<std::vector<double>> times(ops.size());
  for (int r = 0; r < reps; ++r)
    for (size_t k = 0; k < ops.size(); ++k) {
      const size_t i = r % 2 ? ops.size() - 1 - k : k;
      restore();
      times[i].push_back(SecondsOf(ops[i], n));
    }
  std::vector<double> medians;
  for (auto& t : times) medians.push_back(Median(t));
  return medians;
}

struct Row {
  std::string name;
  double target;      // least acceptable owlgraphic / pixman ratio
  const char* mem;    // "memcpy", "memset" or null: also timed against it
};

class Table {
 public:
  explicit Table(const Options& opt) : opt_(opt) {
    std::printf("%-34s %-10s %10s %10s %7s %6s %10s %7s\n", "operation", "size", "owl Mpx/s", "pixman",
                "ratio", "target", "mem Mpx/s", "of mem");
  }

  bool Wanted(const std::string& name) const {
    if (opt_.filters.empty()) return true;
    for (const std::string& f : opt_.filters)
      if (name.find(f) != std::string::npos) return true;
    return false;
  }

  void Run(const Row& row, int w, int h, const Op& owl, const Op& pix, const Op& restore, const Op& mem = {}) {
    if (!Wanted(row.name)) return;
    std::vector<Op> ops{owl, pix};
    if (mem) ops.push_back(mem);
    const std::vector<double> t = TimeInterleaved(ops, restore, opt_);
    const double pixels = double(w) * h;
    const double o = pixels / t[0] / 1e6, p = pixels / t[1] / 1e6, ratio = o / p;
    bool ok = ratio >= row.target;
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", w, h);
    std::printf("%-34s %-10s %10.0f %10.0f %7.2f %6.1f", row.name.c_str(), size, o, p, ratio, row.target);
    if (mem) {
      const double m = pixels / t[2] / 1e6;
      ok = ok && o / m >= 0.9;
      std::printf(" %10.0f %7.2f", m, o / m);
    } else {
      std::printf(" %10s %7s", "", "");
    }
    std::printf("  %s\n", ok ? "" : "BELOW");
    std::fflush(stdout);
    if (!ok) ++misses_;
  }

  int misses() const { return misses_; }

 private:
  const Options& opt_;
  int misses_ = 0;
};

pixman_image_t* Solid(uint32_t argb) {
  const pixman_color_t c{uint16_t((argb >> 16 & 0xFF) * 257), uint16_t((argb >> 8 & 0xFF) * 257),
                         uint16_t((argb & 0xFF) * 257), uint16_t((argb >> 24) * 257)};
  return pixman_image_create_solid_fill(&c);
}

// Source scaled onto the whole destination by (dw / sw, dh / sh).
void SetScale(pixman_image_t* src, int sw, int sh, int dw, int dh, pixman_filter_t filter) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(sw) / dw), pixman_double_to_fixed(double(sh) / dh));
  pixman_image_set_transform(src, &t);
  pixman_image_set_filter(src, filter, nullptr, 0);
  pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
}

void ClearTransform(pixman_image_t* src) {
  pixman_image_set_transform(src, nullptr);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(src, PIXMAN_REPEAT_NONE);
}

// Cubic reconstruction sampled at the pixel centres: four taps a side, as
// the bicubic stretch reads.
void SetCubic(pixman_image_t* src, int sw, int sh, int dw, int dh) {
  SetScale(src, sw, sh, dw, dh, PIXMAN_FILTER_NEAREST);
  int n = 0;
  pixman_fixed_t* params = pixman_filter_create_separable_convolution(
      &n, pixman_int_to_fixed(1), pixman_int_to_fixed(1), PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_CUBIC,
      PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, 4, 4);
  pixman_image_set_filter(src, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
  std::free(params);
}

void RunSize(Table& table, int w, int h) {
  Target dst(w, h, 1);
  Source same(w, h, 2), half(std::max(1, w / 2), std::max(1, h / 2), 3), twice(w * 2, h * 2, 4);
  const owlRect all{0, 0, w, h};
  const Op restore = [&] { dst.Restore(); };
  auto composite = [&](pixman_op_t op, pixman_image_t* src, pixman_image_t* mask) {
    return [=, &dst] { pixman_image_composite32(op, src, mask, dst.image, 0, 0, 0, 0, 0, 0, w, h); };
  };
  const size_t bytes = size_t(w) * h * 4;
  std::vector<uint32_t> scratch(size_t(w) * h);
  const Op memcpy_op = [&] { std::memcpy(dst.bits.bits, same.bits.bits, bytes); };
  const Op memset_op = [&] { std::memset(dst.bits.bits, 0x5A, bytes); };

  // Fills.
  const uint32_t opaque = 0xFF336699u, translucent = 0x80402010u;
  table.Run({"fill copy (FillSolidRectEx 0)", 1.0, "memset"}, w, h,
            [&] { FillSolidRectEx(dst.canvas, opaque, &all, kCopy); },
            [&] {
              pixman_fill(static_cast<uint32_t*>(dst.bits.bits), dst.bits.pitch / 4, 32, 0, 0, w, h, opaque);
            },
            restore, memset_op);
  pixman_image_t* fill_color = Solid(translucent);
  table.Run({"fill translucent over", 1.0, nullptr}, w, h, [&] { FillSolidRect(dst.canvas, translucent, &all); },
            composite(PIXMAN_OP_OVER, fill_color, nullptr), restore);
  pixman_image_unref(fill_color);

  // 1:1 texture draws.
  SetTextureFilter(same.texture, kCopy);
  table.Run({"copy 1:1", 1.0, "memcpy"}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            composite(PIXMAN_OP_SRC, same.image, nullptr), restore, memcpy_op);
  SetTextureFilter(same.texture, kOver);
  table.Run({"over 1:1", 1.0, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            composite(PIXMAN_OP_OVER, same.image, nullptr), restore);
  pixman_image_t* alpha128 = Solid(0x80000000u);
  table.Run({"over 1:1 alpha 128", 1.0, nullptr}, w, h,
            [&] { DrawTextureEx(dst.canvas, &all, same.texture, kNearest, 128); },
            composite(PIXMAN_OP_OVER, same.image, alpha128), restore);
  SetTextureFilter(same.texture, kMultiply);
  pixman_image_t* white = Solid(0xFFFFFFFFu);
  pixman_image_set_component_alpha(same.image, 1);
  table.Run({"multiply 1:1", 1.0, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            composite(PIXMAN_OP_IN_REVERSE, white, same.image), restore);
  pixman_image_set_component_alpha(same.image, 0);
  pixman_image_unref(white);

  // Stretches, 2x up (from half) and 0.5x down (from twice).
  struct Scaled {
    const char* name;
    unsigned filter;
    pixman_filter_t pixman_filter;
    bool cubic;
    double target;
  };
  const Scaled scaled[] = {{"nearest", kNearest, PIXMAN_FILTER_NEAREST, false, 1.0},
                           {"bilinear", kBilinear, PIXMAN_FILTER_BILINEAR, false, 1.0},
                           {"bicubic", kBicubic, PIXMAN_FILTER_NEAREST, true, 3.0}};
  for (const Scaled& s : scaled)
    for (Source* src : {&half, &twice})
      for (uint32_t kind : {kCopy, kOver}) {
        const std::string name = std::string(s.name) + (src == &half ? " 2x up" : " 0.5x down") +
                                 (kind == kCopy ? " copy" : " over");
        if (!table.Wanted(name)) continue;
        SetTextureFilter(src->texture, kind);
        if (s.cubic) SetCubic(src->image, src->bits.width, src->bits.height, w, h);
        else SetScale(src->image, src->bits.width, src->bits.height, w, h, s.pixman_filter);
        table.Run({name, s.target, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, src->texture, s.filter); },
                  composite(kind == kCopy ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, src->image, nullptr), restore);
        ClearTransform(src->image);
      }

  // Effects and composition.
  {
    Source blurred(w, h, 5);
    pixman_fixed_t box[2 + 9];
    box[0] = pixman_int_to_fixed(3);
    box[1] = pixman_int_to_fixed(3);
    for (int i = 0; i < 9; ++i) box[2 + i] = pixman_double_to_fixed(1.0 / 9);
    pixman_image_set_filter(same.image, PIXMAN_FILTER_CONVOLUTION, box, 11);
    pixman_image_set_repeat(same.image, PIXMAN_REPEAT_PAD);
    table.Run({"blur 3x3", 3.0, nullptr}, w, h, [&] { BlurTexture(blurred.texture, same.texture); },
              [&] {
                pixman_image_composite32(PIXMAN_OP_SRC, same.image, nullptr, blurred.image, 0, 0, 0, 0, 0, 0, w, h);
              },
              [] {});
    ClearTransform(same.image);
  }
  {
    Target other(w, h, 6);
    table.Run({"MixCanvas alpha 128", 1.0, nullptr}, w, h,
              [&] { MixCanvas(dst.canvas, &all, other.canvas, &all, 128); },
              composite(PIXMAN_OP_OVER, other.image, alpha128), restore);
    // A translucent layer: the other canvas's own alpha, opacity 128.
    table.Run({"CompositeCanvas alpha 128", 1.0, nullptr}, w, h,
              [&] { CompositeCanvas(dst.canvas, &all, other.canvas, &all, 128, kNearest); },
              composite(PIXMAN_OP_OVER, other.image, alpha128), restore);
  }
  pixman_image_unref(alpha128);
}

// The cost of one small draw: a 16x16 icon composited onto a large canvas.
void RunIcon(const Options& opt) {
  Target dst(1920, 1080, 7);
  Source icon(16, 16, 8);
  SetTextureFilter(icon.texture, kOver);
  const owlRect at{100, 100, 116, 116};
  const std::vector<double> t = TimeInterleaved(
      {[&] { DrawTexture(dst.canvas, &at, icon.texture, kNearest); },
       [&] { pixman_image_composite32(PIXMAN_OP_OVER, icon.image, nullptr, dst.image, 0, 0, 0, 0, 100, 100, 16, 16); }},
      [] {}, opt);
  std::printf("\n16x16 icon over, per call: owlgraphic %.0f ns, pixman %.0f ns\n", t[0] * 1e9, t[1] * 1e9);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  bool icon = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--reps" && i + 1 < argc) {
      opt.reps = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--filter" && i + 1 < argc) {
      opt.filters.push_back(argv[++i]);
      icon = false;
    } else if (a == "--size" && i + 1 < argc) {
      int w = 0, h = 0;
      if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || w > 16383 || h > 16383) {
        std::fprintf(stderr, "bad size %s\n", argv[i]);
        return 2;
      }
      opt.sizes.emplace_back(w, h);
    } else {
      std::fprintf(stderr, "usage: %s [--reps N] [--filter text]... [--size WxH]...\n", argv[0]);
      return 2;
    }
  }
  if (opt.sizes.empty()) opt.sizes = {{1920, 1080}, {256, 256}};
  std::printf("pixman %s; medians of %d interleaved repetitions\n\n", pixman_version_string(), opt.reps);
  Table table(opt);
  for (const auto& s : opt.sizes) RunSize(table, s.first, s.second);
  if (icon) RunIcon(opt);
  std::printf("\n%d row(s) below target\n", table.misses());
  return 0;
}
