// A host that deletes the library's objects from a global object's
// destructor, after main has returned: a canvas, a texture and a device
// surface made in main, then a texture made and deleted at exit. Built three
// ways (tests/CMakeLists.txt): with the library's objects linked after the
// host's own (their static state is built after the host's global, so it
// would be destroyed first), against the shared library, and loading the
// shared library with dlopen in main. Exits with 1 when a call fails; the
// sanitizer build reports any use of freed state.
#include <cstdio>
#include <cstdlib>

#include "owlgraphic.h"

#if defined(OWL_EXIT_DLOPEN)
#include <dlfcn.h>
#endif

namespace {

#define OWL_EXIT_FUNCTIONS(X)                                                                              \
  X(CreateCanvas)                                                                                          \
  X(DeleteCanvas) X(CreateTexture) X(DeleteTexture) X(FillSolidRect) X(DrawTexture) X(CreateDeviceSurface) \
      X(DeleteDeviceSurface) X(GdiTransCanvas)

struct Api {
#define OWL_EXIT_POINTER(name) decltype(&::name) name = nullptr;
  OWL_EXIT_FUNCTIONS(OWL_EXIT_POINTER)
#undef OWL_EXIT_POINTER
} api;

bool Load(const char* path) {
#if defined(OWL_EXIT_DLOPEN)
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);  // never closed: the host keeps using it
  if (!library) return false;
#define OWL_EXIT_RESOLVE(name) api.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));
  OWL_EXIT_FUNCTIONS(OWL_EXIT_RESOLVE)
#undef OWL_EXIT_RESOLVE
#else
  (void)path;
#define OWL_EXIT_LINKED(name) api.name = &::name;
  OWL_EXIT_FUNCTIONS(OWL_EXIT_LINKED)
#undef OWL_EXIT_LINKED
#endif
#define OWL_EXIT_CHECK(name) \
  if (!api.name) return false;
  OWL_EXIT_FUNCTIONS(OWL_EXIT_CHECK)
#undef OWL_EXIT_CHECK
  return true;
}

void Fail(const char* what) {
  std::fprintf(stderr, "exit host: %s\n", what);
  std::_Exit(1);
}

// Constructed before main, so destroyed after everything the library builds
// later (at load for the dlopen and static forms, on first use otherwise).
struct Leftovers {
  HGCANVAS canvas = HGCANVAS(0u);
  HGTEXTURE texture = HGTEXTURE(0u);
  HDC surface = nullptr;
  ~Leftovers() {
    if (!api.DeleteTexture) return;  // main failed before loading
    const owlRect all{0, 0, 8, 8};
    if (api.DrawTexture(canvas, &all, texture, 0) != 1) Fail("draw at exit");
    if (api.GdiTransCanvas(surface, &all, canvas, &all) != 1) Fail("copy to the device at exit");
    if (api.DeleteTexture(texture) != 1 || api.DeleteCanvas(canvas) != 1 || api.DeleteDeviceSurface(surface) != 1)
      Fail("delete at exit");
    if (api.DeleteTexture(texture) != 0 || api.DeleteCanvas(canvas) != 0 || api.DeleteDeviceSurface(surface) != 0)
      Fail("second delete at exit");
    const HGTEXTURE late = api.CreateTexture(4, 4);
    if (late.value == 0 || api.DeleteTexture(late) != 1) Fail("create at exit");
    std::fputs("exit host: clean\n", stderr);
  }
} g_leftovers;

}  // namespace

int main(int argc, char** argv) {
  if (!Load(argc > 1 ? argv[1] : "")) Fail("load");
  g_leftovers.canvas = api.CreateCanvas(8, 8, HGCANVAS(0u));
  g_leftovers.texture = api.CreateTexture(8, 8);
  g_leftovers.surface = api.CreateDeviceSurface(8, 8);
  const owlRect all{0, 0, 8, 8};
  if (g_leftovers.canvas.value == 0 || g_leftovers.texture.value == 0 || !g_leftovers.surface ||
      api.FillSolidRect(g_leftovers.canvas, 0x80402010u, &all) != 1)
    Fail("create");
  return 0;
}
