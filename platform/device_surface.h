// The device side of GdiTransCanvas. On Windows this is GDI itself. On
// other platforms an HDC names an in-memory device surface, and the few GDI
// records and the one GDI call the library makes are declared here with the
// same names and arguments, so that the calling code is the same on both.
#pragma once

#include <cstdint>

#include "owlgraphic.h"

#if !defined(_WIN32)

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: rows run top-down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the header GDI expects");

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// The surface an HDC names. The HDC value is not its address but a slot
// index and a generation, so the value of a deleted surface does not name
// the next surface made in its place.
struct DeviceSurface {
  BitmapBits pixels;
  owlRect clip;  // device pixels, inside the surface
};

// The surface hdc names, or null when it is not a live one (forged, freed
// or 0 values are refused, not followed). Safe while other threads create
// and delete other surfaces.
DeviceSurface* DeviceSurfaceFromHdc(HDC hdc);

// Copies lines of a 32-bit BI_RGB bitmap to the device. The rectangle
// (xDest, yDest, w, h) on the device shows the bitmap's pixels from
// (xSrc, ySrc) on (rows counted from the top for a top-down bitmap, from the
// bottom for a bottom-up one). bits holds cLines scan lines of the bitmap
// starting at scan line startScan, each biWidth * 4 bytes; bitmap pixels
// outside those lines or the bitmap, and device pixels outside the clip, are
// skipped. Returns the number of device rows written, 0 for refused
// arguments (another format, an unknown hdc).
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT cLines, const void* bits, const BITMAPINFO* bmi, UINT colorUse);

#endif
