// Writes the fuzzer's seeds: a small file of every PNG kind, into the
// folder given (png_seeds <folder>).
#include <cstdio>
#include <string>

#include "png_samples.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int n = 0;
  for (const owl_png_test::Kind& kind : owl_png_test::AllKinds()) {
    const owl_png_test::Sample s = owl_png_test::MakeSample(kind, 5 + n % 4, 3 + n % 3, uint32_t(n + 1));
    const std::string path = std::string(argv[1]) + "/kind-" + std::to_string(n++) + ".png";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(s.file.data(), 1, s.file.size(), f) != s.file.size() || std::fclose(f) != 0) return 1;
  }
  return 0;
}
