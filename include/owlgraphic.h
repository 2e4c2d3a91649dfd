/*
 * owlgraphic: software 2-D drawing for skinned user interfaces.
 *
 * Canvases (drawing targets) and textures (images) live behind 32-bit
 * handles. Pixels are 32 bits, bytes B, G, R, A in memory (0xAARRGGBB as a
 * value), with colour premultiplied by alpha. Functions return 1 on success
 * and 0 on failure unless stated otherwise; a bad handle is always refused.
 * Calls must come from one thread at a time.
 */
#ifndef OWLGRAPHIC_H
#define OWLGRAPHIC_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define OWL_CALL __cdecl
#  if defined(OWL_BUILDING_LIBRARY)
#    define OWL_API __declspec(dllexport)
#  else
#    define OWL_API __declspec(dllimport)
#  endif
#else
#  define OWL_CALL
#  if defined(OWL_BUILDING_LIBRARY)
#    define OWL_API __attribute__((visibility("default")))
#  else
#    define OWL_API
#  endif
#endif

#ifdef __cplusplus
#  define OWL_EXTERN_C extern "C"
#else
#  define OWL_EXTERN_C
#endif

/* Rectangle: right and bottom are exclusive; never normalised implicitly. */
typedef struct owlRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
} owlRect;

typedef struct owlPoint {
  int32_t x;
  int32_t y;
} owlPoint;

typedef struct owlSize {
  int32_t width;
  int32_t height;
} owlSize;

/* A view of locked pixels: rows run top-down, row y starts at
 * bits + y * pitch bytes. A view never owns its pixels. */
typedef struct BitmapBits {
  int32_t width;
  int32_t height;
  int32_t pitch;
  void* bits;
} BitmapBits;

/* How DrawTextureEx lays a texture out: kind 1 nine-grid, 2 tile, 3 centre,
 * 4 nine-grid with a solid middle, 5 top tile, anything else stretch.
 * margins are insets (left, top, right, bottom) for kinds 1, 4 and 5. */
typedef struct TextureMode {
  uint32_t kind;
  owlRect margins;
} TextureMode;

/* Handles: 4-byte values passed by value; 0 names no object. The C++
 * constructors are left out for Microsoft's compiler, which would return a
 * union that has them through a hidden pointer instead of in a register as
 * the library does (write HGCANVAS{0} there). */
typedef union HGCANVAS {
  uint32_t value;
#if defined(__cplusplus) && !defined(_MSC_VER)
  HGCANVAS() : value(0) {}
  HGCANVAS(uint32_t v) : value(v) {}
#endif
} HGCANVAS;

typedef union HGTEXTURE {
  uint32_t value;
#if defined(__cplusplus) && !defined(_MSC_VER)
  HGTEXTURE() : value(0) {}
  HGTEXTURE(uint32_t v) : value(v) {}
#endif
} HGTEXTURE;

#ifdef __cplusplus
static_assert(sizeof(owlRect) == 16, "owlRect is 16 bytes");
static_assert(sizeof(owlPoint) == 8, "owlPoint is 8 bytes");
static_assert(sizeof(owlSize) == 8, "owlSize is 8 bytes");
static_assert(sizeof(TextureMode) == 20, "TextureMode is 20 bytes");
static_assert(sizeof(HGCANVAS) == 4 && sizeof(HGTEXTURE) == 4, "handles are 4 bytes");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(BitmapBits) == 16 && offsetof(BitmapBits, bits) == 12,
              "BitmapBits is three int32 and a 4-byte pointer");
#else
static_assert(sizeof(BitmapBits) == 24 && offsetof(BitmapBits, bits) == 16,
              "BitmapBits is three int32, padding and an 8-byte pointer");
#endif
#else
typedef char owlRectSizeCheck[sizeof(owlRect) == 16 ? 1 : -1];
typedef char owlModeSizeCheck[sizeof(TextureMode) == 20 ? 1 : -1];
typedef char owlHandleSizeCheck[sizeof(HGCANVAS) == 4 && sizeof(HGTEXTURE) == 4 ? 1 : -1];
#endif

/* ---- Canvases ---------------------------------------------------------- */

/* A new canvas of width x height pixels (contents undefined), taking the
 * filter of parent when parent is a live canvas. 0 for sides of 0 or less,
 * above 32767, or when memory runs out. */
OWL_EXTERN_C OWL_API HGCANVAS OWL_CALL CreateCanvas(int width, int height, HGCANVAS parent);
OWL_EXTERN_C OWL_API int OWL_CALL DeleteCanvas(HGCANVAS canvas);
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasBkColor(HGCANVAS canvas, uint32_t* color);
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasBkColor(HGCANVAS canvas, uint32_t color, uint32_t* oldColor);
OWL_EXTERN_C OWL_API int OWL_CALL GetWindowOrg(HGCANVAS canvas, owlPoint* origin);
OWL_EXTERN_C OWL_API int OWL_CALL SetWindowOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin);
OWL_EXTERN_C OWL_API int OWL_CALL GetViewportOrg(HGCANVAS canvas, owlPoint* origin);
OWL_EXTERN_C OWL_API int OWL_CALL SetViewportOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin);
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasFilter(HGCANVAS canvas, uint32_t* filter);
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasFilter(HGCANVAS canvas, uint32_t filter);
/* The clip in logical coordinates. Setting it intersects the mapped
 * rectangle with the canvas; an empty result is stored as all zeros. */
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasClip(HGCANVAS canvas, owlRect* clip);
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasClip(HGCANVAS canvas, const owlRect* clip, owlRect* oldClip);
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasClipBits(HGCANVAS canvas, BitmapBits* bits);
/* A view of the logical rectangle; 0 when it is reversed or reaches outside
 * the canvas. */
OWL_EXTERN_C OWL_API int OWL_CALL LockCanvasBits(HGCANVAS canvas, BitmapBits* bits, const owlRect* rect);
OWL_EXTERN_C OWL_API int OWL_CALL UnlockCanvasBits(HGCANVAS canvas);
/* Turns the canvas into a texture that takes over its pixels; the canvas
 * handle is gone afterwards. Alpha becomes 255 unless the blend kind is 1. */
OWL_EXTERN_C OWL_API HGTEXTURE OWL_CALL CanvasToTexture(HGCANVAS canvas);

/* ---- Textures ---------------------------------------------------------- */

OWL_EXTERN_C OWL_API HGTEXTURE OWL_CALL CreateTexture(int width, int height);
OWL_EXTERN_C OWL_API int OWL_CALL DeleteTexture(HGTEXTURE texture);
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureSize(HGTEXTURE texture, owlSize* size);
/* A view of rect (null: the whole texture); 0 when rect is reversed or
 * reaches outside the texture. */
OWL_EXTERN_C OWL_API int OWL_CALL LockTextureBits(HGTEXTURE texture, BitmapBits* bits, const owlRect* rect);
OWL_EXTERN_C OWL_API int OWL_CALL UnlockTextureBits(HGTEXTURE texture);
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureFilter(HGTEXTURE texture, uint32_t* filter);
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureFilter(HGTEXTURE texture, uint32_t filter);
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureMode(HGTEXTURE texture, TextureMode* mode);
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureMode(HGTEXTURE texture, const TextureMode* mode);
/* Stores count rectangles and makes the first current (returns 0); count 0
 * or a null array empties the list (returns -1). */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureSlice(HGTEXTURE texture, unsigned int count, const owlRect* rects);
/* Returns the previous current index; -1 for an index out of range. */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureCurSlice(HGTEXTURE texture, int index);
/* Copies the source's pixels (the area both cover) and filter. */
OWL_EXTERN_C OWL_API int OWL_CALL CopyTexture(HGTEXTURE dst, HGTEXTURE src);

/* ---- Texture drawing --------------------------------------------------- */

/* ---- Stretch kernel ---------------------------------------------------- */

/* ---- Colour conversion ------------------------------------------------- */

/* ---- Texture effects --------------------------------------------------- */

/* ---- Canvas composition ------------------------------------------------ */

/* ---- Rectangle outlines ------------------------------------------------ */

/* ---- Fills ------------------------------------------------------------- */

/* ---- Modulation -------------------------------------------------------- */

#endif /* OWLGRAPHIC_H */
