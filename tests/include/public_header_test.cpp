// The public header is the library's reference: every exported function
// carries a comment of its own, directly above its declaration, and every
// named value a comment on its line; the version it states is the library's.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "owlgraphic.h"

namespace {

std::vector<std::string> HeaderLines() {
  std::ifstream in(OWL_PUBLIC_HEADER_PATH);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(PublicHeader, EveryExportHasItsOwnComment) {
  const std::vector<std::string> lines = HeaderLines();
  ASSERT_FALSE(lines.empty());
  const std::regex decl(R"(OWL_API\s+[\w\s\*]+?OWL_CALL\s+(\w+)\s*\()");
  const std::regex commentEnd(R"(\*/\s*$)");
  const std::regex banner(R"(^/\* ----)");
  int exports = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch m;
    if (!std::regex_search(lines[i], m, decl)) continue;
    ++exports;
    const std::string name = m[1];
    ASSERT_GT(i, 0u) << name;
    // The comment ends on the line above and is not a section banner or a
    // comment shared with the declaration before.
    EXPECT_TRUE(std::regex_search(lines[i - 1], commentEnd)) << name << " has no comment of its own";
    size_t start = i - 1;
    while (start > 0 && lines[start].find("/*") == std::string::npos) --start;
    EXPECT_FALSE(std::regex_search(lines[start], banner)) << name;
    for (size_t k = start; k < i; ++k) EXPECT_EQ(lines[k].find("OWL_CALL"), std::string::npos) << name;
  }
  EXPECT_GE(exports, 56);
}

TEST(PublicHeader, EveryNamedValueHasAComment) {
  const std::regex define(R"(^#define (OWL_[A-Z0-9_]+) )");
  int values = 0;
  for (const std::string& line : HeaderLines()) {
    std::smatch m;
    if (!std::regex_search(line, m, define) || m[1].str().rfind("OWL_VERSION", 0) == 0 || m[1] == "OWL_MAKE_VERSION")
      continue;
    ++values;
    EXPECT_NE(line.find("/* "), std::string::npos) << m[1] << " has no comment";
  }
  EXPECT_GE(values, 25);
}

TEST(PublicHeader, VersionIsTheLibrarysAndTheBuilds) {
  EXPECT_EQ(GetOwlVersion(), uint32_t(OWL_VERSION));
  EXPECT_EQ(OWL_VERSION, OWL_MAKE_VERSION(OWL_VERSION_MAJOR, OWL_VERSION_MINOR, OWL_VERSION_PATCH));
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u", GetOwlVersion() >> 16, (GetOwlVersion() >> 8) & 0xFF,
                GetOwlVersion() & 0xFF);
  EXPECT_STREQ(text, OWL_PROJECT_VERSION);  // CMake's, hence pkg-config's
#if OWL_VERSION != OWL_MAKE_VERSION(OWL_VERSION_MAJOR, OWL_VERSION_MINOR, OWL_VERSION_PATCH)
  ADD_FAILURE() << "the version macros must compare in the preprocessor";
#endif
}

TEST(PublicHeader, OpeningCommentCoversTheConventions) {
  const std::vector<std::string> lines = HeaderLines();
  std::string opening;
  for (const std::string& line : lines) {
    opening += line + "\n";
    if (line.find("*/") != std::string::npos) break;
  }
  for (const char* topic : {"Handles.", "Pixels.", "premultiplied", "Coordinates.", "logical", "device",
                            "The filter word.", "source-over", "colour key", "multiply", "The texture mode.",
                            "Results.", "Threads.", "one thread at a time"})
    EXPECT_NE(opening.find(topic), std::string::npos) << topic;
}

}  // namespace
