// kxFrameWait: how a paced loop of the engine ends a frame, given the
// milliseconds kxFramePacer::EndFrame left until the frame's mark. Internal to
// the engine; the main loop and the logo splash call it.
//
// On the desktop it sleeps that long, and not at all after a late frame. The
// browser build (kxFrameWaitEmscripten.cpp) replaces it: there a frame
// reaches the screen only when control goes back to the page, so every frame
// yields to the browser at least once, until its next animation frame, and
// keeps yielding to animation frames until the mark is near. The loops keep
// their blocking form; the browser paces them.
#pragma once

#include "kxTypes.h"

void kxFrameWait(uint32_t milliseconds);
