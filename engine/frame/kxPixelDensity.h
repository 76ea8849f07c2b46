// Drawable pixels per unit of a window's size. Internal; header-only.
#pragma once

#include <SDL.h>

// Both sizes as SDL has them now, not a size last delivered to the frame:
// the density belongs to the screen. 1 for no window or a size SDL does not
// know yet.
inline float kxWindowPixelDensity(SDL_Window* window) {
  if (!window) return 1.0f;
  int ww = 0, wh = 0, dw = 0, dh = 0;
  SDL_GetWindowSize(window, &ww, &wh);
  SDL_GL_GetDrawableSize(window, &dw, &dh);
  if (ww <= 0 || dw <= 0) return 1.0f;
  return static_cast<float>(dw) / static_cast<float>(ww);
}
