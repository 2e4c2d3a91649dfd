// Reading and writing whole canvases and textures as reference images.
#pragma once

#include <cstring>

#include <gtest/gtest.h>

#include "draw_reference.h"
#include "owlgraphic.h"
#include "test_util.h"

namespace owltest {

inline Image ReadView(const BitmapBits& v) {
  Image out(v.width, v.height);
  for (int32_t y = 0; y < v.height; ++y)
    std::memcpy(&out.at(0, y), static_cast<const uint8_t*>(v.bits) + ptrdiff_t(y) * v.pitch, size_t(v.width) * 4);
  return out;
}

inline void WriteView(const BitmapBits& v, const Image& img) {
  for (int32_t y = 0; y < v.height; ++y)
    std::memcpy(static_cast<uint8_t*>(v.bits) + ptrdiff_t(y) * v.pitch, img.px.data() + size_t(y) * size_t(img.width), size_t(v.width) * 4);
}

// The whole pixel buffer, whatever the origins and the clip.
inline BitmapBits WholeCanvas(HGCANVAS c) {
  owlPoint w{}, v{};
  GetWindowOrg(c, &w);
  GetViewportOrg(c, &v);
  BitmapBits any{};
  const owlRect one{w.x - v.x, w.y - v.y, w.x - v.x + 1, w.y - v.y + 1};
  EXPECT_EQ(LockCanvasBits(c, &any, &one), 1);
  UnlockCanvasBits(c);
  return any;
}

inline Image ReadCanvas(HGCANVAS c, int32_t width, int32_t height) {
  BitmapBits v = WholeCanvas(c);
  v.width = width;
  v.height = height;
  return ReadView(v);
}

inline void WriteCanvas(HGCANVAS c, const Image& img) {
  BitmapBits v = WholeCanvas(c);
  v.width = img.width;
  v.height = img.height;
  WriteView(v, img);
}

inline void WriteTexture(HGTEXTURE t, const Image& img) {
  BitmapBits v{};
  ASSERT_EQ(LockTextureBits(t, &v, nullptr), 1);
  WriteView(v, img);
  UnlockTextureBits(t);
}

inline Image RandomImage(Rng& rng, int32_t w, int32_t h) {
  Image img(w, h);
  for (auto& p : img.px) p = rng.Premultiplied();
  return img;
}

}  // namespace owltest
