// A host built the way Microsoft's tools build one: clang in Microsoft mode,
// linked by lld-link against import libraries made by llvm-dlltool, with its
// own entry point and no C runtime. It calls every function the DLL exports
// (scripts/check-msvc-host.sh checks that it imports each one) and checks
// handles and pixels against values worked out by hand, so that the calling
// convention, handles returned in a register, byte and bool arguments and
// structure layout are seen to agree with the DLL. Exits with 0, or with
// the line of the first failed check.
#include <windows.h>

#include "owlgraphic.h"

#define CHECK(condition) \
  do {                   \
    if (!(condition)) ExitProcess(__LINE__); \
  } while (0)

namespace {

uint32_t PixelAt(const BitmapBits& bits, int x, int y) {
  return static_cast<const uint32_t*>(bits.bits)[y * (bits.pitch / 4) + x];
}

uint32_t CanvasPixel(HGCANVAS canvas, int x, int y) {
  BitmapBits bits;
  const owlRect all = {0, 0, 8, 8};
  CHECK(LockCanvasBits(canvas, &bits, &all) == 1);
  CHECK(bits.width == 8 && bits.height == 8 && bits.pitch == 32);
  const uint32_t pixel = PixelAt(bits, x, y);
  CHECK(UnlockCanvasBits(canvas) == 1);
  return pixel;
}

uint32_t TexturePixel(HGTEXTURE texture, int x, int y) {
  BitmapBits bits;
  CHECK(LockTextureBits(texture, &bits, nullptr) == 1);
  const uint32_t pixel = PixelAt(bits, x, y);
  CHECK(UnlockTextureBits(texture) == 1);
  return pixel;
}

// A 4 x 4 opaque texture whose texel (x, y) is 0xFF0000yx.
HGTEXTURE NumberedTexture(uint32_t expected_handle) {
  const HGTEXTURE texture = CreateTexture(4, 4);
  CHECK(texture.value == expected_handle);
  BitmapBits bits;
  CHECK(LockTextureBits(texture, &bits, nullptr) == 1);
  CHECK(bits.width == 4 && bits.height == 4 && bits.pitch == 16);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) static_cast<uint32_t*>(bits.bits)[y * 4 + x] = 0xFF000000u | (y << 4) | x;
  CHECK(UnlockTextureBits(texture) == 1);
  return texture;
}

void CanvasState(HGCANVAS canvas) {
  uint32_t color = 0, old_color = 1;
  CHECK(SetCanvasBkColor(canvas, 0x11223344u, &old_color) == 1 && old_color == 0);
  CHECK(GetCanvasBkColor(canvas, &color) == 1 && color == 0x11223344u);
  owlPoint point = {7, 7};
  CHECK(SetWindowOrg(canvas, 2, 3, &point) == 1 && point.x == 0 && point.y == 0);
  CHECK(GetWindowOrg(canvas, &point) == 1 && point.x == 2 && point.y == 3);
  CHECK(SetViewportOrg(canvas, 2, 3, nullptr) == 1);
  CHECK(GetViewportOrg(canvas, &point) == 1 && point.x == 2 && point.y == 3);
  CHECK(SetCanvasFilter(canvas, 0x01000005u) == 1);
  CHECK(GetCanvasFilter(canvas, &color) == 1 && color == 0x01000005u);
  // Both origins equal: logical and device coordinates coincide again.
  const owlRect clip = {1, 2, 7, 8};
  owlRect old_clip = {}, got = {};
  CHECK(SetCanvasClip(canvas, &clip, &old_clip) == 1 && old_clip.right == 8 && old_clip.bottom == 8);
  CHECK(GetCanvasClip(canvas, &got) == 1 && got.left == 1 && got.top == 2 && got.right == 7);
  BitmapBits bits;
  CHECK(GetCanvasClipBits(canvas, &bits) == 1 && bits.width == 6 && bits.height == 6);
  const owlRect all = {0, 0, 8, 8};
  CHECK(SetCanvasClip(canvas, &all, nullptr) == 1);
}

void Fills(HGCANVAS canvas) {
  const owlRect all = {0, 0, 8, 8};
  CHECK(FillSolidRectEx(canvas, 0xFF102030u, &all, 0) == 1);  // copy
  CHECK(CanvasPixel(canvas, 7, 7) == 0xFF102030u);
  // Half-opaque black over it: each colour byte halves.
  CHECK(FillSolidRect(canvas, 0x80000000u, &all) == 1);
  CHECK(CanvasPixel(canvas, 0, 0) == 0xFF081018u);
  const owlRect top = {0, 0, 8, 2};
  CHECK(FillGradualRect(canvas, 0xFF0000FFu, 0xFFFF0000u, &top, 1) == 1);
  CHECK(CanvasPixel(canvas, 3, 0) == 0xFF0000FFu);
  const owlRect box = {1, 1, 6, 6};
  CHECK(GeoRectangleEx(canvas, &box, 0xFF00FF00u) == 1);
  CHECK(CanvasPixel(canvas, 1, 1) == 0xFF00FF00u && CanvasPixel(canvas, 5, 5) == 0xFF00FF00u);
  CHECK(GeoRectFocusEx(canvas, &box, 0xFF0000FFu) == 1);
  const int32_t corner[2] = {4, 4};
  CHECK(GeoRoundRectEx(canvas, &box, corner, 0xFF0000FFu) == 1);
  CHECK(MixCanvasWithColor(canvas, &all, 0xFFFFFFFFu, 255) == 1);
  CHECK(CanvasPixel(canvas, 4, 4) == 0xFFFFFFFFu);
}

void TextureState(HGTEXTURE texture) {
  owlSize size = {};
  CHECK(GetTextureSize(texture, &size) == 1 && size.width == 4 && size.height == 4);
  uint32_t filter = 1;
  CHECK(SetTextureFilter(texture, 0x00ABCDEFu) == 1);
  CHECK(GetTextureFilter(texture, &filter) == 1 && filter == 0x00ABCDEFu);
  const TextureMode mode = {5, {1, 2, 3, 4}};
  TextureMode got = {};
  CHECK(SetTextureMode(texture, &mode) == 1);
  CHECK(GetTextureMode(texture, &got) == 1 && got.kind == 5 && got.margins.left == 1 && got.margins.bottom == 4);
  const owlRect slices[2] = {{0, 0, 2, 2}, {2, 2, 4, 4}};
  CHECK(SetTextureSlice(texture, 2, slices) == 0);
  CHECK(SetTextureCurSlice(texture, 1) == 0 && SetTextureCurSlice(texture, 0) == 1);
  CHECK(SetTextureSlice(texture, 0, nullptr) == -1);
  const TextureMode stretch = {0, {0, 0, 0, 0}};
  CHECK(SetTextureMode(texture, &stretch) == 1 && SetTextureFilter(texture, 0) == 1);
}

// Each draw lays the numbered texture at its own size at (2, 2) on a cleared
// canvas; the C++-named ones take their bool and byte arguments last.
void Draws(HGCANVAS canvas, HGTEXTURE texture) {
  const owlRect all = {0, 0, 8, 8}, dst = {2, 2, 6, 6}, src = {0, 0, 4, 4}, margins = {1, 1, 1, 1};
  const auto clear = [&] { CHECK(FillSolidRectEx(canvas, 0, &all, 0) == 1); };
  clear();
  CHECK(DrawTexture(canvas, &dst, texture, 0) == 1);
  CHECK(CanvasPixel(canvas, 3, 4) == 0xFF000021u && CanvasPixel(canvas, 1, 1) == 0);
  clear();
  CHECK(DrawTextureEx(canvas, &dst, texture, 0, 255) == 1);
  CHECK(CanvasPixel(canvas, 5, 5) == 0xFF000033u);
  clear();
  // fillCenter: the middle cells become the middle cell's centre texel (2, 2).
  CHECK(DrawTexture9Grid(canvas, &dst, texture, &src, &margins, 0, true, 255) == 1);
  CHECK(CanvasPixel(canvas, 2, 2) == 0xFF000000u && CanvasPixel(canvas, 3, 3) == 0xFF000022u);
  CHECK(CanvasPixel(canvas, 5, 4) == 0xFF000023u);
  clear();
  CHECK(DrawTextureTopTile(canvas, &dst, texture, &src, &margins, 0, 255) == 1);
  CHECK(CanvasPixel(canvas, 4, 2) == 0xFF000002u);
  clear();
  // Opacity 128 scales every byte by 129 / 256 over a cleared canvas.
  CHECK(DrawTextureTile(canvas, &dst, texture, &src, 0, 128) == 1);
  CHECK(CanvasPixel(canvas, 5, 5) == 0x80000019u);
  clear();
  CHECK(DrawTextureCenter(canvas, &dst, texture, &src, 0, 255) == 1);
  CHECK(CanvasPixel(canvas, 4, 5) == 0xFF000032u);
  CHECK(DrawModulation(canvas, 0, 0, texture, 0x80808080u) == 1);
  clear();
  // Unblurred, square-cornered: the rectangle moved by (1, 2), filled.
  const owlRect shape = {0, 0, 4, 4};
  CHECK(DrawRoundRectShadow(canvas, &shape, 0, 0, 0xFF0000FFu, 1, 2) == 1);
  CHECK(CanvasPixel(canvas, 1, 2) == 0xFF0000FFu && CanvasPixel(canvas, 4, 5) == 0xFF0000FFu);
  CHECK(CanvasPixel(canvas, 1, 1) == 0 && CanvasPixel(canvas, 5, 5) == 0);
}

void Effects(HGTEXTURE texture, HGTEXTURE other) {
  CHECK(TranslateTexture(texture, 0xFF000011u, 0x80FF0000u) == 1);
  CHECK(NormalizeTexture(texture) == 1);
  CHECK(TexturePixel(texture, 1, 1) == 0x80800000u);
  CHECK(InvertTexture(texture) == 1);
  CHECK(TexturePixel(texture, 1, 1) == 0x80008080u && TexturePixel(texture, 0, 0) == 0xFFFFFFFFu);
  CHECK(GrayTexture(texture) == 1);
  CHECK(ShuffleTexture(texture, 6) == 1);
  CHECK(CopyTexture(other, texture) == 1 && TexturePixel(other, 1, 1) == TexturePixel(texture, 1, 1));
  CHECK(BlurTexture(other, texture) == 1);
  CHECK(LightTexture(other) == 1);
  // A flat texture stays flat under the Gaussian blur (edges repeat), and
  // its shadow is the colour wherever its alpha is 255.
  BitmapBits bits;
  CHECK(LockTextureBits(other, &bits, nullptr) == 1);
  for (int i = 0; i < 16; ++i) static_cast<uint32_t*>(bits.bits)[i] = 0xFF336699u;
  CHECK(UnlockTextureBits(other) == 1);
  CHECK(GaussianBlurTexture(other, other, 3) == 1 && TexturePixel(other, 2, 1) == 0xFF336699u);
  CHECK(GaussianBlurTexture(other, texture, 129) == 0);
  CHECK(ShadowTexture(other, other, 2, 0x80000000u) == 1 && TexturePixel(other, 3, 0) == 0x80000000u);
  CHECK(ARGBtoAHSL(0xFF00FF00u) >> 16 == 0xFF55u);  // opaque, hue 85: green
  CHECK(AHSLtoARGB(0x7F000000u) == 0x7F000000u);    // lightness 0: black
  CHECK(GetStretchKernelMode() == 2);
  CHECK(SetStretchKernelMode(1) == 1 && SetStretchKernelMode(1) == 0 && GetStretchKernelMode() == 1);
  CHECK(SetStretchKernelMode(2) == 1);
}

}  // namespace

extern "C" void __cdecl HostMain() {
  // Handles count up from index 1 in a freshly loaded DLL: canvases carry
  // kind 1, textures kind 5.
  const HGCANVAS canvas = CreateCanvas(8, 8, HGCANVAS{0});
  CHECK(canvas.value == 0x01010001u);
  const HGCANVAS other = CreateCanvas(8, 8, canvas);
  CHECK(other.value == 0x01010002u);
  CanvasState(canvas);
  Fills(canvas);

  const HGTEXTURE texture = NumberedTexture(0x01050003u);
  const HGTEXTURE spare = NumberedTexture(0x01050004u);
  TextureState(texture);
  Draws(canvas, texture);

  const owlRect all = {0, 0, 8, 8}, half = {0, 0, 4, 8};
  CHECK(MixCanvas(other, &all, canvas, &all, 255) == 1);
  CHECK(CanvasPixel(other, 4, 5) == CanvasPixel(canvas, 4, 5));
  CHECK(BlendCanvas(other, &half, canvas, &half, 255) == 1);
  CHECK(GdiTransCanvas(nullptr, &all, canvas, &all) == 1);  // the device call's result is not looked at

  Effects(texture, spare);

  const HGTEXTURE taken = CanvasToTexture(other);
  CHECK(taken.value != 0 && (taken.value & 0x00FF0000u) == 0x00050000u);
  CHECK(DeleteCanvas(other) == 0 && GdiTransCanvas(nullptr, &all, other, &all) == 0);
  CHECK(DeleteTexture(taken) == 1 && DeleteTexture(spare) == 1 && DeleteTexture(texture) == 1);
  CHECK(DeleteCanvas(canvas) == 1 && DeleteCanvas(canvas) == 0);
  ExitProcess(0);
}
