// The stretch loops: the per-call choice of row kernel and the walk over the
// destination block. The bicubic loop takes the sampler form that matches the
// kernel table's format (resample/bicubic_walk.h).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/cpu_features.h"
#include "resample/bicubic_walk.h"
#include "resample/samplers.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

bool StretchNearest(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = HasAVX2() ? StretchNearestRow_AVX2 : StretchNearestRow_SSE;  // 8 or 4 px a step
#endif
  // A row that reads the same texel row as the one before is a copy of it,
  // unless the blocks share memory (then the earlier row may have changed
  // the texels since).
  const bool reuse = !BlocksOverlap(dst, src);
  const uint32_t* last_src = nullptr;
  uint32_t* last_dst = nullptr;
  WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) {
    if (reuse && s == last_src) {
      std::memcpy(d, last_dst, size_t(dst.width) * 4);
    } else {
      row(d, s, dst.width, step);
    }
    last_src = s;
    last_dst = d;
  });
  return true;
}

bool StretchNearestKeyed(const BitmapBits& dst, const BitmapBits& src, uint32_t key) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchNearestKeyedRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasSSE()) row = StretchNearestKeyedRow_SSE;  // 4 px a step, destination prefetched
#endif
  WalkNearestRows(dst, src,
                  [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step, key); });
  return true;
}

#if defined(OWL_X86)
namespace {

// The AVX2 form in two passes: each texel row filtered horizontally once
// into one of two kept rows, then each output row from the two kept rows it
// falls between, so output rows that share texel rows share their filtering.
// False (nothing drawn) without memory for the kept rows.
bool StretchBilinearKeptRows(const BitmapBits& dst, const BitmapBits& src) {
  uint32_t* kept = new (std::nothrow) uint32_t[size_t(dst.width) * 2];
  if (!kept) return false;
  const uint32_t* key[2] = {nullptr, nullptr};
  uint32_t* rows[2] = {kept, kept + dst.width};
  auto filtered = [&](const uint32_t* texels, const uint32_t* keep, uint32_t step) {
    for (int k = 0; k < 2; ++k)
      if (key[k] == texels) return rows[k];
    const int k = key[0] == keep ? 1 : 0;
    BilinearHorizontalRow_AVX2(rows[k], texels, dst.width, step);
    key[k] = texels;
    return rows[k];
  };
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
    const uint32_t* top = filtered(r0, r1, step);
    BilinearVerticalRow_AVX2(d, top, filtered(r1, r0, step), dst.width, fy);
  });
  delete[] kept;
  return true;
}

// Near 0.5x (steps 0x1E000 to 0x20000, no two output rows on the same
// texel rows): one pass, each texel row read whole. False (nothing drawn) at
// other ratios or without memory for the plan.
bool StretchBilinearHalve(const BitmapBits& dst, const BitmapBits& src) {
  const uint32_t step = BilinearStep(src.width, dst.width);
  if (step < 0x1E000 || step > 0x20000 || src.height - 1 < dst.height) return false;
  // Sixteen pixels a step where the processor also has AVX-512, unless the
  // texels pass 16 MiB: from a source that streams from memory sixteen a
  // step ran slower (0.8 to 0.87 of eight at 1920x1080 from 3840x2160,
  // 0.85 at 1600x900, with every texel line prefetched either way), from
  // one in the caches faster (1.2 to 1.25 at 256x256 to 960x540).
  const bool wide = HasAVX512() && uint64_t(src.width) * uint64_t(src.height) <= (uint64_t(4) << 20);
  const size_t words = wide ? BilinearHalvePlanWords_AVX512(dst.width, step) : BilinearHalvePlanWords(dst.width, step);
  uint32_t* const memory = new (std::nothrow) uint32_t[words + 16];
  if (!memory) return false;
  uint32_t* const plan = memory + (16 - (reinterpret_cast<uintptr_t>(memory) & 63) / 4) % 16;  // on 64 bytes
  (wide ? BilinearHalvePlan_AVX512 : BilinearHalvePlan_AVX2)(plan, dst.width, step);
  const auto row = wide ? StretchBilinearHalveRow_AVX512 : StretchBilinearHalveRow_AVX2;
  // The texel rows of the next output row, asked for while this one is
  // read: every output row starts two new streams of texels, which the
  // processor's own prefetcher finds late.
  const int32_t skip = int32_t((BilinearStep(src.height, dst.height) + 0xFFFFu) >> 16);
  const uint32_t* const last_row = RowAt(src, src.height - 1);
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t sx, uint32_t fy) {
    const std::ptrdiff_t ahead = std::ptrdiff_t(skip) * src.pitch;
    const bool inside = uintptr_t(r1) + uintptr_t(ahead) <= uintptr_t(last_row);
    row(d, r0, r1, dst.width, sx, fy, plan, inside ? ahead : 0);
  });
  delete[] memory;
  return true;
}

}  // namespace
#endif

bool StretchBilinear(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
#if defined(OWL_X86)
  // A source one texel wide is read from a copy of its edge made per row;
  // blocks that share memory keep the row-by-row order.
  if (HasAVX2() && src.width > 1 && !BlocksOverlap(dst, src) &&
      (StretchBilinearHalve(dst, src) || StretchBilinearKeptRows(dst, src)))
    return true;
#endif
  auto row = StretchBilinearRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = HasAVX2() ? StretchBilinearRow_AVX2 : StretchBilinearRow_MMX;  // separable, 8 or 2 px a step
#endif
  WalkBilinearRows(dst, src, [&](uint32_t* d, const uint32_t* r0, const uint32_t* r1, uint32_t step, uint32_t fy) {
    row(d, r0, r1, dst.width, step, fy);
  });
  return true;
}

bool StretchMultiply(const BitmapBits& dst, const BitmapBits& src) {
  bool result;
  if (!BlocksReady(dst, src, &result)) return result;
  auto row = StretchMultiplyRow_C;
#if defined(OWL_HAVE_MMX)
  if (HasMMX()) row = StretchMultiplyRow_MMX;  // 2 px a step
#endif
  WalkNearestRows(dst, src, [&](uint32_t* d, const uint32_t* s, uint32_t step) { row(d, s, dst.width, step); });
  return true;
}

bool StretchBicubic(const BitmapBits& dst, const BitmapBits& src) {
  const BicubicSamplers<decltype(&SampleBicubic)> integer{SampleBicubic, SampleBicubicClamped};
#if defined(OWL_HAVE_MMX)
  return StretchBicubicWith(dst, src, integer,
                            {SampleBicubic_MMX, SampleBicubicClamped_MMX, BicubicRow_AVX2, BicubicBlock_AVX2,
                             BicubicBlock_AVX512});
#else
  return StretchBicubicWith(dst, src, integer, integer);
#endif
}

}  // namespace owl
