#include "audio/kxSampler.h"

#include <cstdlib>

#include "audio/kxVolume.h"
#include "data/kxAlloc.h"
#include "data/kxExpanded.h"

kxSampler::kxSampler() : samples(nullptr), count(0), volume(64) {
  Mix_Volume(-1, volume);
}

kxSampler::~kxSampler() {
  ClearAllSamples();
}

void kxSampler::ClearAllSamples() {
  for (uint64_t i = 0; i < count; ++i) {
    if (samples[i]) Mix_FreeChunk(samples[i]);
  }
  free(samples);
  samples = nullptr;
  count = 0;
}

bool kxSampler::AppendSampleFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  Mix_Chunk* chunk = kxUseExpanded(
      block, static_cast<Mix_Chunk*>(nullptr), [](const kxMemoryBlock* sound) -> Mix_Chunk* {
        // SDL streams take an int size.
        if (sound->size > uint64_t(INT32_MAX)) return nullptr;
        SDL_RWops* stream = SDL_RWFromConstMem(sound->data, int(sound->size));
        // Decoded whole; the mixer closes the stream.
        return stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
      });
  if (!chunk) return false;
  Mix_Chunk** grown =
      static_cast<Mix_Chunk**>(kxRealloc(samples, sizeof(Mix_Chunk*) * size_t(count + 1)));
  if (!grown) {
    Mix_FreeChunk(chunk);
    return false;
  }
  samples = grown;
  samples[count++] = chunk;
  return true;
}

void kxSampler::ClearSample(uint64_t number) {
  if (number >= count || !samples[number]) return;
  // A channel still playing the chunk is halted by the mixer before it is
  // freed.
  Mix_FreeChunk(samples[number]);
  samples[number] = nullptr;
}

void kxSampler::PlaySample(uint64_t number) {
  if (number >= count || !samples[number]) return;
  Mix_PlayChannelTimed(-1, samples[number], 0, -1);
}

void kxSampler::SetVolume(int32_t volume) {
  this->volume = volume;
  Mix_Volume(-1, volume);
}

int32_t kxSampler::GetVolume() {
  return volume;
}

void kxSampler::VolumeUp() {
  SetVolume(kxVolumeUp(volume));
}

void kxSampler::VolumeDown() {
  SetVolume(kxVolumeDown(volume));
}

uint64_t kxSampler::GetCount() {
  return count;
}

Mix_Chunk* kxSampler::GetSample(uint64_t number) {
  return number < count ? samples[number] : nullptr;
}
