#include "draw/draw_texture.h"

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
