// The one line the program prints when it cannot start: what went wrong,
// worked out from how far start-up came.
#pragma once

#include <string>

#include "vimraGame.h"

struct vimraStartupFacts_s {
  bool videoStarted;        // SDL's video subsystem came up
  bool audioOpened;         // the mixer opened an audio device
  bool windowReady;         // the window and its GL context were made
  TVimraInitFailure failure;  // what the game's own loading reported
  bool packFileExists;      // "vimradata.bin" opens for reading
  const char* detail;       // SDL's last error text; may be null or empty
};

// The message, without a line end; never empty.
std::string vimraDescribeStartupError(const vimraStartupFacts_s& facts);
