// Library start-up. The handle table is built by static construction; the
// attach step probes the processor before any export can be called.
#include "core/cpu_features.h"

#if defined(_WIN32)
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) owl::DetectCpuFeatures();
  return TRUE;  // thread attach/detach and process detach do nothing
}
#else
namespace {
__attribute__((constructor)) void AttachOwlgraphic() { owl::DetectCpuFeatures(); }
}  // namespace
#endif
