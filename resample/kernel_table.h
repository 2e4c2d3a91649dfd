// Bicubic lookup tables: the selected cubic kernel at distances 0..2 in steps
// of 1/256, and a clamp of signed sums to a byte.
//
// The kernel table has two formats, chosen by the MMX flag whenever it is
// built: without MMX each entry is the kernel value times 256 as an int32;
// with MMX it is the value times 16384 as an int16 w, stored as w | w << 16
// so that one 32-bit load spreads over four 16-bit lanes. The integer
// samplers need the first format, the MMX samplers the second.
#pragma once

#include <cstdint>

namespace owl {

constexpr int kKernelEntries = 513;
constexpr int kClampEntries = 768;

// Process-wide tables, zero until built.
extern int32_t KernelTable[kKernelEntries];
extern uint8_t ClampTable[kClampEntries];
// ClampTable + 256: indexed by v in -256..511 it gives v clamped to 0..255.
extern const uint8_t* const ClampCenter;

// Initially 2; any value may be stored (0 strict cubic, 1 B-spline, every
// other value the cubic with a = -1).
int32_t KernelMode();
// Stores mode and rebuilds the table; false (and nothing done) when mode is
// already current.
bool SetKernelMode(int32_t mode);

// Builds the kernel table on first use. It also rebuilds when the MMX flag
// no longer matches the format the table holds, which happens only when a
// test forces the features; in a process the flag never changes.
void BuildKernelTableIfNeeded();
// Fills ClampTable on first use.
void BuildClampTableIfNeeded();
// Probes the processor again and writes all 513 entries for the current mode
// in the format the MMX flag selects (the integer one in a build without MMX
// forms).
void BuildKernelTable();
// True when the table holds the 16384-scaled, doubled 16-bit format: the
// bicubic loops choose their samplers by it, so they always match the table.
bool KernelTableIsMmxFormat();

double KernelCubic(double x);
double KernelCubicStrict(double x);
double KernelBSpline(double x);

}  // namespace owl
