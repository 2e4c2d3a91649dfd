// The functions the public header declares, read from the header itself, so
// that an export check follows every declaration added to it.
#pragma once

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
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
  std::ifstream in(OWL_PUBLIC_HEADER_PATH);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  DeclaredFunctions out;
  const std::regex decl(R"((OWL_EXTERN_C\s+)?OWL_API\s+[\w\s\*]+?OWL_CALL\s+(\w+)\s*\()");
  for (auto it = std::sregex_iterator(s.begin(), s.end(), decl); it != std::sregex_iterator(); ++it)
    ((*it)[1].matched ? out.c_named : out.cxx_named).insert((*it)[2]);
  return out;
}

}  // namespace owltest
