// owlgraphic.dll as a Windows host sees it: the export directory, the DLLs
// it needs beside it, and a fresh handle table at every load.
#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/declared_functions.h"
#include "owlgraphic.h"

namespace {

// The build path as Windows sees it (Wine maps the Unix root to Z:).
std::string LibraryPath() {
  std::string path = OWL_SHARED_LIBRARY_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
  return path;
}

class LoadedLibrary {
 public:
  LoadedLibrary() : module_(LoadLibraryA(LibraryPath().c_str())) {}
  ~LoadedLibrary() {
    if (module_) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  HMODULE get() const { return module_; }
  template <typename Fn>
  Fn Sym(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  // The image's data directory entry, or null.
  template <typename T>
  const T* Directory(int index) const {
    const auto* base = reinterpret_cast<const uint8_t*>(module_);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[index];
    return dir.VirtualAddress ? reinterpret_cast<const T*>(base + dir.VirtualAddress) : nullptr;
  }
  const char* At(DWORD rva) const { return reinterpret_cast<const char*>(module_) + rva; }

 private:
  HMODULE module_;
};

std::string Demangled(const std::string& name) {
  int status = 0;
  char* text = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  std::string out = status == 0 && text ? text : name;
  std::free(text);
  return out.substr(0, out.find('('));
}

// The function a Microsoft-decorated name ("?Name@@...") stands for.
std::string MsvcBaseName(const std::string& name) { return name.substr(1, name.find("@@") - 1); }

// C++-named functions carry GCC's name and Microsoft's, both naming the same
// code; scripts/check-dll-exports.sh checks Microsoft's against what clang
// in Microsoft mode imports.
TEST(WindowsLibrary, ExportsExactlyTheDeclaredFunctionsUnderTheirNames) {
  LoadedLibrary lib;
  ASSERT_NE(lib.get(), nullptr) << "LoadLibrary failed: " << GetLastError();
  const auto* exports = lib.Directory<IMAGE_EXPORT_DIRECTORY>(IMAGE_DIRECTORY_ENTRY_EXPORT);
  ASSERT_NE(exports, nullptr);
  const auto* names = reinterpret_cast<const DWORD*>(lib.At(exports->AddressOfNames));
  std::set<std::string> plain, gcc, msvc;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const std::string name = lib.At(names[i]);
    if (name.rfind("_Z", 0) == 0) {
      const std::string base = Demangled(name);
      gcc.insert(base);
      for (DWORD j = 0; j < exports->NumberOfNames; ++j) {
        const std::string other = lib.At(names[j]);
        if (other[0] == '?' && MsvcBaseName(other) == base)
          EXPECT_EQ(lib.Sym<void*>(other.c_str()), lib.Sym<void*>(name.c_str())) << other;
      }
    } else if (name[0] == '?') {
      msvc.insert(MsvcBaseName(name));
    } else {
      plain.insert(name);
    }
  }
  const owltest::DeclaredFunctions declared = owltest::ReadDeclaredFunctions();
  EXPECT_GE(declared.c_named.size(), 28u);
  EXPECT_EQ(plain, declared.c_named);
  EXPECT_EQ(gcc, declared.cxx_named);
  EXPECT_EQ(msvc, declared.cxx_named);
  // Each C++-named function once under each name, none by ordinal only.
  EXPECT_EQ(exports->NumberOfNames, plain.size() + 2 * declared.cxx_named.size());
  EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
}

// A host copies owlgraphic.dll alone: nothing of the compiler's runtime may
// be needed beside it.
TEST(WindowsLibrary, ImportsOnlySystemLibraries) {
  LoadedLibrary lib;
  ASSERT_NE(lib.get(), nullptr);
  const auto* imports = lib.Directory<IMAGE_IMPORT_DESCRIPTOR>(IMAGE_DIRECTORY_ENTRY_IMPORT);
  ASSERT_NE(imports, nullptr);
  const std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "gdi32.dll", "user32.dll"};
  for (; imports->Name; ++imports) {
    std::string name = lib.At(imports->Name);
    for (char& c : name) c = char(tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(system.count(name) || name.rfind("api-ms-win-crt-", 0) == 0) << name;
  }
}

TEST(WindowsLibrary, EveryLoadStartsWithAFreshHandleTable) {
  using CreateCanvasFn = HGCANVAS(OWL_CALL*)(int, int, HGCANVAS);
  using DeleteCanvasFn = int(OWL_CALL*)(HGCANVAS);
  for (int load = 0; load < 2; ++load) {
    LoadedLibrary lib;
    ASSERT_NE(lib.get(), nullptr);
    auto create_canvas = lib.Sym<CreateCanvasFn>("CreateCanvas");
    auto delete_canvas = lib.Sym<DeleteCanvasFn>("DeleteCanvas");
    ASSERT_TRUE(create_canvas && delete_canvas);
    const HGCANVAS first = create_canvas(4, 4, HGCANVAS(0u));
    EXPECT_EQ(first.value, 0x01010001u);
    // Left alive on purpose: the next load must not know it.
    EXPECT_EQ(create_canvas(2, 2, HGCANVAS(0u)).value, 0x01010002u);
    EXPECT_EQ(delete_canvas(first), 1);
  }
}

}  // namespace
