#include "png_samples.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <random>

namespace owl_png_test {
namespace {

struct Output {
  std::vector<uint8_t>* bytes;
};

void Append(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<Output*>(png_get_io_ptr(png));
  out->bytes->insert(out->bytes->end(), data, data + count);
}
void Flush(png_structp) {}

struct Header {
  const Kind* kind;
  int width, height;
  const png_color* palette;
  int palette_size;
  const uint8_t* trns_alpha;  // palette
  int trns_count;
  png_color_16 trns_value;    // grey, RGB
  png_bytepp rows;
};

// No local with a destructor lives across setjmp here.
bool WritePng(png_structp png, png_infop info, Output* out, const Header& h) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, Append, Flush);
  png_set_IHDR(png, info, png_uint_32(h.width), png_uint_32(h.height), h.kind->depth, h.kind->colour,
               h.kind->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (h.kind->colour == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, h.palette, h.palette_size);
  if (h.kind->trns) {
    png_color_16 value = h.trns_value;
    png_set_tRNS(png, info, h.trns_alpha, h.trns_count, &value);
  }
  png_write_info(png, info);
  png_write_image(png, h.rows);
  png_write_end(png, nullptr);
  return true;
}

int Channels(int colour) {
  switch (colour) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

// A sample of depth bits as 8 bits, written apart from the loader's code:
// low depths by replication, 16 bits rounded to nearest.
uint32_t To8(uint32_t v, int depth) {
  if (depth == 16) return (v * 255 + 32767) / 65535;
  return v * 255 / ((1u << depth) - 1);
}

uint32_t Premultiply(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  const uint32_t s = a + 1;
  return a << 24 | ((r * s) >> 8) << 16 | ((g * s) >> 8) << 8 | ((b * s) >> 8);
}

}  // namespace

std::vector<Kind> AllKinds() {
  struct Depths { int colour; std::vector<int> depths; bool may_trns; };
  const Depths table[] = {
      {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, true},
      {PNG_COLOR_TYPE_RGB, {8, 16}, true},
      {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, true},
      {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}, false},
      {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}, false},
  };
  std::vector<Kind> kinds;
  for (const Depths& d : table)
    for (int depth : d.depths)
      for (bool trns : {false, true}) {
        if (trns && !d.may_trns) continue;
        for (bool interlaced : {false, true}) kinds.push_back({d.colour, depth, trns, interlaced});
      }
  return kinds;
}

std::string KindName(const Kind& kind) {
  static const char* const names[] = {"grey", "?", "rgb", "palette", "grey+alpha", "?", "rgba"};
  return std::string(names[kind.colour]) + " " + std::to_string(kind.depth) + "-bit" + (kind.trns ? " tRNS" : "") +
         (kind.interlaced ? " interlaced" : "");
}

Sample MakeSample(const Kind& kind, int width, int height, uint32_t seed) {
  std::mt19937 rng(seed);
  const int channels = Channels(kind.colour);
  const uint32_t max = (1u << kind.depth) - 1;
  auto random_sample = [&](bool alpha) {
    const uint32_t r = rng();
    if (alpha && r % 4 == 0) return 0u;
    if (alpha && r % 4 == 1) return max;
    return (r >> 8) % (max + 1);
  };

  std::vector<png_color> palette;
  std::vector<uint8_t> trns_alpha;
  if (kind.colour == PNG_COLOR_TYPE_PALETTE) {
    palette.resize(size_t(max) + 1);
    for (png_color& c : palette) c = {png_byte(rng()), png_byte(rng()), png_byte(rng())};
    if (kind.trns) {  // fewer alphas than entries: the rest are opaque
      trns_alpha.resize(palette.size() > 1 ? palette.size() - 1 : 1);
      for (uint8_t& a : trns_alpha) a = uint8_t(random_sample(true) * 255 / max);
      trns_alpha[0] = 0;
    }
  }

  // Raw samples, pixel by pixel; with tRNS every third pixel repeats the
  // first, whose value is the transparent one.
  std::vector<uint32_t> raw(size_t(width) * height * channels);
  for (size_t i = 0; i < size_t(width) * height; ++i)
    for (int c = 0; c < channels; ++c) {
      const bool alpha = (kind.colour & PNG_COLOR_MASK_ALPHA) && c == channels - 1;
      raw[i * channels + c] = kind.trns && i % 3 == 0 ? raw[c] : random_sample(alpha);
      if (kind.trns && i == 0) raw[c] = random_sample(false);
    }
  png_color_16 trns_value{};
  if (kind.trns && kind.colour == PNG_COLOR_TYPE_GRAY) trns_value.gray = png_uint_16(raw[0]);
  if (kind.trns && kind.colour == PNG_COLOR_TYPE_RGB) {
    trns_value.red = png_uint_16(raw[0]);
    trns_value.green = png_uint_16(raw[1]);
    trns_value.blue = png_uint_16(raw[2]);
  }

  // Packed rows: low depths most significant bits first, 16 bits big-endian.
  const size_t row_bytes = (size_t(width) * channels * kind.depth + 7) / 8;
  std::vector<uint8_t> packed(row_bytes * height);
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) {
    rows[y] = &packed[y * row_bytes];
    for (int i = 0; i < width * channels; ++i) {
      const uint32_t v = raw[size_t(y) * width * channels + i];
      if (kind.depth == 16) {
        rows[y][2 * i] = uint8_t(v >> 8);
        rows[y][2 * i + 1] = uint8_t(v);
      } else {
        const int bit = i * kind.depth;
        rows[y][bit / 8] |= uint8_t(v << (8 - kind.depth - bit % 8));
      }
    }
  }

  Sample s{{}, width, height, {}};
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    const uint32_t* p = &raw[i * channels];
    uint32_t r, g, b, a = 255;
    if (kind.colour == PNG_COLOR_TYPE_PALETTE) {
      const png_color& c = palette[p[0]];
      r = c.red, g = c.green, b = c.blue;
      if (p[0] < trns_alpha.size()) a = trns_alpha[p[0]];
    } else if (kind.colour & PNG_COLOR_MASK_COLOR) {
      r = To8(p[0], kind.depth), g = To8(p[1], kind.depth), b = To8(p[2], kind.depth);
      if (channels == 4) a = To8(p[3], kind.depth);
      if (kind.trns && p[0] == raw[0] && p[1] == raw[1] && p[2] == raw[2]) a = 0;
    } else {
      r = g = b = To8(p[0], kind.depth);
      if (channels == 2) a = To8(p[1], kind.depth);
      if (kind.trns && p[0] == raw[0]) a = 0;
    }
    s.pixels.push_back(Premultiply(r, g, b, a));
  }

  const Header header{&kind, width, height, palette.data(), int(palette.size()), trns_alpha.data(),
                      int(trns_alpha.size()), trns_value, rows.data()};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Output out{&s.file};
  if (!WritePng(png, info, &out, header)) s.file.clear();
  png_destroy_write_struct(&png, &info);
  return s;
}

long FindChunk(const std::vector<uint8_t>& file, const char* type) {
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint32_t length = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    if (std::equal(type, type + 4, file.begin() + long(at) + 4)) return long(at);
    at += 12 + size_t(length);
  }
  return -1;
}

void FixCrc(std::vector<uint8_t>& file, long chunk) {
  const size_t at = size_t(chunk);
  const uint32_t length = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
  const uint32_t crc = uint32_t(crc32(0, &file[at + 4], uInt(length + 4)));
  for (int i = 0; i < 4; ++i) file[at + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
}

void InsertChunk(std::vector<uint8_t>& file, long at, const char* type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk(12 + data.size());
  for (int i = 0; i < 4; ++i) {
    chunk[i] = uint8_t(data.size() >> (24 - 8 * i));
    chunk[4 + i] = uint8_t(type[i]);
  }
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  file.insert(file.begin() + at, chunk.begin(), chunk.end());
  FixCrc(file, at);
}

}  // namespace owl_png_test
