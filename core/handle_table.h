// The process-wide handle table: 32-bit handles for canvases and textures.
//
// A handle is (serial << 24) | (tag << 16) | index. The slot's key (tag and
// serial) must match the handle's upper half, so stale, forged and wrong-kind
// handles resolve to nothing.
//
// Threads: Alloc and Free (and Take) are serialised by the table's lock, so
// two threads never get the same slot; Get reads a slot's key and object
// without the lock, which is safe while other slots are allocated and freed.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "owlgraphic.h"

namespace owl {

class Canvas;
class Texture;

enum HandleTag : uint8_t { kTagFree = 0, kTagCanvas = 1, kTagTexture = 5 };

struct HandleSlot {
  // serial << 8 | tag; the tag is 0 while the slot is free.
  std::atomic<uint32_t> key;
  std::atomic<void*> object;
};

class HandleTable {
 public:
  static constexpr uint32_t kCapacity = 0x8000;

  // Allocates the slot array; if that fails the table stays unusable and
  // every allocation returns 0.
  HandleTable();
  // Uses storage (kCapacity slots), which it never frees.
  explicit HandleTable(HandleSlot* storage);
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  bool usable() const { return slots_ != nullptr; }
  // The new handle, or 0 when no slot is free.
  uint32_t Alloc(uint8_t tag, void* object);
  void* Get(uint32_t handle) const;
  bool Free(uint32_t handle);
  // Frees the slot of a live handle of kind tag and returns its object (null
  // and nothing done otherwise): of two threads deleting one handle, one
  // gets the object.
  void* Take(uint32_t handle, uint8_t tag);

 private:
  HandleSlot* Find(uint32_t handle) const;
  uint16_t FindFree();
  void Release(HandleSlot& s, uint32_t handle);

  void Clear();

  std::mutex lock_;
  uint16_t hint_ = 0;
  HandleSlot* slots_ = nullptr;
  bool owned_ = false;
};

// The one table of the library, built at load in the module's static
// storage and never destroyed, so that handles stay usable (and deletable)
// from other modules' static destructors at process exit; nothing of it is
// on the heap, so unloading the module leaves nothing behind.
HandleTable& Handles();

Canvas* CanvasFromHandle(HGCANVAS handle);
Texture* TextureFromHandle(HGTEXTURE handle);
inline uint32_t RegisterCanvas(Canvas* c) { return Handles().Alloc(kTagCanvas, c); }
inline uint32_t RegisterTexture(Texture* t) { return Handles().Alloc(kTagTexture, t); }
inline bool ReleaseHandle(uint32_t handle) { return Handles().Free(handle); }
inline Canvas* TakeCanvas(HGCANVAS h) { return static_cast<Canvas*>(Handles().Take(h.value, kTagCanvas)); }
inline Texture* TakeTexture(HGTEXTURE h) { return static_cast<Texture*>(Handles().Take(h.value, kTagTexture)); }

}  // namespace owl
