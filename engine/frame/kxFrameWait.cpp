#include "frame/kxFrameWait.h"

#include <SDL.h>

void kxFrameWait(uint32_t milliseconds) {
  if (milliseconds > 0) SDL_Delay(milliseconds);
}
