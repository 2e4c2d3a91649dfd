// Floating point with the same results on every x86 build.
//
// 64-bit builds compute in SSE registers, rounding every operation to its
// type. 32-bit builds compute in x87 registers with 64-bit mantissas (the
// processor may lack SSE2) and keep values there past a cast, so a double
// expression rounds twice and a float() may not round at all. Code whose
// results must match runs its double arithmetic under ScopedDoublePrecision,
// which makes the x87 round every operation to 53 bits, and passes each float
// it keeps through RoundToFloat. Elsewhere both cost nothing.
#pragma once

#include <cstdint>

#if (defined(__i386__) || defined(_M_IX86)) && defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
#define OWL_X87_MATH 1
#endif

namespace owl {

#if defined(OWL_X87_MATH)
class ScopedDoublePrecision {
 public:
  ScopedDoublePrecision() {
    __asm__ volatile("fnstcw %0" : "=m"(old_) : : "memory");
    const uint16_t cw = uint16_t((old_ & ~0x0300u) | 0x0200u);  // precision control: 53 bits
    __asm__ volatile("fldcw %0" : : "m"(cw) : "memory");
  }
  ~ScopedDoublePrecision() { __asm__ volatile("fldcw %0" : : "m"(old_) : "memory"); }
  ScopedDoublePrecision(const ScopedDoublePrecision&) = delete;
  ScopedDoublePrecision& operator=(const ScopedDoublePrecision&) = delete;

 private:
  uint16_t old_;
};

// The store is what rounds an x87 value to single precision.
inline float RoundToFloat(double v) {
  volatile float f = float(v);
  return f;
}
#else
class ScopedDoublePrecision {
 public:
  ScopedDoublePrecision() {}
  ScopedDoublePrecision(const ScopedDoublePrecision&) = delete;
  ScopedDoublePrecision& operator=(const ScopedDoublePrecision&) = delete;
};

inline float RoundToFloat(double v) { return float(v); }
#endif

}  // namespace owl
