#include "fuzz/api_program.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/cpu_features.h"
#include "core/handle_table.h"
#include "core/texture.h"
#include "owlgraphic.h"
#if !defined(_WIN32)
#include "platform/device_surface.h"
#define OWL_FUZZ_SURFACES 1
#endif

namespace owlfuzz {
namespace {

constexpr size_t kMaxPerKind = 6;     // live canvases, and live textures, per program
constexpr size_t kMaxSteps = 1000;    // operations per program
constexpr uint32_t kSliceArray = 16;  // rectangles a slice array may hold

constexpr int32_t kSpecial[] = {0,         1,          -1,        2,         7,
                                8,         16,         31,        32,        33,
                                255,       256,        32767,     32768,     -32767,
                                -32768,    65535,      65536,     INT32_MAX, INT32_MIN,
                                INT32_MAX - 1, INT32_MIN + 1, 0x40000000, -0x40000000};
constexpr size_t kSpecialCount = sizeof kSpecial / sizeof kSpecial[0];

// Argument bytes of one operation; zeros past their end.
class Args {
 public:
  Args(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(U8()) << (8 * i);
    return v;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

struct Obj {
  uint32_t handle;
  int32_t width, height;
  uint32_t slices = 0;   // textures: slices stored
  int32_t current = -1;  // textures: current slice index
};

// A rectangle argument that may be a null pointer.
struct RectArg {
  owlRect r{0, 0, 0, 0};
  bool null = false;
  const owlRect* ptr() const { return null ? nullptr : &r; }
};

// Objects are named by a key: a canvas or texture handle, or a device
// surface's address with the top bit set.
using Key = uint64_t;
constexpr Key kSurfaceBit = Key(1) << 63;
Key KeyOf(HGCANVAS h) { return h.value; }
Key KeyOf(HGTEXTURE h) { return h.value; }

// What a call may change: nothing; the target canvas's pixels inside its
// clip (and inside rect, when given, as the clip cuts it in logical
// coordinates); the target canvas's pixels inside rect, unclipped; or
// anything of the target. A target device surface may change inside its
// clip and rect.
enum class Change { kNone, kInsideClip, kInsideRect, kAnywhere };
struct Target {
  Key key = 0;
  Change change = Change::kNone;
  const owlRect* rect = nullptr;
};

// The device pixels a call with target may change on canvas c.
owlRect AllowedArea(const owl::Canvas& c, const Target& target) {
  const owlRect all{0, 0, c.texture()->width(), c.texture()->height()};
  owlRect area = target.change == Change::kInsideRect ? all : c.clip();
  if (target.change == Change::kInsideClip && !target.rect) return area;
  if (!target.rect) return owlRect{0, 0, 0, 0};
  owlRect r = *target.rect;
  if (target.change == Change::kInsideClip && !owl::Intersect(r, r, c.LogicalClip())) return owlRect{0, 0, 0, 0};
  c.LogicalToDevice(r);
  owl::Intersect(area, area, r);
  return area;
}

struct Shot {
  Key key;
  int32_t width, height;
  std::vector<uint32_t> pixels;
};

uint32_t TagOf(uint32_t handle) { return (handle >> 16) & 0xFF; }

#if defined(OWL_FUZZ_SURFACES)
Key KeyOf(HDC h) { return Key(reinterpret_cast<uintptr_t>(h)) | kSurfaceBit; }
const HDC__* SurfaceOf(Key key) {
  if (!(key & kSurfaceBit)) return nullptr;
  return DeviceSurfaceFromHdc(reinterpret_cast<HDC>(uintptr_t(key & ~kSurfaceBit)));
}
#else
const void* SurfaceOf(Key) { return nullptr; }
#endif

const BitmapBits* PixelsOf(Key key) {
#if defined(OWL_FUZZ_SURFACES)
  if (key & kSurfaceBit) {
    const HDC__* s = SurfaceOf(key);
    return s ? &s->pixels : nullptr;
  }
#endif
  const uint32_t handle = uint32_t(key);
  if (TagOf(handle) == owl::kTagCanvas) {
    const owl::Canvas* c = owl::CanvasFromHandle(HGCANVAS(handle));
    return c && c->texture() ? &c->texture()->pixels() : nullptr;
  }
  const owl::Texture* t = owl::TextureFromHandle(HGTEXTURE(handle));
  return t ? &t->pixels() : nullptr;
}

std::vector<uint32_t> Copy(const BitmapBits& b) {
  std::vector<uint32_t> out(size_t(b.width) * size_t(b.height));
  for (int32_t y = 0; y < b.height; ++y)
    std::memcpy(out.data() + size_t(y) * size_t(b.width), owl::RowAt(b, y), size_t(b.width) * 4);
  return out;
}

std::string Hex(uint32_t v) {
  char s[16];
  std::snprintf(s, sizeof s, "0x%08x", v);
  return s;
}
std::string KeyText(Key k) {
  char s[32];
  std::snprintf(s, sizeof s, k & kSurfaceBit ? "hdc 0x%llx" : "0x%08llx", (unsigned long long)(k & ~kSurfaceBit));
  return s;
}
std::string RectText(const owlRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom) + ")";
}

// Argument text for the trace and the failure reports.
std::string Desc(HGCANVAS h) { return "canvas " + Hex(h.value); }
std::string Desc(HGTEXTURE h) { return "texture " + Hex(h.value); }
std::string Desc(int v) { return std::to_string(v); }
std::string Desc(unsigned v) { return Hex(v); }
std::string Desc(unsigned char v) { return std::to_string(unsigned(v)); }
std::string Desc(bool v) { return v ? "true" : "false"; }
std::string Desc(const owlRect* r) { return r ? RectText(*r) : "null"; }
std::string Desc(const int32_t* corner) {
  return corner ? "{" + std::to_string(corner[0]) + ", " + std::to_string(corner[1]) + "}" : "null";
}
#if defined(OWL_FUZZ_SURFACES)
std::string Desc(HDC h) {
  char s[32];
  std::snprintf(s, sizeof s, "hdc %p", static_cast<void*>(h));
  return s;
}
#endif
std::string Desc(const TextureMode* m) {
  return m ? "{kind " + std::to_string(m->kind) + ", " + RectText(m->margins) + "}" : "null";
}
template <class T>
std::string Desc(T* p) {
  return p ? "&out" : "null";
}
std::string Join() { return ""; }
template <class A, class... Rest>
std::string Join(const A& a, const Rest&... rest) {
  const std::string tail = Join(rest...);
  return Desc(a) + (tail.empty() ? "" : ", " + tail);
}

// Collects the objects a call's arguments name.
template <class H>
auto NameOf(std::vector<Key>& out, const H& h, int) -> decltype(KeyOf(h), void()) {
  if (std::find(out.begin(), out.end(), KeyOf(h)) == out.end()) out.push_back(KeyOf(h));
}
template <class H>
void NameOf(std::vector<Key>&, const H&, long) {}
template <class H>
void Name(std::vector<Key>& out, const H& h) {
  NameOf(out, h, 0);
}

uint32_t RawValue(HGCANVAS h) { return h.value; }
uint32_t RawValue(HGTEXTURE h) { return h.value; }
template <class R>
int64_t RawValue(R r) {
  return int64_t(r);
}

class Program;
struct Entry {
  uint8_t id;
  const char* name;
  bool exported;
  void (*run)(Program&);
};
const std::vector<Entry>& Table();

class Program {
 public:
  Program(const FailureSink& fail, CallCounts* counts, bool trace)
      : fail_(fail), counts_(counts), trace_(trace), cpu_mask_(owl::SetCpuMaskForTesting(owl::kCpuAll)) {
    owl::SetCpuMaskForTesting(cpu_mask_);
  }

  ~Program() {
    for (const Obj& c : canvases_) DeleteCanvas(HGCANVAS(c.handle));
    for (const Obj& t : textures_) DeleteTexture(HGTEXTURE(t.handle));
#if defined(OWL_FUZZ_SURFACES)
    for (const Surface& s : surfaces_) DeleteDeviceSurface(s.hdc);
#endif
    owl::SetCpuMaskForTesting(cpu_mask_);
    // The next program starts from the same kernel table: the first mode,
    // built with every processor feature the mask allowed at the start.
    if (kernel_changed_) {
      SetStretchKernelMode(kernel_start_ == 0 ? 1 : 0);
      SetStretchKernelMode(kernel_start_);
    }
  }

  void Run(const uint8_t* data, size_t size) {
    const Entry* by_id[128] = {};
    for (const Entry& e : Table()) by_id[e.id] = &e;
    size_t pos = 0;
    for (size_t step = 0; step < kMaxSteps && pos + 2 <= size; ++step) {
      const Entry* e = by_id[data[pos] % 128];
      const size_t len = std::min<size_t>(data[pos + 1], size - pos - 2);
      Args args(data + pos + 2, len);
      pos += 2 + len;
      if (!e) continue;
      if (counts_) ++(*counts_)[e->name];
      a_ = &args;
      op_ = e->name;
      step_ = step;
      e->run(*this);
    }
  }

  // ---- Arguments ------------------------------------------------------------

  uint8_t U8() { return a_->U8(); }
  uint32_t U32() { return a_->U32(); }

  // Mostly a live object of the kind asked for; otherwise 0, one of the
  // other kind, a stale handle, a random value or a live one with its
  // serial, index or tag changed.
  uint32_t HandleArg(const std::vector<Obj>& same, const std::vector<Obj>& other) {
    const uint8_t sel = U8();
    if (sel < 200) return same.empty() ? 0 : same[sel % same.size()].handle;
    const uint32_t live = same.empty() ? 0x01010001u : same[U8() % same.size()].handle;
    switch (sel % 8) {
      case 0: return 0;
      case 1: return other.empty() ? 0 : other[U8() % other.size()].handle;
      case 2: return dead_.empty() ? 0 : dead_[U8() % dead_.size()];
      case 3: return U32();
      case 4: return live ^ (uint32_t(U8() | 1) << 24);
      case 5: return (live & 0xFFFF0000u) | U8();
      case 6: return (live & 0xFF00FFFFu) | uint32_t(U8()) << 16;
      default: return (live & 0xFFFF0000u) | 0x8000u | U8();
    }
  }
  HGCANVAS CanvasArg() { return HGCANVAS(HandleArg(canvases_, textures_)); }
#if defined(OWL_FUZZ_SURFACES)
  // Mostly a live surface; otherwise null, a deleted one, an address inside
  // a live one, or any value (surfaces are looked up, never followed).
  HDC SurfaceArg() {
    const uint8_t sel = U8();
    if (sel < 200) return surfaces_.empty() ? nullptr : surfaces_[sel % surfaces_.size()].hdc;
    const HDC live = surfaces_.empty() ? nullptr : surfaces_[U8() % surfaces_.size()].hdc;
    switch (sel % 4) {
      case 0: return nullptr;
      case 1: return dead_surfaces_.empty() ? nullptr : dead_surfaces_[U8() % dead_surfaces_.size()];
      case 2: return reinterpret_cast<HDC>(reinterpret_cast<uintptr_t>(live) + 8);
      default: return reinterpret_cast<HDC>(uintptr_t(U32()) << 4);
    }
  }
#endif
  HGTEXTURE TextureArg() { return HGTEXTURE(HandleArg(textures_, canvases_)); }

  int32_t Special() { return kSpecial[U8() % kSpecialCount]; }

  // Near a small canvas mostly; otherwise a boundary value or anything.
  int32_t Coord() {
    const uint8_t sel = U8();
    if (sel < 128) return int32_t(sel % 40) - 4;
    if (sel < 176) return int32_t(sel % 88) - 16;
    if (sel < 232) return Special();
    return int32_t(U32());
  }

  int32_t Length() {
    const uint8_t sel = U8();
    if (sel < 128) return sel % 24;
    if (sel < 200) return sel % 48;
    if (sel < 216) return 0;
    if (sel < 240) return -1 - int32_t(U8() % 16);
    return Special();
  }

  // Mostly a rectangle inside or near a small object (sometimes empty or
  // reversed); else corners drawn independently, boundary values, random
  // values or null.
  RectArg Rect() {
    RectArg a;
    const uint8_t sel = U8();
    if (sel % 32 == 31) {
      a.null = true;
      return a;
    }
    switch (sel % 8) {
      case 5: a.r = owlRect{Coord(), Coord(), Coord(), Coord()}; break;
      case 6: a.r = owlRect{Special(), Special(), Special(), Special()}; break;
      case 7: a.r = owlRect{int32_t(U32()), int32_t(U32()), int32_t(U32()), int32_t(U32())}; break;
      case 0:
      case 1:
      case 2: {  // inside most objects
        const int32_t l = U8() % 16, t = U8() % 16;
        a.r = owlRect{l, t, l + 1 + U8() % 16, t + 1 + U8() % 16};
        break;
      }
      default: {
        const int32_t l = Coord(), t = Coord();
        a.r = owlRect{l, t, owl::AddWrap(l, Length()), owl::AddWrap(t, Length())};
      }
    }
    return a;
  }

  // Mostly a non-empty rectangle inside an object of width x height (sides
  // of 0 for an object that is not live), otherwise Rect().
  RectArg RectIn(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || U8() >= 160) return Rect();
    RectArg a;
    const int32_t l = int32_t(U32() % uint32_t(width)), t = int32_t(U32() % uint32_t(height));
    a.r = owlRect{l, t, l + 1 + int32_t(U32() % uint32_t(width - l)), t + 1 + int32_t(U32() % uint32_t(height - t))};
    return a;
  }
  RectArg RectIn(HGCANVAS c) {
    const Obj* o = Find(canvases_, c.value);
    return o ? RectIn(o->width, o->height) : Rect();
  }
  RectArg RectIn(HGTEXTURE t) {
    const Obj* o = Find(textures_, t.value);
    return o ? RectIn(o->width, o->height) : Rect();
  }

  // Insets for nine-grids and top bands: small, sometimes negative or huge.
  RectArg Margins() {
    RectArg a;
    const uint8_t sel = U8();
    if (sel % 32 == 31) {
      a.null = true;
      return a;
    }
    auto one = [&]() -> int32_t {
      const uint8_t s = U8();
      if (s < 128) return s % 6;
      if (s < 200) return s % 24;
      if (s < 224) return -1 - int32_t(U8() % 8);
      return Special();
    };
    a.r = owlRect{one(), one(), one(), one()};
    return a;
  }

  // Premultiplied mostly; also raw values, telling constants, opaque and
  // alpha-0 colours.
  uint32_t Color() {
    const uint8_t sel = U8();
    static const uint32_t kColors[] = {0x00000000u, 0xFFFFFFFFu, 0xFF000000u, 0x00FFFFFFu, 0x80808080u,
                                       0x01000000u, 0xFF102030u, 0x80402010u, 0xFF204060u, 0x7F7F7F7Fu};
    switch (sel % 8) {
      case 4: return U32();
      case 5: return kColors[U8() % (sizeof kColors / sizeof kColors[0])];
      case 6: return 0xFF000000u | (U32() & 0xFFFFFFu);
      case 7: return U32() & 0xFFFFFFu;
      default: {
        const uint8_t pick = U8();
        const uint32_t a = pick % 4 == 0 ? 0 : pick % 4 == 1 ? 255 : U8();
        uint32_t c = a << 24;
        for (int shift = 0; shift < 24; shift += 8) c |= (a ? U8() % (a + 1) : 0) << shift;
        return c;
      }
    }
  }

  // A filter word: blend kinds 0..5 mostly, any top byte sometimes.
  uint32_t Filter() {
    const uint8_t sel = U8();
    const uint32_t kind = sel % 8 < 6 ? sel % 8 : U8();
    const uint32_t low = sel & 0x80 ? U32() & 0xFFFFFFu : 0;
    return kind << 24 | low;
  }

  unsigned char Alpha() {
    const uint8_t sel = U8();
    switch (sel % 4) {
      case 0: return OWL_ALPHA_OPAQUE;
      case 1: return 0;
      case 2: return 128;
      default: return U8();
    }
  }

  unsigned int Resample() {
    const uint8_t sel = U8();
    switch (sel % 5) {
      case 0: return OWL_RESAMPLE_NEAREST;
      case 1: return OWL_RESAMPLE_BICUBIC;
      case 2: return OWL_RESAMPLE_BILINEAR;
      case 3: return 2;  // unnamed: bilinear
      default: return U32();
    }
  }

  // Canvas and texture sides: small mostly; also one side at the limit with
  // the other small, and sizes that must be refused.
  void Size(int32_t& w, int32_t& h) {
    const uint8_t sel = U8();
    switch (sel % 32) {
      case 27: w = 1 + U8() % 3; h = owl::kMaxSide - U8() % 2; break;
      case 28: w = owl::kMaxSide - U8() % 2; h = 1 + U8() % 3; break;
      case 29: w = Special() <= 0 ? Special() : 32768 + U8(); h = 1 + U8() % 8; break;
      case 30: w = 1 + U8() % 8; h = Special() <= 0 ? Special() : 32768 + U8(); break;
      case 31: w = 1 + U8() % 160; h = 1 + U8() % 160; break;
      default: w = 1 + U8() % 40; h = 1 + U8() % 40;
    }
  }

  template <class T>
  T* Out(T& storage) {
    return U8() % 16 == 15 ? nullptr : &storage;
  }

  // ---- The model ------------------------------------------------------------

  static Obj* Find(std::vector<Obj>& v, uint32_t handle) {
    for (Obj& o : v)
      if (o.handle == handle) return &o;
    return nullptr;
  }
  static const Obj* Find(const std::vector<Obj>& v, uint32_t handle) {
    for (const Obj& o : v)
      if (o.handle == handle) return &o;
    return nullptr;
  }
  bool Live(HGCANVAS c) { return Find(canvases_, c.value) != nullptr; }
  bool Live(HGTEXTURE t) { return Find(textures_, t.value) != nullptr; }
#if defined(OWL_FUZZ_SURFACES)
  struct Surface {
    HDC hdc;
    int32_t width, height;
  };
  bool Live(HDC h) {
    for (const Surface& s : surfaces_)
      if (s.hdc == h) return true;
    return false;
  }
  std::vector<Surface> surfaces_;
  std::vector<HDC> dead_surfaces_;
#endif

  void Forget(std::vector<Obj>& v, uint32_t handle) {
    for (size_t i = 0; i < v.size(); ++i)
      if (v[i].handle == handle) {
        v.erase(v.begin() + std::ptrdiff_t(i));
        dead_.push_back(handle);
        if (dead_.size() > 32) dead_.erase(dead_.begin());
        return;
      }
  }

  // Makes room for one more object of a kind by deleting the oldest.
  void MakeRoom(std::vector<Obj>& v, bool canvas) {
    if (v.size() < kMaxPerKind) return;
    const uint32_t h = v.front().handle;
    if (canvas) DeleteCanvas(HGCANVAS(h));
    else DeleteTexture(HGTEXTURE(h));
    Forget(v, h);
  }

  // Seeded pixels: premultiplied, or any values when raw.
  static void Paint(uint32_t handle, uint32_t seed, bool raw) {
    const BitmapBits* b = PixelsOf(handle);
    if (!b) return;
    uint32_t s = seed | 1;
    for (int32_t y = 0; y < b->height; ++y) {
      uint32_t* row = owl::RowAt(*b, y);
      for (int32_t x = 0; x < b->width; ++x) {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        uint32_t p = s;
        if (!raw) {
          const uint32_t a = (s >> 29) == 0 ? 0 : (s >> 29) < 3 ? 255 : s >> 24;
          p = a << 24;
          for (int k = 0; k < 3; ++k) p |= (((s >> (8 * k)) & 0xFF) * a / 255) << (8 * k);
        }
        row[x] = p;
      }
    }
  }

  // ---- Calls and their checks -----------------------------------------------

  void Fail(const std::string& what) {
    fail_("step " + std::to_string(step_) + ": " + last_ + ": " + what);
  }
  void Expect(bool ok, const std::string& what) {
    if (!ok) Fail(what);
  }
  template <class R>
  void ExpectResult(R r, std::initializer_list<int64_t> allowed) {
    const int64_t v = RawValue(r);
    for (int64_t a : allowed)
      if (a == v) return;
    Fail("returned " + std::to_string(v) + ", which it never may here");
  }

  // Calls fn with args, recording the call, and checks that only target
  // changed, as far as target.change allows.
  template <class R, class... P, class... A>
  R Invoke(const Target& target, R (*fn)(P...), A... args) {
    last_ = std::string(op_) + "(" + Join(args...) + ")";
    if (trace_) std::fprintf(stderr, "[%zu] %s\n", step_, last_.c_str());
    // The objects the call names: their buffers are the only ones it can
    // reach (a write anywhere else is the sanitizers' to catch).
    std::vector<Key> named;
    (Name(named, args), ...);
    std::vector<Shot> before;
    for (Key k : named)
      if (const BitmapBits* b = PixelsOf(k)) before.push_back(Shot{k, b->width, b->height, Copy(*b)});
    owlRect clip{0, 0, 0, 0};
    if (target.key & kSurfaceBit) {
#if defined(OWL_FUZZ_SURFACES)
      if (const HDC__* surface = SurfaceOf(target.key)) {
        clip = surface->clip;
        if (target.rect) owl::Intersect(clip, clip, *target.rect);
        else clip = owlRect{0, 0, 0, 0};
      }
#endif
    } else if (const owl::Canvas* c = TagOf(uint32_t(target.key)) == owl::kTagCanvas
                                          ? owl::CanvasFromHandle(HGCANVAS(uint32_t(target.key)))
                                          : nullptr) {
      clip = AllowedArea(*c, target);
    }
    const R r = fn(args...);
    for (const Shot& s : before) {
      const BitmapBits* b = PixelsOf(s.key);
      if (!b) continue;  // deleted or consumed by the call
      if (b->width != s.width || b->height != s.height) {
        Fail("object " + KeyText(s.key) + " changed its size");
        continue;
      }
      const std::vector<uint32_t> after = Copy(*b);
      if (after == s.pixels) continue;
      // Counted apart, to show how many calls of each function drew.
      if (counts_ && s.key == target.key) ++(*counts_)[std::string(op_) + " (drew)"];
      if (s.key == target.key && target.change == Change::kAnywhere) continue;
      const bool clipped = s.key == target.key &&
                           (target.change == Change::kInsideClip || target.change == Change::kInsideRect);
      for (int32_t y = 0; y < s.height; ++y)
        for (int32_t x = 0; x < s.width; ++x) {
          const size_t i = size_t(y) * size_t(s.width) + size_t(x);
          if (after[i] == s.pixels[i] || (clipped && owl::Contains(clip, x, y))) continue;
          Fail("pixel (" + std::to_string(x) + "," + std::to_string(y) + ") of " + KeyText(s.key) +
               " changed from " + Hex(s.pixels[i]) + " to " + Hex(after[i]) +
               (clipped ? " outside the device area " + RectText(clip) + " it may change"
                        : " though the call may not change it"));
          return r;
        }
    }
    return r;
  }

  // A view handed out must lie inside the owner's buffer; every pixel of it
  // is read and written back, so that the sanitizers see any overreach.
  void CheckView(Key owner, const BitmapBits& v) {
    const BitmapBits* b = PixelsOf(owner);
    if (!b) return;
    if (v.width < 0 || v.height < 0) return Fail("view of negative size");
    if (v.width == 0 || v.height == 0) return;
    const auto base = reinterpret_cast<uintptr_t>(b->bits);
    const auto first = reinterpret_cast<uintptr_t>(v.bits);
    if (v.pitch != b->pitch || first < base || (first - base) % 4 != 0) return Fail("view outside the buffer");
    const uintptr_t offset = first - base;
    const uintptr_t x = (offset % uintptr_t(b->pitch)) / 4, y = offset / uintptr_t(b->pitch);
    if (x + uintptr_t(v.width) > uintptr_t(b->width) || y + uintptr_t(v.height) > uintptr_t(b->height))
      return Fail("view of " + std::to_string(v.width) + "x" + std::to_string(v.height) + " at (" +
                  std::to_string(x) + "," + std::to_string(y) + ") outside the buffer");
    for (int32_t row = 0; row < v.height; ++row) {
      volatile uint32_t* p = owl::RowAt(v, row);
      for (int32_t i = 0; i < v.width; ++i) p[i] = p[i];
    }
  }

  const FailureSink& fail_;
  CallCounts* counts_;
  bool trace_;
  uint32_t cpu_mask_;
  Args* a_ = nullptr;
  const char* op_ = "";
  size_t step_ = 0;
  std::string last_;
  std::vector<Obj> canvases_, textures_;
  std::vector<uint32_t> dead_;  // handles this program deleted
  const int kernel_start_ = GetStretchKernelMode();
  int kernel_mode_ = kernel_start_;
  bool kernel_changed_ = false;
};

Target None() { return Target{}; }
Target Whole(uint32_t h) { return Target{h, Change::kAnywhere}; }
Target Clipped(HGCANVAS c, const RectArg* r = nullptr) {
  return Target{c.value, Change::kInsideClip, r ? r->ptr() : nullptr};
}
Target InsideRect(HGCANVAS c, const RectArg& r) { return Target{c.value, Change::kInsideRect, r.ptr()}; }

bool SizeValid(int32_t w, int32_t h) { return w > 0 && h > 0 && w <= owl::kMaxSide && h <= owl::kMaxSide; }

// ---- Canvases ---------------------------------------------------------------

void RunCreateCanvas(Program& p) {
  int32_t w, h;
  p.Size(w, h);
  p.MakeRoom(p.canvases_, true);
  const HGCANVAS parent = p.CanvasArg();
  const bool parent_live = p.Live(parent);
  uint32_t parent_filter = 0;
  if (parent_live) GetCanvasFilter(parent, &parent_filter);
  const uint8_t seed = p.U8();
  const HGCANVAS c = p.Invoke(None(), CreateCanvas, w, h, parent);
  p.Expect((c.value != 0) == SizeValid(w, h), "creation result does not match the size");
  if (c.value == 0) return;
  p.Expect(TagOf(c.value) == owl::kTagCanvas && !p.Live(c), "new handle is not a fresh canvas handle");
  p.canvases_.push_back(Obj{c.value, w, h});
  owlRect clip;
  uint32_t filter = 1;
  p.Expect(GetCanvasClip(c, &clip) == 1 && clip == owlRect{0, 0, w, h}, "new canvas's clip is not the canvas");
  p.Expect(GetCanvasFilter(c, &filter) == 1 && filter == (parent_live ? parent_filter : 0),
           "new canvas's filter is not its parent's");
  Program::Paint(c.value, seed * 0x9E3779B9u + 1, seed & 1);
}

void RunDeleteCanvas(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const bool live = p.Live(c);
  const int r = p.Invoke(Whole(c.value), DeleteCanvas, c);
  p.Expect((r != 0) == live, "deletion result does not match the handle");
  if (live) p.Forget(p.canvases_, c.value);
}

template <class T, int (*Get)(HGCANVAS, T*)>
void RunCanvasGetter(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  T value{};
  T* out = p.Out(value);
  const int r = p.Invoke(None(), Get, c, out);
  p.ExpectResult(r, {p.Live(c) && out ? 1 : 0});
}

void RunSetCanvasBkColor(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const uint32_t color = p.Color();
  uint32_t old = 0;
  uint32_t* out = p.Out(old);
  p.ExpectResult(p.Invoke(None(), SetCanvasBkColor, c, color, out), {p.Live(c) ? 1 : 0});
  uint32_t now = 0;
  if (p.Live(c)) p.Expect(GetCanvasBkColor(c, &now) == 1 && now == color, "colour not stored");
}

template <int (*Set)(HGCANVAS, int, int, owlPoint*), int (*Get)(HGCANVAS, owlPoint*)>
void RunSetOrigin(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const int x = p.Coord(), y = p.Coord();
  owlPoint old{0, 0};
  owlPoint* out = p.Out(old);
  p.ExpectResult(p.Invoke(None(), Set, c, x, y, out), {p.Live(c) ? 1 : 0});
  owlPoint now{0, 0};
  if (p.Live(c)) p.Expect(Get(c, &now) == 1 && now == owlPoint{x, y}, "origin not stored");
}

void RunSetCanvasFilter(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const uint32_t f = p.Filter();
  p.ExpectResult(p.Invoke(None(), SetCanvasFilter, c, f), {p.Live(c) ? 1 : 0});
}

void RunSetCanvasClip(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg clip = p.Rect();
  owlRect old{0, 0, 0, 0};
  owlRect* out = p.Out(old);
  const int r = p.Invoke(None(), SetCanvasClip, c, clip.ptr(), out);
  if (!p.Live(c)) return p.ExpectResult(r, {0});
  p.ExpectResult(r, {clip.null ? 0 : 1});
  const owl::Canvas* cv = owl::CanvasFromHandle(c);
  const owlRect& k = cv->clip();
  const owlRect all{0, 0, cv->texture()->width(), cv->texture()->height()};
  owlRect inside;
  const bool empty = k == owlRect{0, 0, 0, 0};
  p.Expect(empty || (owl::Intersect(inside, k, all) && inside == k), "stored clip " + RectText(k) +
                                                                         " is neither inside the canvas nor empty");
}

void RunGetCanvasClipBits(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  BitmapBits bits{};
  BitmapBits* out = p.Out(bits);
  const int r = p.Invoke(None(), GetCanvasClipBits, c, out);
  p.ExpectResult(r, p.Live(c) && out ? std::initializer_list<int64_t>{0, 1} : std::initializer_list<int64_t>{0});
  if (r == 1) p.CheckView(c.value, bits);
}

void RunLockCanvasBits(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  BitmapBits bits{};
  BitmapBits* out = p.Out(bits);
  const RectArg rect = p.RectIn(c);
  const int r = p.Invoke(None(), LockCanvasBits, c, out, rect.ptr());
  p.ExpectResult(r, p.Live(c) && out ? std::initializer_list<int64_t>{0, 1} : std::initializer_list<int64_t>{0});
  if (r == 1) p.CheckView(c.value, bits);
}

void RunUnlockCanvasBits(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  p.ExpectResult(p.Invoke(None(), UnlockCanvasBits, c), {p.Live(c) ? 1 : 0});
}

void RunCanvasToTexture(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const bool live = p.Live(c);
  std::vector<uint32_t> before;
  uint32_t filter = 0;
  if (live) {
    before = Copy(*PixelsOf(c.value));
    GetCanvasFilter(c, &filter);
    p.MakeRoom(p.textures_, false);
  }
  const HGTEXTURE t = p.Invoke(Whole(c.value), CanvasToTexture, c);
  p.Expect((t.value != 0) == live, "result does not match the handle");
  if (!live) return;
  const Obj canvas = *Program::Find(p.canvases_, c.value);
  p.Forget(p.canvases_, c.value);
  if (t.value == 0) return;
  p.Expect(TagOf(t.value) == owl::kTagTexture && !p.Live(t), "new handle is not a fresh texture handle");
  p.textures_.push_back(Obj{t.value, canvas.width, canvas.height});
  const BitmapBits* b = PixelsOf(t.value);
  if (!b || b->width != canvas.width || b->height != canvas.height) return p.Fail("texture has not the canvas's size");
  const std::vector<uint32_t> after = Copy(*b);
  for (size_t i = 0; i < after.size(); ++i) {
    const uint32_t want = (filter >> 24) == 1 ? before[i] : before[i] | 0xFF000000u;
    if (after[i] != want) return p.Fail("texel " + std::to_string(i) + " is " + Hex(after[i]) + ", not " + Hex(want));
  }
}

// ---- Textures ---------------------------------------------------------------

void RunCreateTexture(Program& p) {
  int32_t w, h;
  p.Size(w, h);
  p.MakeRoom(p.textures_, false);
  const uint8_t seed = p.U8();
  const HGTEXTURE t = p.Invoke(None(), CreateTexture, w, h);
  p.Expect((t.value != 0) == SizeValid(w, h), "creation result does not match the size");
  if (t.value == 0) return;
  p.Expect(TagOf(t.value) == owl::kTagTexture && !p.Live(t), "new handle is not a fresh texture handle");
  p.textures_.push_back(Obj{t.value, w, h});
  Program::Paint(t.value, seed * 0x9E3779B9u + 7, seed & 1);
}

void RunDeleteTexture(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const bool live = p.Live(t);
  const int r = p.Invoke(Whole(t.value), DeleteTexture, t);
  p.Expect((r != 0) == live, "deletion result does not match the handle");
  if (live) p.Forget(p.textures_, t.value);
}

void RunGetTextureSize(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  owlSize size{-1, -1};
  owlSize* out = p.Out(size);
  const int r = p.Invoke(None(), GetTextureSize, t, out);
  const Obj* o = Program::Find(p.textures_, t.value);
  p.ExpectResult(r, {o && out ? 1 : 0});
  if (r == 1 && o) p.Expect(size.width == o->width && size.height == o->height, "size differs from creation");
}

void RunLockTextureBits(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  BitmapBits bits{};
  BitmapBits* out = p.Out(bits);
  const RectArg rect = p.RectIn(t);
  const int r = p.Invoke(None(), LockTextureBits, t, out, rect.ptr());
  p.ExpectResult(r, p.Live(t) && out ? std::initializer_list<int64_t>{0, 1} : std::initializer_list<int64_t>{0});
  if (r == 1) p.CheckView(t.value, bits);
}

void RunUnlockTextureBits(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  p.ExpectResult(p.Invoke(None(), UnlockTextureBits, t), {p.Live(t) ? 1 : 0});
}

template <class T, int (*Get)(HGTEXTURE, T*)>
void RunTextureGetter(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  T value{};
  T* out = p.Out(value);
  p.ExpectResult(p.Invoke(None(), Get, t, out), {p.Live(t) && out ? 1 : 0});
}

void RunSetTextureFilter(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const uint32_t f = p.Filter();
  p.ExpectResult(p.Invoke(None(), SetTextureFilter, t, f), {p.Live(t) ? 1 : 0});
}

void RunSetTextureMode(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const uint8_t sel = p.U8();
  TextureMode mode{sel % 8 < 7 ? uint32_t(sel % 8) : p.U32(), p.Margins().r};
  TextureMode* in = sel % 32 == 31 ? nullptr : &mode;
  const int r = p.Invoke(None(), SetTextureMode, t, static_cast<const TextureMode*>(in));
  p.ExpectResult(r, {p.Live(t) && in ? 1 : 0});
}

void RunSetTextureSlice(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  owlRect rects[kSliceArray];
  const uint32_t n = p.U8() % (kSliceArray + 1);
  for (uint32_t i = 0; i < n; ++i) rects[i] = p.Rect().r;
  const uint8_t sel = p.U8();
  // A null array may come with any count; a real one with at most its size.
  const bool null = sel % 8 == 7;
  const unsigned count = null ? p.U32() : sel % (n + 1);
  const int r = p.Invoke(None(), SetTextureSlice, t, count, static_cast<const owlRect*>(null ? nullptr : rects));
  Obj* o = Program::Find(p.textures_, t.value);
  if (!o) return p.ExpectResult(r, {0});
  const bool stores = count != 0 && !null;
  p.ExpectResult(r, {stores ? 0 : -1});
  o->slices = stores && r == 0 ? count : 0;
  o->current = stores && r == 0 ? 0 : -1;
}

void RunSetTextureCurSlice(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const uint8_t sel = p.U8();
  const int index = sel < 224 ? int(sel % 20) - 2 : p.Special();
  const int r = p.Invoke(None(), SetTextureCurSlice, t, index);
  Obj* o = Program::Find(p.textures_, t.value);
  if (!o || index < 0 || uint32_t(index) >= o->slices) return p.ExpectResult(r, {-1});
  p.ExpectResult(r, {o->current});
  o->current = index;
}

void RunCopyTexture(Program& p) {
  const HGTEXTURE d = p.TextureArg(), s = p.TextureArg();
  p.ExpectResult(p.Invoke(Whole(d.value), CopyTexture, d, s), {p.Live(d) && p.Live(s) ? 1 : 0});
}

// ---- Texture drawing --------------------------------------------------------

// 0 for a bad handle or a missing required rectangle; otherwise 1, or 0 for
// a source rectangle the texture refuses.
template <class R>
void ExpectDrawResult(Program& p, R r, HGCANVAS c, HGTEXTURE t, bool required) {
  if (!p.Live(c) || !p.Live(t) || !required) return p.ExpectResult(r, {0});
  p.ExpectResult(r, {0, 1});
}

void RunDrawTexture(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg dst = p.RectIn(c);
  const HGTEXTURE t = p.TextureArg();
  const unsigned f = p.Resample();
  ExpectDrawResult(p, p.Invoke(Clipped(c), DrawTexture, c, dst.ptr(), t, f), c, t, !dst.null);
}

void RunDrawTextureEx(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg dst = p.RectIn(c);
  const HGTEXTURE t = p.TextureArg();
  const unsigned f = p.Resample();
  const unsigned char alpha = p.Alpha();
  ExpectDrawResult(p, p.Invoke(Clipped(c), DrawTextureEx, c, dst.ptr(), t, f, alpha), c, t, !dst.null);
}

void RunDrawTexture9Grid(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg dst = p.RectIn(c);
  const HGTEXTURE t = p.TextureArg();
  const RectArg src = p.RectIn(t), margins = p.Margins();
  const unsigned f = p.Resample();
  const bool fill = p.U8() & 1;
  const unsigned char alpha = p.Alpha();
  const unsigned r =
      p.Invoke(Clipped(c), DrawTexture9Grid, c, dst.ptr(), t, src.ptr(), margins.ptr(), f, fill, alpha);
  ExpectDrawResult(p, r, c, t, !dst.null && !margins.null);
}

void RunDrawTextureTopTile(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg dst = p.RectIn(c);
  const HGTEXTURE t = p.TextureArg();
  const RectArg src = p.RectIn(t), margins = p.Margins();
  const unsigned f = p.Resample();
  const unsigned char alpha = p.Alpha();
  const unsigned r = p.Invoke(Clipped(c), DrawTextureTopTile, c, dst.ptr(), t, src.ptr(), margins.ptr(), f, alpha);
  ExpectDrawResult(p, r, c, t, !dst.null && !margins.null);
}

template <unsigned (*Draw)(HGCANVAS, const owlRect*, HGTEXTURE, const owlRect*, unsigned, unsigned char)>
void RunDrawTextureWithSource(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg dst = p.RectIn(c);
  const HGTEXTURE t = p.TextureArg();
  const RectArg src = p.RectIn(t);
  const unsigned f = p.Resample();
  const unsigned char alpha = p.Alpha();
  ExpectDrawResult(p, p.Invoke(Clipped(c), Draw, c, dst.ptr(), t, src.ptr(), f, alpha), c, t, !dst.null);
}

// ---- Stretch kernel mode ----------------------------------------------------

void RunGetStretchKernelMode(Program& p) {
  p.ExpectResult(p.Invoke(None(), GetStretchKernelMode), {p.kernel_mode_});
}

void RunSetStretchKernelMode(Program& p) {
  const uint8_t sel = p.U8();
  const int mode = sel < 200 ? int(sel % 5) - 1 : p.Special();
  p.ExpectResult(p.Invoke(None(), SetStretchKernelMode, mode), {mode == p.kernel_mode_ ? 0 : 1});
  p.kernel_mode_ = mode;
  p.kernel_changed_ = true;
}

// ---- Version ----------------------------------------------------------------

void RunGetOwlVersion(Program& p) { p.ExpectResult(p.Invoke(None(), GetOwlVersion), {OWL_VERSION}); }

// ---- Colour conversion ------------------------------------------------------

void RunARGBtoAHSL(Program& p) {
  const uint32_t argb = p.Color();
  const uint32_t ahsl = p.Invoke(None(), ARGBtoAHSL, argb);
  p.Expect(ahsl >> 24 == argb >> 24, "alpha not kept: " + Hex(ahsl));
  const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  if (r == g && g == b) p.Expect((ahsl & 0xFFFF00u) == 0xAA0000u, "a grey must have hue 170 and saturation 0");
}

void RunAHSLtoARGB(Program& p) {
  const uint32_t ahsl = p.U32();
  const uint32_t argb = p.Invoke(None(), AHSLtoARGB, ahsl);
  p.Expect(argb >> 24 == ahsl >> 24, "alpha not kept: " + Hex(argb));
  const uint32_t l = ahsl & 0xFF;
  if (((ahsl >> 8) & 0xFF) == 0)
    p.Expect((argb & 0xFFFFFFu) == (l << 16 | l << 8 | l), "saturation 0 must give the grey of L");
}

// ---- Texture effects --------------------------------------------------------

template <class... A>
void RunEffectOn(Program& p, int (*fn)(HGTEXTURE, A...), HGTEXTURE t, A... args) {
  p.ExpectResult(p.Invoke(Whole(t.value), fn, t, args...), {p.Live(t) ? 1 : 0});
}

void RunTranslateTexture(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const uint32_t from = p.Color(), to = p.Color();
  RunEffectOn(p, TranslateTexture, t, from, to);
}

template <int (*Effect)(HGTEXTURE)>
void RunEffect(Program& p) {
  RunEffectOn(p, Effect, p.TextureArg());
}

void RunShuffleTexture(Program& p) {
  const HGTEXTURE t = p.TextureArg();
  const uint8_t sel = p.U8();
  const int type = sel % 4 == 0   ? OWL_SHUFFLE_ALPHA_TO_COLOR
                   : sel % 4 == 1 ? OWL_SHUFFLE_COLOR_TO_ALPHA
                   : sel % 4 == 2 ? int(p.U8() % 10)
                                  : p.Special();
  RunEffectOn(p, ShuffleTexture, t, type);
}

void RunBlurTexture(Program& p) {
  const HGTEXTURE d = p.TextureArg(), s = p.TextureArg();
  p.ExpectResult(p.Invoke(Whole(d.value), BlurTexture, d, s), {p.Live(d) && p.Live(s) ? 1 : 0});
}

int32_t BlurRadius(Program& p) {
  const uint8_t sel = p.U8();
  if (sel < 160) return sel % 12;
  if (sel < 200) return 120 + sel % 12;  // around the largest radius, 128
  return p.Special();
}

bool SameSize(Program& p, HGTEXTURE a, HGTEXTURE b) {
  const Obj* x = p.Find(p.textures_, a.value);
  const Obj* y = p.Find(p.textures_, b.value);
  return x && y && x->width == y->width && x->height == y->height;
}

void RunGaussianBlurTexture(Program& p) {
  const HGTEXTURE d = p.TextureArg(), s = p.TextureArg();
  const int32_t radius = BlurRadius(p);
  const bool ok = p.Live(d) && p.Live(s) && SameSize(p, d, s) && radius >= 0 && radius <= 128;
  p.ExpectResult(p.Invoke(Whole(d.value), GaussianBlurTexture, d, s, radius), {ok ? 1 : 0});
}

void RunShadowTexture(Program& p) {
  const HGTEXTURE d = p.TextureArg(), s = p.TextureArg();
  const int32_t radius = BlurRadius(p);
  const uint32_t color = p.Color();
  const bool ok = p.Live(d) && p.Live(s) && SameSize(p, d, s) && radius >= 0 && radius <= 128;
  p.ExpectResult(p.Invoke(Whole(d.value), ShadowTexture, d, s, radius, color), {ok ? 1 : 0});
}

// ---- Device surfaces --------------------------------------------------------

#if defined(OWL_FUZZ_SURFACES)
constexpr size_t kMaxSurfaces = 3;

void RunCreateDeviceSurface(Program& p) {
  int32_t w, h;
  p.Size(w, h);
  if (p.surfaces_.size() >= kMaxSurfaces) {
    DeleteDeviceSurface(p.surfaces_.front().hdc);
    p.dead_surfaces_.push_back(p.surfaces_.front().hdc);
    p.surfaces_.erase(p.surfaces_.begin());
  }
  const HDC s = p.Invoke(None(), CreateDeviceSurface, w, h);
  p.Expect((s != nullptr) == SizeValid(w, h), "creation result does not match the size");
  if (!s) return;
  p.Expect(!p.Live(s), "a live surface returned again");
  p.surfaces_.push_back(Program::Surface{s, w, h});
  owlRect clip{};
  p.Expect(GetDeviceSurfaceClip(s, &clip) == 1 && clip == owlRect{0, 0, w, h}, "new surface's clip is not the surface");
}

void RunDeleteDeviceSurface(Program& p) {
  const HDC s = p.SurfaceArg();
  const bool live = p.Live(s);
  p.ExpectResult(p.Invoke(Target{KeyOf(s), Change::kAnywhere}, DeleteDeviceSurface, s), {live ? 1 : 0});
  if (!live) return;
  for (size_t i = 0; i < p.surfaces_.size(); ++i)
    if (p.surfaces_[i].hdc == s) p.surfaces_.erase(p.surfaces_.begin() + std::ptrdiff_t(i));
  p.dead_surfaces_.push_back(s);
}

void RunLockDeviceSurfaceBits(Program& p) {
  const HDC s = p.SurfaceArg();
  BitmapBits bits{};
  BitmapBits* out = p.Out(bits);
  const int r = p.Invoke(None(), LockDeviceSurfaceBits, s, out);
  p.ExpectResult(r, {p.Live(s) && out ? 1 : 0});
  if (r == 1) p.CheckView(KeyOf(s), bits);
}

void RunUnlockDeviceSurfaceBits(Program& p) {
  const HDC s = p.SurfaceArg();
  p.ExpectResult(p.Invoke(None(), UnlockDeviceSurfaceBits, s), {p.Live(s) ? 1 : 0});
}

void RunGetDeviceSurfaceClip(Program& p) {
  const HDC s = p.SurfaceArg();
  owlRect clip{};
  owlRect* out = p.Out(clip);
  p.ExpectResult(p.Invoke(None(), GetDeviceSurfaceClip, s, out), {p.Live(s) && out ? 1 : 0});
}

void RunSetDeviceSurfaceClip(Program& p) {
  const HDC s = p.SurfaceArg();
  const RectArg clip = p.Rect();
  owlRect old{};
  owlRect* out = p.Out(old);
  p.ExpectResult(p.Invoke(None(), SetDeviceSurfaceClip, s, clip.ptr(), out), {p.Live(s) ? 1 : 0});
  if (const HDC__* surface = SurfaceOf(KeyOf(s))) {
    const owlRect& k = surface->clip;
    const owlRect all{0, 0, surface->pixels.width, surface->pixels.height};
    owlRect inside;
    p.Expect(k == owlRect{0, 0, 0, 0} || (owl::Intersect(inside, k, all) && inside == k),
             "stored clip " + RectText(k) + " is neither inside the surface nor empty");
  }
}

// Writes only inside the device's clip and dstRect; the canvas is a source.
void RunGdiTransCanvas(Program& p) {
  const HDC s = p.SurfaceArg();
  const RectArg dr = p.RectIn(30, 20);
  const HGCANVAS c = p.CanvasArg();
  const RectArg sr = p.RectIn(c);
  const int r = p.Invoke(Target{KeyOf(s), Change::kInsideClip, dr.ptr()}, GdiTransCanvas, s, dr.ptr(), c, sr.ptr());
  p.ExpectResult(r, {p.Live(c) ? 1 : 0});
}
#else
// A host's device context is beyond the program's reach: a null one, which
// the device call refuses, and nothing of the program's may change.
void RunGdiTransCanvas(Program& p) {
  const HDC none = nullptr;
  const RectArg dr = p.Rect();
  const HGCANVAS c = p.CanvasArg();
  const RectArg sr = p.RectIn(c);
  p.ExpectResult(p.Invoke(None(), GdiTransCanvas, none, dr.ptr(), c, sr.ptr()), {p.Live(c) ? 1 : 0});
}
#endif

// ---- Canvas composition -----------------------------------------------------

template <int (*Compose)(HGCANVAS, const owlRect*, HGCANVAS, const owlRect*, uint8_t)>
void RunCompose(Program& p) {
  const HGCANVAS d = p.CanvasArg();
  const RectArg dr = p.RectIn(d);
  const HGCANVAS s = p.CanvasArg();
  const RectArg sr = p.RectIn(s);
  const uint8_t alpha = p.Alpha();
  const int r = p.Invoke(InsideRect(d, dr), Compose, d, dr.ptr(), s, sr.ptr(), alpha);
  p.ExpectResult(r, {p.Live(d) && p.Live(s) ? 1 : 0});
}

void RunMixCanvasWithColor(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg r = p.RectIn(c);
  const uint32_t color = p.Color();
  const uint8_t alpha = p.Alpha();
  p.ExpectResult(p.Invoke(InsideRect(c, r), MixCanvasWithColor, c, r.ptr(), color, alpha), {p.Live(c) ? 1 : 0});
}

// ---- Outlines ---------------------------------------------------------------

template <int (*Outline)(HGCANVAS, const owlRect*, uint32_t)>
void RunOutline(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg r = p.RectIn(c);
  const uint32_t color = p.Color();
  const int res = p.Invoke(Clipped(c, &r), Outline, c, r.ptr(), color);
  p.ExpectResult(res, p.Live(c) && !r.null ? std::initializer_list<int64_t>{0, 1} : std::initializer_list<int64_t>{0});
}

void RunGeoRoundRectEx(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg r = p.RectIn(c);
  const int32_t corner[2] = {p.Length(), p.Length()};
  const int32_t* cp = p.U8() % 32 == 31 ? nullptr : corner;
  const uint32_t color = p.Color();
  const int res = p.Invoke(Clipped(c, &r), GeoRoundRectEx, c, r.ptr(), cp, color);
  p.ExpectResult(res, p.Live(c) && !r.null && cp ? std::initializer_list<int64_t>{0, 1}
                                                 : std::initializer_list<int64_t>{0});
}

void RunDrawRoundRectShadow(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const RectArg r = p.RectIn(c);
  const int32_t corner = p.Length(), radius = BlurRadius(p);
  const uint32_t color = p.Color();
  const int32_t dx = p.U8() % 4 == 0 ? p.Coord() : p.U8() % 9 - 4, dy = p.U8() % 9 - 4;
  const int res = p.Invoke(Clipped(c), DrawRoundRectShadow, c, r.ptr(), corner, radius, color, dx, dy);
  bool ok = p.Live(c) && !r.null && corner >= 0 && corner <= 65535 && radius >= 0 && radius <= 128;
  if (ok) {
    const owlRect& a = r.r;
    ok = a.left <= a.right && a.top <= a.bottom && owl::AddWrap(a.left, dx) <= owl::AddWrap(a.right, dx) &&
         owl::AddWrap(a.top, dy) <= owl::AddWrap(a.bottom, dy);
  }
  p.ExpectResult(res, {ok ? 1 : 0});
}

// ---- Fills ------------------------------------------------------------------

// True when the fill's colour alone shows that nothing would change: the call
// returns 1 before it looks at the handle.
bool FillIsNoOp(uint32_t color, uint32_t filter) {
  switch (filter & OWL_BLEND_MASK) {
    case OWL_FILL_SOURCE_OVER:
    case OWL_BLEND_COLOR_KEY: return color < 0x01000000u;  // alpha 0
    case OWL_FILL_MULTIPLY: return color == 0xFFFFFFFFu;
    case OWL_FILL_OR: return color == 0;
    default: return false;
  }
}

int FillResult(Program& p, HGCANVAS c, const RectArg& r) { return p.Live(c) && !r.null ? 1 : 0; }

void RunFillSolidRect(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const uint32_t color = p.Color();
  const RectArg r = p.RectIn(c);
  const int res = p.Invoke(Clipped(c, &r), FillSolidRect, c, color, r.ptr());
  p.ExpectResult(res, {FillIsNoOp(color, OWL_FILL_SOURCE_OVER) ? 1 : FillResult(p, c, r)});
}

void RunFillSolidRectEx(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const uint32_t color = p.Color();
  const RectArg r = p.RectIn(c);
  const uint32_t filter = p.Filter();
  const int res = p.Invoke(Clipped(c, &r), FillSolidRectEx, c, color, r.ptr(), filter);
  p.ExpectResult(res, {FillIsNoOp(color, filter) ? 1 : FillResult(p, c, r)});
}

void RunFillGradualRect(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const uint32_t c1 = p.Color(), c2 = p.U8() % 4 == 0 ? c1 : p.Color();
  const RectArg r = p.RectIn(c);
  const uint8_t sel = p.U8();
  const int direction = sel < 200 ? int(sel % 4) : p.Special();
  const int res = p.Invoke(Clipped(c, &r), FillGradualRect, c, c1, c2, r.ptr(), direction);
  p.ExpectResult(res, {c1 == c2 && FillIsNoOp(c1, OWL_FILL_SOURCE_OVER) ? 1 : FillResult(p, c, r)});
}

// ---- Modulation -------------------------------------------------------------

void RunDrawModulation(Program& p) {
  const HGCANVAS c = p.CanvasArg();
  const owlRect at = p.RectIn(c).r;  // its corner, mostly on the canvas
  const int x = owl::SubWrap(at.left, p.U8() % 8), y = owl::SubWrap(at.top, p.U8() % 8);
  const HGTEXTURE t = p.TextureArg();
  const uint32_t color = p.Color();
  const int r = p.Invoke(Clipped(c), DrawModulation, c, x, y, t, color);
  p.ExpectResult(r, p.Live(c) && p.Live(t) ? std::initializer_list<int64_t>{0, 1} : std::initializer_list<int64_t>{0});
}

// ---- The interpreter's own operations ---------------------------------------

// Limits the processor features the vector forms may use, so that every form
// meets the same inputs; restored at the end of the program.
void RunCpuMask(Program& p) {
  const uint32_t mask = p.U8() & owl::kCpuAll;
  p.last_ = "cpu mask " + std::to_string(mask);
  owl::SetCpuMaskForTesting(mask);
}

// New pixel values for an object, premultiplied or raw.
void RunPaint(Program& p) {
  const uint8_t sel = p.U8();
  const std::vector<Obj>& v = sel & 1 ? p.textures_ : p.canvases_;
  if (v.empty()) return;
  Program::Paint(v[p.U8() % v.size()].handle, p.U32(), sel & 2);
}

const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = {
      {0, "CreateCanvas", true, RunCreateCanvas},
      {1, "DeleteCanvas", true, RunDeleteCanvas},
      {2, "GetCanvasBkColor", true, RunCanvasGetter<uint32_t, GetCanvasBkColor>},
      {3, "SetCanvasBkColor", true, RunSetCanvasBkColor},
      {4, "GetWindowOrg", true, RunCanvasGetter<owlPoint, GetWindowOrg>},
      {5, "SetWindowOrg", true, RunSetOrigin<SetWindowOrg, GetWindowOrg>},
      {6, "GetViewportOrg", true, RunCanvasGetter<owlPoint, GetViewportOrg>},
      {7, "SetViewportOrg", true, RunSetOrigin<SetViewportOrg, GetViewportOrg>},
      {8, "GetCanvasFilter", true, RunCanvasGetter<uint32_t, GetCanvasFilter>},
      {9, "SetCanvasFilter", true, RunSetCanvasFilter},
      {10, "GetCanvasClip", true, RunCanvasGetter<owlRect, GetCanvasClip>},
      {11, "SetCanvasClip", true, RunSetCanvasClip},
      {12, "GetCanvasClipBits", true, RunGetCanvasClipBits},
      {13, "LockCanvasBits", true, RunLockCanvasBits},
      {14, "UnlockCanvasBits", true, RunUnlockCanvasBits},
      {15, "CanvasToTexture", true, RunCanvasToTexture},
      {16, "CreateTexture", true, RunCreateTexture},
      {17, "DeleteTexture", true, RunDeleteTexture},
      {18, "GetTextureSize", true, RunGetTextureSize},
      {19, "LockTextureBits", true, RunLockTextureBits},
      {20, "UnlockTextureBits", true, RunUnlockTextureBits},
      {21, "GetTextureFilter", true, RunTextureGetter<uint32_t, GetTextureFilter>},
      {22, "SetTextureFilter", true, RunSetTextureFilter},
      {23, "GetTextureMode", true, RunTextureGetter<TextureMode, GetTextureMode>},
      {24, "SetTextureMode", true, RunSetTextureMode},
      {25, "SetTextureSlice", true, RunSetTextureSlice},
      {26, "SetTextureCurSlice", true, RunSetTextureCurSlice},
      {27, "CopyTexture", true, RunCopyTexture},
      {28, "DrawTexture", true, RunDrawTexture},
      {29, "DrawTextureEx", true, RunDrawTextureEx},
      {30, "DrawTexture9Grid", true, RunDrawTexture9Grid},
      {31, "DrawTextureTile", true, RunDrawTextureWithSource<DrawTextureTile>},
      {32, "DrawTextureTopTile", true, RunDrawTextureTopTile},
      {33, "DrawTextureCenter", true, RunDrawTextureWithSource<DrawTextureCenter>},
      {34, "GetStretchKernelMode", true, RunGetStretchKernelMode},
      {35, "SetStretchKernelMode", true, RunSetStretchKernelMode},
      {36, "ARGBtoAHSL", true, RunARGBtoAHSL},
      {37, "AHSLtoARGB", true, RunAHSLtoARGB},
      {38, "TranslateTexture", true, RunTranslateTexture},
      {39, "NormalizeTexture", true, RunEffect<NormalizeTexture>},
      {40, "GrayTexture", true, RunEffect<GrayTexture>},
      {41, "InvertTexture", true, RunEffect<InvertTexture>},
      {42, "ShuffleTexture", true, RunShuffleTexture},
      {43, "BlurTexture", true, RunBlurTexture},
      {44, "LightTexture", true, RunEffect<LightTexture>},
      {45, "MixCanvas", true, RunCompose<MixCanvas>},
      {46, "BlendCanvas", true, RunCompose<BlendCanvas>},
      {47, "MixCanvasWithColor", true, RunMixCanvasWithColor},
      {48, "GdiTransCanvas", true, RunGdiTransCanvas},
      {49, "GeoRectangleEx", true, RunOutline<GeoRectangleEx>},
      {50, "GeoRectFocusEx", true, RunOutline<GeoRectFocusEx>},
      {51, "GeoRoundRectEx", true, RunGeoRoundRectEx},
      {52, "FillSolidRect", true, RunFillSolidRect},
      {53, "FillSolidRectEx", true, RunFillSolidRectEx},
      {54, "FillGradualRect", true, RunFillGradualRect},
      {55, "DrawModulation", true, RunDrawModulation},
#if defined(OWL_FUZZ_SURFACES)
      {56, "CreateDeviceSurface", true, RunCreateDeviceSurface},
      {57, "DeleteDeviceSurface", true, RunDeleteDeviceSurface},
      {58, "LockDeviceSurfaceBits", true, RunLockDeviceSurfaceBits},
      {59, "UnlockDeviceSurfaceBits", true, RunUnlockDeviceSurfaceBits},
      {60, "GetDeviceSurfaceClip", true, RunGetDeviceSurfaceClip},
      {61, "SetDeviceSurfaceClip", true, RunSetDeviceSurfaceClip},
#endif
      {62, "(cpu mask)", false, RunCpuMask},
      {80, "GaussianBlurTexture", true, RunGaussianBlurTexture},
      {81, "ShadowTexture", true, RunShadowTexture},
      {82, "DrawRoundRectShadow", true, RunDrawRoundRectShadow},
      {63, "(paint)", false, RunPaint},
      {64, "GetOwlVersion", true, RunGetOwlVersion},
  };
  return table;
}

}  // namespace

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> ops = [] {
    std::vector<Operation> out;
    for (const Entry& e : Table()) out.push_back(Operation{e.id, e.name, e.exported});
    return out;
  }();
  return ops;
}

void RunProgram(const uint8_t* data, size_t size, const FailureSink& fail, CallCounts* counts, bool trace) {
  // The kernel table is built before any program can limit the processor
  // features, so that its format never depends on which program ran first.
  static const bool table_built = [] {
    const int mode = GetStretchKernelMode();
    SetStretchKernelMode(mode == 0 ? 1 : 0);
    SetStretchKernelMode(mode);
    return true;
  }();
  (void)table_built;
  Program p(fail, counts, trace);
  p.Run(data, size);
}

}  // namespace owlfuzz
