// A C++ program built through CMake: draws with named values, then prints
// "ok, owlgraphic <version>" with the version of the library it runs with,
// after checking that it is the one of the package and of the header.
#include <owlgraphic.h>

#include <cstdio>
#include <cstring>

int main() {
  const HGCANVAS canvas = CreateCanvas(16, 8, HGCANVAS(0u));
  const HGTEXTURE texture = CreateTexture(1, 1);
  const owlRect all{0, 0, 16, 8};
  BitmapBits bits{};
  bool ok = canvas.value != 0 && FillSolidRectEx(canvas, 0xFF204080u, &all, OWL_FILL_COPY) &&
            LockTextureBits(texture, &bits, nullptr);
  if (ok) *static_cast<uint32_t*>(bits.bits) = 0x80800000u;  // red at half opacity
  ok = ok && SetTextureFilter(texture, OWL_BLEND_SOURCE_OVER) &&
       DrawTextureEx(canvas, &all, texture, OWL_RESAMPLE_NEAREST, OWL_ALPHA_OPAQUE) &&
       LockCanvasBits(canvas, &bits, &all);
  // 0x80800000 over 0xFF204080: each channel c + ((128 * d) >> 8).
  ok = ok && *static_cast<uint32_t*>(bits.bits) == 0xFF902040u;
  ok = ok && DeleteTexture(texture) && DeleteCanvas(canvas);

  const uint32_t v = GetOwlVersion();
  char version[32];
  std::snprintf(version, sizeof version, "%u.%u.%u", v >> 16, (v >> 8) & 0xFF, v & 0xFF);
  if (std::strcmp(version, OWL_PACKAGE_VERSION) != 0 || v != uint32_t(OWL_VERSION)) {
    std::printf("FAILED: library %s, package %s, header %d.%d.%d\n", version, OWL_PACKAGE_VERSION, OWL_VERSION_MAJOR,
                OWL_VERSION_MINOR, OWL_VERSION_PATCH);
    return 1;
  }
  std::printf(ok ? "ok, owlgraphic %s\n" : "FAILED drawing, owlgraphic %s\n", version);
  return ok ? 0 : 1;
}
