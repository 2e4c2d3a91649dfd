// Compiled with the baseline flags only: the probe must run on any processor.
#include "core/cpu_features.h"

#if defined(OWL_X86) && defined(_MSC_VER)
#include <intrin.h>
#elif defined(OWL_X86)
#include <cpuid.h>
#endif

namespace owl {
namespace {

struct CpuFeatures {
  bool probed = false;
  bool mmx = false;
  bool sse = false;
  bool sse2 = false;
};

CpuFeatures g_features;
uint32_t g_mask = kCpuAll;

#if defined(OWL_X86)
// On 32-bit x86 the CPUID instruction exists only if the ID bit (21) of
// EFLAGS can be flipped; every x86-64 processor has it.
bool HasCpuid() {
#if defined(__x86_64__) || defined(_M_X64)
  return true;
#elif defined(_MSC_VER)
  unsigned before, after;
  __asm {
    pushfd
    pop eax
    mov before, eax
    xor eax, 0x200000
    push eax
    popfd
    pushfd
    pop eax
    mov after, eax
    push before
    popfd
  }
  return ((before ^ after) & 0x200000) != 0;
#else
  unsigned before, after;
  __asm__ volatile(
      "pushfl\n\t"
      "popl %0\n\t"
      "movl %0, %1\n\t"
      "xorl $0x200000, %1\n\t"
      "pushl %1\n\t"
      "popfl\n\t"
      "pushfl\n\t"
      "popl %1\n\t"
      "pushl %0\n\t"
      "popfl\n\t"
      : "=&r"(before), "=&r"(after)
      :
      : "cc");
  return ((before ^ after) & 0x200000) != 0;
#endif
}

uint32_t CpuidLeaf1Edx() {
#if defined(_MSC_VER)
  int regs[4];
  __cpuid(regs, 1);
  return uint32_t(regs[3]);
#else
  unsigned a, b, c, d;
  __cpuid(1, a, b, c, d);
  return d;
#endif
}
#endif  // OWL_X86

void ProbeOnce() {
  if (!g_features.probed) DetectCpuFeatures();
}

}  // namespace

void DetectCpuFeatures() {
  g_features.probed = true;
#if defined(OWL_X86)
  if (!HasCpuid()) return;
  const uint32_t edx = CpuidLeaf1Edx();
  if (edx & 0x800000) g_features.mmx = true;
  if (edx & 0x2000000) g_features.sse = true;
  if (edx & 0x4000000) g_features.sse2 = true;
#endif
}

bool HasMMX() {
  ProbeOnce();
  return g_features.mmx && (g_mask & kCpuMMX);
}

bool HasSSE() {
  ProbeOnce();
  return g_features.sse && (g_mask & kCpuSSE);
}

bool HasSSE2() {
  ProbeOnce();
  return g_features.sse2 && (g_mask & kCpuSSE2);
}

uint32_t SetCpuMaskForTesting(uint32_t mask) {
  const uint32_t old = g_mask;
  g_mask = mask;
  return old;
}

}  // namespace owl
