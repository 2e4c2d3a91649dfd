// owlgraphic against the libraries a host would pick instead for the same
// work: pixman (the compositor under cairo and the X server), libyuv and
// OpenCV (single-threaded). Each peer is compiled in when its development
// package was found (OWL_PEER_PIXMAN, OWL_PEER_LIBYUV, OWL_PEER_OPENCV).
//
// Every row runs one owlgraphic call through the exported functions and each
// peer's closest call on the same pixel buffers (the peers' images wrap the
// canvas's and the texture's own memory), interleaved within one process:
// each repetition restores the destination before every timed batch, the
// order of the contenders reversing between repetitions. The table shows
// medians of the repetitions in millions of destination pixels per second of
// the thread's processor time, and owlgraphic's ratio to the fastest peer.
//
//   owl_peer_compare [--reps N] [--filter text]... [--size WxH]...
#if defined(OWL_PEER_PIXMAN)
#include <pixman.h>
#endif
#if defined(OWL_PEER_LIBYUV)
#include <libyuv.h>
#endif
#if defined(OWL_PEER_OPENCV)
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <algorithm>
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

using owlbench::FillPremultiplied;
using owlbench::Op;

constexpr uint32_t kCopy = 0x00000000u, kOver = 0x01000000u, kMultiply = 0x03000000u;
constexpr unsigned kNearest = 0, kBilinear = 1, kBicubic = 4;

enum PeerId { kPixman, kLibyuv, kOpenCV, kPeerCount };
const char* const kPeerNames[kPeerCount] = {"pixman", "libyuv", "opencv"};

struct Options {
  int reps = 11;
  double batch_seconds = 0.02;
  std::vector<std::string> filters;
  std::vector<std::pair<int, int>> sizes;
};

uint8_t* Bytes(const BitmapBits& b) { return static_cast<uint8_t*>(b.bits); }

#if defined(OWL_PEER_PIXMAN)
pixman_image_t* Wrap(const BitmapBits& b, pixman_format_code_t format = PIXMAN_a8r8g8b8) {
  return pixman_image_create_bits(format, b.width, b.height, static_cast<uint32_t*>(b.bits), b.pitch);
}
#endif
#if defined(OWL_PEER_OPENCV)
cv::Mat Mat(const BitmapBits& b) { return cv::Mat(b.height, b.width, CV_8UC4, b.bits, size_t(b.pitch)); }
#endif

// A canvas over premultiplied pixels, the peers' images over the same
// memory, and a pristine copy to restore before every timed batch.
struct Target {
  HGCANVAS canvas = 0;
  BitmapBits bits{};
#if defined(OWL_PEER_PIXMAN)
  pixman_image_t* image = nullptr;
#endif
  std::vector<uint32_t> pristine;

  Target(int w, int h, uint32_t seed, bool opaque = false) {
    canvas = CreateCanvas(w, h, 0);
    const owlRect all{0, 0, w, h};
    if (!canvas.value || !LockCanvasBits(canvas, &bits, &all)) {
      std::fprintf(stderr, "cannot create a %dx%d canvas\n", w, h);
      std::exit(1);
    }
    UnlockCanvasBits(canvas);
    FillPremultiplied(bits, seed, opaque);
    pristine.assign(static_cast<uint32_t*>(bits.bits), static_cast<uint32_t*>(bits.bits) + size_t(w) * h);
#if defined(OWL_PEER_PIXMAN)
    image = Wrap(bits);
#endif
  }
  ~Target() {
#if defined(OWL_PEER_PIXMAN)
    pixman_image_unref(image);
#endif
    DeleteCanvas(canvas);
  }
  void Restore() const { std::memcpy(bits.bits, pristine.data(), pristine.size() * 4); }
};

// A texture of premultiplied pixels and the peers' images over them.
struct Source {
  HGTEXTURE texture = 0;
  BitmapBits bits{};
#if defined(OWL_PEER_PIXMAN)
  pixman_image_t* image = nullptr;
#endif

  Source(int w, int h, uint32_t seed) {
    texture = CreateTexture(w, h);
    if (!texture.value || !LockTextureBits(texture, &bits, nullptr)) {
      std::fprintf(stderr, "cannot create a %dx%d texture\n", w, h);
      std::exit(1);
    }
    UnlockTextureBits(texture);
    FillPremultiplied(bits, seed);
#if defined(OWL_PEER_PIXMAN)
    image = Wrap(bits);
#endif
  }
  ~Source() {
#if defined(OWL_PEER_PIXMAN)
    pixman_image_unref(image);
#endif
    DeleteTexture(texture);
  }
};

std::vector<double> TimeInterleaved(const std::vector<Op>& ops, const Op& restore, const Options& opt) {
  return owlbench::TimeInterleaved(ops, restore, opt.reps, opt.batch_seconds);
}

struct Row {
  std::string name;
  double target;    // least acceptable owlgraphic / best peer ratio
  const char* mem;  // "memcpy", "memset" or null: also timed against it
};

struct Peer {
  PeerId id;
  Op op;
};

class Table {
 public:
  explicit Table(const Options& opt) : opt_(opt) {
    std::printf("%-30s %-9s %9s %9s %9s %9s  %-6s %6s %6s %9s %6s\n", "operation", "size", "owl", kPeerNames[0],
                kPeerNames[1], kPeerNames[2], "best", "ratio", "target", "mem", "of mem");
  }

  bool Wanted(const std::string& name) const {
    if (opt_.filters.empty()) return true;
    for (const std::string& f : opt_.filters)
      if (name.find(f) != std::string::npos) return true;
    return false;
  }

  void Run(const Row& row, int w, int h, const Op& owl, const std::vector<Peer>& peers, const Op& restore,
           const Op& mem = {}) {
    if (!Wanted(row.name) || peers.empty()) return;
    std::vector<Op> ops{owl};
    for (const Peer& p : peers) ops.push_back(p.op);
    if (mem) ops.push_back(mem);
    const std::vector<double> t = TimeInterleaved(ops, restore, opt_);
    const double pixels = double(w) * h;
    const double o = pixels / t[0] / 1e6;
    double rate[kPeerCount] = {0, 0, 0}, best = 0;
    PeerId best_id = peers[0].id;
    for (size_t i = 0; i < peers.size(); ++i) {
      rate[peers[i].id] = pixels / t[1 + i] / 1e6;
      if (rate[peers[i].id] > best) best = rate[peers[i].id], best_id = peers[i].id;
    }
    const double ratio = o / best;
    bool ok = ratio >= row.target;
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", w, h);
    std::printf("%-30s %-9s %9.0f", row.name.c_str(), size, o);
    for (double r : rate) r > 0 ? std::printf(" %9.0f", r) : std::printf(" %9s", "-");
    std::printf("  %-6s %6.2f %6.1f", kPeerNames[best_id], ratio, row.target);
    if (mem) {
      const double m = pixels / t.back() / 1e6;
      ok = ratio >= row.target || o / m >= 0.9;  // a bandwidth-bound row may meet either
      std::printf(" %9.0f %6.2f", m, o / m);
    } else {
      std::printf(" %9s %6s", "", "");
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

#if defined(OWL_PEER_PIXMAN)
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
#endif

// Adds a peer when it was compiled in: PEER(list, id, statement).
#if defined(OWL_PEER_PIXMAN)
#define PIXMAN_PEER(list, ...) list.push_back({kPixman, [&] { __VA_ARGS__; }})
#else
#define PIXMAN_PEER(list, ...) (void)0
#endif
#if defined(OWL_PEER_LIBYUV)
#define LIBYUV_PEER(list, ...) list.push_back({kLibyuv, [&] { __VA_ARGS__; }})
#else
#define LIBYUV_PEER(list, ...) (void)0
#endif
#if defined(OWL_PEER_OPENCV)
#define OPENCV_PEER(list, ...) list.push_back({kOpenCV, [&] { __VA_ARGS__; }})
#else
#define OPENCV_PEER(list, ...) (void)0
#endif

void RunSize(Table& table, int w, int h) {
  Target dst(w, h, 1);
  Source same(w, h, 2), half(std::max(1, w / 2), std::max(1, h / 2), 3), twice(w * 2, h * 2, 4);
  const owlRect all{0, 0, w, h};
  const Op restore = [&] { dst.Restore(); };
  const int pitch = dst.bits.pitch;
  uint8_t* const d = Bytes(dst.bits);
#if defined(OWL_PEER_PIXMAN)
  auto composite = [&](pixman_op_t op, pixman_image_t* src, pixman_image_t* mask) {
    pixman_image_composite32(op, src, mask, dst.image, 0, 0, 0, 0, 0, 0, w, h);
  };
  pixman_image_t* alpha128 = Solid(0x80000000u);
#endif
#if defined(OWL_PEER_OPENCV)
  cv::Mat dst_mat = Mat(dst.bits), same_mat = Mat(same.bits);
#endif
  const size_t bytes = size_t(w) * h * 4;
  const Op memcpy_op = [&] { std::memcpy(dst.bits.bits, same.bits.bits, bytes); };
  const Op memset_op = [&] { std::memset(dst.bits.bits, 0x5A, bytes); };
  std::vector<Peer> peers;

  // Fills.
  const uint32_t opaque = 0xFF336699u, translucent = 0x80402010u;
  peers.clear();
  PIXMAN_PEER(peers, pixman_fill(static_cast<uint32_t*>(dst.bits.bits), pitch / 4, 32, 0, 0, w, h, opaque));
  LIBYUV_PEER(peers, libyuv::ARGBRect(d, pitch, 0, 0, w, h, opaque));
  OPENCV_PEER(peers, dst_mat.setTo(cv::Scalar(0x99, 0x66, 0x33, 0xFF)));
  table.Run({"fill copy", 1.0, "memset"}, w, h, [&] { FillSolidRectEx(dst.canvas, opaque, &all, kCopy); }, peers,
            restore, memset_op);
#if defined(OWL_PEER_PIXMAN)
  pixman_image_t* fill_color = Solid(translucent);
#endif
  peers.clear();
  PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, fill_color, nullptr));
  table.Run({"fill translucent over", 1.0, nullptr}, w, h, [&] { FillSolidRect(dst.canvas, translucent, &all); },
            peers, restore);
#if defined(OWL_PEER_PIXMAN)
  pixman_image_unref(fill_color);
#endif

  // 1:1 texture draws.
  uint8_t* const s = Bytes(same.bits);
  SetTextureFilter(same.texture, kCopy);
  peers.clear();
  PIXMAN_PEER(peers, composite(PIXMAN_OP_SRC, same.image, nullptr));
  LIBYUV_PEER(peers, libyuv::ARGBCopy(s, pitch, d, pitch, w, h));
  OPENCV_PEER(peers, same_mat.copyTo(dst_mat));
  table.Run({"copy 1:1", 1.0, "memcpy"}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            peers, restore, memcpy_op);
  SetTextureFilter(same.texture, kOver);
  peers.clear();
  PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, same.image, nullptr));
  LIBYUV_PEER(peers, libyuv::ARGBBlend(s, pitch, d, pitch, d, pitch, w, h));
  table.Run({"over 1:1", 1.0, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            peers, restore);
  peers.clear();
  PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, same.image, alpha128));
  table.Run({"over 1:1 alpha 128", 1.0, nullptr}, w, h,
            [&] { DrawTextureEx(dst.canvas, &all, same.texture, kNearest, 128); }, peers, restore);
  SetTextureFilter(same.texture, kMultiply);
#if defined(OWL_PEER_PIXMAN)
  pixman_image_t* white = Solid(0xFFFFFFFFu);
#endif
  peers.clear();
  PIXMAN_PEER(peers, pixman_image_set_component_alpha(same.image, 1);
              composite(PIXMAN_OP_IN_REVERSE, white, same.image); pixman_image_set_component_alpha(same.image, 0));
  LIBYUV_PEER(peers, libyuv::ARGBMultiply(s, pitch, d, pitch, d, pitch, w, h));
  OPENCV_PEER(peers, cv::multiply(dst_mat, same_mat, dst_mat, 1.0 / 255));
  table.Run({"multiply 1:1", 1.0, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, same.texture, kNearest); },
            peers, restore);
#if defined(OWL_PEER_PIXMAN)
  pixman_image_unref(white);
#endif

  // Stretches, 2x up (from half) and 0.5x down (from twice).
  struct Scaled {
    const char* name;
    unsigned filter;
    int kind;  // 0 nearest, 1 bilinear, 2 cubic
    double target;
  };
  const Scaled scaled[] = {{"nearest", kNearest, 0, 1.0}, {"bilinear", kBilinear, 1, 1.0}, {"bicubic", kBicubic, 2, 1.0}};
  for (const Scaled& sc : scaled)
    for (Source* src : {&half, &twice})
      for (uint32_t kind : {kCopy, kOver}) {
        const std::string name = std::string(sc.name) + (src == &half ? " 2x up" : " 0.5x down") +
                                 (kind == kCopy ? " copy" : " over");
        if (!table.Wanted(name)) continue;
        SetTextureFilter(src->texture, kind);
        const int sw = src->bits.width, sh = src->bits.height, sp = src->bits.pitch;
        uint8_t* const sb = Bytes(src->bits);
        (void)sw, (void)sh, (void)sp, (void)sb;
#if defined(OWL_PEER_PIXMAN)
        if (sc.kind == 2) SetCubic(src->image, sw, sh, w, h);
        else SetScale(src->image, sw, sh, w, h, sc.kind == 0 ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR);
#endif
        peers.clear();
        PIXMAN_PEER(peers, composite(kind == kCopy ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, src->image, nullptr));
        if (kind == kCopy) {
#if defined(OWL_PEER_LIBYUV)
          if (sc.kind < 2)
            LIBYUV_PEER(peers, libyuv::ARGBScale(sb, sp, sw, sh, d, pitch, w, h,
                                                 sc.kind == 0 ? libyuv::kFilterNone : libyuv::kFilterBilinear));
#endif
#if defined(OWL_PEER_OPENCV)
          const int interpolation = sc.kind == 0 ? cv::INTER_NEAREST : sc.kind == 1 ? cv::INTER_LINEAR : cv::INTER_CUBIC;
          OPENCV_PEER(peers, cv::resize(Mat(src->bits), dst_mat, dst_mat.size(), 0, 0, interpolation));
#endif
        }
        table.Run({name, sc.target, nullptr}, w, h, [&] { DrawTexture(dst.canvas, &all, src->texture, sc.filter); },
                  peers, restore);
#if defined(OWL_PEER_PIXMAN)
        ClearTransform(src->image);
#endif
      }

  // Effects and composition.
  {
    Source blurred(w, h, 5);
    uint8_t* const b = Bytes(blurred.bits);
    (void)b;
#if defined(OWL_PEER_PIXMAN)
    pixman_fixed_t box[2 + 9];
    box[0] = pixman_int_to_fixed(3);
    box[1] = pixman_int_to_fixed(3);
    for (int i = 0; i < 9; ++i) box[2 + i] = pixman_double_to_fixed(1.0 / 9);
    pixman_image_set_filter(same.image, PIXMAN_FILTER_CONVOLUTION, box, 11);
    pixman_image_set_repeat(same.image, PIXMAN_REPEAT_PAD);
#endif
#if defined(OWL_PEER_LIBYUV)
    std::vector<int32_t> cumsum(size_t(w) * 4 * (h + 1) + 4);
#endif
#if defined(OWL_PEER_OPENCV)
    cv::Mat blurred_mat = Mat(blurred.bits);
#endif
    peers.clear();
    PIXMAN_PEER(peers, pixman_image_composite32(PIXMAN_OP_SRC, same.image, nullptr, blurred.image, 0, 0, 0, 0, 0, 0,
                                                w, h));
    LIBYUV_PEER(peers, libyuv::ARGBBlur(s, pitch, b, pitch, cumsum.data(), w * 4, w, h, 1));
    OPENCV_PEER(peers, cv::blur(same_mat, blurred_mat, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_REPLICATE));
    table.Run({"blur 3x3", 1.5, nullptr}, w, h, [&] { BlurTexture(blurred.texture, same.texture); }, peers, [] {});
#if defined(OWL_PEER_PIXMAN)
    ClearTransform(same.image);
#endif
  }
  {
    Target other(w, h, 6);
    uint8_t* const o = Bytes(other.bits);
    (void)o;
#if defined(OWL_PEER_OPENCV)
    cv::Mat other_mat = Mat(other.bits);
#endif
    peers.clear();
    PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, other.image, alpha128));
    LIBYUV_PEER(peers, libyuv::ARGBInterpolate(d, pitch, o, pitch, d, pitch, w, h, 128));
    OPENCV_PEER(peers, cv::addWeighted(dst_mat, 0.5, other_mat, 0.5, 0, dst_mat));
    table.Run({"MixCanvas alpha 128", 1.0, nullptr}, w, h,
              [&] { MixCanvas(dst.canvas, &all, other.canvas, &all, 128); }, peers, restore);
    // A translucent layer: the other canvas's own alpha, opacity 128.
    peers.clear();
    PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, other.image, alpha128));
    table.Run({"CompositeCanvas alpha 128", 1.0, nullptr}, w, h,
              [&] { CompositeCanvas(dst.canvas, &all, other.canvas, &all, 128, kNearest); }, peers, restore);
  }
  {
    // BlendCanvas reads its source as opaque; the peers get a source that is.
    Target other(w, h, 9, true);
    uint8_t* const o = Bytes(other.bits);
    (void)o;
#if defined(OWL_PEER_PIXMAN)
    pixman_image_t* opaque_src = Wrap(other.bits, PIXMAN_x8r8g8b8);
#endif
    peers.clear();
    PIXMAN_PEER(peers, composite(PIXMAN_OP_OVER, opaque_src, alpha128));
    LIBYUV_PEER(peers, libyuv::ARGBBlend(o, pitch, d, pitch, d, pitch, w, h));
    table.Run({"BlendCanvas alpha 128", 1.0, nullptr}, w, h,
              [&] { BlendCanvas(dst.canvas, &all, other.canvas, &all, 128); }, peers, restore);
#if defined(OWL_PEER_PIXMAN)
    pixman_image_unref(opaque_src);
#endif
  }
#if defined(OWL_PEER_PIXMAN)
  pixman_image_unref(alpha128);
#endif
}

// The cost of one small draw: a 16x16 icon composited onto a large canvas.
void RunIcon(const Options& opt) {
  Target dst(1920, 1080, 7);
  Source icon(16, 16, 8);
  SetTextureFilter(icon.texture, kOver);
  const owlRect at{100, 100, 116, 116};
  uint8_t* const d = Bytes(dst.bits) + 100 * dst.bits.pitch + 400;
  uint8_t* const s = Bytes(icon.bits);
  (void)d, (void)s;
  std::vector<Peer> peers;
  PIXMAN_PEER(peers, pixman_image_composite32(PIXMAN_OP_OVER, icon.image, nullptr, dst.image, 0, 0, 0, 0, 100, 100,
                                              16, 16));
  LIBYUV_PEER(peers, libyuv::ARGBBlend(s, icon.bits.pitch, d, dst.bits.pitch, d, dst.bits.pitch, 16, 16));
  if (peers.empty()) return;
  std::vector<Op> ops{[&] { DrawTexture(dst.canvas, &at, icon.texture, kNearest); }};
  for (const Peer& p : peers) ops.push_back(p.op);
  const std::vector<double> t = TimeInterleaved(ops, [] {}, opt);
  std::printf("\n16x16 icon over, per call: owlgraphic %.0f ns", t[0] * 1e9);
  for (size_t i = 0; i < peers.size(); ++i) std::printf(", %s %.0f ns", kPeerNames[peers[i].id], t[1 + i] * 1e9);
  std::printf("\n");
}

// What each peer computes differently from owlgraphic, row by row (the
// comparison is of speed on the same work, not of identical pixels).
void PrintDifferences() {
  static const char* const kNotes[][2] = {
      {"fill copy", "the same stores everywhere"},
      {"fill translucent over", "pixman divides by 255 with rounding; owlgraphic by 256, truncating"},
      {"copy 1:1", "the same bytes everywhere"},
      {"over 1:1", "pixman divides by 255 with rounding; libyuv ARGBBlend uses the same >> 8 form but sets alpha 255"},
      {"over 1:1 alpha 128", "pixman: OVER with a solid mask"},
      {"multiply 1:1",
       "pixman IN_REVERSE and OpenCV multiply(1/255) round d * s / 255; libyuv approximates it with a high multiply"},
      {"nearest", "peers sample at pixel centres, owlgraphic from the left edge; libyuv and OpenCV copy only"},
      {"bilinear",
       "pixman 7-bit and OpenCV 11-bit weights at pixel centres, rounded; libyuv averages 2x2 blocks at exactly 0.5x"},
      {"bicubic", "pixman's separable cubic convolution; OpenCV INTER_CUBIC (a = -0.75), 11-bit weights, rounded"},
      {"blur 3x3",
       "pixman 16.16 weights of 1/9; libyuv box sums from a cumulative table, other edges; OpenCV rounds"},
      {"MixCanvas", "pixman OVER with a mask (other arithmetic); libyuv at 128 a rounded byte average; OpenCV rounds"},
      {"BlendCanvas", "pixman OVER of an x8r8g8b8 source with a mask; libyuv ARGBBlend of an opaque source"},
      {"CompositeCanvas", "pixman OVER with a solid mask; divides by 255 with rounding, owlgraphic by 256"},
  };
  std::printf("\nWhat the peers compute differently:\n");
  for (const auto& n : kNotes) std::printf("  %-22s %s\n", n[0], n[1]);
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
      icon = opt.filters.back() == "icon";
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
  std::printf("peers:");
#if defined(OWL_PEER_PIXMAN)
  std::printf(" pixman %s;", pixman_version_string());
#endif
#if defined(OWL_PEER_LIBYUV)
  std::printf(" libyuv %d;", LIBYUV_VERSION);
#endif
#if defined(OWL_PEER_OPENCV)
  cv::setNumThreads(1);
  std::printf(" OpenCV %s with %d thread;", CV_VERSION, cv::getNumThreads());
#endif
  std::printf(" medians of %d interleaved repetitions, Mpix/s of thread CPU time\n\n", opt.reps);
  Table table(opt);
  for (const auto& sz : opt.sizes) RunSize(table, sz.first, sz.second);
  if (icon) RunIcon(opt);
  if (opt.filters.empty()) PrintDifferences();
  std::printf("\n%d row(s) below target\n", table.misses());
  return 0;
}
