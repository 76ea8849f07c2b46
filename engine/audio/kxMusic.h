/// \file
/// Declares kxMusic.

/// \class kxMusic
/// kxMusic: one looping background piece, streamed by the mixer from an
/// expanded copy of a crunched block. The object owns the expanded bytes, the
/// memory stream over them and the mixer's handle; the bytes and the stream
/// live exactly as long as the handle, since the mixer's audio thread reads
/// them while the piece plays. The audio device must be open (kxSDLWrapper).
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

/// The class holds these by pointer only; users of kxMusic need neither SDL's
/// nor the mixer's headers.
struct kxMemoryBlock;
struct SDL_RWops;
/// The mixer's handle of a piece, declared here so that users need no mixer header.
typedef struct _Mix_Music Mix_Music;

class KX_API kxMusic {
 public:
  /// Empty, volume 64 (on the mixer's 0..128 scale).
  kxMusic();
  ~kxMusic();

  /// Expands the block, releases any piece held and opens the new one. False
  /// only when the block does not expand, and then the piece held is kept; a
  /// piece the mixer cannot decode still returns true and plays nothing.
  [[nodiscard]] bool LoadFromCrunchedMemoryBlock(kxMemoryBlock* block);
  /// From the beginning, repeating without end.
  void Play();
  /// Halts the piece; Play starts it again from the beginning.
  void Stop();
  /// There is no resume: Play starts again from the beginning.
  void Pause();
  /// Stops and frees the piece, then its stream, then its bytes.
  void Clear();

  /// Passed to the mixer unclamped.
  void SetVolume(int32_t volume);
  /// The volume last set, 0..128 for the values the steps give.
  int32_t GetVolume();
  /// One step, clamped to 0..128.
  void VolumeUp();
  /// One step down, clamped to 0..128.
  void VolumeDown();

  /// True when the mixer accepted the piece.
  bool IsLoaded();

 private:
  KX_NO_COPY(kxMusic);

  kxMemoryBlock* data;
  SDL_RWops* stream;
  Mix_Music* music;
  int32_t volume;
};
