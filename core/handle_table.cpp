#include "core/handle_table.h"

#include <new>

namespace owl {

HandleTable::HandleTable() {
  slots_ = new (std::nothrow) HandleSlot[kCapacity];
  if (!slots_) return;
  for (uint32_t i = 0; i < kCapacity; ++i) slots_[i] = HandleSlot{kTagFree, 1, nullptr};
  // Slot 0 never looks free and, with tag 0, never resolves.
  slots_[0].object = reinterpret_cast<void*>(~uintptr_t(0));
  hint_ = 1;
}

HandleTable::~HandleTable() { delete[] slots_; }

uint16_t HandleTable::FindFree() {
  if (hint_ != 0) {
    if (slots_[hint_].object == nullptr) return hint_;
    hint_ = 0;
  }
  for (uint32_t i = 1; i < kCapacity; ++i)
    if (slots_[i].object == nullptr) return uint16_t(i);
  return 0;
}

uint32_t HandleTable::Alloc(uint8_t tag, void* object) {
  if (!slots_ || !object) return 0;
  const uint16_t index = FindFree();
  if (index == 0) return 0;
  HandleSlot& s = slots_[index];
  s.tag = tag;
  s.object = object;
  return uint32_t(s.serial) << 24 | uint32_t(tag) << 16 | index;
}

HandleSlot* HandleTable::Lookup(uint32_t handle) const {
  const uint32_t index = handle & 0xFFFF;
  if (!slots_ || index == 0 || index >= kCapacity) return nullptr;
  HandleSlot& s = slots_[index];
  const uint32_t key = uint32_t(s.serial) << 8 | s.tag;
  // A free slot has tag 0, which no issued handle carries.
  if (s.tag == kTagFree || key != handle >> 16) return nullptr;
  return &s;
}

void* HandleTable::Get(uint32_t handle) const {
  const HandleSlot* s = Lookup(handle);
  return s ? s->object : nullptr;
}

bool HandleTable::Free(uint32_t handle) {
  HandleSlot* s = Lookup(handle);
  if (!s) return false;
  s->tag = kTagFree;
  s->serial = uint8_t(s->serial + 1);
  s->object = nullptr;
  hint_ = uint16_t(handle & 0xFFFF);
  return true;
}

HandleTable& Handles() {
  static HandleTable table;
  return table;
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
