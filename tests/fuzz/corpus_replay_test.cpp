// The fuzzer's checked-in corpus, replayed through the same interpreter as an
// ordinary test: every input keeps the invariants, and together the inputs
// call every function the public header declares.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/api_program.h"
#include "core/declared_functions.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(OWL_FUZZ_CORPUS_DIR))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replays every file once per process; later tests read the counts.
const owlfuzz::CallCounts& Replay() {
  static const owlfuzz::CallCounts counts = [] {
    owlfuzz::CallCounts c;
    const std::vector<fs::path> files = CorpusFiles();
    EXPECT_FALSE(files.empty());
    for (const fs::path& f : files) {
      const std::vector<uint8_t> data = ReadFile(f);
      owlfuzz::RunProgram(
          data.data(), data.size(),
          [&](const std::string& what) { ADD_FAILURE() << f.filename().string() << ": " << what; }, &c);
    }
    return c;
  }();
  return counts;
}

TEST(CorpusReplay, EveryInputKeepsTheInvariants) {
  const owlfuzz::CallCounts& counts = Replay();
  std::printf("calls made by the corpus, by function:\n");
  for (const auto& [name, n] : counts) std::printf("  %-20s %8llu\n", name.c_str(), (unsigned long long)n);
}

TEST(CorpusReplay, ReachesEveryExportedFunction) {
  const owlfuzz::CallCounts& counts = Replay();
  for (const std::string& name : owltest::ReadDeclaredFunctions().All()) {
    const auto it = counts.find(name);
    EXPECT_TRUE(it != counts.end() && it->second > 0)
        << name << " is never called by tests/fuzz/corpus (give it an entry in tests/fuzz/api_program.cpp "
        << "and regenerate the corpus with tests/fuzz/make_corpus.py)";
  }
}

}  // namespace
