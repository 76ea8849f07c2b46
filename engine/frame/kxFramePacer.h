/// \file
/// Declares kxFramePacer.

/// \class kxFramePacer
/// kxFramePacer: the fixed schedule of the engine's 60 frames-per-second loops
/// (the main loop and the start-up splash). Each frame's end is aimed at
/// base + frames x period; a frame that ends after its mark restarts the
/// schedule from the current tick instead of shortening the frames after it.
/// The tick source is injectable so the arithmetic can be checked without
/// sleeping; the pacer itself never sleeps.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

/// Millisecond tick reading; the engine's default is SDL_GetTicks.
typedef uint32_t (*kxTickSource)();

class KX_API kxFramePacer {
 public:
  /// Frame period in milliseconds, single precision as the schedule uses it.
  static constexpr float period = 16.666666f;

  /// A null source means SDL_GetTicks.
  explicit kxFramePacer(kxTickSource source = nullptr);

  /// One tick reading; a reading of 0 is taken as 1, since 0 means "never"
  /// to the callers that store tick values.
  uint32_t Ticks() const;
  /// Starts a schedule at the current tick with no frame counted.
  void Start();
  /// Counts one finished frame and returns how long to sleep until its mark.
  /// Returns 0 and restarts the schedule when the frame ended after its mark.
  uint32_t EndFrame();

  /// The tick the current schedule started at.
  uint32_t GetBase() const { return base; }
  /// Frames counted since the schedule started.
  uint32_t GetFrames() const { return frames; }
  /// The tick source in use; never null (SDL_GetTicks when none was given).
  kxTickSource GetTickSource() const { return source; }

 private:
  kxTickSource source;
  uint32_t base;
  uint32_t frames;
};
