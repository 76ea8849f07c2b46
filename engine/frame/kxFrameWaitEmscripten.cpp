#include <SDL.h>
#include <emscripten.h>

#include "frame/kxFrameWait.h"

namespace {

// Suspends the program (through Asyncify) until the browser's next animation
// frame; the page draws what the frame rendered meanwhile. A page in a
// hidden tab gets no animation frames, so the program rests there.
EM_ASYNC_JS(void, kxWaitAnimationFrame, (), {
  await new Promise(function(resume) { requestAnimationFrame(function() { resume(); }); });
});

// A mark closer than this is met by the animation frame already due: half a
// frame of a 120 Hz display, so that such displays still show 60 frames a
// second instead of running the game at double speed.
const uint32_t kEarlyEnough = 4;

}  // namespace

void kxFrameWait(uint32_t milliseconds) {
  uint32_t start = SDL_GetTicks();
  do {
    kxWaitAnimationFrame();
  } while (SDL_GetTicks() - start + kEarlyEnough < milliseconds);
}
