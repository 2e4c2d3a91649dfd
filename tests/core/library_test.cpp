// The shared library as a host sees it: its export table, a fresh handle
// table at every load, the table at its limit, and its version.
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/declared_functions.h"
#include "owlgraphic.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OWL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define OWL_TEST_ASAN 1
#endif
#if defined(OWL_TEST_ASAN)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::set<std::string> ExportedFunctions() {
  const std::string cmd = std::string("nm -D -C --defined-only '") + OWL_SHARED_LIBRARY_PATH + "'";
  std::set<std::string> names;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return names;
  char line[1024];
  while (fgets(line, sizeof line, p)) {
    std::istringstream ls(line);
    std::string addr, type, name;
    ls >> addr >> type;
    std::getline(ls, name);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of("\r\n ") + 1);
    if (type != "T" && type != "W") continue;
    names.insert(name.substr(0, name.find('(')));  // decorated names: the function name
  }
  pclose(p);
  return names;
}

TEST(Library, ExportsExactlyTheDeclaredFunctions) {
  const std::set<std::string> declared = owltest::ReadDeclaredFunctions().All();
  const std::set<std::string> exported = ExportedFunctions();
  EXPECT_GE(declared.size(), 28u);
  EXPECT_EQ(exported, declared);
}

template <typename Fn>
Fn Sym(void* lib, const char* name) {
  return reinterpret_cast<Fn>(dlsym(lib, name));
}

TEST(Library, EveryLoadStartsWithAFreshHandleTable) {
  using CreateCanvasFn = HGCANVAS (*)(int, int, HGCANVAS);
  using CreateTextureFn = HGTEXTURE (*)(int, int);
  using DeleteCanvasFn = int (*)(HGCANVAS);
  for (int load = 0; load < 2; ++load) {
    void* lib = dlopen(OWL_SHARED_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto create_canvas = Sym<CreateCanvasFn>(lib, "CreateCanvas");
    auto create_texture = Sym<CreateTextureFn>(lib, "CreateTexture");
    auto delete_canvas = Sym<DeleteCanvasFn>(lib, "DeleteCanvas");
    ASSERT_TRUE(create_canvas && create_texture && delete_canvas);
    const HGCANVAS first = create_canvas(4, 4, HGCANVAS(0u));
    EXPECT_EQ(first.value, 0x01010001u);
    {
      // Objects still registered at unload are not destroyed: by design.
#if defined(OWL_TEST_ASAN)
      __lsan::ScopedDisabler no_leak_check;
#endif
      EXPECT_EQ(create_texture(2, 2).value, 0x01050002u);
    }
    EXPECT_EQ(delete_canvas(first), 1);
    EXPECT_EQ(create_canvas(1, 1, HGCANVAS(0u)).value, 0u + 0x02010001u);
    EXPECT_EQ(delete_canvas(HGCANVAS(0x02010001u)), 1);
    dlclose(lib);
  }
}

TEST(Library, ReportsTheVersionOfItsHeader) {
  void* lib = dlopen(OWL_SHARED_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  const auto version = Sym<uint32_t (*)()>(lib, "GetOwlVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version(), uint32_t(OWL_VERSION));
  dlclose(lib);
}

// Deletes a canvas or a texture by the tag of its handle.
int DeleteAny(uint32_t h) {
  return ((h >> 16) & 0xFF) == 1 ? DeleteCanvas(HGCANVAS(h)) : DeleteTexture(HGTEXTURE(h));
}

TEST(Library, FullTableRefusesEveryCreateAndReusesFreedSlots) {
  // Canvases and textures alternating, until the table is full.
  std::vector<uint32_t> live;
  for (;;) {
    const uint32_t h = live.size() % 2 ? CreateCanvas(1, 1, HGCANVAS(0u)).value : CreateTexture(1, 1).value;
    if (h == 0) break;
    live.push_back(h);
    ASSERT_LE(live.size(), 32767u);
  }
  EXPECT_EQ(live.size(), 32767u);
  const HGCANVAS some_canvas(live[1]);
  EXPECT_EQ(CreateCanvas(1, 1, HGCANVAS(0u)).value, 0u);
  EXPECT_EQ(CreateCanvas(3, 3, some_canvas).value, 0u);
  EXPECT_EQ(CreateTexture(2, 2).value, 0u);
  // The glow's scratch texture takes no handle: a full table does not stop
  // it (a 1x1 shape with any alpha glows opaque white).
  const HGTEXTURE some_texture(live[0]);
  BitmapBits bits{};
  ASSERT_EQ(LockTextureBits(some_texture, &bits, nullptr), 1);
  *static_cast<uint32_t*>(bits.bits) = 0x80402010u;
  EXPECT_EQ(LightTexture(some_texture), 1);
  EXPECT_EQ(*static_cast<uint32_t*>(bits.bits), 0xFFFFFFFFu);

  const uint32_t victim = live[live.size() / 2];
  ASSERT_EQ(DeleteAny(victim), 1);
  const HGCANVAS c = CreateCanvas(2, 2, HGCANVAS(0u));
  EXPECT_EQ(c.value & 0xFFFF, victim & 0xFFFF);
  // With the table full again, CanvasToTexture frees the canvas's slot
  // first, so the texture takes it over.
  const HGTEXTURE from_canvas = CanvasToTexture(c);
  EXPECT_EQ(from_canvas.value & 0xFFFF, victim & 0xFFFF);
  live[live.size() / 2] = from_canvas.value;

  std::mt19937 rng(7);
  std::shuffle(live.begin(), live.end(), rng);
  for (uint32_t h : live) ASSERT_EQ(DeleteAny(h), 1);
  const HGTEXTURE again = CreateTexture(1, 1);
  EXPECT_EQ(again.value & 0xFFFF, live.back() & 0xFFFF);  // the hint: last freed
  DeleteTexture(again);

  // Filled again: the last freed index first, then every index from 1 up,
  // each with the serial its slot has after its frees.
  std::vector<uint32_t> serial(32768);
  for (uint32_t h : live) serial[h & 0xFFFF] = h >> 24;
  serial[again.value & 0xFFFF] = again.value >> 24;
  std::vector<uint32_t> refill;
  for (size_t i = 0; i < live.size(); ++i) refill.push_back(CreateTexture(1, 1).value);
  EXPECT_EQ(CreateCanvas(1, 1, HGCANVAS(0u)).value, 0u);
  EXPECT_EQ(refill[0] & 0xFFFF, again.value & 0xFFFF);
  uint32_t expected_index = 0;
  for (size_t i = 1; i < refill.size(); ++i) {
    if (++expected_index == (again.value & 0xFFFF)) ++expected_index;
    ASSERT_EQ(refill[i] & 0xFFFF, expected_index);
  }
  for (uint32_t h : refill) ASSERT_EQ(h >> 24, (serial[h & 0xFFFF] + 1) & 0xFF) << std::hex << h;
  // Every handle of the first round is stale now.
  for (uint32_t h : live) ASSERT_EQ(DeleteAny(h), 0) << std::hex << h;
  for (uint32_t h : refill) ASSERT_EQ(DeleteTexture(HGTEXTURE(h)), 1);
}

}  // namespace
