/*
 * owlgraphic: software 2-D drawing for skinned user interfaces.
 *
 * Handles. Canvases (drawing targets) and textures (images) live inside the
 * library; callers name them by HGCANVAS and HGTEXTURE values, 32 bits
 * passed by value, 0 naming no object. Every call looks its handles up
 * first: a deleted handle, a handle of the other kind, 0 or a made-up value
 * is refused with the call's failure value and nothing else happens. A
 * handle holds a slot index and an 8-bit serial that advances each time the
 * slot is freed, so a deleted handle is refused until its slot has been
 * reused 256 times; then it names the slot's new object. An object lives
 * until its Delete call, a canvas also until CanvasToTexture. The library
 * never keeps a pointer the caller passed in.
 *
 * Pixels. 32 bits, 0xAARRGGBB as a value, bytes B, G, R, A in memory, with
 * colour premultiplied by alpha: no colour byte exceeds the alpha byte, and
 * white at half opacity is 0x80808080. Colours and pixels passed in are
 * taken as premultiplied; NormalizeTexture premultiplies an image loaded
 * with straight alpha. The arithmetic is exact integer arithmetic; scaling
 * a byte by an 8-bit opacity a means (byte * (a + 1)) >> 8. A locked view
 * (BitmapBits) points into an object's own buffer and stays valid until the
 * object is deleted; locks neither count nor nest, and unlocking changes
 * nothing. New canvases, textures and device surfaces start with every
 * pixel 0x00000000. No side of a canvas, texture or device surface exceeds
 * 32767 pixels.
 *
 * Coordinates. Rectangles are owlRect values, right and bottom exclusive,
 * never normalised for the caller. Canvas calls take logical coordinates,
 * which the canvas maps to device coordinates (the columns and rows of its
 * pixels) through its two origins:
 *     device = logical - window origin + viewport origin,
 * computed in 32 bits that wrap; anything mapped outside the pixels is
 * refused or clipped. The canvas clip is kept in device pixels, so moving an
 * origin moves what is drawn, not the clip. Texture rectangles (sources,
 * slices, locks) are in texels, (0, 0) being the top-left texel; device
 * surface rectangles are in their pixels.
 *
 * The filter word. Every texture keeps a 32-bit filter, and so does every
 * canvas (through the texture holding its pixels). Its top byte is the blend
 * kind with which the texture is laid on a canvas, per channel:
 *     OWL_BLEND_COPY, copy: texels replace pixels (also top bytes 0x04 to 0xFF);
 *     OWL_BLEND_SOURCE_OVER, source-over: d = s + (((256 - s.alpha) * d) >> 8);
 *     OWL_BLEND_COLOR_KEY, colour key: copy, skipping texels equal to 0x00000000;
 *     OWL_BLEND_MULTIPLY, multiply: d = (d * (s + 1)) >> 8.
 * The low 24 bits are kept and returned, never used. FillSolidRectEx reads
 * the same top byte from its own filter argument, where 0x04 means OR
 * (the OWL_FILL_ names). Every named value is listed under "Named values".
 *
 * The texture mode. Every texture also keeps a TextureMode, a layout kind
 * and four margins, that DrawTextureEx follows: a nine-grid, a tiling, a
 * centred fit, a nine-grid with a solid middle or a top tile (the OWL_MODE_
 * names); any other kind stretches. A texture may hold slices, rectangles of which one is current;
 * DrawTextureEx and DrawModulation draw the current slice, or the whole
 * texture when there is none.
 *
 * Results. 1 for success and 0 for failure unless a function's comment says
 * otherwise; creating calls return a handle (0 on failure); slice indices
 * use -1 (OWL_NO_SLICE) for none. A draw that leaves nothing visible
 * (clipped away, alpha 0, an empty destination) still returns 1. A pointer may be null only where
 * its comment says so; a null one elsewhere is never followed: the call
 * returns its failure value, or draws nothing where its comment says so.
 * There are no error codes, messages or exceptions.
 *
 * Threads. Any thread may call any function. Calls that name different
 * objects may run at the same time; calls on the same object (a canvas, a
 * texture or device surface being drawn, read, changed or deleted) must not
 * overlap. Creating and deleting objects, and SetStretchKernelMode, may run
 * while other threads draw: a draw uses the kernel that was current when it
 * started, throughout. A thread alone sees the same handle values as ever.
 * The library starts no thread.
 *
 * Process exit. The library's own state (the handle table, the device
 * surface list, its tables) is never torn down: objects may be used and
 * deleted until the process ends, also from static destructors and atexit
 * handlers, and when the library was loaded with dlopen or LoadLibrary.
 */
#ifndef OWLGRAPHIC_H
#define OWLGRAPHIC_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define OWL_CALL __cdecl
#else
#  define OWL_CALL
#endif

/* OWL_STATIC marks the static library, for its own sources and for its
 * users (the CMake target and the pkg-config file define it): nothing is
 * exported or imported then. */
#if defined(OWL_STATIC)
#  define OWL_API
#elif defined(_WIN32)
#  if defined(OWL_BUILDING_LIBRARY)
#    define OWL_API __declspec(dllexport)
#  else
#    define OWL_API __declspec(dllimport)
#  endif
#else
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

/* How DrawTextureEx lays a texture out: kind is one of the OWL_MODE_ names
 * (any other value stretches); margins are insets (left, top, right,
 * bottom) for OWL_MODE_NINE_GRID, OWL_MODE_NINE_GRID_SOLID and
 * OWL_MODE_TOP_TILE. */
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

/* The handles' C++ constructors make clang call them incompatible with C
 * as return types, but they stay trivially copyable and are returned in a
 * register exactly as the C unions are. */
#if defined(__clang__) && defined(__cplusplus)
#  pragma clang diagnostic push
#  pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

/* ---- Version ----------------------------------------------------------- */

/* The version of this header, major.minor.patch; the build and the package
 * files (CMake, pkg-config) take theirs from these three lines. A minor
 * version adds functions or names, a major one may change behaviour.
 * OWL_VERSION packs it as (major << 16) | (minor << 8) | patch, so that
 * versions compare as numbers, in the preprocessor too:
 *     #if OWL_VERSION >= OWL_MAKE_VERSION(0, 2, 0)  */
#define OWL_VERSION_MAJOR 0
#define OWL_VERSION_MINOR 2
#define OWL_VERSION_PATCH 0
#define OWL_MAKE_VERSION(major, minor, patch) (((major) << 16) | ((minor) << 8) | (patch))
#define OWL_VERSION OWL_MAKE_VERSION(OWL_VERSION_MAJOR, OWL_VERSION_MINOR, OWL_VERSION_PATCH)

/* The version of the library loaded at run time, packed as OWL_VERSION is:
 * a program may meet a newer library than the header it was built with.
 * Takes no handle and cannot fail. */
OWL_EXTERN_C OWL_API uint32_t OWL_CALL GetOwlVersion(void);

/* ---- Named values ------------------------------------------------------ */

/* A name for every value that an option argument or field can take. A value
 * without a name is accepted too and behaves as each group below says
 * (callers may rely on it): a misspelt number draws something plausible
 * instead of failing, so prefer the names. */

/* Blend kinds: the top byte of a texture's filter word (SetTextureFilter;
 * SetCanvasFilter for the texture a canvas becomes), how the texture's
 * texels meet a canvas when it is drawn; formulas in the opening comment.
 * The low 24 bits are kept and returned, never used. A top byte of 0x04 to
 * 0xFF copies, as OWL_BLEND_COPY does. */
#define OWL_BLEND_COPY 0x00000000u        /* texels replace pixels */
#define OWL_BLEND_SOURCE_OVER 0x01000000u /* premultiplied source-over */
#define OWL_BLEND_COLOR_KEY 0x02000000u   /* copy, skipping texels equal to 0x00000000 */
#define OWL_BLEND_MULTIPLY 0x03000000u    /* pixels multiplied by texels, per channel */
#define OWL_BLEND_MASK 0xFF000000u        /* filter & OWL_BLEND_MASK: the blend kind */

/* Fill operations: the top byte of FillSolidRectEx's filter argument; the
 * low 24 bits are ignored. The byte of a blend kind, with colour key (0x02)
 * filling as source-over and one value of its own, OR. A top byte of 0x05
 * to 0xFF copies, as OWL_FILL_COPY does. */
#define OWL_FILL_COPY 0x00000000u        /* pixels become the colour */
#define OWL_FILL_SOURCE_OVER 0x01000000u /* the colour laid over the pixels */
#define OWL_FILL_MULTIPLY 0x03000000u    /* d = (d * (c + 1)) >> 8 per channel, alpha included */
#define OWL_FILL_OR 0x04000000u          /* d = d | c over the whole 32-bit pixel */

/* Resample filters: the resampleFilter argument of texture drawing; it
 * matters only for pieces drawn at another size than their source. Every
 * value other than these two samples bilinearly, as OWL_RESAMPLE_BILINEAR. */
#define OWL_RESAMPLE_NEAREST 0u  /* the nearest texel */
#define OWL_RESAMPLE_BILINEAR 1u /* 2 x 2 texels */
#define OWL_RESAMPLE_BICUBIC 4u  /* 4 x 4 texels, weighed by the stretch kernel */

/* Texture mode kinds: TextureMode.kind, how DrawTextureEx lays a texture
 * out in dst. Every kind not named here stretches, as OWL_MODE_STRETCH. */
#define OWL_MODE_STRETCH 0u         /* stretched to dst */
#define OWL_MODE_NINE_GRID 1u       /* a nine-grid cut by the mode's margins */
#define OWL_MODE_TILE 2u            /* tiled at its own size */
#define OWL_MODE_CENTER 3u          /* scaled to fit, aspect kept, centred */
#define OWL_MODE_NINE_GRID_SOLID 4u /* a nine-grid whose middle is a solid fill */
#define OWL_MODE_TOP_TILE 5u        /* a top band over a stretched body, cut by the margins */

/* Stretch kernels: SetStretchKernelMode's mode, the weights of every
 * bicubic draw. Every mode not named here weighs as OWL_KERNEL_CUBIC. */
#define OWL_KERNEL_CUBIC_STRICT 0 /* the same cubic, strict interval tests: the same pixels */
#define OWL_KERNEL_BSPLINE 1      /* cubic B-spline: smooth, softens edges */
#define OWL_KERNEL_CUBIC 2        /* cubic convolution with a = -1: sharp; the initial mode */

/* Gradient directions: FillGradualRect's direction. Every other direction
 * fills the rectangle with color1 as FillSolidRect does. */
#define OWL_GRADIENT_TOP_TO_BOTTOM 1 /* color1 on the first row, towards color2 below */
#define OWL_GRADIENT_LEFT_TO_RIGHT 2 /* color1 on the first column, towards color2 right */

/* Shuffle types: ShuffleTexture's type. Every other type changes nothing
 * (the call still returns 1). */
#define OWL_SHUFFLE_ALPHA_TO_COLOR 1 /* B, G, R = A: a white silhouette */
#define OWL_SHUFFLE_COLOR_TO_ALPHA 6 /* A = max(B, G, R) */

/* Special values. */
#define OWL_NO_SLICE (-1)    /* slice index: no slice (results of the slice calls) */
#define OWL_ALPHA_OPAQUE 255 /* an alpha argument at full opacity: the source unscaled */

/* ---- Canvases ---------------------------------------------------------- */

/* A new canvas of width x height pixels, all 0x00000000, with both origins at
 * (0, 0), the whole canvas as clip, background colour 0 and filter 0, or the
 * filter of parent when parent is a live canvas (any other parent, 0
 * included, is ignored). Free it with DeleteCanvas. 0 for sides of 0 or
 * less or above 32767, or when memory runs out. */
OWL_EXTERN_C OWL_API HGCANVAS OWL_CALL CreateCanvas(int width, int height, HGCANVAS parent);
/* Destroys the canvas and its pixels; the handle and every view of the
 * pixels are dead afterwards. 0 for a bad handle (so also the second time). */
OWL_EXTERN_C OWL_API int OWL_CALL DeleteCanvas(HGCANVAS canvas);
/* Writes the background colour to *color (required). The colour is kept for
 * the host only; nothing the library draws reads it. */
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasBkColor(HGCANVAS canvas, uint32_t* color);
/* Stores the background colour, first writing the previous one to
 * *oldColor when oldColor is not null. */
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasBkColor(HGCANVAS canvas, uint32_t color, uint32_t* oldColor);
/* Writes the window origin to *origin (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetWindowOrg(HGCANVAS canvas, owlPoint* origin);
/* Sets the window origin, the logical point that lands on the viewport
 * origin: larger values move drawing up and left. The previous origin goes
 * to *oldOrigin when oldOrigin is not null. The clip stays where it is. */
OWL_EXTERN_C OWL_API int OWL_CALL SetWindowOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin);
/* Writes the viewport origin to *origin (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetViewportOrg(HGCANVAS canvas, owlPoint* origin);
/* Sets the viewport origin, the device pixel on which the window origin
 * lands: larger values move drawing down and right. The previous origin goes
 * to *oldOrigin when oldOrigin is not null. The clip stays where it is. */
OWL_EXTERN_C OWL_API int OWL_CALL SetViewportOrg(HGCANVAS canvas, int x, int y, owlPoint* oldOrigin);
/* Writes the canvas's filter word to *filter (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasFilter(HGCANVAS canvas, uint32_t* filter);
/* Stores the canvas's filter word. Drawing onto the canvas does not read
 * it; it goes with the pixels into CanvasToTexture (deciding whether alpha
 * is kept) and into canvases created with this one as parent. */
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasFilter(HGCANVAS canvas, uint32_t filter);
/* Writes the clip to *clip (required) in logical coordinates: the stored
 * device clip mapped through the current origins. */
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasClip(HGCANVAS canvas, owlRect* clip);
/* Sets the clip from *clip (required, logical coordinates): it is mapped to
 * device pixels with the current origins and intersected with the canvas;
 * an empty or reversed result is stored as all zeros, after which drawing
 * draws nothing (the call still returns 1). The mapping wraps in 32 bits,
 * so a clip spanning the whole integer range with a non-zero origin wraps
 * to a reversed rectangle and is stored as the empty clip. The previous
 * clip, in logical coordinates, goes to *oldClip when oldClip is not null. */
OWL_EXTERN_C OWL_API int OWL_CALL SetCanvasClip(HGCANVAS canvas, const owlRect* clip, owlRect* oldClip);
/* Writes to *bits (required) a view of the pixels inside the clip, whatever
 * the origins; an empty clip gives a 0 x 0 view of the first pixel. */
OWL_EXTERN_C OWL_API int OWL_CALL GetCanvasClipBits(HGCANVAS canvas, BitmapBits* bits);
/* Writes to *bits (required) a view of *rect (required, logical
 * coordinates), neither clipped nor normalised. 0, with an all-zero view,
 * when the mapped rectangle is reversed or reaches outside the canvas; an
 * empty rectangle inside it gives a view of 0 pixels. Pair with
 * UnlockCanvasBits. */
OWL_EXTERN_C OWL_API int OWL_CALL LockCanvasBits(HGCANVAS canvas, BitmapBits* bits, const owlRect* rect);
/* Ends the use of a view; the pixels are not touched. */
OWL_EXTERN_C OWL_API int OWL_CALL UnlockCanvasBits(HGCANVAS canvas);
/* Turns the canvas into a texture that takes over its pixels without a copy,
 * with the canvas's size and filter, mode 0 and no slices. Every alpha byte
 * becomes 255 (colour kept) unless the filter's blend kind is
 * OWL_BLEND_SOURCE_OVER. The canvas handle is dead afterwards, also when the call
 * fails after the lookup. Returns the texture, 0 for a bad handle. */
OWL_EXTERN_C OWL_API HGTEXTURE OWL_CALL CanvasToTexture(HGCANVAS canvas);

/* ---- Textures ---------------------------------------------------------- */

/* A new texture of width x height texels, all 0x00000000, filter 0, mode 0,
 * no slices. Free it with DeleteTexture. 0 for sides of 0 or less or above
 * 32767, or when memory runs out. */
OWL_EXTERN_C OWL_API HGTEXTURE OWL_CALL CreateTexture(int width, int height);
/* Destroys the texture, its pixels and its slices; the handle and every view
 * of the pixels are dead afterwards. 0 for a bad handle (so also the second
 * time). */
OWL_EXTERN_C OWL_API int OWL_CALL DeleteTexture(HGTEXTURE texture);
/* Writes the size in texels to *size (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureSize(HGTEXTURE texture, owlSize* size);
/* Writes to *bits (required) a view of *rect in texels, or of the whole
 * texture when rect is null. 0, with an all-zero view, when rect is
 * reversed or reaches outside the texture; an empty rectangle inside it
 * gives a view of 0 pixels. Pair with UnlockTextureBits. */
OWL_EXTERN_C OWL_API int OWL_CALL LockTextureBits(HGTEXTURE texture, BitmapBits* bits, const owlRect* rect);
/* Ends the use of a view; the pixels are not touched. */
OWL_EXTERN_C OWL_API int OWL_CALL UnlockTextureBits(HGTEXTURE texture);
/* Writes the texture's filter word to *filter (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureFilter(HGTEXTURE texture, uint32_t* filter);
/* Stores the filter word; its top byte is the blend kind used whenever the
 * texture is drawn (an OWL_BLEND_ name, such as OWL_BLEND_SOURCE_OVER). */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureFilter(HGTEXTURE texture, uint32_t filter);
/* Writes the texture's layout mode to *mode (required). */
OWL_EXTERN_C OWL_API int OWL_CALL GetTextureMode(HGTEXTURE texture, TextureMode* mode);
/* Stores a copy of *mode (required), unchecked; DrawTextureEx follows it. */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureMode(HGTEXTURE texture, const TextureMode* mode);
/* Replaces the slices by copies of rects[0] .. rects[count - 1] (texel
 * coordinates, not checked against the texture), makes the first current
 * and returns 0. count 0 or a null rects removes every slice and returns
 * OWL_NO_SLICE (-1), as does running out of memory. A bad handle also returns 0. */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureSlice(HGTEXTURE texture, unsigned int count, const owlRect* rects);
/* Makes slice index current and returns the previous current index
 * (OWL_NO_SLICE, -1, when there was none). OWL_NO_SLICE, changing nothing,
 * for a bad handle, a texture
 * without slices or an index out of range. */
OWL_EXTERN_C OWL_API int OWL_CALL SetTextureCurSlice(HGTEXTURE texture, int index);
/* Copies src's filter and its pixels, over the area both textures cover
 * from their top-left corners, into dst; dst keeps its size, mode and
 * slices. dst may be src. 0, changing nothing, when either handle is bad. */
OWL_EXTERN_C OWL_API int OWL_CALL CopyTexture(HGTEXTURE dst, HGTEXTURE src);

/* ---- Texture drawing --------------------------------------------------- */

/* Every texture draw combines texels with the canvas by the texture's blend
 * kind (the top byte of its filter: OWL_BLEND_SOURCE_OVER, OWL_BLEND_COLOR_KEY
 * skipping 0x00000000, OWL_BLEND_MULTIPLY, anything else copy); a constant
 * alpha below OWL_ALPHA_OPAQUE (255) turns every kind but multiply into
 * source-over with the texture scaled by (alpha + 1) / 256.
 * resampleFilter: OWL_RESAMPLE_NEAREST, OWL_RESAMPLE_BICUBIC, anything else
 * (OWL_RESAMPLE_BILINEAR) bilinear; it matters only for pieces drawn at
 * another size, and a piece from fewer than 5 texels across is bilinear,
 * from 1 texel nearest. dst (required) is in logical
 * coordinates and clipped to the canvas clip; a reversed dst draws nothing.
 * src (null: the whole texture) is in texels, normalised, and must lie
 * inside the texture and not be empty.
 * Results: 0 for a bad texture or canvas handle, a null dst or a bad src
 * (nothing is drawn), otherwise 1, also when nothing was drawn. */

/* DrawTextureEx at full opacity (alpha OWL_ALPHA_OPAQUE). */
OWL_EXTERN_C OWL_API int OWL_CALL DrawTexture(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                              unsigned int resampleFilter);
/* Draws the texture into dst as its mode's kind says (an OWL_MODE_ name,
 * with the mode's margins where the kind cuts; any other kind stretches it
 * to dst), with the current slice, or the whole texture, as source, at
 * opacity alpha. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawTextureEx(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                                unsigned int resampleFilter, unsigned char alpha);

#ifdef __cplusplus
/* The four below have C++ linkage: they can be called from C++ only. */

/* A nine-grid: src and dst are each cut into nine cells by margins
 * (required; insets left, top, right, bottom). Corners are drawn at their
 * own size, edges stretched along them, the middle in both directions.
 * fillCenter replaces the middle by a fill of the middle cell's centre texel
 * (scaled by alpha unless the texture multiplies) with the fill operation
 * of the texture's filter word (FillSolidRectEx's OWL_FILL_ names). Cells
 * that margins reverse, or that would reach outside src or dst, draw
 * nothing. */
OWL_API unsigned int OWL_CALL DrawTexture9Grid(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                               const owlRect* src, const owlRect* margins,
                                               unsigned int resampleFilter, bool fillCenter, unsigned char alpha);
/* Columns of src's width from dst's left: the top margins.top rows of src
 * at their own size, under them the bottom margins.bottom rows stretched to
 * dst's bottom. The last column is cut. margins is required. */
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

/* The kernel of every bicubic draw, one setting for the whole process:
 * OWL_KERNEL_CUBIC_STRICT, OWL_KERNEL_BSPLINE, or OWL_KERNEL_CUBIC (the
 * initial mode, also for any other value). Returns the current mode. */
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
 * of ARGBtoAHSL: AHSLtoARGB(ARGBtoAHSL(x)) may differ from x by up to 6 in
 * a colour channel. */
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
/* OWL_SHUFFLE_ALPHA_TO_COLOR: B, G, R = A (a white silhouette);
 * OWL_SHUFFLE_COLOR_TO_ALPHA: A = max(B, G, R); any other type changes
 * nothing and returns 1. */
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
 * less, above 32767, when 32767 surfaces are live, or when memory runs
 * out. */
OWL_EXTERN_C OWL_API HDC OWL_CALL CreateDeviceSurface(int width, int height);
/* Frees the surface and its pixels; hdc and every view of the pixels are
 * dead afterwards. 0 for a value that is not a live device surface (so also
 * the second time); the same holds for the other surface calls. A deleted
 * surface's value is not handed to a new surface before its slot has been
 * reused 65536 times (2^32 times in 64-bit processes). */
OWL_EXTERN_C OWL_API int OWL_CALL DeleteDeviceSurface(HDC hdc);
/* Writes to *bits (required) a view of the surface's whole pixel buffer
 * (pitch = width * 4), valid until the surface is deleted. */
OWL_EXTERN_C OWL_API int OWL_CALL LockDeviceSurfaceBits(HDC hdc, BitmapBits* bits);
/* Ends the use of a view; the pixels are not touched. */
OWL_EXTERN_C OWL_API int OWL_CALL UnlockDeviceSurfaceBits(HDC hdc);
/* Writes the device clip, in the surface's pixels, to *clip (required);
 * GdiTransCanvas writes nothing outside it. */
OWL_EXTERN_C OWL_API int OWL_CALL GetDeviceSurfaceClip(HDC hdc, owlRect* clip);
/* Sets the device clip to *clip intersected with the surface, or to the
 * whole surface when clip is null; an empty result is stored as all zeros
 * and lets nothing through. The previous clip goes to *oldClip when oldClip
 * is not null. */
OWL_EXTERN_C OWL_API int OWL_CALL SetDeviceSurfaceClip(HDC hdc, const owlRect* clip, owlRect* oldClip);
#endif

/* ---- Canvas composition ------------------------------------------------ */

/* These work on the rectangles as given, without the canvas clip. A
 * rectangle that is reversed as given (left > right or top > bottom), or
 * that maps to one reversed or reaching outside its canvas, and a
 * destination of zero width or height whose size differs from the source's,
 * draw nothing; the call still returns 1. Rectangles of different sizes are
 * stretched by nearest neighbour. dst and src may be one canvas, even with
 * overlapping rectangles: then the result is that of the plain formula
 * (without the MMX split) applied pixel by pixel, rows from the top and each
 * row from the left, every pixel read after the pixels before it were
 * written. Rectangles are in logical
 * coordinates; a null rectangle draws nothing. 0 only for a handle that is
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
/* Copies srcRect of the canvas to the device hdc (a device context on
 * Windows, a device surface elsewhere) at dstRect's top-left corner, in the
 * device's pixels, unchanged (still premultiplied), rows starting at
 * srcRect's left edge; the device clips, the canvas clip does not apply. Of rectangles of
 * different sizes only the part both cover is copied. The device call's
 * own result is not looked at. */
OWL_EXTERN_C OWL_API int OWL_CALL GdiTransCanvas(HDC hdc, const owlRect* dstRect, HGCANVAS canvas,
                                                 const owlRect* srcRect);

/* ---- Rectangle outlines ------------------------------------------------ */

/* A one-pixel outline of rect (required, logical coordinates) within the
 * canvas clip. A colour of alpha 255 replaces pixels; any other is blended
 * source-over (new = c + (((256 - A) * d) >> 8), the low 8 bits kept). An edge is drawn
 * only where it lies inside the clip; corner pixels belong to a row and a
 * column and are written twice. 0 for a bad handle, a null rect or a failed
 * lock; 1 otherwise, also when nothing is visible. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRectangleEx(HGCANVAS canvas, const owlRect* rect, uint32_t color);
/* A dotted outline: every span, after clipping, skips its first pixel,
 * writes the next, and so on; written pixels are always blended. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRectFocusEx(HGCANVAS canvas, const owlRect* rect, uint32_t color);
/* An outline with elliptical corners of radii ((corner[0] + 1) / 2,
 * (corner[1] + 1) / 2); a radius below 2 draws GeoRectangleEx. Radii are not limited to the
 * rectangle. 0 also for a null corner. */
OWL_EXTERN_C OWL_API int OWL_CALL GeoRoundRectEx(HGCANVAS canvas, const owlRect* rect, const int32_t corner[2],
                                                 uint32_t color);

/* ---- Fills ------------------------------------------------------------- */

/* Source-over of color (premultiplied) on *rect (required, logical
 * coordinates), clipped; FillSolidRectEx with OWL_FILL_SOURCE_OVER.
 * 1 at once for a colour of alpha 0, whatever the handle. */
OWL_EXTERN_C OWL_API int OWL_CALL FillSolidRect(HGCANVAS canvas, uint32_t color, const owlRect* rect);
/* Fills *rect (required, logical coordinates) within the canvas clip with
 * color. The top byte of filter picks the operation: OWL_FILL_SOURCE_OVER
 * (also 0x02000000), OWL_FILL_MULTIPLY per channel ((d * (c + 1)) >> 8),
 * OWL_FILL_OR bitwise, any other value copy (OWL_FILL_COPY).
 * Returns 1 at once, whatever the handle, when nothing would change (alpha 0
 * for source-over, 0xFFFFFFFF for multiply, 0 for OR); otherwise 0 only for
 * a bad handle, 1 also when the clipped rectangle is empty. */
OWL_EXTERN_C OWL_API int OWL_CALL FillSolidRectEx(HGCANVAS canvas, uint32_t color, const owlRect* rect, uint32_t filter);
/* A two-colour gradient on *rect (required, logical coordinates) within the
 * canvas clip, blended row by row (OWL_GRADIENT_TOP_TO_BOTTOM) or column by
 * column (OWL_GRADIENT_LEFT_TO_RIGHT) from color1 at the rectangle's first
 * row or column towards color2 at its excluded edge; the colours belong to
 * the unclipped rectangle. Other directions fill with color1. Equal colours
 * are FillSolidRect of that colour, checked first: with alpha 0 the call
 * returns 1 without looking at the handle or the rectangle (a bad handle or
 * a null rect too). */
OWL_EXTERN_C OWL_API int OWL_CALL FillGradualRect(HGCANVAS canvas, uint32_t color1, uint32_t color2, const owlRect* rect,
                                                  int direction);

/* ---- Modulation -------------------------------------------------------- */

/* Draws the texture's current slice (or the whole texture) unscaled with
 * its top-left corner at logical (x, y), within the canvas clip, multiplied by
 * color. Colour alpha below 255: s = (c * (t + 1)) >> 8 on all four
 * channels, laid over the canvas source-over. Alpha 255: each of the
 * texture's R, G, B is that channel's coverage e (its value times
 * 192 + (c >> 2), or 255 where it is 255, >> 8), d = ((c * e) >> 8) +
 * (((255 - e) * d) >> 8), and alpha comes from (R + 2 G + B) / 4.
 * 0 for a bad handle (canvas looked up first) or a slice that is empty or
 * reaches outside the texture; 1 otherwise, also when nothing is drawn. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawModulation(HGCANVAS canvas, int32_t x, int32_t y, HGTEXTURE texture,
                                                 uint32_t color);

/* ---- Gaussian blur and shadows ----------------------------------------- */

/* Gaussian blur of src into dst, a texture of the same size (dst may be
 * src), with standard deviation radius, 0 to 128 pixels; 0 copies. The
 * blur is three passes of a box along each row, then three down each
 * column, over lines whose ends repeat the edge pixel. A pass of box
 * radius r and end weight A sets each channel to
 *   (W * (sum of the 2r + 1 values centred on it)
 *    + A * (the two values just beyond them) + 2^(k-1)) >> k,
 * with, for s = radius, r the largest integer with r (r + 1) <= s * s,
 * k = 14 + floor(log2(2r + 1)), d = (2r + 1)(r + 1)(2r + 3),
 * W = floor(2^k (3 (r + 1)^2 - s * s) / d) and A = floor((2^k - W (2r + 1)) / 2):
 * each pass carries a third of the variance s * s exactly, flat areas stay
 * exact, and no colour byte ends above its alpha. The cost per pixel does
 * not depend on the radius. Against the exact Gaussian (sampled weights
 * summing to 1, the same edges), for radii 1 to 50: a step along a line is
 * within 3 levels per channel (the three boxes' shape, 2.5, plus rounding),
 * so a corner of a shape, which takes that error along both directions, is
 * within 6; noise is within 4.
 * 0 for a bad handle, textures of different sizes, a radius out of range or
 * no memory for the scratch lines (dst unchanged); 1 otherwise. */
OWL_EXTERN_C OWL_API int OWL_CALL GaussianBlurTexture(HGTEXTURE dst, HGTEXTURE src, int32_t radius);
/* A tinted, blurred silhouette: dst (the size of src; may be src) becomes
 * color (premultiplied) scaled by src's alpha blurred by GaussianBlurTexture
 * with radius: each channel round(c * a / 255). The host draws dst offset
 * under the element. Results as GaussianBlurTexture. */
OWL_EXTERN_C OWL_API int OWL_CALL ShadowTexture(HGTEXTURE dst, HGTEXTURE src, int32_t radius, uint32_t color);
/* Draws source-over, within the canvas clip, the shadow of a rounded
 * rectangle: *rect (required, logical coordinates) moved by (dx, dy),
 * corners rounded with radius corner (0 to 65535, and at most half the
 * shorter side; a pixel belongs to the shape when its centre does), filled with color
 * (premultiplied) and blurred as GaussianBlurTexture would with radius
 * (0 to 128), on a canvas large enough not to reach its edges: within 2
 * levels per channel. The blurred shape is computed from the blur's line
 * weights, not from an image, in 15-bit coverages (32767 is all): the
 * blurred box is the product of a row and a column profile, each a
 * difference of two cumulative weights rounded to 15 bits, rounded as
 * q = (a * d + 16384) >> 15; near each corner the blur of the piece the
 * corner cuts off is taken back (one table per call serves the four
 * corners, their mirror images), q kept at 0 or more. Each channel of the
 * source is (c * q + 16384) >> 15, laid over the pixel as
 * s + (((256 - source alpha) * pixel) >> 8). The work is one step per pixel
 * drawn plus the table, (corner + 6 (r + 1))^2 entries of at most
 * min(corner, 6 (r + 1) + 1) products each (r as for GaussianBlurTexture).
 * 0 for a bad handle, a null or reversed rectangle (also one the offset
 * wraps), a corner or radius out of range, or no memory for the table;
 * 1 otherwise, also when nothing is drawn. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawRoundRectShadow(HGCANVAS canvas, const owlRect* rect, int32_t corner,
                                                      int32_t radius, uint32_t color, int32_t dx, int32_t dy);
/* ---- Nine-grids at any display scale ----------------------------------- */

/* Flags of DrawTexture9GridEx, combined with |. */
#define OWL_GRID_REPEAT_X 0x1u  /* top and bottom edges and middle repeat across */
#define OWL_GRID_REPEAT_Y 0x2u  /* left and right edges and middle repeat down */
#define OWL_GRID_NO_MIDDLE 0x4u /* the middle cell is left out */

/* A nine-grid whose corners follow the display scale: srcMargins (texels)
 * cut src (null: the whole texture; rules as for the other drawing
 * functions) and dstMargins (pixels, e.g. srcMargins times 1.5 for a 150%
 * display) cut dst into nine cells; each source cell is drawn onto its
 * destination cell, corners scaled with the resampling filter. On an axis
 * where two margins add up to more than the length n (of dst, or of src),
 * they shrink in proportion: the first becomes floor(m0 * n / (m0 + m1)),
 * the second n minus that, so corners meet and never overlap; n = 0 draws
 * nothing. Edges and the middle stretch along an axis, or, with
 * OWL_GRID_REPEAT_X / _Y, repeat from the cell's top-left corner in tiles
 * of the source middle's length times the other axis's scale
 * (dstMargins / srcMargins summed over that axis, rounded to nearest, at
 * least 1; unscaled when either sum is 0), the last tile cut at the cell's
 * far end, sampling the texels its visible part maps to. Cells whose source
 * or destination is empty draw nothing; the middle is left out with
 * OWL_GRID_NO_MIDDLE. Blend kind, alpha and resampleFilter as for
 * DrawTextureEx; drawn within the canvas clip. With both margins equal,
 * no shrinking and no flags, the pixels are DrawTexture9Grid's.
 * 0 for a bad handle, a null dst, a bad src, or null or negative margins;
 * 1 otherwise. */
OWL_EXTERN_C OWL_API int OWL_CALL DrawTexture9GridEx(HGCANVAS canvas, const owlRect* dst, HGTEXTURE texture,
                                                     const owlRect* src, const owlRect* srcMargins,
                                                     const owlRect* dstMargins, unsigned int flags,
                                                     unsigned int resampleFilter, unsigned char alpha);

/* ---- Rounded rectangles ------------------------------------------------ */

/* Anti-aliased rounded rectangles. rect (required, logical coordinates) is
 * the outer edge; radii (required, pixels, each 0 or more) are the circular
 * corners' radii in the order top-left, top-right, bottom-right,
 * bottom-left. When two radii on one side add up to more than that side,
 * all four are multiplied by the smallest ratio side / sum, so corners meet
 * and never overlap. Each pixel's coverage k is the exact area of the shape
 * inside it (a pixel being a unit square), quantised as
 * floor(area * 255 + 0.5); the pixel becomes s + (((256 - s.A) * d) >> 8)
 * with s = (color * (k + 1)) >> 8 per channel (color itself when k is
 * 255). Radius 0 gives the exact rectangle, and equal radii a shape
 * symmetric in both axes, pixel for pixel. Drawn within the canvas clip; a
 * reversed or empty rect or a colour of alpha 0 draws nothing. 0 for a bad
 * handle, a null rect or radii, or a negative radius (or, for the stroke, a
 * width below 1); 1 otherwise. */

/* The filled shape. */
OWL_EXTERN_C OWL_API int OWL_CALL FillRoundRect(HGCANVAS canvas, const owlRect* rect, const int32_t radii[4],
                                                uint32_t color);
/* An outline of width pixels inside rect: the shape minus the shape inset by
 * width on every side, whose radii are max(r - width, 0) after the scaling
 * above, scaled again by the same rule; coverage is the difference of the
 * two areas, never below 0. A width of half the shorter side or more fills
 * the shape. */
OWL_EXTERN_C OWL_API int OWL_CALL StrokeRoundRect(HGCANVAS canvas, const owlRect* rect, const int32_t radii[4],
                                                  int32_t width, uint32_t color);

/* ---- Translucent layers ------------------------------------------------ */

/* Lays srcRect of src over dstRect of dst source-over with src's own
 * (premultiplied) alpha at opacity alpha: per channel
 * s' = (s * (alpha + 1)) >> 8 (s itself at 255) and
 * d = s' + (((256 - s'.A) * d) >> 8); alpha 0 changes nothing. Rectangles
 * of different sizes stretch the source: resampleFilter 0 nearest, any
 * other value bilinear (one-pass weights out of 256, positions from the
 * top-left pixel with steps ((size - 1) << 16) / destination size), nearest
 * with steps (size << 16) / destination size. The
 * rectangles follow the composition rules above: no clip; a rectangle
 * reversed as given, or reaching outside its canvas after mapping, a null
 * one, or a destination of zero width or height whose size differs from
 * the source's draws nothing and the call returns 1. When dst and src are
 * one canvas and the rectangles overlap, the result is that of the formula
 * applied pixel by pixel, rows from the top and each row from the left,
 * every pixel read after the ones before it were written. 0 only for a
 * handle that is not a live canvas (dst looked up first). */
OWL_EXTERN_C OWL_API int OWL_CALL CompositeCanvas(HGCANVAS dst, const owlRect* dstRect, HGCANVAS src,
                                                  const owlRect* srcRect, uint8_t alpha, unsigned int resampleFilter);

#if defined(__clang__) && defined(__cplusplus)
#  pragma clang diagnostic pop
#endif

#endif /* OWLGRAPHIC_H */
