// Compiled with the baseline flags only: the probe must run on any processor.
#include "core/cpu_features.h"

#if defined(OWL_X86) && defined(_MSC_VER)
#include <intrin.h>
#elif defined(OWL_X86)
#include <cpuid.h>
#endif

#include <atomic>

namespace owl {
namespace {

// The probed kCpu* flags with kProbed set once the probe has run. Atomic
// so that a probe racing a reader (a call made by another module's static
// constructor before the library's own start-up) is still well defined;
// every probe stores the same value.
constexpr uint32_t kProbed = 1u << 31;
std::atomic<uint32_t> g_features{0};
std::atomic<uint32_t> g_mask{kCpuAll};

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

// regs = EAX, EBX, ECX, EDX of CPUID leaf (sub-leaf 0).
void Cpuid(uint32_t leaf, uint32_t regs[4]) {
#if defined(_MSC_VER)
  int r[4];
  __cpuidex(r, int(leaf), 0);
  for (int i = 0; i < 4; ++i) regs[i] = uint32_t(r[i]);
#else
  unsigned a, b, c, d;
  __cpuid_count(leaf, 0, a, b, c, d);
  regs[0] = a, regs[1] = b, regs[2] = c, regs[3] = d;
#endif
}

// The vector flags of CPUID leaf 7 that the operating system lets run:
// AVX2 needs the instructions (EBX bit 5) and an operating system that saves
// the 256-bit registers (OSXSAVE, then XCR0 bits 1 and 2); AVX-512 F and BW
// (EBX bits 16 and 30) also need the mask and 512-bit registers saved (XCR0
// bits 5, 6 and 7).
uint32_t ProbeWideVectors(const uint32_t leaf1[4]) {
  uint32_t leaf0[4];
  Cpuid(0, leaf0);
  if (leaf0[0] < 7 || !(leaf1[2] & (1u << 27))) return 0;
  uint32_t xcr0_low;
#if defined(_MSC_VER)
  xcr0_low = uint32_t(_xgetbv(0));
#else
  uint32_t xcr0_high;
  __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
#endif
  if ((xcr0_low & 6) != 6) return 0;
  uint32_t leaf7[4];
  Cpuid(7, leaf7);
  if (!(leaf7[1] & (1u << 5))) return 0;
  const uint32_t avx512 = (1u << 16) | (1u << 30);
  return (leaf7[1] & avx512) == avx512 && (xcr0_low & 0xE6) == 0xE6 ? kCpuAVX2 | kCpuAVX512 : kCpuAVX2;
}
#endif  // OWL_X86

uint32_t Probe() {
  uint32_t flags = kProbed;
#if defined(OWL_X86)
  if (!HasCpuid()) return flags;
  uint32_t leaf1[4];
  Cpuid(1, leaf1);
  const uint32_t edx = leaf1[3];
  if (edx & 0x800000) flags |= kCpuMMX;
  if (edx & 0x2000000) flags |= kCpuSSE;
  if (edx & 0x4000000) flags |= kCpuSSE2;
  flags |= ProbeWideVectors(leaf1);
#endif
  return flags;
}

bool Has(uint32_t feature) {
  uint32_t flags = g_features.load(std::memory_order_relaxed);
  if (!(flags & kProbed)) {
    DetectCpuFeatures();
    flags = g_features.load(std::memory_order_relaxed);
  }
  return (flags & g_mask.load(std::memory_order_relaxed) & feature) != 0;
}

}  // namespace

void DetectCpuFeatures() {
  if (!(g_features.load(std::memory_order_relaxed) & kProbed)) g_features.store(Probe(), std::memory_order_relaxed);
}

bool HasMMX() { return Has(kCpuMMX); }
bool HasSSE() { return Has(kCpuSSE); }
bool HasSSE2() { return Has(kCpuSSE2); }
bool HasAVX2() { return Has(kCpuAVX2); }
bool HasAVX512() { return Has(kCpuAVX2) && Has(kCpuAVX512); }

uint32_t SetCpuMaskForTesting(uint32_t mask) { return g_mask.exchange(mask, std::memory_order_relaxed); }

}  // namespace owl
