/// \file
/// Declares kxSampler.

/// \class kxSampler
/// kxSampler: a numbered bank of short sounds, each decoded whole into a mixer
/// chunk when appended and played once on the first free mixer channel. The
/// sampler owns its chunks. Sample numbers are append order and never move.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include "data/kxMemoryBlock.h"
#include "kxExport.h"
#include "kxTypes.h"

class KX_API kxSampler {
 public:
  /// Empty, volume 64 on all channels.
  kxSampler();
  ~kxSampler();

  /// Frees every chunk; the sampler is empty again.
  void ClearAllSamples();
  /// Expands and decodes a crunched sound file. On success its number is the
  /// previous GetCount(); on failure the bank is unchanged.
  [[nodiscard]] bool AppendSampleFromCrunchedMemoryBlock(kxMemoryBlock* block);
  /// Frees one sound; the others keep their numbers. Numbers at or beyond
  /// GetCount() are ignored.
  void ClearSample(uint64_t number);
  /// Plays once on the first free channel. Freed sounds and numbers at or
  /// beyond GetCount() play nothing.
  void PlaySample(uint64_t number);

  /// Passed to the mixer unclamped.
  void SetVolume(int32_t volume);
  /// The volume last set, 0..128 for the values the steps give.
  int32_t GetVolume();
  /// One step, clamped to 0..128.
  void VolumeUp();
  /// One step down, clamped to 0..128.
  void VolumeDown();

  /// The number of sample numbers handed out, freed ones included.
  uint64_t GetCount();
  /// The chunk of a sound, null when freed or out of range.
  Mix_Chunk* GetSample(uint64_t number);

 private:
  KX_NO_COPY(kxSampler);

  Mix_Chunk** samples;
  uint64_t count;
  int32_t volume;
};
