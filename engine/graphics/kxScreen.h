/// \file
/// The engine-wide window size. The application frame writes it when the
/// window is made or resized; GUI controls read the height to turn window
/// coordinates (y down) into scissor rectangles (y up).
#pragma once

#include "kxExport.h"

/// Records the window's size in pixels.
KX_API void kxSetScreenSize(int width, int height);
/// The recorded width; 0 before the first kxSetScreenSize.
KX_API int kxGetScreenWidth();
/// The recorded height; 0 before the first kxSetScreenSize.
KX_API int kxGetScreenHeight();
