// Exported texture copy.
#include "core/handle_table.h"
#include "core/texture.h"
#include "owlgraphic.h"
#include "rows/row_ops.h"

using owl::Texture;
using owl::TextureFromHandle;

int OWL_CALL CopyTexture(HGTEXTURE dst, HGTEXTURE src) {
  Texture* d = TextureFromHandle(dst);
  if (!d) return 0;
  const Texture* s = TextureFromHandle(src);
  if (!s) return 0;
  d->set_filter(s->filter());
  if (d == s) return 1;
  // Only the area both textures cover is copied.
  const int32_t w = d->width() < s->width() ? d->width() : s->width();
  const int32_t h = d->height() < s->height() ? d->height() : s->height();
  const BitmapBits dp{w, h, d->pixels().pitch, d->pixels().bits};
  const BitmapBits sp{w, h, s->pixels().pitch, s->pixels().bits};
  owl::CopyRows(dp, sp);
  return 1;
}
