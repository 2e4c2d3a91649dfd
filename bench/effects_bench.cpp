// Canvas composition in every form, and the plain texture effects and
// modulation, through the exported functions at 1920x1080 and 256x256, in
// destination pixels per second; the rounded-rectangle shadow in every form
// across blur radii and corners, in pixels the blur reaches per second
// (which should not fall as the radius grows).
#include "bench_util.h"

namespace {

using owlbench::FillPremultiplied;

HGCANVAS RandomCanvas(int32_t w, int32_t h, uint32_t seed) {
  const HGCANVAS c = CreateCanvas(w, h, HGCANVAS(0u));
  BitmapBits b{};
  const owlRect all{0, 0, w, h};
  LockCanvasBits(c, &b, &all);
  FillPremultiplied(b, seed);
  return c;
}

HGTEXTURE RandomTexture(int32_t w, int32_t h, uint32_t seed) {
  const HGTEXTURE t = CreateTexture(w, h);
  BitmapBits b{};
  LockTextureBits(t, &b, nullptr);
  FillPremultiplied(b, seed);
  return t;
}

// op(dst canvas, dst rect, src canvas, src rect); the source is the
// destination's size, or half of it (stretched 2x) when half is set.
using CanvasOp = std::function<void(HGCANVAS, const owlRect*, HGCANVAS, const owlRect*)>;

void RegisterCanvasOp(const std::string& name, CanvasOp op, bool half, bool perForm = true) {
  for (const owlbench::Size& size : owlbench::kSizes)
    for (const owlbench::Form& form : owlbench::kForms) {
      if (perForm ? !owlbench::MachineAllows(form.mask) : form.mask != 0) continue;
      const std::string label = name + "/" + (perForm ? std::string(form.name) + "/" : "") +
                                owlbench::SizeName(size) + (half ? "/x2" : "");
      benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
        const int32_t sw = half ? size.width / 2 : size.width, sh = half ? size.height / 2 : size.height;
        const HGCANVAS dst = RandomCanvas(size.width, size.height, 1), src = RandomCanvas(sw, sh, 2);
        const owlRect dr{0, 0, size.width, size.height}, sr{0, 0, sw, sh};
        owl::ScopedCpuMask mask(form.mask);
        for (auto _ : state) {
          op(dst, &dr, src, &sr);
          benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
        DeleteCanvas(dst);
        DeleteCanvas(src);
      });
    }
}

void RegisterTextureOp(const std::string& name, std::function<void(HGTEXTURE, HGTEXTURE)> op) {
  for (const owlbench::Size& size : owlbench::kSizes) {
    const std::string label = name + "/" + owlbench::SizeName(size);
    benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
      const HGTEXTURE a = RandomTexture(size.width, size.height, 3), b = CreateTexture(size.width, size.height);
      for (auto _ : state) {
        op(a, b);
        benchmark::ClobberMemory();
      }
      state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
      DeleteTexture(a);
      DeleteTexture(b);
    });
  }
}

// A 320x200 panel's shadow on a 1920x1080 canvas.
void RegisterShadows() {
  for (const owlbench::Form& form : owlbench::kForms) {
    if (!owlbench::MachineAllows(form.mask) || form.mask == owl::kCpuMMX || form.mask == (owl::kCpuMMX | owl::kCpuSSE))
      continue;  // no MMX or SSE forms
    for (int32_t corner : {12, 48})
      for (int32_t radius : {2, 16, 64}) {
        const std::string label = "DrawRoundRectShadow/" + std::string(form.name) + "/corner" + std::to_string(corner) +
                                  "/radius" + std::to_string(radius);
        benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
          const HGCANVAS canvas = RandomCanvas(1920, 1080, 6);
          const owlRect panel{800, 440, 1120, 640};
          int32_t box = 0;  // the blur reaches 3 (box + 1) pixels
          while ((box + 1) * (box + 2) <= radius * radius) ++box;
          const int64_t reach = 3 * (box + 1);
          owl::ScopedCpuMask mask(form.mask);
          for (auto _ : state) {
            DrawRoundRectShadow(canvas, &panel, corner, radius, 0x60000000u, 0, 0);
            benchmark::ClobberMemory();
          }
          state.SetItemsProcessed(int64_t(state.iterations()) * (320 + 2 * reach) * (200 + 2 * reach));
          DeleteCanvas(canvas);
        });
      }
  }
}

const bool kRegistered = [] {
  RegisterShadows();
  for (bool half : {false, true}) {
    RegisterCanvasOp(
        "MixCanvas", [](HGCANVAS d, const owlRect* dr, HGCANVAS s, const owlRect* sr) { MixCanvas(d, dr, s, sr, 100); },
        half);
    RegisterCanvasOp(
        "BlendCanvas",
        [](HGCANVAS d, const owlRect* dr, HGCANVAS s, const owlRect* sr) { BlendCanvas(d, dr, s, sr, 100); }, half);
  }
  RegisterCanvasOp(
      "MixCanvasWithColor",
      [](HGCANVAS d, const owlRect* dr, HGCANVAS, const owlRect*) { MixCanvasWithColor(d, dr, 0x80402010u, 100); },
      false);
#if !defined(_WIN32)
  RegisterCanvasOp(
      "GdiTransCanvas",
      [](HGCANVAS, const owlRect* dr, HGCANVAS s, const owlRect* sr) {
        static HDC device = CreateDeviceSurface(1920, 1080);
        GdiTransCanvas(device, dr, s, sr);
      },
      false, false);
#endif
  RegisterCanvasOp(
      "DrawModulation",
      [](HGCANVAS d, const owlRect* dr, HGCANVAS, const owlRect*) {
        static HGTEXTURE big = RandomTexture(1920, 1080, 4), small = RandomTexture(256, 256, 5);
        DrawModulation(d, 0, 0, dr->right == 1920 ? big : small, 0x80402010u);
      },
      false, false);
  RegisterTextureOp("GrayTexture", [](HGTEXTURE a, HGTEXTURE) { GrayTexture(a); });
  RegisterTextureOp("BlurTexture", [](HGTEXTURE a, HGTEXTURE b) { BlurTexture(b, a); });
  return true;
}();

}  // namespace
