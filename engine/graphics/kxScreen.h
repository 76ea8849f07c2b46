/// \file
/// The engine-wide window size. The application frame writes it when the
/// window is made or resized; GUI controls read the height to turn window
/// coordinates (y down) into scissor rectangles (y up).
#pragma once

#include "kxExport.h"

KX_API void kxSetScreenSize(int width, int height);
KX_API int kxGetScreenWidth();
KX_API int kxGetScreenHeight();
