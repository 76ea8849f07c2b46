// The lines vimra prints about its start: why a start failed (one line, the
// true cause), the check of the pack made before anything opens it, and the
// one line saying how the picture is smoothed.
#pragma once

#include <string>

#include "frame/kxSDLWrapper.h"
#include "vimraGame.h"

struct vimraStartupFacts_s {
  TInitError frameError;          // the step at which the frame's Init stopped
  const char* frameDetail;        // the library's message then; may be null or empty
  TVimraInitFailure gameFailure;  // what the game's own part of Init reported
  bool fullscreen;                // the window asked for was full screen
};

// The message for a failed Init, without a line end; never empty, one line.
std::string vimraDescribeStartupError(const vimraStartupFacts_s& facts);

// Looks at the pack `name` in the working directory without ever blocking:
// anything but a regular file (a FIFO, a directory, a device) is refused
// before it is opened, and a file that cannot be opened for reading is
// named with the system's reason. "" when the file can be read, otherwise
// the one line to print.
std::string vimraCheckPackFile(const char* name);

// True for a video driver that shows nothing ("offscreen", "dummy"): SDL
// may fall back to one without a display, and a full-screen game there
// would run unseen and never end. False for null (no video started).
bool vimraIsBlindVideoDriver(const char* driver);

// The line printed when the audio device did not open and the game plays
// silently instead; `detail` is the library's message (may be null).
std::string vimraDescribeSilentStart(const char* detail);

// The line saying how many samples per pixel the picture has: `request` is
// what was asked (0, 2, 4 or kxMultisampleAuto), `samples` what the context
// has, on `renderer` (software or not).
std::string vimraDescribeMultisampling(int request, int samples, const char* renderer,
                                       bool software);
