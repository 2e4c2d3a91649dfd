// Canvases and textures in the tests: holders that delete them, whole pixel
// buffers read and written in device coordinates (whatever the origins and
// the clip), and plain images to compare them with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/handle_table.h"
#include "owlgraphic.h"
#include "test_util.h"

namespace owltest {

// Deletes canvases and textures at the end of a test.
struct CanvasHolder {
  HGCANVAS h;
  explicit CanvasHolder(HGCANVAS c) : h(c) {}
  ~CanvasHolder() { DeleteCanvas(h); }
};
struct TextureHolder {
  HGTEXTURE h;
  explicit TextureHolder(HGTEXTURE t) : h(t) {}
  ~TextureHolder() { DeleteTexture(h); }
};

// The whole pixel buffer of a canvas.
inline BitmapBits DeviceBits(HGCANVAS c) { return owl::CanvasFromHandle(c)->texture()->pixels(); }
inline uint32_t PixelAt(HGCANVAS c, int32_t x, int32_t y) { return owl::RowAt(DeviceBits(c), y)[x]; }

// A canvas of w x h pixels, each set to value (or drawn from rng).
inline HGCANVAS FilledCanvas(int32_t w, int32_t h, uint32_t value, Rng* rng = nullptr) {
  const HGCANVAS c = CreateCanvas(w, h, HGCANVAS(0u));
  const BitmapBits b = DeviceBits(c);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) owl::RowAt(b, y)[x] = rng ? rng->Premultiplied() : value;
  return c;
}

inline std::vector<uint32_t> CanvasPixels(HGCANVAS c) {
  const BitmapBits b = DeviceBits(c);
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < b.height; ++y) out.insert(out.end(), owl::RowAt(b, y), owl::RowAt(b, y) + b.width);
  return out;
}

// A texture of w x h holding pixels row by row, and its pixels.
inline HGTEXTURE TextureOf(int32_t w, int32_t h, const std::vector<uint32_t>& pixels) {
  const HGTEXTURE t = CreateTexture(w, h);
  BitmapBits b{};
  if (!LockTextureBits(t, &b, nullptr)) return t;
  for (size_t i = 0; i < pixels.size(); ++i) static_cast<uint32_t*>(b.bits)[i] = pixels[i];
  UnlockTextureBits(t);
  return t;
}
inline std::vector<uint32_t> TexturePixels(HGTEXTURE t) {
  BitmapBits b{};
  LockTextureBits(t, &b, nullptr);
  const uint32_t* p = static_cast<uint32_t*>(b.bits);
  std::vector<uint32_t> out(p, p + b.width * b.height);
  UnlockTextureBits(t);
  return out;
}

// A plain image: width x height pixels, row-major.
struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> px;
  Image() = default;
  Image(int32_t w, int32_t h) : width(w), height(h), px(size_t(w) * size_t(h)) {}
  uint32_t& at(int32_t x, int32_t y) { return px[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t at(int32_t x, int32_t y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t Clamped(int32_t x, int32_t y) const {
    return at(std::min(std::max(x, 0), width - 1), std::min(std::max(y, 0), height - 1));
  }
  Image Crop(const owlRect& r) const {
    Image out(r.right - r.left, r.bottom - r.top);
    for (int32_t y = 0; y < out.height; ++y)
      for (int32_t x = 0; x < out.width; ++x) out.at(x, y) = at(r.left + x, r.top + y);
    return out;
  }
};

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

inline Image ReadCanvas(HGCANVAS c, int32_t width, int32_t height) {
  BitmapBits v = DeviceBits(c);
  v.width = width;
  v.height = height;
  return ReadView(v);
}

inline void WriteCanvas(HGCANVAS c, const Image& img) {
  BitmapBits v = DeviceBits(c);
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
