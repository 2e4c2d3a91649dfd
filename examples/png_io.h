// PNG files to and from owlgraphic's premultiplied pixels, for the examples.
#ifndef OWLGRAPHIC_EXAMPLES_PNG_IO_H
#define OWLGRAPHIC_EXAMPLES_PNG_IO_H

#include "owlgraphic.h"

// Writes a block of premultiplied pixels as an 8-bit RGBA PNG (colour
// divided by alpha again). False when the file can't be written.
bool WritePng(const BitmapBits& bits, const char* path);

// Writes the canvas's pixels from logical (0, 0) to (width, height); false
// for a bad canvas, a rectangle outside it or an unwritable file.
bool WriteCanvasPng(HGCANVAS canvas, int width, int height, const char* path);

// Loads any PNG as a new texture with premultiplied pixels. 0 when the file
// can't be read or the texture can't be made.
HGTEXTURE LoadPngTexture(const char* path);

#endif
