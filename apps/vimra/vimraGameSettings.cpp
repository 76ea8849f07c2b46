// The player's choices between runs: "vimraconfig.bin" in the working
// directory, read at construction and written at close.
#include "vimraGame.h"

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "vimraColorTable.h"
#include "vimraLanguages.h"
#include "vimraSettings.h"

namespace {

const char* const kSettingsFile = "vimraconfig.bin";

}  // namespace

void vimraGame::LoadSettings() {
  musicVolume = 64;
  sampleVolume = 64;
  kxMemoryBlock* block = kxReadMemoryBlock(kSettingsFile);
  if (block == nullptr) return;
  vimraSettings settings;
  for (int k = 0; k < 3; ++k) {
    settings.bottom[k] = vimraBackdropColor(bcBottom)[k];
    settings.top[k] = vimraBackdropColor(bcTop)[k];
  }
  if (settings.Decode(block->data, block->size, vimraLanguageCount())) {
    language = settings.language;
    highQuality = settings.highQuality;
    musicOn = settings.musicOn;
    hintsOn = settings.hintsOn;
    musicVolume = settings.musicVolume;
    sampleVolume = settings.sampleVolume;
    for (int k = 0; k < 3; ++k) {
      vimraBackdropColor(bcBottom)[k] = settings.bottom[k];
      vimraBackdropColor(bcTop)[k] = settings.top[k];
    }
  }
  kxFreeMemoryBlock(block);
}

void vimraGame::SaveSettings() {
  vimraSettings settings;
  for (int k = 0; k < 3; ++k) {
    settings.bottom[k] = vimraBackdropColor(bcBottom)[k];
    settings.top[k] = vimraBackdropColor(bcTop)[k];
  }
  settings.language = language;
  settings.highQuality = highQuality;
  settings.musicOn = musicOn;
  settings.hintsOn = hintsOn;
  // The volume keys change the players' volumes during the run.
  settings.musicVolume = music != nullptr ? music->GetVolume() : musicVolume;
  settings.sampleVolume = sampler != nullptr ? sampler->GetVolume() : sampleVolume;
  kxMemoryBlock* block = kxAllocMemoryBlock(vimraSettings::kFileSize);
  if (block == nullptr) return;
  settings.Encode(block->data);
  kxWriteMemoryBlock(kSettingsFile, block);
  kxFreeMemoryBlock(block);
}
