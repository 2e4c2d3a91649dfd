// Processor features: MMX, SSE and SSE2 flags probed once and cached, and
// AVX2 and AVX-512 flags (the instructions and the operating system's saving
// of the 256-bit, and of the 512-bit and mask, registers).
//
// Every routine with vector forms asks Has*() per call and takes the highest
// form the flags allow; the plain forms are the reference. AVX2 never changes
// which form runs: where the flags select an SSE2, SSE or MMX form and the
// processor also has AVX2, that form's pixels may be computed eight at a time
// by its AVX2 kernel. AVX-512 (F and BW) likewise never changes the form:
// where an AVX2 kernel runs, a routine may compute sixteen pixels at a time
// instead by its AVX-512 kernel.
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#define OWL_X86 1
// MSVC has no __m64 on x64; GCC and Clang have it on both x86 sizes.
#if !(defined(_MSC_VER) && defined(_M_X64))
#define OWL_HAVE_MMX 1
#endif
#endif

namespace owl {

enum : uint32_t {
  kCpuMMX = 1u << 0,
  kCpuSSE = 1u << 1,
  kCpuSSE2 = 1u << 2,
  kCpuAVX2 = 1u << 3,
  kCpuAVX512 = 1u << 4,
  kCpuAll = kCpuMMX | kCpuSSE | kCpuSSE2 | kCpuAVX2 | kCpuAVX512,
};

// Sets the flags from CPUID leaf 1 the first time it runs (at load, from the
// library's start-up); later calls change nothing, so the flags never change
// under a thread reading them.
void DetectCpuFeatures();
// Each probes if the start-up has not yet run. They report (probed flags &
// test mask).
bool HasMMX();
bool HasSSE();
bool HasSSE2();
bool HasAVX2();
// AVX-512 F and BW, reported only together with AVX2.
bool HasAVX512();

// Tests only, never exported: limits what Has*() report to mask and returns
// the previous mask. Not for use while other threads draw.
uint32_t SetCpuMaskForTesting(uint32_t mask);

class ScopedCpuMask {
 public:
  explicit ScopedCpuMask(uint32_t mask) : old_(SetCpuMaskForTesting(mask)) {}
  ~ScopedCpuMask() { SetCpuMaskForTesting(old_); }
  ScopedCpuMask(const ScopedCpuMask&) = delete;
  ScopedCpuMask& operator=(const ScopedCpuMask&) = delete;

 private:
  uint32_t old_;
};

}  // namespace owl
