#include "frame/kxFramePacer.h"

#include <SDL.h>

namespace {
uint32_t SDLTicks() {
  return SDL_GetTicks();
}
}  // namespace

kxFramePacer::kxFramePacer(kxTickSource source)
    : source(source ? source : SDLTicks), base(0), frames(0) {}

uint32_t kxFramePacer::Ticks() const {
  uint32_t now = source();
  return now == 0 ? 1 : now;
}

void kxFramePacer::Start() {
  base = Ticks();
  frames = 0;
}

uint32_t kxFramePacer::EndFrame() {
  ++frames;
  uint32_t now = Ticks();
  // The product is formed in single precision and truncated, as the schedule
  // has always been computed; the sum wraps like the tick counter itself.
  uint32_t target = base + static_cast<uint32_t>(static_cast<float>(frames) * period);
  if (now > target) {
    Start();
    return 0;
  }
  return target - now;
}
