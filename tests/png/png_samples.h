// PNG files of every kind, written with libpng at test time, with the
// premultiplied pixels a loader must make of them; and the chunk surgery
// the corrupt cases are made with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace owl_png_test {

struct Kind {
  int colour;  // PNG_COLOR_TYPE_*
  int depth;
  bool trns;   // a tRNS chunk (palette, grey, RGB)
  bool interlaced;
};

// Every colour type and bit depth PNG allows, each with and without tRNS
// where it may have one, each plain and interlaced.
std::vector<Kind> AllKinds();
std::string KindName(const Kind& kind);

struct Sample {
  std::vector<uint8_t> file;
  int width;
  int height;
  std::vector<uint32_t> pixels;  // expected, premultiplied, row by row
};

// A seeded width x height picture of the kind: random samples, alpha often
// 0 or at its maximum, and (with tRNS) many pixels equal to the transparent
// grey or colour.
Sample MakeSample(const Kind& kind, int width, int height, uint32_t seed);

// Chunk surgery on a file: the offset of the first chunk of the type (-1
// when there is none), and the CRC of the chunk at an offset made right.
long FindChunk(const std::vector<uint8_t>& file, const char* type);
void FixCrc(std::vector<uint8_t>& file, long chunk);
// A chunk of the type and data, with its CRC, put at offset at.
void InsertChunk(std::vector<uint8_t>& file, long at, const char* type, const std::vector<uint8_t>& data);

}  // namespace owl_png_test
