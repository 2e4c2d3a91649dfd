// Exported texture functions.
#include <new>

#include "core/handle_table.h"
#include "core/texture.h"
#include "owlgraphic.h"

using owl::Texture;
using owl::TextureFromHandle;

HGTEXTURE OWL_CALL CreateTexture(int width, int height) {
  Texture* t = new (std::nothrow) Texture;
  if (!t) return HGTEXTURE(0u);
  if (!t->Create(width, height)) {
    delete t;
    return HGTEXTURE(0u);
  }
  const uint32_t handle = owl::RegisterTexture(t);
  if (handle == 0) delete t;
  return HGTEXTURE(handle);
}

int OWL_CALL DeleteTexture(HGTEXTURE texture) {
  Texture* t = owl::TakeTexture(texture);
  if (!t) return 0;
  delete t;
  return 1;
}

int OWL_CALL GetTextureSize(HGTEXTURE texture, owlSize* size) {
  const Texture* t = TextureFromHandle(texture);
  if (!t || !size) return 0;
  *size = owlSize{t->width(), t->height()};
  return 1;
}

int OWL_CALL LockTextureBits(HGTEXTURE texture, BitmapBits* bits, const owlRect* rect) {
  const Texture* t = TextureFromHandle(texture);
  if (!t || !bits) return 0;
  return t->Lock(bits, rect) ? 1 : 0;
}

int OWL_CALL UnlockTextureBits(HGTEXTURE texture) {
  const Texture* t = TextureFromHandle(texture);
  if (!t) return 0;
  t->Unlock();
  return 1;
}

int OWL_CALL GetTextureFilter(HGTEXTURE texture, uint32_t* filter) {
  const Texture* t = TextureFromHandle(texture);
  if (!t || !filter) return 0;
  *filter = t->filter();
  return 1;
}

int OWL_CALL SetTextureFilter(HGTEXTURE texture, uint32_t filter) {
  Texture* t = TextureFromHandle(texture);
  if (!t) return 0;
  t->set_filter(filter);
  return 1;
}

int OWL_CALL GetTextureMode(HGTEXTURE texture, TextureMode* mode) {
  const Texture* t = TextureFromHandle(texture);
  if (!t || !mode) return 0;
  *mode = t->mode();
  return 1;
}

int OWL_CALL SetTextureMode(HGTEXTURE texture, const TextureMode* mode) {
  Texture* t = TextureFromHandle(texture);
  if (!t || !mode) return 0;
  t->set_mode(*mode);
  return 1;
}

int OWL_CALL SetTextureSlice(HGTEXTURE texture, unsigned int count, const owlRect* rects) {
  Texture* t = TextureFromHandle(texture);
  if (!t) return 0;
  return t->SetSlices(count, rects);
}

int OWL_CALL SetTextureCurSlice(HGTEXTURE texture, int index) {
  Texture* t = TextureFromHandle(texture);
  if (!t) return -1;
  return t->SetCurrentSlice(index);
}
