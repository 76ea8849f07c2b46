#include "audio/kxSampler.h"

#include <cstdlib>

#include "data/kxAlloc.h"

namespace {
const int32_t maxVolume = 128;
}  // namespace

kxSampler::kxSampler() : samples(nullptr), count(0), volume(64) { Mix_Volume(-1, volume); }

kxSampler::~kxSampler() { ClearAllSamples(); }

void kxSampler::ClearAllSamples() {
  for (uint64_t i = 0; i < count; ++i) {
    if (samples[i]) Mix_FreeChunk(samples[i]);
  }
  free(samples);
  samples = nullptr;
  count = 0;
}

bool kxSampler::AppendSampleFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  if (!block) return false;
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(block);
  if (!expanded) return false;
  if (expanded->size > static_cast<uint64_t>(INT32_MAX)) {
    kxFreeMemoryBlock(expanded);
    return false;
  }
  Mix_Chunk** grown =
      static_cast<Mix_Chunk**>(kxRealloc(samples, sizeof(Mix_Chunk*) * static_cast<size_t>(count + 1)));
  if (!grown) {
    kxFreeMemoryBlock(expanded);
    return false;
  }
  samples = grown;
  Mix_Chunk* chunk = nullptr;
  SDL_RWops* stream = SDL_RWFromConstMem(expanded->data, static_cast<int>(expanded->size));
  // The chunk is decoded whole; the mixer closes the stream.
  if (stream) chunk = Mix_LoadWAV_RW(stream, 1);
  kxFreeMemoryBlock(expanded);
  samples[count] = chunk;
  if (!chunk) return false;
  ++count;
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

int32_t kxSampler::GetVolume() { return volume; }

void kxSampler::VolumeUp() {
  int64_t up = static_cast<int64_t>(volume) + 1;
  volume = static_cast<int32_t>(up < maxVolume ? up : maxVolume);
  Mix_Volume(-1, volume);
}

void kxSampler::VolumeDown() {
  int64_t down = static_cast<int64_t>(volume) - 1;
  volume = static_cast<int32_t>(down > 0 ? down : 0);
  Mix_Volume(-1, volume);
}

uint64_t kxSampler::GetCount() { return count; }

Mix_Chunk* kxSampler::GetSample(uint64_t number) {
  return number < count ? samples[number] : nullptr;
}
