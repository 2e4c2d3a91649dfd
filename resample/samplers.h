// Per-pixel samplers: one output pixel from a source at a 16.16 position,
// stored (copy), composited with source-over (Over) or scaled by a constant
// alpha and then composited (OverAlpha).
//
// Bilinear samplers read row0[0], row0[1], row1[0] and row1[1] every time.
// Bicubic samplers read the 4x4 window of columns x0 - 1..x0 + 2 and rows
// y0 - 1..y0 + 2 (x0 = x >> 16, fractions (x >> 8) & 255); the caller
// guarantees the window lies inside src, whose pitch and row address alone
// are read. The Clamped wrappers accept any position on a source of at least
// 1x1 and repeat the border pixels beyond the edges.
//
// Bicubic samplers take the kernel table to read (resample/kernel_table.h):
// the integer samplers the 256-scaled format, the MMX samplers the
// 16384-scaled one. The over forms of both
// saturate each channel sum at 255, which matters only when the kernel's
// negative lobes push a colour channel above its alpha.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "core/cpu_features.h"
#include "owlgraphic.h"

namespace owl {

void SampleBilinear(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy, uint32_t* out);
// Plain source-over keeping the low 8 bits of each channel sum.
void SampleBilinearOver(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy, uint32_t* dst);
void SampleBilinearOverAlpha(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy,
                             uint32_t alpha, uint32_t* dst);

// Integer form: taps weighted by the 256-scaled table, each channel
// ClampCenter[acc >> 16].
void SampleBicubic(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOver(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverAlpha(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst);
void SampleBicubicClamped(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverClamped(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverAlphaClamped(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst);

#if defined(OWL_HAVE_MMX)
// MMX form: channel * 128 in signed 16-bit lanes, upper halves of the
// products with the 16384-scaled weights, saturating 16-bit sums, then an
// arithmetic shift by 3 and a clamp to 0..255. Positions must not be
// negative (the wrappers pass positive ones). Clears the MMX state.
void SampleBicubic_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOver_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverAlpha_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha, uint32_t* dst);
void SampleBicubicClamped_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverClamped_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t* dst);
void SampleBicubicOverAlphaClamped_MMX(const int32_t* kernel, const BitmapBits& src, int32_t x, int32_t y, uint32_t alpha,
                                      uint32_t* dst);
#endif
// A sampler over the interior pixels dst[0..count) of one row, at positions
// x, x + step, ... (16.16, modulo 2^32) on row position y, every window
// inside src. It does count rounded down to a multiple of 8 and returns that
// number; alpha is read by the OverAlpha kernel only.
//
// With kept set, the run may reach past any edge of src (the texels read
// are clamped into it, as the clamping samplers read them), and the kernel
// keeps the horizontal sums of each texel row it
// filters, so that output rows sharing texel rows filter them once: four
// slots of capacity pixels (four 16-bit channel sums a pixel), texel row t
// in slot t mod 4 (row[] tells which row each holds), and the run's horizontal weights, first texel columns, the
// way each block of eight pixels reads its texels and where each run of
// blocks read the same way ends; a run with another start, step, length or
// source width empties them.
struct BicubicKeptRows {
  static constexpr int kSlots = 4;
  int16_t* sums = nullptr;      // kSlots * capacity * 4
  int32_t* weights = nullptr;   // capacity * 5: the run's horizontal weights
  int32_t* columns = nullptr;   // capacity: each pixel's first texel column
  int32_t* run_ends = nullptr;  // capacity / 8
  uint8_t* blocks = nullptr;    // capacity / 8
  int32_t capacity = 0;
  bool end_copies = false;  // some block reads copies of a row's ends
  bool exact_halving = false;  // every block exact halving: sums kept in pixel order
  bool same_weights = false;   // every block's four tap weights the same
  int32_t row[kSlots] = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
  uint32_t x = 0, step = 0;
  int32_t count = -1, width = -1;
  uint32_t ystep = 0;  // the output rows' step, when known: rows to read ahead
};
using BicubicRowFn = int32_t (*)(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                                 int32_t count, uint32_t alpha, BicubicKeptRows* kept);
// The same over every row of dst through kept rows (kept->capacity at
// least dst.width): row i at row position y + i * ystep, each from x by
// step. Returns the pixels done at the start of every row, dst.width
// rounded down to a multiple of 8 (0 when it does none).
using BicubicBlockFn = int32_t (*)(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                                   uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept);

// The exact halving pass of the copying block kernel (every block of the
// run exact halving, kept by the block kernel): output rows, up to height
// of them from dst a pitch apart at row positions y, y + ystep, ..., as
// long as each row's last two texel rows are missing and its first two
// kept; returns the rows done.
using BicubicHalvingRowsFn = int32_t (*)(const int32_t* kernel, uint8_t* dst, std::ptrdiff_t pitch, int32_t height,
                                         uint32_t y, uint32_t ystep, const BitmapBits& src, int32_t n, uint32_t alpha,
                                         BicubicKeptRows* kept);
// The copying block kernel's output row at row position y from the kept
// sums of its four texel rows (sums[r], texel row r of the window), the
// first n pixels; sequential: every block's sums in pixel order.
using BicubicSumsRowFn = void (*)(const int32_t* kernel, uint32_t* dst, const int16_t* const sums[4], int32_t y,
                                  int32_t n, bool sequential);
// Wider forms of those two parts.
struct BicubicWideForms {
  BicubicHalvingRowsFn halving_rows;
  BicubicSumsRowFn sums_row;
};

#if defined(OWL_X86)
// AVX2 kernels of SampleBicubic_MMX, SampleBicubicOver_MMX and
// SampleBicubicOverAlpha_MMX: the same pixels, eight a step.
int32_t BicubicRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                        int32_t count, uint32_t alpha, BicubicKeptRows* kept);
int32_t BicubicOverRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                            int32_t count, uint32_t alpha, BicubicKeptRows* kept);
int32_t BicubicOverAlphaRow_AVX2(const int32_t* kernel, uint32_t* dst, const BitmapBits& src, uint32_t x, uint32_t step, int32_t y,
                              int32_t count, uint32_t alpha, BicubicKeptRows* kept);
int32_t BicubicBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x, uint32_t step,
                          uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept);
int32_t BicubicOverBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                              uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept);
int32_t BicubicOverAlphaBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                                   uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept);
// BicubicBlock_AVX2 with its exact halving pass and its rows from the kept
// sums through wide.
int32_t BicubicWideBlock_AVX2(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                              uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept,
                              const BicubicWideForms& wide);
// BicubicBlock_AVX2 with those two parts sixteen pixels a step (AVX-512).
int32_t BicubicBlock_AVX512(const int32_t* kernel, const BitmapBits& dst, const BitmapBits& src, uint32_t x,
                            uint32_t step, uint32_t y, uint32_t ystep, uint32_t alpha, BicubicKeptRows* kept);
#endif

}  // namespace owl
