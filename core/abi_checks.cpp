// What the exported interface assumes about the target's ABI, checked for
// every build: 32-bit x86 (4-byte pointers, cdecl on Windows) and 64-bit.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "owlgraphic.h"

namespace owl {
namespace {

// 8-bit arguments (alpha, flags) travel in a 4-byte stack slot or a register
// whose upper bits the caller may leave undefined: the library reads only the
// low byte, which holds as long as these are single bytes.
static_assert(sizeof(bool) == 1 && sizeof(unsigned char) == 1 && CHAR_BIT == 8,
              "bool and unsigned char arguments are one byte");
static_assert(sizeof(int) == 4 && sizeof(unsigned int) == 4, "int arguments are 32 bits");

// Handles pass and return like a uint32_t: in a register, never through a
// hidden pointer.
static_assert(std::is_trivially_copyable<HGCANVAS>::value &&
                  std::is_trivially_destructible<HGCANVAS>::value,
              "HGCANVAS passes like an integer");
static_assert(std::is_trivially_copyable<HGTEXTURE>::value &&
                  std::is_trivially_destructible<HGTEXTURE>::value,
              "HGTEXTURE passes like an integer");

// Structures a host fills in: no padding on any target, pointer last.
static_assert(std::is_standard_layout<BitmapBits>::value && std::is_standard_layout<owlRect>::value &&
                  std::is_standard_layout<TextureMode>::value,
              "public structures have C layout");
static_assert(alignof(owlRect) == 4 && alignof(TextureMode) == 4 && offsetof(TextureMode, margins) == 4,
              "TextureMode is a kind and four int32 margins");
static_assert(offsetof(BitmapBits, pitch) == 8 && offsetof(BitmapBits, bits) == (sizeof(void*) == 4 ? 12 : 16),
              "BitmapBits: width, height, pitch, then the pointer");
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "4- or 8-byte pointers");

}  // namespace
}  // namespace owl
