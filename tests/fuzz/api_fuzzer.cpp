// libFuzzer entry: each input is a program of calls (api_program.h). A broken
// invariant aborts with the call that broke it; set OWL_FUZZ_TRACE to print
// every call of an input before it runs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/api_program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool trace = std::getenv("OWL_FUZZ_TRACE") != nullptr;
  owlfuzz::RunProgram(
      data, size,
      [](const std::string& what) {
        std::fprintf(stderr, "==owl== invariant broken: %s\n", what.c_str());
        std::abort();
      },
      nullptr, trace);
  return 0;
}
