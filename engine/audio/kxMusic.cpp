#include "audio/kxMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "audio/kxVolume.h"
#include "data/kxMemoryBlock.h"

kxMusic::kxMusic() : data(nullptr), stream(nullptr), music(nullptr), volume(64) {
  Mix_VolumeMusic(volume);
}

kxMusic::~kxMusic() {
  Clear();
}

bool kxMusic::LoadFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  if (!block) return false;
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(block);
  if (!expanded) return false;
  // SDL streams take an int size; a larger piece cannot be streamed at all.
  if (expanded->size > static_cast<uint64_t>(INT32_MAX)) {
    kxFreeMemoryBlock(expanded);
    return false;
  }
  // Only a block that expands replaces the piece held; loading over it
  // without releasing it would orphan the piece and the bytes it streams.
  Clear();
  data = expanded;
  stream = SDL_RWFromMem(data->data, static_cast<int>(data->size));
  // The stream stays ours: the mixer reads it while playing and must not
  // close it; Clear releases it after the piece.
  if (stream) music = Mix_LoadMUS_RW(stream, 0);
  return true;
}

void kxMusic::Play() {
  if (music) Mix_PlayMusic(music, -1);
}

void kxMusic::Stop() {
  Mix_HaltMusic();
}

void kxMusic::Pause() {
  Mix_PauseMusic();
}

void kxMusic::Clear() {
  if (music) {
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    music = nullptr;
  }
  if (stream) {
    SDL_FreeRW(stream);
    stream = nullptr;
  }
  if (data) {
    kxFreeMemoryBlock(data);
    data = nullptr;
  }
}

void kxMusic::SetVolume(int32_t volume) {
  this->volume = volume;
  Mix_VolumeMusic(volume);
}

int32_t kxMusic::GetVolume() {
  return volume;
}

void kxMusic::VolumeUp() {
  SetVolume(kxVolumeUp(volume));
}

void kxMusic::VolumeDown() {
  SetVolume(kxVolumeDown(volume));
}

bool kxMusic::IsLoaded() {
  return music != nullptr;
}
