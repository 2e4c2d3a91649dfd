// Nearest and keyed stretch loops: plain rows and the per-call choice.
#include <cstring>

#include "core/cpu_features.h"
#include "resample/stretch.h"
#include "resample/stretch_rows.h"
#include "resample/stretch_walk.h"

namespace owl {

void StretchNearestRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) dst[j] = src[x >> 16];
}

void StretchNearestKeyedRow_C(uint32_t* dst, const uint32_t* src, int32_t width, uint32_t step, uint32_t key) {
  uint32_t x = 0;
  for (int32_t j = 0; j < width; ++j, x += step) {
    const uint32_t s = src[x >> 16];
    if (s != key) dst[j] = s;
  }
}

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

}  // namespace owl
