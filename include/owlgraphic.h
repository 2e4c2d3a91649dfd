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

/* A device context: the real GDI one on Windows; elsewhere it names an
 * in-memory device surface of this library (see "Device surfaces"). */
#if defined(_WIN32)
#  include <windows.h>
#else
typedef struct HDC__* HDC;
#endif

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

/* Every texture draw combines texels with the canvas by the texture's blend
 * kind (the top byte of its filter: 1 source-over, 2 colour key 0x00000000,
 * 3 multiply, anything else copy); a constant alpha below 255 turns every kind
 * but multiply into source-over with the texture scaled by (alpha + 1) / 256.
 * resampleFilter: 0 nearest, 4 bicubic, anything else bilinear; it matters
 * only for pieces drawn at another size. dst is in logical coordinates and
 * clipped to the canvas; a reversed dst draws nothing. src (null: the whole
 * texture) is normalised and must lie inside the texture and not be empty.
 * Results: 0 for a bad texture or canvas handle or a bad src (nothing is
 * drawn), otherwise 1, also when nothing was drawn. */

/* DrawTextureEx with alpha 255. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawTexture(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                              unsigned int resampleFilter);
/* Draws the texture as its mode says (nine-grid, solid-middle nine-grid,
 * tile, centre, top tile with the mode's margins; any other kind stretches),
 * with the current slice, or the whole texture, as source. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawTextureEx(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                                unsigned int resampleFilter, unsigned char alpha);

#ifdef __cplusplus
/* The four below have C++ linkage. */

/* Corners at their own size, edges stretched along them, middle in both
 * directions; margins (insets) cut src and dst alike. fillCenter replaces
 * the middle by a fill of the middle cell's centre texel (scaled by alpha
 * unless the texture multiplies) with the texture's fill operation. Cells
 * that margins reverse, or that would reach outside src or dst, draw
 * nothing. */
OWL_API unsigned int OWL_CALL DrawTexture9Grid(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                               const owlRect* src, const owlRect* margins,
                                               unsigned int resampleFilter, bool fillCenter, unsigned char alpha);
/* Columns of src's width from dst's left: the top margins.top rows of src
 * at their own size, under them the bottom margins.bottom rows stretched to
 * dst's bottom. The last column is cut. */
OWL_API unsigned int OWL_CALL DrawTextureTopTile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                                 const owlRect* src, const owlRect* margins,
                                                 unsigned int resampleFilter, unsigned char alpha);
/* src repeated at its own size from dst's top-left corner; the last column
 * and row are cut, never scaled. */
OWL_API unsigned int OWL_CALL DrawTextureTile(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                              const owlRect* src, unsigned int resampleFilter,
                                              unsigned char alpha);
/* src scaled to touch two opposite sides of dst, keeping its aspect, and
 * centred on the other axis. */
OWL_API unsigned int OWL_CALL DrawTextureCenter(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                                const owlRect* src, unsigned int resampleFilter,
                                                unsigned char alpha);
#endif

/* ---- Stretch kernel ---------------------------------------------------- */

/* The bicubic kernel: 0 strict cubic, 1 cubic B-spline, 2 (initial) and any
 * other value cubic convolution with a = -1. */
OWL_EXTERN_C OWL_API int OWL_CALL GetStretchKernelMode(void);
/* Stores mode (no range check) and rebuilds the kernel table; returns 0 and
 * does nothing when mode is already current, else 1. */
OWL_EXTERN_C OWL_API int OWL_CALL SetStretchKernelMode(int mode);

/* ---- Colour conversion ------------------------------------------------- */

/* 0xAARRGGBB to 0xAAHHSSLL: hue 0..254 over a full turn (0 red, 85 green,
 * 170 blue; a grey has hue 170, saturation 0), integer arithmetic. Alpha
 * passes through; nothing is premultiplied or unpremultiplied. */
OWL_EXTERN_C OWL_API uint32_t OWL_CALL ARGBtoAHSL(uint32_t argb);
/* 0xAAHHSSLL back to 0xAARRGGBB in single precision; not an exact inverse
 * of ARGBtoAHSL (components may differ by one step). */
OWL_EXTERN_C OWL_API uint32_t OWL_CALL AHSLtoARGB(uint32_t ahsl);

/* ---- Texture effects --------------------------------------------------- */

/* Each works in place on the texture's whole buffer (every slice) and
 * returns 0 for a handle that is not a live texture or a buffer that can't
 * be locked, 1 otherwise. */

/* Every pixel whose 32-bit value equals from becomes to. */
OWL_EXTERN_C OWL_API int OWL_CALL TranslateTexture(HGTEXTURE texture, uint32_t from, uint32_t to);
/* Premultiplies colour by alpha: c = (c * (A + 1)) >> 8; alpha kept. */
OWL_EXTERN_C OWL_API int OWL_CALL NormalizeTexture(HGTEXTURE texture);
/* B, G, R = (117 B + 601 G + 306 R) >> 10; alpha kept. */
OWL_EXTERN_C OWL_API int OWL_CALL GrayTexture(HGTEXTURE texture);
/* c = A - c for B, G, R; alpha kept. */
OWL_EXTERN_C OWL_API int OWL_CALL InvertTexture(HGTEXTURE texture);
/* type 1: B, G, R = A (a white silhouette); type 6: A = max(B, G, R);
 * any other type changes nothing and returns 1. */
OWL_EXTERN_C OWL_API int OWL_CALL ShuffleTexture(HGTEXTURE texture, int type);
/* 3x3 box blur of src into dst (each sum of nine edge-clamped pixels / 9),
 * over src's size; pixels past dst's last column or row land on that
 * column or row, so nothing outside dst is written. dst may be src (the
 * blur then reads pixels it has already written). 0 for a bad handle, 1
 * otherwise, also when a buffer can't be locked. */
OWL_EXTERN_C OWL_API int OWL_CALL BlurTexture(HGTEXTURE dst, HGTEXTURE src);
/* Replaces the texture by a soft white glow of its shape: a white mask of
 * its blurred shape, blurred three times. 0 only for a bad handle. */
OWL_EXTERN_C OWL_API int OWL_CALL LightTexture(HGTEXTURE texture);

/* ---- Device surfaces (platforms without GDI) --------------------------- */

#if !defined(_WIN32)
/* An in-memory device of width x height 32-bit pixels (0xAARRGGBB, bytes
 * B, G, R, A), all 0 at first, clipped to its bounds. GdiTransCanvas writes
 * into it as it would into a Windows device context. 0 for sides of 0 or
 * less, above 32767, or when memory runs out. */
OWL_EXTERN_C OWL_API HDC OWL_CALL CreateDeviceSurface(int width, int height);
/* 0 for a value that is not a live device surface. */
OWL_EXTERN_C OWL_API int OWL_CALL DeleteDeviceSurface(HDC hdc);
/* A view of the surface's whole pixel buffer (pitch = width * 4). */
OWL_EXTERN_C OWL_API int OWL_CALL LockDeviceSurfaceBits(HDC hdc, BitmapBits* bits);
OWL_EXTERN_C OWL_API int OWL_CALL UnlockDeviceSurfaceBits(HDC hdc);
/* The device clip in device pixels; nothing is written outside it. Setting
 * intersects clip with the surface (null: the whole surface); an empty
 * result is stored as all zeros and lets nothing through. */
OWL_EXTERN_C OWL_API int OWL_CALL GetDeviceSurfaceClip(HDC hdc, owlRect* clip);
OWL_EXTERN_C OWL_API int OWL_CALL SetDeviceSurfaceClip(HDC hdc, const owlRect* clip, owlRect* oldClip);
#endif

/* ---- Canvas composition ------------------------------------------------ */

/* These work on the rectangles as given, without the canvas clip. A
 * rectangle that is reversed or reaches outside its canvas, and a
 * destination of zero width or height whose size differs from the source's,
 * draw nothing; the call still returns 1. Rectangles of different sizes are
 * stretched by nearest neighbour. dst and src may be one canvas, even with
 * overlapping rectangles: rows run from the top, and where the rectangles
 * overlap the result depends on that order. 0 only for a handle that is
 * not a live canvas (dst looked up first). */

/* Cross-fade src into dst: d = (d * (255 - alpha) + s * (alpha + 1)) >> 8
 * per channel (with MMX ((d * (255 - alpha)) >> 8) + ((s * (alpha + 1)) >> 8),
 * up to one lower). alpha 0 changes nothing; 255 copies the source. */
OWL_EXTERN_C OWL_API int OWL_CALL MixCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src,
                                            const owlRect* srcRect, uint8_t alpha);
/* Lays src, taken as opaque, over dst with opacity alpha:
 * s' = ((s with alpha 255) * (alpha + 1)) >> 8, d = s' + ((d * (256 - alpha)) >> 8). */
OWL_EXTERN_C OWL_API int OWL_CALL BlendCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src,
                                              const owlRect* srcRect, uint8_t alpha);
/* Fades rect towards color: d = ((d * (255 - alpha)) >> 8) + ((k * (alpha + 1)) >> 8);
 * alpha 255 fills the rectangle with color, 0 changes nothing. */
OWL_EXTERN_C OWL_API int OWL_CALL MixCanvasWithColor(HGCANVAS canvas, const owlRect* rect, uint32_t color,
                                                     uint8_t alpha);
/* Copies srcRect of the canvas to the device at dstRect's top-left corner,
 * pixels unchanged (still premultiplied), rows starting at srcRect's left
 * edge; the device clips, the canvas clip does not apply. Of rectangles of
 * different sizes only the part both cover is copied. The device call's
 * own result is not looked at. */
OWL_EXTERN_C OWL_API int OWL_CALL GdiTransCanvas(HDC hdc, const owlRect* dstRect, HGCANVAS canvas,
                                                 const owlRect* srcRect);

/* ---- Rectangle outlines ------------------------------------------------ */

/* One-pixel outlines of rect (logical coordinates) within the canvas clip.
 * A colour of alpha 255 replaces pixels; any other is blended source-over
 * (new = c + (((256 - A) * d) >> 8), the low 8 bits kept). An edge is drawn
 * only where it lies inside the clip; corner pixels belong to a row and a
 * column and are written twice. 0 for a bad handle, a null rect or a failed
 * lock; 1 otherwise, also when nothing is visible. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRectangleEx(HGCANVAS canvas, const owlRect* rect, uint32_t color);
/* Dotted: every span, after clipping, skips its first pixel, writes the
 * next, and so on; written pixels are always blended. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRectFocusEx(HGCANVAS canvas, const owlRect* rect, uint32_t color);
/* Elliptical corners of radii ((corner[0] + 1) / 2, (corner[1] + 1) / 2);
 * a radius below 2 draws GeoRectangleEx. Radii are not limited to the
 * rectangle. 0 also for a null corner. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRoundRectEx(HGCANVAS canvas, const owlRect* rect, const int32_t corner[2],
                                                 uint32_t color);

/* ---- Fills ------------------------------------------------------------- */

/* Source-over of color (premultiplied) on the logical rectangle, clipped.
 * 1 at once for a colour of alpha 0, whatever the handle. */
OWL_EXTERN_C OWL_API int OWL_CALL FillSolidRect(HGCANVAS canvas, uint32_t color, const owlRect* rect);
/* The top byte of filter picks the operation: 1 or 2 source-over, 3 multiply
 * per channel ((d * (s + 1)) >> 8), 4 bitwise OR, any other value copy.
 * Returns 1 at once, whatever the handle, when nothing would change (alpha 0
 * for 1 and 2, 0xFFFFFFFF for 3, 0 for 4); otherwise 0 only for a bad
 * handle, 1 also when the clipped rectangle is empty. */
OWL_EXTERN_C OWL_API int OWL_CALL FillSolidRectEx(HGCANVAS canvas, uint32_t color, const owlRect* rect, uint32_t filter);
/* Two-colour gradient, blended row by row (direction 1, top to bottom) or
 * column by column (2, left to right) from color1 at the rectangle's first
 * row or column towards color2 at its excluded edge; the colours belong to
 * the unclipped rectangle. Other directions fill with color1. */
OWL_EXTERN_C OWL_API int OWL_CALL FillGradualRect(HGCANVAS canvas, uint32_t color1, uint32_t color2, const owlRect* rect,
                                                  int direction);

/* ---- Modulation -------------------------------------------------------- */

/* Draws the texture's current slice (or the whole texture) unscaled with
 * its top-left corner at (x, y), within the canvas clip, multiplied by
 * color. Colour alpha below 255: s = (c * (t + 1)) >> 8 on all four
 * channels, laid over the canvas source-over. Alpha 255: each of the
 * texture's R, G, B is that channel's coverage e (its value times
 * 192 + (c >> 2), or 255 where it is 255, >> 8), d = ((c * e) >> 8) +
 * (((255 - e) * d) >> 8), and alpha comes from (R + 2 G + B) / 4.
 * 0 for a bad handle (canvas looked up first) or a slice that is empty or
 * reaches outside the texture; 1 otherwise, also when nothing is drawn. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawModulation(HGCANVAS canvas, int32_t x, int32_t y, HGTEXTURE texture,
                                                 uint32_t color);

#endif /* OWLGRAPHIC_H */
