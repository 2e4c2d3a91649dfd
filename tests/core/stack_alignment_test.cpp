// 32-bit x86: a host may call with a stack aligned to 4 bytes only (the
// Windows convention). Every drawing export must still run its vector forms,
// whose 16-byte spills fault on a misaligned stack unless the library
// realigns its frames.
#include <cstdint>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "core/drawing_calls.h"
#include "test_util.h"

#if defined(__i386__) && defined(__GNUC__)

namespace {

// Runs fn(arg) with the stack pointer skew bytes below a 16-byte boundary at
// the call (the System V convention asks for 0).
__attribute__((noinline)) void CallWithSkew(void (*fn)(void*), void* arg, uint32_t skew) {
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "andl $-16, %%esp\n\t"
      "subl $12, %%esp\n\t"
      "subl %2, %%esp\n\t"
      "pushl %1\n\t"
      "call *%0\n\t"
      "movl %%esi, %%esp\n\t"
      :
      : "r"(fn), "r"(arg), "r"(skew)
      : "eax", "ecx", "edx", "esi", "memory", "cc");
}

void RunCall(void* call) { static_cast<const owltest::DrawingCalls::Call*>(call)->second(); }

TEST(StackAlignment, EveryDrawingExportRunsOnAStackAlignedTo4Bytes) {
  const owltest::DrawingCalls drawing;
  ASSERT_TRUE(drawing.ok());
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (uint32_t skew : {4u, 8u, 12u})
      for (const auto& call : drawing.calls()) {
        SCOPED_TRACE(call.first);
        CallWithSkew(RunCall, const_cast<owltest::DrawingCalls::Call*>(&call), skew);
      }
  }
}

}  // namespace

#endif
