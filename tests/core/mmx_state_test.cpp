// Every drawing export leaves the x87 register stack empty under every
// feature mask: MMX registers alias it, and an MMX form that misses
// _mm_empty() corrupts the host's later floating point on 32-bit x86 (where
// doubles live there). The tag word shows it on 64-bit builds too.
#include <cstdint>

#include <gtest/gtest.h>

#include "core/cpu_features.h"
#include "core/drawing_calls.h"
#include "test_util.h"

#if defined(OWL_X86) && defined(__GNUC__)

namespace {

// 0xFFFF when all eight x87 registers are empty; the state is put back.
uint16_t X87TagWord() {
  struct {
    uint16_t control, pad0, status, pad1, tags, pad2;
    uint32_t rest[4];
  } env;
  __asm__ volatile("fnstenv %0\n\tfldenv %0" : "=m"(env) : : "memory");
  return env.tags;
}

TEST(MmxState, EveryDrawingExportEndsWithAnEmptyX87Stack) {
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  const owltest::DrawingCalls drawing;
  ASSERT_TRUE(drawing.ok());
  for (uint32_t mask : owltest::kMasks) {
    owl::ScopedCpuMask scoped(mask);
    for (const auto& call : drawing.calls()) {
      call.second();
      ASSERT_EQ(X87TagWord(), 0xFFFF) << call.first << " under mask " << mask;
    }
  }
}

}  // namespace

#endif
