/*
 * owlgraphic_png: PNG files to and from owlgraphic textures, a companion
 * library to owlgraphic (link both; this one also needs libpng, the core
 * library needs nothing). It works through owlgraphic's exported functions
 * only, so everything owlgraphic.h says about handles and pixels holds here.
 *
 * Loading. Every PNG kind is read: grey, grey with alpha, palette, RGB and
 * RGBA, bit depths 1 to 16, interlaced or not, with a tRNS chunk giving
 * alpha to palette entries or to one grey or RGB value. Samples are taken as
 * stored (every ancillary chunk but tRNS is skipped, so no gamma or colour
 * profile is applied): 1-, 2- and 4-bit grey v becomes v * 255 / (2^depth - 1), 16-bit samples v
 * become round(v * 255 / 65535), and a kind without alpha gets alpha 255.
 * The straight colour c is then premultiplied as NormalizeTexture does:
 * (c * (A + 1)) >> 8. The new texture has filter 0, mode 0 and no slices.
 *
 * Saving. A rectangle of pixels becomes an 8-bit, non-interlaced RGB file
 * when every alpha byte in it is 255, an RGBA file otherwise. Colour is
 * divided by alpha again: a colour byte c with alpha A (a colour byte above
 * its alpha counts as A) is written as the value nearest to 255 * c / A
 * (halves rounded up) among the values v that premultiply back to c, that
 * is with (v * (A + 1)) >> 8 == c (there is always at least one); alpha 0
 * is written as 0, 0, 0, 0. So a premultiplied picture saved and loaded
 * again comes back bit for bit.
 *
 * Failures. A load returns 0, leaving no texture and no memory behind, for
 * a missing or unreadable file, a file that is not a PNG, is cut short or
 * fails a check (any chunk's CRC, the zlib stream or its checksum, the
 * header's values) and for an image with a side above 32767.
 * A file too short to hold the image its header declares (deflate packs at
 * most 1032 bytes into one) is refused before any pixel memory is taken.
 * Nothing is printed. The library keeps no state between calls; the rules
 * on threads are owlgraphic's.
 */
#ifndef OWLGRAPHIC_PNG_H
#define OWLGRAPHIC_PNG_H

#include "owlgraphic.h"

/* OWL_STATIC: the static libraries, as in owlgraphic.h. */
#if defined(OWL_STATIC)
#  define OWL_PNG_API
#elif defined(_WIN32)
#  if defined(OWL_BUILDING_PNG_LIBRARY)
#    define OWL_PNG_API __declspec(dllexport)
#  else
#    define OWL_PNG_API __declspec(dllimport)
#  endif
#else
#  if defined(OWL_BUILDING_PNG_LIBRARY)
#    define OWL_PNG_API __attribute__((visibility("default")))
#  else
#    define OWL_PNG_API
#  endif
#endif

#if defined(__clang__) && defined(__cplusplus)
#  pragma clang diagnostic push
#  pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

/* A new premultiplied texture holding the PNG file at path (required). Free
 * it with DeleteTexture. 0 on any failure (see above). */
OWL_EXTERN_C OWL_PNG_API HGTEXTURE OWL_CALL LoadPngTexture(const char* path);
/* The same for a PNG file held in memory: size bytes at data (required
 * unless size is 0); bytes after the file's end are ignored. The bytes are
 * only read, and not kept. */
OWL_EXTERN_C OWL_PNG_API HGTEXTURE OWL_CALL LoadPngTextureFromMemory(const void* data, size_t size);
/* Writes the pixels of *bits (required: a locked view of any owlgraphic
 * object, or of any 32-bit premultiplied B, G, R, A pixels; the pitch may
 * be negative but its size not below 4 * width) to a PNG file at path
 * (required), replacing any file there. 0 for an empty view, a side above
 * 32767, or a file that can't be opened or written (what was written before
 * a failed write stays). */
OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveBitsPng(const BitmapBits* bits, const char* path);
/* Writes *rect of the texture (texels; the whole texture when rect is null)
 * as SaveBitsPng does. 0 for a bad handle, a rectangle that is empty,
 * reversed or reaches outside the texture, or a failed write. */
OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveTexturePng(HGTEXTURE texture, const owlRect* rect, const char* path);
/* Writes *rect of the canvas (required, logical coordinates, mapped through
 * the origins and not clipped) as SaveBitsPng does. 0 for a bad handle, a
 * rectangle that is empty, reversed or reaches outside the canvas, or a
 * failed write. */
OWL_EXTERN_C OWL_PNG_API int OWL_CALL SaveCanvasPng(HGCANVAS canvas, const owlRect* rect, const char* path);

#if defined(__clang__) && defined(__cplusplus)
#  pragma clang diagnostic pop
#endif

#endif
