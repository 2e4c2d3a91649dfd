// The process-wide handle table: 32-bit handles for canvases and textures.
//
// A handle is (serial << 24) | (tag << 16) | index. The slot's key (tag and
// serial) must match the handle's upper half, so stale, forged and wrong-kind
// handles resolve to nothing.
#pragma once

#include <cstdint>

#include "owlgraphic.h"

namespace owl {

class Canvas;
class Texture;

enum HandleTag : uint8_t { kTagFree = 0, kTagCanvas = 1, kTagTexture = 5 };

struct HandleSlot {
  uint8_t tag;
  uint8_t serial;
  void* object;
};

class HandleTable {
 public:
  static constexpr uint32_t kCapacity = 0x8000;

  // Allocates the slot array; if that fails the table stays unusable and
  // every allocation returns 0.
  HandleTable();
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  bool usable() const { return slots_ != nullptr; }
  // The new handle, or 0 when no slot is free.
  uint32_t Alloc(uint8_t tag, void* object);
  HandleSlot* Lookup(uint32_t handle) const;
  void* Get(uint32_t handle) const;
  bool Free(uint32_t handle);

 private:
  uint16_t FindFree();

  uint16_t hint_ = 0;
  HandleSlot* slots_ = nullptr;
};

// The one table of the library, built by static construction at load.
HandleTable& Handles();

Canvas* CanvasFromHandle(HGCANVAS handle);
Texture* TextureFromHandle(HGTEXTURE handle);
inline uint32_t RegisterCanvas(Canvas* c) { return Handles().Alloc(kTagCanvas, c); }
inline uint32_t RegisterTexture(Texture* t) { return Handles().Alloc(kTagTexture, t); }
inline bool ReleaseHandle(uint32_t handle) { return Handles().Free(handle); }

}  // namespace owl
