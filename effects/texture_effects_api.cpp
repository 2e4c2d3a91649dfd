// Per-pixel effects applied in place to a texture's whole buffer.
#include <algorithm>

#include "core/geometry.h"
#include "core/handle_table.h"
#include "core/pixel_math.h"
#include "core/texture.h"
#include "owlgraphic.h"

namespace {

// Runs op on every pixel of the texture's buffer; 0 for a bad handle or a
// buffer that can't be locked.
template <typename Op>
int ForEachPixel(HGTEXTURE texture, Op op) {
  const owl::Texture* t = owl::TextureFromHandle(texture);
  BitmapBits bits;
  if (!t || !t->Lock(&bits, nullptr)) return 0;
  for (int32_t y = 0; y < bits.height; ++y) {
    uint32_t* row = owl::RowAt(bits, y);
    for (int32_t x = 0; x < bits.width; ++x) row[x] = op(row[x]);
  }
  t->Unlock();
  return 1;
}

uint32_t Channel(uint32_t p, int shift) { return p >> shift & 0xFF; }

}  // namespace

int OWL_CALL TranslateTexture(HGTEXTURE texture, uint32_t from, uint32_t to) {
  return ForEachPixel(texture, [=](uint32_t p) { return p == from ? to : p; });
}

int OWL_CALL NormalizeTexture(HGTEXTURE texture) {
  return ForEachPixel(texture, [](uint32_t p) {
    return (p & 0xFF000000u) | (owl::ScaleByAlpha(p, p >> 24) & 0x00FFFFFFu);
  });
}

int OWL_CALL GrayTexture(HGTEXTURE texture) {
  return ForEachPixel(texture, [](uint32_t p) {
    const uint32_t g = (117 * Channel(p, 0) + 601 * Channel(p, 8) + 306 * Channel(p, 16)) >> 10;
    return (p & 0xFF000000u) | g * 0x010101u;
  });
}

int OWL_CALL InvertTexture(HGTEXTURE texture) {
  return ForEachPixel(texture, [](uint32_t p) {
    const uint32_t a = Channel(p, 24);
    // Stored as bytes: a colour above its alpha wraps, as a byte would.
    return (p & 0xFF000000u) | ((a - Channel(p, 16)) & 0xFF) << 16 | ((a - Channel(p, 8)) & 0xFF) << 8 |
           ((a - Channel(p, 0)) & 0xFF);
  });
}

int OWL_CALL ShuffleTexture(HGTEXTURE texture, int type) {
  switch (type) {
    case OWL_SHUFFLE_ALPHA_TO_COLOR:
      return ForEachPixel(texture, [](uint32_t p) { return Channel(p, 24) * 0x01010101u; });
    case OWL_SHUFFLE_COLOR_TO_ALPHA:
      return ForEachPixel(texture, [](uint32_t p) {
        const uint32_t m = std::max({Channel(p, 0), Channel(p, 8), Channel(p, 16)});
        return (p & 0x00FFFFFFu) | m << 24;
      });
    default: {
      const owl::Texture* t = owl::TextureFromHandle(texture);
      BitmapBits bits;
      return t && t->Lock(&bits, nullptr) ? 1 : 0;
    }
  }
}
