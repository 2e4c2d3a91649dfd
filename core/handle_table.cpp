#include "core/handle_table.h"

#include <new>

namespace owl {

HandleTable::HandleTable() : slots_(new (std::nothrow) HandleSlot[kCapacity]), owned_(true) { Clear(); }

HandleTable::HandleTable(HandleSlot* storage) : slots_(storage) { Clear(); }

void HandleTable::Clear() {
  if (!slots_) return;
  for (uint32_t i = 0; i < kCapacity; ++i) {
    slots_[i].key.store(1u << 8 | kTagFree, std::memory_order_relaxed);
    slots_[i].object.store(nullptr, std::memory_order_relaxed);
  }
  // Slot 0 never looks free and, with tag 0, never resolves.
  slots_[0].object.store(reinterpret_cast<void*>(~uintptr_t(0)), std::memory_order_relaxed);
  hint_ = 1;
}

HandleTable::~HandleTable() {
  if (owned_) delete[] slots_;
}

uint16_t HandleTable::FindFree() {
  if (hint_ != 0) {
    if (slots_[hint_].object.load(std::memory_order_relaxed) == nullptr) return hint_;
    hint_ = 0;
  }
  for (uint32_t i = 1; i < kCapacity; ++i)
    if (slots_[i].object.load(std::memory_order_relaxed) == nullptr) return uint16_t(i);
  return 0;
}

uint32_t HandleTable::Alloc(uint8_t tag, void* object) {
  if (!slots_ || !object) return 0;
  const std::lock_guard<std::mutex> hold(lock_);
  const uint16_t index = FindFree();
  if (index == 0) return 0;
  HandleSlot& s = slots_[index];
  const uint32_t serial = s.key.load(std::memory_order_relaxed) >> 8;
  s.object.store(object, std::memory_order_relaxed);
  // Publishes the object: a reader that sees the key sees the object.
  s.key.store(serial << 8 | tag, std::memory_order_release);
  return serial << 24 | uint32_t(tag) << 16 | index;
}

HandleSlot* HandleTable::Find(uint32_t handle) const {
  const uint32_t index = handle & 0xFFFF;
  if (!slots_ || index == 0 || index >= kCapacity) return nullptr;
  HandleSlot& s = slots_[index];
  const uint32_t key = s.key.load(std::memory_order_acquire);
  // A free slot has tag 0, which no issued handle carries.
  if ((key & 0xFF) == kTagFree || key != handle >> 16) return nullptr;
  return &s;
}

void* HandleTable::Get(uint32_t handle) const {
  const HandleSlot* s = Find(handle);
  return s ? s->object.load(std::memory_order_relaxed) : nullptr;
}

void HandleTable::Release(HandleSlot& s, uint32_t handle) {
  const uint32_t serial = (s.key.load(std::memory_order_relaxed) >> 8) + 1;
  s.key.store((serial & 0xFF) << 8 | kTagFree, std::memory_order_release);
  s.object.store(nullptr, std::memory_order_relaxed);
  hint_ = uint16_t(handle & 0xFFFF);
}

bool HandleTable::Free(uint32_t handle) {
  const std::lock_guard<std::mutex> hold(lock_);
  HandleSlot* s = Find(handle);
  if (!s) return false;
  Release(*s, handle);
  return true;
}

void* HandleTable::Take(uint32_t handle, uint8_t tag) {
  if (((handle >> 16) & 0xFF) != tag) return nullptr;
  const std::lock_guard<std::mutex> hold(lock_);
  HandleSlot* s = Find(handle);
  if (!s) return nullptr;
  void* object = s->object.load(std::memory_order_relaxed);
  Release(*s, handle);
  return object;
}

HandleTable& Handles() {
  // Static storage for the table and its slots, built on first use and
  // never destroyed (no destructor is registered for either).
  static HandleSlot slots[HandleTable::kCapacity];
  alignas(HandleTable) static unsigned char storage[sizeof(HandleTable)];
  static HandleTable* const table = new (storage) HandleTable(slots);
  return *table;
}

namespace {
// Build the table when the module loads, not on the first call.
struct BuildAtLoad {
  BuildAtLoad() { Handles(); }
} g_build_at_load;

template <typename T>
T* Typed(uint32_t handle, uint8_t tag) {
  if (((handle >> 16) & 0xFF) != tag) return nullptr;
  return static_cast<T*>(Handles().Get(handle));
}
}  // namespace

Canvas* CanvasFromHandle(HGCANVAS h) { return Typed<Canvas>(h.value, kTagCanvas); }
Texture* TextureFromHandle(HGTEXTURE h) { return Typed<Texture>(h.value, kTagTexture); }

}  // namespace owl
