// The 3x3 box blur: each output pixel is, channel by channel (alpha
// included), the sum of the nine pixels around it divided by 9 and
// truncated; reads past an edge repeat the edge pixel.
//
// The block function runs one kernel per row, chosen per call from the
// cached processor flags; every kernel gives the plain one's pixels.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

// Blurs src into dst over src's size; dst must not share memory with src.
// Writes past dst's last column or row land on it (the last one written
// stays), so nothing outside either block is touched. Returns false, with
// nothing drawn, when the row scratch cannot be allocated.
bool BlurRows(const BitmapBits& dst, const BitmapBits& src);

// Division by 9 of a nine-channel sum (0..2295) as the high half of a
// 16-bit product: floor(s * 7282 / 65536) == floor(s / 9) over that range,
// since 7282 * 9 = 65538 adds less than 0.008 to any quotient.
constexpr uint16_t kNinthMultiplier = 7282;
constexpr bool NinthIsExact() {
  for (uint32_t s = 0; s <= 9 * 255; ++s)
    if ((s * kNinthMultiplier) >> 16 != s / 9) return false;
  return true;
}
static_assert(NinthIsExact(), "the reciprocal multiply must divide every nine-channel sum exactly");

// Kernels over one output row of width pixels (width >= 1) from the rows
// above, at and below it. sums holds (width + 2) * 4 16-bit fields of
// scratch (the vector forms keep the column sums there).
using BlurRowFn = void (*)(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below,
                           int32_t width, uint16_t* sums);
void BlurRow_C(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
               uint16_t* sums);
#if defined(OWL_X86)
// Column sums of each channel in 16-bit fields, then the three neighbouring
// sums added and divided by the reciprocal multiply: 2 px a step (SSE2), 4
// and 8 px a step (AVX2, run when the processor has it).
void BlurRow_SSE2(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
                  uint16_t* sums);
void BlurRow_AVX2(uint32_t* out, const uint32_t* above, const uint32_t* row, const uint32_t* below, int32_t width,
                  uint16_t* sums);
#endif

}  // namespace owl
