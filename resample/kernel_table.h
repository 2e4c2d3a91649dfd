// Bicubic lookup tables: the selected cubic kernel at distances 0..2 in steps
// of 1/256, and a clamp of signed sums to a byte.
//
// The kernel table has two formats: the integer one holds each entry as the
// kernel value times 256 as an int32; the MMX one holds the value times 16384
// as an int16 w, stored as w | w << 16 so that one 32-bit load spreads over
// four 16-bit lanes. The integer samplers need the first format, the MMX
// samplers the second.
//
// Every table is built once, at load, and never written again: a mode change
// only publishes which table the next draw takes, and each draw reads the
// one table it took at its start, so draws on other threads see one
// consistent kernel.
#pragma once

#include <cstdint>

namespace owl {

constexpr int kKernelEntries = 513;
constexpr int kClampEntries = 768;

// Indexed by v in -256..511 it gives v clamped to 0..255.
extern const uint8_t* const ClampCenter;

// Initially 2; any value may be stored (0 strict cubic, 1 B-spline, every
// other value the cubic with a = -1).
int32_t KernelMode();
// Stores mode; false (and nothing done) when mode is already current.
bool SetKernelMode(int32_t mode);

// The table of mode in the MMX format (mmx) or the integer one.
const int32_t* KernelTableFor(int32_t mode, bool mmx);
// The table a draw starting now reads: the current mode's, in the format
// the MMX flag selects (always the integer one in a build without MMX
// forms); *mmx tells which, so the draw picks samplers that match.
const int32_t* CurrentKernelTable(bool* mmx);

double KernelCubic(double x);
double KernelCubicStrict(double x);
double KernelBSpline(double x);

}  // namespace owl
