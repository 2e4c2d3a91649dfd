// libpng's error and warning callbacks for both directions: silent, and an
// error jumps back to the setjmp of the call in progress.
//
// The jump crosses only libpng's C frames and the one function of ours that
// called setjmp; that function and everything it calls hold no object with a
// destructor, and keep whatever must outlive a jump in a struct owned by
// their caller, which cleans up after a failure.
#pragma once

#include <png.h>

namespace owl_png {

[[noreturn]] inline void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
inline void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace owl_png
