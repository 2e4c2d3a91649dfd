// Renders a small user-interface scene with owlgraphic and writes it as a
// PNG file: owl-demo <output.png>.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "owlgraphic.h"
#include "owlgraphic_png.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 1030;  // window scene, textures from y 300, effects from y 560, shadows from y 820

owlRect R(int l, int t, int r, int b) { return owlRect{l, t, r, b}; }
uint32_t MakeARGBValue(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

void Solid(HGCANVAS c, uint32_t color, owlRect r, uint32_t op = OWL_FILL_COPY) { FillSolidRectEx(c, color, &r, op); }
void Blend(HGCANVAS c, uint32_t color, owlRect r) { FillSolidRect(c, color, &r); }
void Gradient(HGCANVAS c, uint32_t from, uint32_t to, owlRect r, int direction) {
  FillGradualRect(c, from, to, &r, direction);
}

// A raised panel: a multiplied drop shadow, a border and a body gradient.
void Panel(HGCANVAS c, owlRect r, uint32_t top, uint32_t bottom) {
  Solid(c, 0xFFA8A8B0u, R(r.left + 3, r.top + 4, r.right + 3, r.bottom + 4), OWL_FILL_MULTIPLY);
  Solid(c, 0xFFB9C2CFu, R(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1));
  Gradient(c, top, bottom, r, OWL_GRADIENT_TOP_TO_BOTTOM);
}

void DrawScene(HGCANVAS c) {
  // Desktop and window.
  Gradient(c, 0xFF16202Eu, 0xFF3B5474u, R(0, 0, kWidth, kHeight), OWL_GRADIENT_TOP_TO_BOTTOM);
  Blend(c, 0x40000000u, R(0, 250, kWidth, kHeight));  // darker floor, translucent
  Solid(c, 0xFF606060u, R(34, 30, 452, 286), OWL_FILL_MULTIPLY);  // window shadow
  Solid(c, 0xFFEEF1F5u, R(28, 22, 446, 278));

  // Title bar: a horizontal gradient with a translucent gloss on its top half.
  Gradient(c, 0xFF2D6BD2u, 0xFF8050D0u, R(28, 22, 446, 52), OWL_GRADIENT_LEFT_TO_RIGHT);
  Blend(c, 0x33333333u, R(28, 22, 446, 37));
  const uint32_t lights[3] = {0xFF50C060u, 0xFFE0B040u, 0xFFE05050u};
  for (int i = 0; i < 3; ++i) {
    Solid(c, 0xFF1C2440u, R(389 + 18 * i, 30, 403 + 18 * i, 44), OWL_FILL_MULTIPLY);
    Solid(c, lights[i], R(390 + 18 * i, 31, 402 + 18 * i, 43));
    Blend(c, 0x40404040u, R(390 + 18 * i, 31, 402 + 18 * i, 36));
  }

  // Sidebar: list rows, a selected row with its own gradient, a hovered row
  // tinted by an OR with blue.
  Solid(c, 0xFFDDE3EBu, R(28, 52, 140, 278));
  for (int i = 0; i < 7; ++i) {
    const int y = 62 + 28 * i;
    if (i == 1) {
      Gradient(c, 0xFF4F8DE8u, 0xFF2D63C0u, R(34, y, 134, y + 22), OWL_GRADIENT_TOP_TO_BOTTOM);
    } else {
      Solid(c, i == 3 ? 0xFFE0E8F0u : 0xFFF7F9FCu, R(34, y, 134, y + 22));
      if (i == 3) Solid(c, 0x0010100Fu, R(34, y, 134, y + 22), OWL_FILL_OR);
    }
    Solid(c, i == 1 ? 0xFFFFFFFFu : 0xFF8A96A8u, R(42, y + 8, 42 + 40 + (i * 13) % 36, y + 14));
  }
  Solid(c, 0xFFB9C2CFu, R(140, 52, 141, 278));

  // Content: cards with shadows and gradients, one dimmed as disabled.
  Panel(c, R(156, 66, 290, 150), 0xFFFFFFFFu, 0xFFE4EAF2u);
  Panel(c, R(304, 66, 432, 150), 0xFFFFF4E0u, 0xFFF6D9A8u);
  Panel(c, R(156, 164, 432, 214), 0xFFFFFFFFu, 0xFFE8EDF3u);
  Gradient(c, 0xFF38B27Au, 0xFF2A8CCFu, R(168, 80, 278, 92), OWL_GRADIENT_LEFT_TO_RIGHT);
  Solid(c, 0xFFCBD3DEu, R(168, 102, 262, 108));
  Solid(c, 0xFFCBD3DEu, R(168, 116, 240, 122));
  Gradient(c, 0xFFE8913Au, 0xFFD0503Au, R(316, 80, 420, 92), OWL_GRADIENT_LEFT_TO_RIGHT);
  Solid(c, 0xFFD9B88Au, R(316, 102, 400, 108));
  Solid(c, 0xFFA0A0A8u, R(304, 66, 432, 150), OWL_FILL_MULTIPLY);  // disabled card

  // Progress bar: track, gradient fill, gloss.
  Solid(c, 0xFFD3DAE4u, R(168, 184, 420, 196));
  Gradient(c, 0xFF2D6BD2u, 0xFF38B27Au, R(168, 184, 340, 196), OWL_GRADIENT_LEFT_TO_RIGHT);
  Blend(c, 0x40404040u, R(168, 184, 340, 189));

  // A translucent toast over everything, with a fading edge.
  Blend(c, 0xB0141A24u, R(250, 228, 460, 270));
  Gradient(c, 0x00000000u, 0xB0141A24u, R(220, 228, 250, 270), OWL_GRADIENT_LEFT_TO_RIGHT);
  Solid(c, 0xFF38B27Au, R(262, 240, 274, 258));
  Solid(c, 0xFFC8D0DCu, R(284, 242, 420, 247));
  Solid(c, 0xFF7D8898u, R(284, 252, 380, 256));
}

// ---- Textures made in code, and the ways of drawing them -----------------

// A premultiplied pixel from straight colour and alpha.
uint32_t Pre(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
}

// A texture of w x h texels, each from pixel(x, y), with the given filter.
template <typename Fn>
HGTEXTURE MakeTexture(int w, int h, uint32_t filter, Fn pixel) {
  HGTEXTURE t = CreateTexture(w, h);
  BitmapBits bits{};
  if (t.value == 0 || !LockTextureBits(t, &bits, nullptr)) return t;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits.bits) + y * bits.pitch);
    for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
  }
  UnlockTextureBits(t);
  SetTextureFilter(t, filter);
  return t;
}

// A 32x32 button face: rounded corners left transparent, a dark border, a
// vertical body gradient and a gloss on the upper half.
HGTEXTURE ButtonFace(uint32_t r, uint32_t g, uint32_t b) {
  return MakeTexture(32, 32, OWL_BLEND_SOURCE_OVER, [=](int x, int y) {
    const int cx = x < 4 ? 4 - x : x > 27 ? x - 27 : 0, cy = y < 4 ? 4 - y : y > 27 ? y - 27 : 0;
    const int d2 = cx * cx + cy * cy;
    if (d2 > 17) return 0u;
    if (d2 > 10 || x == 0 || y == 0 || x == 31 || y == 31) return Pre(255, r / 3, g / 3, b / 3);
    const uint32_t shade = 255 - uint32_t(y) * 3;
    uint32_t rr = r * shade / 255, gg = g * shade / 255, bb = b * shade / 255;
    if (y < 15) rr += (255 - rr) / 3, gg += (255 - gg) / 3, bb += (255 - bb) / 3;
    return Pre(255, rr, gg, bb);
  });
}

// A round icon with a transparent surround and a soft edge.
HGTEXTURE Icon(int size) {
  return MakeTexture(size, size, OWL_BLEND_SOURCE_OVER, [=](int x, int y) {
    const double c = (size - 1) / 2.0, dx = x - c, dy = y - c, r = c;
    const double d = dx * dx + dy * dy;
    if (d > r * r) return 0u;
    const uint32_t a = d > (r - 1.5) * (r - 1.5) ? 140u : 255u;
    const bool ring = d < (r * 0.45) * (r * 0.45);
    return ring ? Pre(a, 255, 255, 255) : Pre(a, uint32_t(80 + 120 * x / size), 150, uint32_t(230 - 100 * y / size));
  });
}

void DrawTextures(HGCANVAS c) {
  // Background: a diagonal stripe tiled over the whole band.
  HGTEXTURE stripes =
      MakeTexture(16, 16, OWL_BLEND_COPY, [](int x, int y) { return ((x + y) & 15) < 8 ? 0xFF2A3140u : 0xFF323A4Cu; });
  const owlRect band = R(0, 300, kWidth, kHeight);
  DrawTextureTile(c, &band, stripes, nullptr, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE);

  // Header: a top band (highlight line and bevel) over a body stretched
  // from the last 10 rows, tiled across.
  HGTEXTURE header = MakeTexture(8, 24, OWL_BLEND_COPY, [](int x, int y) {
    if (y == 0) return 0xFFB8C8E8u;
    if (y < 6) return x == 7 ? 0xFF3A5078u : 0xFF6A88C0u;
    return MakeARGBValue(255, 60 - (y - 6) * 2, 80 - (y - 6) * 2, 130 - (y - 6) * 3);
  });
  const owlRect headerRect = R(0, 300, kWidth, 326), headerMargins = R(0, 6, 0, 10);
  DrawTextureTopTile(c, &headerRect, header, nullptr, &headerMargins, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE);

  // Nine-grid buttons of several sizes from one 32x32 face; the last one
  // keeps its middle as a solid fill, set through the texture's own mode.
  HGTEXTURE blue = ButtonFace(70, 130, 230), green = ButtonFace(60, 190, 110);
  const owlRect margins = R(6, 6, 6, 6);
  const owlRect buttons[] = {R(16, 340, 76, 364), R(16, 374, 136, 406), R(16, 416, 216, 476)};
  for (const owlRect& b : buttons)
    DrawTexture9Grid(c, &b, blue, nullptr, &margins, OWL_RESAMPLE_BILINEAR, false, OWL_ALPHA_OPAQUE);
  const TextureMode solidMiddle{OWL_MODE_NINE_GRID_SOLID, {6, 6, 6, 6}};
  SetTextureMode(green, &solidMiddle);
  const owlRect wide = R(16, 488, 216, 540);
  DrawTextureEx(c, &wide, green, OWL_RESAMPLE_BILINEAR, OWL_ALPHA_OPAQUE);
  // The same face stretched whole, for comparison: its corners smear.
  const owlRect stretched = R(368, 340, 464, 404);
  DrawTexture(c, &stretched, blue, OWL_RESAMPLE_BILINEAR);

  // A centred icon in a wide box, and a translucent overlay at alpha 110.
  HGTEXTURE icon = Icon(24);
  const owlRect box = R(232, 340, 352, 404);
  Solid(c, 0xFF1E2430u, box);
  DrawTextureCenter(c, &box, icon, nullptr, OWL_RESAMPLE_BICUBIC, OWL_ALPHA_OPAQUE);
  HGTEXTURE overlay = MakeTexture(4, 4, OWL_BLEND_COPY, [](int, int) { return 0xFFE08A30u; });
  const owlRect veil = R(292, 372, 352, 404);
  DrawTextureEx(c, &veil, overlay, OWL_RESAMPLE_NEAREST, 110);

  // A colour-keyed sprite: transparent black texels are skipped, all others
  // copied, at 1:1 and doubled with nearest sampling.
  HGTEXTURE sprite = MakeTexture(12, 12, OWL_BLEND_COLOR_KEY, [](int x, int y) {
    static const char* rows[12] = {"....XXXX....", "..XXXXXXXX..", ".XXoXXXXoXX.", ".XXXXXXXXXX.",
                                   "XXXXXXXXXXXX", "XXoXXXXXXoXX", "XXXoooooooXX", "XXXXXXXXXXXX",
                                   ".XXXXXXXXXX.", ".XX.XX.XX.X.", "..X..X..X...", "............"};
    const char ch = rows[y][x];
    return ch == '.' ? 0x00000000u : ch == 'o' ? 0xFF101010u : 0xFFF0C040u;
  });
  const owlRect sprite1 = R(232, 420, 244, 432), sprite2 = R(252, 420, 276, 444);
  DrawTexture(c, &sprite1, sprite, OWL_RESAMPLE_NEAREST);
  DrawTexture(c, &sprite2, sprite, OWL_RESAMPLE_NEAREST);

  // One 8x8 icon magnified to 64x64: nearest, bilinear, bicubic.
  HGTEXTURE small = Icon(8);
  const unsigned filters[3] = {OWL_RESAMPLE_NEAREST, OWL_RESAMPLE_BILINEAR, OWL_RESAMPLE_BICUBIC};
  for (int i = 0; i < 3; ++i) {
    const owlRect r = R(232 + 80 * i, 460, 296 + 80 * i, 524);
    Solid(c, 0xFF1E2430u, r);
    DrawTexture(c, &r, small, filters[i]);
  }

  for (HGTEXTURE t : {stripes, header, blue, green, icon, overlay, sprite, small}) DeleteTexture(t);
}

// ---- Effects, outlines, modulation and composition ----------------------

// A texture holding an icon centred in a transparent margin, so that a glow
// made from it has room to spread.
HGTEXTURE PaddedIcon(int size, int pad) {
  const int side = size + 2 * pad;
  HGCANVAS c = CreateCanvas(side, side, HGCANVAS(0u));
  SetCanvasFilter(c, OWL_BLEND_SOURCE_OVER);  // keeps alpha when it becomes a texture
  Solid(c, 0x00000000u, R(0, 0, side, side));
  HGTEXTURE icon = Icon(size);
  const owlRect at = R(pad, pad, pad + size, pad + size);
  DrawTexture(c, &at, icon, OWL_RESAMPLE_NEAREST);
  DeleteTexture(icon);
  return CanvasToTexture(c);
}

// A small canvas with a gradient and light bars, for the cross-fade.
HGCANVAS Swatch(uint32_t a, uint32_t b, int direction) {
  HGCANVAS c = CreateCanvas(64, 40, HGCANVAS(0u));
  Gradient(c, a, b, R(0, 0, 64, 40), direction);
  for (int i = 0; i < 4; ++i) Blend(c, 0x40404040u, R(8 + 14 * i, 8, 14 + 14 * i, 32));
  return c;
}

void DrawEffects(HGCANVAS c) {
  Gradient(c, 0xFF1B2230u, 0xFF252E40u, R(0, 560, kWidth, kHeight), OWL_GRADIENT_TOP_TO_BOTTOM);

  // Outlines: a rounded panel with an inner rule, and a focused button with
  // its dotted focus rectangle.
  const owlRect panel = R(16, 576, 216, 660), rule = R(28, 606, 204, 607);
  const int32_t corner[2] = {18, 18};
  Blend(c, 0x30304058u, R(17, 577, 215, 659));
  GeoRoundRectEx(c, &panel, corner, 0xFF8FB4F0u);
  GeoRectangleEx(c, &rule, 0x80808080u);
  const int32_t small[2] = {6, 6};
  const owlRect inner = R(28, 618, 120, 648);
  GeoRoundRectEx(c, &inner, small, 0xC0C0C0C0u);
  HGTEXTURE blue = ButtonFace(70, 130, 230);
  const owlRect margins = R(6, 6, 6, 6);
  const owlRect focused = R(132, 618, 204, 648), focus = R(136, 622, 200, 644);
  DrawTexture9Grid(c, &focused, blue, nullptr, &margins, OWL_RESAMPLE_BILINEAR, false, OWL_ALPHA_OPAQUE);
  GeoRectFocusEx(c, &focus, 0xFFFFFFFFu);

  // Buttons: the normal face, and the same face greyed and faded as disabled.
  HGTEXTURE grey = CreateTexture(32, 32);
  CopyTexture(grey, blue);
  GrayTexture(grey);
  const owlRect normal = R(232, 576, 344, 606), disabled = R(232, 618, 344, 648);
  DrawTexture9Grid(c, &normal, blue, nullptr, &margins, OWL_RESAMPLE_BILINEAR, false, OWL_ALPHA_OPAQUE);
  DrawTexture9Grid(c, &disabled, grey, nullptr, &margins, OWL_RESAMPLE_BILINEAR, false, OWL_ALPHA_OPAQUE);
  MixCanvasWithColor(c, &disabled, 0xFF252E40u, 80);

  // A glow behind an icon: a white glow of the icon's shape, tinted amber
  // with DrawModulation, then the icon itself on top.
  const owlRect glowBox = R(360, 572, 464, 652);
  Solid(c, 0xFF141A24u, glowBox);
  HGTEXTURE glow = PaddedIcon(32, 12);
  for (int i = 0; i < 3; ++i) LightTexture(glow);  // each pass spreads it about 4 pixels
  DrawModulation(c, 380, 576, glow, 0xFFFFB040u);  // opaque: the glow covers per channel
  HGTEXTURE icon = Icon(32);
  const owlRect iconAt = R(392, 588, 424, 620);
  DrawTexture(c, &iconAt, icon, OWL_RESAMPLE_NEAREST);

  // Tinted icons: one white silhouette modulated by colours chosen by hue;
  // the top row translucent, the bottom row opaque (per-channel coverage).
  HGTEXTURE mask = PaddedIcon(24, 0);
  ShuffleTexture(mask, OWL_SHUFFLE_ALPHA_TO_COLOR);
  for (int i = 0; i < 6; ++i) {
    const uint32_t hue = uint32_t(i * 42) << 16;
    const uint32_t opaque = AHSLtoARGB(0xFF00C080u | hue);
    DrawModulation(c, 24 + 34 * i, 672, mask, Pre(0xB0, opaque >> 16 & 0xFF, opaque >> 8 & 0xFF, opaque & 0xFF));
    DrawModulation(c, 24 + 34 * i, 702, mask, opaque);
  }

  // Cross-fade: swatch A faded into swatch B in five steps, each cell
  // stretched from the 64x40 swatches; the last cell also gets a watermark
  // of A laid over it with BlendCanvas.
  HGCANVAS a = Swatch(0xFF2D6BD2u, 0xFF38B27Au, OWL_GRADIENT_TOP_TO_BOTTOM),
           b = Swatch(0xFFE8913Au, 0xFFD0503Au, OWL_GRADIENT_LEFT_TO_RIGHT);
  const owlRect whole = R(0, 0, 64, 40);
  for (int i = 0; i < 5; ++i) {
    const owlRect cell = R(232 + 46 * i, 672, 272 + 46 * i, 732);
    MixCanvas(c, &cell, a, &whole, OWL_ALPHA_OPAQUE);
    MixCanvas(c, &cell, b, &whole, uint8_t(i * 255 / 4));
  }
  const owlRect mark = R(240, 748, 464, 808);
  MixCanvas(c, &mark, b, &whole, OWL_ALPHA_OPAQUE);
  BlendCanvas(c, &mark, a, &whole, 96);

  // Colour conversion: a lightness ramp of one hue across the bottom left.
  for (int i = 0; i < 12; ++i)
    Solid(c, AHSLtoARGB(0xFF00B000u | 0x00550000u | uint32_t(40 + i * 16)), R(16 + 18 * i, 748, 32 + 18 * i, 808));

  for (HGTEXTURE t : {blue, grey, glow, icon, mask}) DeleteTexture(t);
  DeleteCanvas(a);
  DeleteCanvas(b);
}

// ---- Gaussian blur and shadows ---------------------------------------------

void DrawShadows(HGCANVAS c) {
  // A bright backdrop: a diagonal of coloured bars over a gradient.
  const owlRect band = R(0, 820, kWidth, kHeight);
  Gradient(c, 0xFFE8ECF2u, 0xFFC9D3E0u, band, OWL_GRADIENT_TOP_TO_BOTTOM);
  const uint32_t bars[] = {0xFFE0533Cu, 0xFFF2B134u, 0xFF47B39Du, 0xFF3F7FD8u, 0xFF8E5BD0u};
  for (int i = 0; i < 5; ++i) Solid(c, bars[i], R(250 + 44 * i, 832, 272 + 44 * i, 1018));
  Solid(c, 0xFF20252Eu, R(236, 900, 470, 912));

  // A card and three buttons lifted by soft shadows of rounded rectangles:
  // a wide, faint ambient shadow and a tighter, darker one below.
  const owlRect card = R(24, 842, 208, 960);
  DrawRoundRectShadow(c, &card, 6, 12, 0x58000000u, 0, 8);
  DrawRoundRectShadow(c, &card, 6, 3, 0x50000000u, 0, 2);
  Solid(c, 0xFFFFFFFFu, card);
  Gradient(c, 0xFF3F7FD8u, 0xFF5B97E8u, R(24, 842, 208, 866), OWL_GRADIENT_LEFT_TO_RIGHT);
  for (int i = 0; i < 4; ++i) Solid(c, 0xFFD5DBE4u, R(40, 882 + 16 * i, 192 - 28 * (i & 1), 890 + 16 * i));
  for (int i = 0; i < 3; ++i) {
    const owlRect button = R(24 + 64 * i, 980, 80 + 64 * i, 1008);
    DrawRoundRectShadow(c, &button, 4, 2 + 3 * i, 0x60000000u, 0, 1 + i);
    Gradient(c, 0xFFFDFDFEu, 0xFFE4E8EEu, button, OWL_GRADIENT_TOP_TO_BOTTOM);
  }

  // A translucent panel over the bars, its backdrop blurred: the pixels
  // behind it copied to a canvas, turned into a texture, blurred and drawn
  // back, then a light veil and the panel's content on top.
  const owlRect glass = R(262, 860, 454, 990), whole = R(0, 0, 192, 130);
  DrawRoundRectShadow(c, &glass, 8, 10, 0x70000000u, 0, 8);
  HGCANVAS behind = CreateCanvas(192, 130, HGCANVAS(0u));
  MixCanvas(behind, &whole, c, &glass, OWL_ALPHA_OPAQUE);
  HGTEXTURE backdrop = CanvasToTexture(behind);
  GaussianBlurTexture(backdrop, backdrop, 10);
  DrawTexture(c, &glass, backdrop, OWL_RESAMPLE_NEAREST);
  Blend(c, 0x90909090u, glass);  // white at 56%, premultiplied
  Solid(c, 0xFF20252Eu, R(278, 876, 380, 886));
  for (int i = 0; i < 3; ++i) Blend(c, 0x60202530u, R(278, 900 + 18 * i, 436 - 30 * i, 908 + 18 * i));

  // An icon casting the shadow of its own shape: its alpha blurred and
  // tinted into a texture drawn offset under it.
  HGTEXTURE icon = PaddedIcon(32, 12), shadow = CreateTexture(56, 56);
  ShadowTexture(shadow, icon, 4, 0x90000000u);
  SetTextureFilter(shadow, OWL_BLEND_SOURCE_OVER);
  const owlRect under = R(152, 902, 208, 958), over = R(148, 896, 204, 952);
  DrawTexture(c, &under, shadow, OWL_RESAMPLE_NEAREST);
  DrawTexture(c, &over, icon, OWL_RESAMPLE_NEAREST);
  for (HGTEXTURE t : {backdrop, icon, shadow}) DeleteTexture(t);
}

// A whole 1920x1080 frame for profilers: the scene tiled four across and
// two down through the viewport origin (the lower row cut by the canvas),
// textures made and freed as in one drawing of the scene. Prints the
// processor time per frame.
int Profile(int frames) {
  constexpr int kFrameWidth = 1920, kFrameHeight = 1080;
  HGCANVAS canvas = CreateCanvas(kFrameWidth, kFrameHeight, HGCANVAS(0u));
  if (canvas.value == 0) return 1;
  const std::clock_t start = std::clock();
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < kFrameHeight; y += kHeight)
      for (int x = 0; x < kFrameWidth; x += kWidth) {
        SetViewportOrg(canvas, x, y, nullptr);
        DrawScene(canvas);
        DrawTextures(canvas);
        DrawEffects(canvas);
        DrawShadows(canvas);
      }
  const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("%d frames of 1920x1080: %.3f ms a frame\n", frames, seconds * 1000 / frames);
  DeleteCanvas(canvas);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--profile") == 0) return Profile(argc > 2 ? std::atoi(argv[2]) : 50);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png> | --profile [frames]\n", argv[0]);
    return 2;
  }
  HGCANVAS canvas = CreateCanvas(kWidth, kHeight, HGCANVAS(0u));
  if (canvas.value == 0) {
    std::fprintf(stderr, "cannot create the canvas\n");
    return 1;
  }
  DrawScene(canvas);
  DrawTextures(canvas);
  DrawEffects(canvas);
  DrawShadows(canvas);
  // Presented as a host would present it: copied to a device, whose pixels
  // are then written out.
  HDC device = CreateDeviceSurface(kWidth, kHeight);
  const owlRect all = R(0, 0, kWidth, kHeight);
  GdiTransCanvas(device, &all, canvas, &all);
  BitmapBits bits{};
  const bool ok = LockDeviceSurfaceBits(device, &bits) && SaveBitsPng(&bits, argv[1]);
  UnlockDeviceSurfaceBits(device);
  DeleteDeviceSurface(device);
  DeleteCanvas(canvas);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  // The library that drew it, which may be newer than the header.
  const uint32_t v = GetOwlVersion();
  std::printf("owlgraphic %u.%u.%u drew %s\n", v >> 16, (v >> 8) & 0xFF, v & 0xFF, argv[1]);
  return 0;
}
