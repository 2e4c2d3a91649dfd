// Renders a small user-interface scene with owlgraphic and writes it as a
// PNG file: owl-demo <output.png>.
#include <png.h>

#include <cstdio>
#include <cstdint>
#include <vector>

#include "owlgraphic.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;
constexpr uint32_t kCopy = 0x00000000u, kMultiply = 0x03000000u, kOr = 0x04000000u;

owlRect R(int l, int t, int r, int b) { return owlRect{l, t, r, b}; }

void Solid(HGCANVAS c, uint32_t color, owlRect r, uint32_t op = kCopy) { FillSolidRectEx(c, color, &r, op); }
void Blend(HGCANVAS c, uint32_t color, owlRect r) { FillSolidRect(c, color, &r); }
void Gradient(HGCANVAS c, uint32_t from, uint32_t to, owlRect r, int direction) {
  FillGradualRect(c, from, to, &r, direction);
}

// A raised panel: a multiplied drop shadow, a border and a body gradient.
void Panel(HGCANVAS c, owlRect r, uint32_t top, uint32_t bottom) {
  Solid(c, 0xFFA8A8B0u, R(r.left + 3, r.top + 4, r.right + 3, r.bottom + 4), kMultiply);
  Solid(c, 0xFFB9C2CFu, R(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1));
  Gradient(c, top, bottom, r, 1);
}

void DrawScene(HGCANVAS c) {
  // Desktop and window.
  Gradient(c, 0xFF16202Eu, 0xFF3B5474u, R(0, 0, kWidth, kHeight), 1);
  Blend(c, 0x40000000u, R(0, 250, kWidth, kHeight));  // darker floor, translucent
  Solid(c, 0xFF606060u, R(34, 30, 452, 286), kMultiply);  // window shadow
  Solid(c, 0xFFEEF1F5u, R(28, 22, 446, 278));

  // Title bar: a horizontal gradient with a translucent gloss on its top half.
  Gradient(c, 0xFF2D6BD2u, 0xFF8050D0u, R(28, 22, 446, 52), 2);
  Blend(c, 0x33333333u, R(28, 22, 446, 37));
  const uint32_t lights[3] = {0xFF50C060u, 0xFFE0B040u, 0xFFE05050u};
  for (int i = 0; i < 3; ++i) {
    Solid(c, 0xFF1C2440u, R(389 + 18 * i, 30, 403 + 18 * i, 44), kMultiply);
    Solid(c, lights[i], R(390 + 18 * i, 31, 402 + 18 * i, 43));
    Blend(c, 0x40404040u, R(390 + 18 * i, 31, 402 + 18 * i, 36));
  }

  // Sidebar: list rows, a selected row with its own gradient, a hovered row
  // tinted by an OR with blue.
  Solid(c, 0xFFDDE3EBu, R(28, 52, 140, 278));
  for (int i = 0; i < 7; ++i) {
    const int y = 62 + 28 * i;
    if (i == 1) {
      Gradient(c, 0xFF4F8DE8u, 0xFF2D63C0u, R(34, y, 134, y + 22), 1);
    } else {
      Solid(c, i == 3 ? 0xFFE0E8F0u : 0xFFF7F9FCu, R(34, y, 134, y + 22));
      if (i == 3) Solid(c, 0x0010100Fu, R(34, y, 134, y + 22), kOr);
    }
    Solid(c, i == 1 ? 0xFFFFFFFFu : 0xFF8A96A8u, R(42, y + 8, 42 + 40 + (i * 13) % 36, y + 14));
  }
  Solid(c, 0xFFB9C2CFu, R(140, 52, 141, 278));

  // Content: cards with shadows and gradients, one dimmed as disabled.
  Panel(c, R(156, 66, 290, 150), 0xFFFFFFFFu, 0xFFE4EAF2u);
  Panel(c, R(304, 66, 432, 150), 0xFFFFF4E0u, 0xFFF6D9A8u);
  Panel(c, R(156, 164, 432, 214), 0xFFFFFFFFu, 0xFFE8EDF3u);
  Gradient(c, 0xFF38B27Au, 0xFF2A8CCFu, R(168, 80, 278, 92), 2);
  Solid(c, 0xFFCBD3DEu, R(168, 102, 262, 108));
  Solid(c, 0xFFCBD3DEu, R(168, 116, 240, 122));
  Gradient(c, 0xFFE8913Au, 0xFFD0503Au, R(316, 80, 420, 92), 2);
  Solid(c, 0xFFD9B88Au, R(316, 102, 400, 108));
  Solid(c, 0xFFA0A0A8u, R(304, 66, 432, 150), kMultiply);  // disabled card

  // Progress bar: track, gradient fill, gloss.
  Solid(c, 0xFFD3DAE4u, R(168, 184, 420, 196));
  Gradient(c, 0xFF2D6BD2u, 0xFF38B27Au, R(168, 184, 340, 196), 2);
  Blend(c, 0x40404040u, R(168, 184, 340, 189));

  // A translucent toast over everything, with a fading edge.
  Blend(c, 0xB0141A24u, R(250, 228, 460, 270));
  Gradient(c, 0x00000000u, 0xB0141A24u, R(220, 228, 250, 270), 2);
  Solid(c, 0xFF38B27Au, R(262, 240, 274, 258));
  Solid(c, 0xFFC8D0DCu, R(284, 242, 420, 247));
  Solid(c, 0xFF7D8898u, R(284, 252, 380, 256));
}

// Writes the canvas as 8-bit RGBA, colour divided by alpha again.
bool WritePng(HGCANVAS c, const char* path) {
  BitmapBits bits{};
  const owlRect all = R(0, 0, kWidth, kHeight);
  if (!LockCanvasBits(c, &bits, &all)) return false;
  std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
  for (int y = 0; y < kHeight; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(bits.bits) + y * bits.pitch);
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = row[x], a = p >> 24;
      uint8_t* out = &rgba[(size_t(y) * kWidth + x) * 4];
      for (int k = 0; k < 3; ++k) {
        const uint32_t v = (p >> (16 - 8 * k)) & 0xFF;
        const uint32_t straight = a ? (v * 255 + a / 2) / a : 0;
        out[k] = uint8_t(straight > 255 ? 255 : straight);
      }
      out[3] = uint8_t(a);
    }
  }
  UnlockCanvasBits(c);

  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) png_write_row(png, &rgba[size_t(y) * kWidth * 4]);
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  HGCANVAS canvas = CreateCanvas(kWidth, kHeight, HGCANVAS(0u));
  if (canvas.value == 0) {
    std::fprintf(stderr, "cannot create the canvas\n");
    return 1;
  }
  DrawScene(canvas);
  const bool ok = WritePng(canvas, argv[1]);
  DeleteCanvas(canvas);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
