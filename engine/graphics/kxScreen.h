/// \file
/// The engine-wide window size and GUI scale. The application frame writes
/// the size when the window is made or resized; the GUI manager publishes
/// its scale while it draws. GUI controls turn their rectangles (logical GUI
/// pixels, y down) into scissor rectangles (window pixels, y up) with them,
/// and fonts pick the bitmap size that suits the scale.
#pragma once

#include "kxExport.h"

/// Sets the engine-wide window size in pixels.
KX_API void kxSetScreenSize(int width, int height);
/// The engine-wide window width in pixels; 0 before the first kxSetScreenSize.
KX_API int kxGetScreenWidth();
/// The engine-wide window height in pixels; 0 before the first
/// kxSetScreenSize.
KX_API int kxGetScreenHeight();

/// Window pixels per logical GUI pixel of what is being drawn now; 1 outside
/// a GUI pass. Values that are not positive and finite are taken as 1.
KX_API void kxSetGUIScale(float scale);
/// The GUI scale of what is being drawn now (1 outside a GUI pass).
KX_API float kxGetGUIScale();

/// The GUI scale that suits a window of width x height pixels, for a layout
/// made for 1280 x 720 that needs 640 pixels across: the window's height over
/// 720, or its width over 640 when that is less, rounded down to a quarter and
/// never below 1. 1 for a size that is not positive.
KX_API float kxChooseGUIScale(int width, int height);
/// The same for a window of width x height drawable pixels on a screen of
/// `density` pixels per unit of the window's size (a browser's
/// devicePixelRatio, a high-density display's backing scale): the scale the
/// window's size in those units gets, times the density, so that the layout
/// takes the same share of the screen as at density 1, drawn with all of its
/// pixels. A density that is not positive and finite counts as 1.
KX_API float kxChooseGUIScale(int width, int height, float density);

/// A window-pixel rectangle, origin at the bottom-left (the scissor's space).
struct kxScreenRect_s {
  int x;       ///< left edge
  int y;       ///< bottom edge
  int width;   ///< columns
  int height;  ///< rows
};

/// The logical rectangle (left, top, width, height; y down) in window pixels
/// under the current GUI scale and screen height. Edges are rounded to the
/// nearest pixel; negative sizes become 0; results saturate at the ends of
/// int. At scale 1 it is (left, H - top - height, width, height).
KX_API kxScreenRect_s kxGUIRectToScreen(int left, int top, int width, int height);
