// The exported functions the public header declares, read from the header
// itself (every declaration has the form `OWL_API <type> OWL_CALL Name(`).
#pragma once

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace owltest {

inline std::set<std::string> DeclaredFunctions() {
  std::ifstream in(OWL_PUBLIC_HEADER_PATH);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  std::set<std::string> names;
  const std::regex decl(R"(OWL_API\s+[\w\s\*]+?OWL_CALL\s+(\w+)\s*\()");
  for (auto it = std::sregex_iterator(s.begin(), s.end(), decl); it != std::sregex_iterator(); ++it)
    names.insert((*it)[1]);
  return names;
}

}  // namespace owltest
