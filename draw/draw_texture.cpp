#include "draw/draw_texture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/geometry.h"
#include "draw/blit_dispatch.h"
#include "draw/draw_geometry.h"

namespace owl {

bool DrawTexturePiece(Canvas* canvas, const owlRect* dst, Texture* texture, const owlRect* src,
                      uint32_t resampleFilter, uint8_t alpha) {
  const uint32_t filter = texture->filter();
  owlRect clipped, mapped;
  if (!ClipToCanvas(canvas, dst, &clipped)) return true;
  if (!MapToSource(dst, src, &clipped, &mapped)) return true;
  BlitLocked(canvas, &clipped, texture, &mapped, filter, resampleFilter, alpha);
  return true;
}

namespace {

// out[0..width) = the texels of one source row repeated with period
// row.size, starting phase texels into it.
void LayOutTiles(uint32_t* out, int32_t width, const uint32_t* row, int64_t period, int64_t phase) {
  int64_t n = std::min<int64_t>(period - phase, width);
  std::memcpy(out, row + phase, size_t(n) * 4);
  if (n == width) return;
  const int64_t start = n;  // a whole period begins here
  const int64_t first = std::min<int64_t>(period, width - n);
  std::memcpy(out + n, row, size_t(first) * 4);
  n += first;
  // Doubling copies of the whole periods laid out so far.
  while (n < width) {
    const int64_t chunk = std::min<int64_t>(n - start, width - n);
    std::memcpy(out + n, out + start, size_t(chunk) * 4);
    n += chunk;
  }
}

}  // namespace

bool DrawTilesByRows(Canvas* canvas, const owlRect& dst, Texture* texture, const owlRect& src,
                     uint32_t resampleFilter, uint8_t alpha) {
  const int64_t sw = Width64(src), sh = Height64(src);
  owlRect clipped;
  if (sw <= 0 || sh <= 0 || !ClipToCanvas(canvas, &dst, &clipped)) return true;
  BitmapBits view;
  if (!canvas->Lock(&view, clipped)) return true;
  if (!view.bits || view.width <= 0 || view.height <= 0) {
    canvas->Unlock();
    return true;
  }
  uint32_t* tiles = static_cast<uint32_t*>(std::malloc(size_t(view.width) * 4));
  BitmapBits texels;
  const bool locked = tiles && texture->Lock(&texels, &src);
  if (locked) {
    const uint32_t filter = texture->filter();
    const int64_t phase = (int64_t(clipped.left) - dst.left) % sw;
    int64_t laid = -1;
    const BitmapBits from{view.width, 1, view.width * 4, tiles};
    for (int32_t y = 0; y < view.height; ++y) {
      const int64_t texelRow = (int64_t(clipped.top) + y - dst.top) % sh;
      if (texelRow != laid) {
        LayOutTiles(tiles, view.width, RowAt(texels, int32_t(texelRow)), sw, phase);
        laid = texelRow;
      }
      const BitmapBits to{view.width, 1, view.pitch, RowAt(view, y)};
      BlitDispatch(&to, &from, filter, resampleFilter, alpha);
    }
    texture->Unlock();
  }
  canvas->Unlock();
  std::free(tiles);
  return tiles != nullptr;
}

bool DrawTexturePieceWithin(Canvas* canvas, const owlRect* dst, Texture* texture, const owlRect* src,
                            const owlRect* limit, uint32_t resampleFilter, uint8_t alpha) {
  owlRect visible, clipped, mapped;
  if (!Intersect(visible, *dst, *limit)) return true;
  if (!ClipToCanvas(canvas, &visible, &clipped)) return true;
  if (!MapToSource(dst, src, &clipped, &mapped)) return true;
  BlitLocked(canvas, &clipped, texture, &mapped, texture->filter(), resampleFilter, alpha);
  return true;
}

}  // namespace owl
