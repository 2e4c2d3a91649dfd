// The Gaussian blur: three passes of an extended box in each direction.
//
// One pass with box radius r and end weight A replaces each channel by
//   (W * (sum of the 2r + 1 values around it) + A * (the two values just
//    beyond them) + 2^(k-1)) >> k,
// rounded to 8 bits again. For a standard deviation s, each pass carries a
// third of the variance s^2:
//   r = the largest integer with r (r + 1) <= s^2,
//   k = 14 + floor(log2(2r + 1)),
//   W = floor(2^k (3 (r + 1)^2 - s^2) / d)   with d = (2r + 1)(r + 1)(2r + 3),
//   A = floor((2^k - W (2r + 1)) / 2),
// all in integers (W (2r + 1) + 2A is 2^k or one less, so flat areas stay
// exact). The three passes run over the row with its ends extended by
// repeating the edge pixel, then over the columns likewise. Every channel
// takes the same non-negative weights, so no colour byte exceeds its alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

constexpr int32_t kMaxGaussianRadius = 128;

struct BoxPass {
  int32_t r;       // box radius
  uint32_t shift;  // k
  uint16_t inner;  // W
  uint16_t end;    // A
};

// The pass of standard deviation s (1..kMaxGaussianRadius).
BoxPass GaussianBoxPass(int32_t s);

// The weights the three passes give one line, without their rounding:
// 6 (r + 1) + 1 values centred on the middle one ({1} for s 0). Callers
// keep x87 builds at double precision (ScopedDoublePrecision).
std::vector<double> GaussianKernel(int32_t s);

// dst = the blur of src (same size; dst may be src). radius 0 copies. False
// for a radius out of range, different sizes or when scratch memory runs
// out (dst unchanged).
bool GaussianBlur(const BitmapBits& dst, const BitmapBits& src, int32_t radius);

// One output row of a pass over count bytes (channels of parallel lines):
//   out = (W * sums + A * (lo + hi) + 2^(k-1)) >> k, then sums += hi - sub,
// where lo is the line value at r + 1 before the output, sub at r before it
// and hi at r + 1 after it.
void BoxPassRow_C(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                  int32_t count, const BoxPass& pass);
#if defined(OWL_X86)
void BoxPassRow_SSE2(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                     int32_t count, const BoxPass& pass);  // 16 bytes a step
// The SSE2 form 32 bytes a step, run when the processor also has AVX2.
void BoxPassRow_AVX2(uint8_t* out, uint16_t* sums, const uint8_t* lo, const uint8_t* sub, const uint8_t* hi,
                     int32_t count, const BoxPass& pass);
// dst (width rows of height pixels) = src (height rows of width pixels)
// turned: row x of dst is column x of src (pitches in pixels). Four by four.
void TurnPixels_SSE2(uint32_t* dst, std::ptrdiff_t dstPitch, const uint32_t* src, std::ptrdiff_t srcPitch,
                     int32_t width, int32_t height);
#endif

}  // namespace owl
