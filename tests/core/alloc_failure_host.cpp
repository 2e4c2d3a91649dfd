// Every allocation a call makes, failed in turn: for each operation below
// and each n, the n-th allocation returns null. The call must then fail
// cleanly or finish, and once its objects are deleted the heap must hold
// what it held before (nothing left behind). Replaces malloc and friends
// for the whole program (glibc keeps its own under __libc_*); built only
// without the sanitizers, which bring their own allocator. Run with glibc's
// per-thread cache off (GLIBC_TUNABLES=glibc.malloc.tcache_count=0), whose
// blocks the heap figures count as in use.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "owlgraphic.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {
long g_fail_at = 0;  // 0: never
long g_count = 0;
bool Fail() { return g_fail_at != 0 && ++g_count == g_fail_at; }
}  // namespace

extern "C" {
void* malloc(size_t n) { return Fail() ? nullptr : __libc_malloc(n); }
void* calloc(size_t n, size_t size) { return Fail() ? nullptr : __libc_calloc(n, size); }
void* realloc(void* p, size_t n) { return Fail() ? nullptr : __libc_realloc(p, n); }
void* memalign(size_t a, size_t n) { return Fail() ? nullptr : __libc_memalign(a, n); }
int posix_memalign(void** out, size_t a, size_t n) {
  if (Fail()) return 12;  // ENOMEM
  *out = __libc_memalign(a, n);
  return *out ? 0 : 12;
}
void* aligned_alloc(size_t a, size_t n) { return Fail() ? nullptr : __libc_memalign(a, n); }
}

namespace {

size_t InUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

HGTEXTURE Texture(int w, int h) {
  const HGTEXTURE t = CreateTexture(w, h);
  BitmapBits b{};
  if (LockTextureBits(t, &b, nullptr))
    for (int i = 0; i < w * h; ++i) static_cast<uint32_t*>(b.bits)[i] = 0x80402010u + uint32_t(i);
  return t;
}

// Each operation makes what it needs, calls the function and deletes
// everything; creating calls may fail at any allocation.
const std::vector<std::pair<const char*, std::function<void()>>> kOperations = {
    {"CreateCanvas", [] { DeleteCanvas(CreateCanvas(40, 30, HGCANVAS(0u))); }},
    {"CreateTexture", [] { DeleteTexture(CreateTexture(40, 30)); }},
    {"CreateDeviceSurface", [] { DeleteDeviceSurface(CreateDeviceSurface(40, 30)); }},
    {"SetTextureSlice",
     [] {
       const HGTEXTURE t = CreateTexture(8, 8);
       const owlRect slices[3] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {0, 4, 8, 8}};
       SetTextureSlice(t, 3, slices);
       DeleteTexture(t);
     }},
    {"CanvasToTexture",
     [] {
       const HGCANVAS c = CreateCanvas(9, 7, HGCANVAS(0u));
       DeleteTexture(CanvasToTexture(c));
       DeleteCanvas(c);
     }},
    {"LightTexture",
     [] {
       const HGTEXTURE t = Texture(9, 9);
       LightTexture(t);
       DeleteTexture(t);
     }},
    {"DrawTextureTile",
     [] {
       const HGCANVAS c = CreateCanvas(50, 20, HGCANVAS(0u));
       const HGTEXTURE t = Texture(3, 2);
       const owlRect all{0, 0, 50, 20};
       DrawTextureTile(c, &all, t, nullptr, 0, 255);
       DeleteTexture(t);
       DeleteCanvas(c);
     }},
    {"FillGradualRect",
     [] {
       const HGCANVAS c = CreateCanvas(50, 20, HGCANVAS(0u));
       const owlRect all{0, 0, 50, 20};
       FillGradualRect(c, 0xFF000000u, 0x80808080u, &all, 2);
       DeleteCanvas(c);
     }},
    {"BlurTexture",
     [] {
       const HGTEXTURE a = Texture(6, 5), b = Texture(6, 5);
       BlurTexture(a, b);
       DeleteTexture(a);
       DeleteTexture(b);
     }},
    {"GdiTransCanvas",
     [] {
       const HGCANVAS c = CreateCanvas(12, 12, HGCANVAS(0u));
       const HDC d = CreateDeviceSurface(12, 12);
       const owlRect all{0, 0, 12, 12};
       GdiTransCanvas(d, &all, c, &all);
       DeleteDeviceSurface(d);
       DeleteCanvas(c);
     }},
};

}  // namespace

int main() {
  int failures = 0;
  long injected = 0;
  for (const auto& op : kOperations) {
    for (int warm = 0; warm < 3; ++warm) op.second();  // containers at their working size
    for (long n = 1;; ++n) {
      const size_t before = InUse();
      g_count = 0;
      g_fail_at = n;
      op.second();
      const bool hit = g_count >= n;
      g_fail_at = 0;
      const size_t after = InUse();
      if (after != before) {
        std::fprintf(stderr, "%s: allocation %ld failed: %zd bytes left behind\n", op.first, n,
                     static_cast<ptrdiff_t>(after - before));
        ++failures;
      }
      if (!hit) break;  // the operation made fewer than n allocations
      ++injected;
    }
  }
  std::fprintf(stderr, "alloc failure: %zu operations, %ld failed allocations, %d problems\n", kOperations.size(),
               injected, failures);
  return failures == 0 ? 0 : 1;
}
