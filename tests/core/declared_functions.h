// The functions the public header declares for this target, as the build
// lists them from the preprocessed header (cmake/DeclaredExports.cmake), so
// that an export check follows every declaration and platform condition.
#pragma once

#include <fstream>
#include <set>
#include <string>

namespace owltest {

struct DeclaredFunctions {
  std::set<std::string> c_named;    // extern "C": plain names
  std::set<std::string> cxx_named;  // C++ names, decorated by the compiler

  std::set<std::string> All() const {
    std::set<std::string> all = c_named;
    all.insert(cxx_named.begin(), cxx_named.end());
    return all;
  }
};

inline DeclaredFunctions ReadDeclaredFunctions() {
  std::ifstream in(OWL_DECLARED_EXPORTS_PATH);
  DeclaredFunctions out;
  std::string kind, name;
  while (in >> kind >> name) (kind == "C" ? out.c_named : out.cxx_named).insert(name);
  return out;
}

}  // namespace owltest
