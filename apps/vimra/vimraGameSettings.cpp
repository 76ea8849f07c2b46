// The player's choices between runs: "vimraconfig.bin" in the working
// directory, read at construction and written at close.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "vimraColorTable.h"
#include "vimraGame.h"
#include "vimraLanguages.h"
#include "vimraSettings.h"

namespace {

const char* const kSettingsFile = "vimraconfig.bin";

// The player would otherwise find the choices of this run gone at the next
// start without a word: one line on stderr, with the system's reason when
// there is one. The program still ends normally.
void ReportUnsavedSettings(int reason) {
  if (reason != 0) {
    fprintf(stderr,
            "vimra: \"%s\" in the working directory cannot be written; the settings are not "
            "saved (%s)\n",
            kSettingsFile, strerror(reason));
  } else {
    fprintf(stderr,
            "vimra: \"%s\" in the working directory cannot be written; the settings are not "
            "saved\n",
            kSettingsFile);
  }
}

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

void vimraGame::GetSettings(vimraSettings* out) {
  for (int k = 0; k < 3; ++k) {
    out->bottom[k] = vimraBackdropColor(bcBottom)[k];
    out->top[k] = vimraBackdropColor(bcTop)[k];
  }
  out->language = language;
  out->highQuality = highQuality;
  out->musicOn = musicOn;
  out->hintsOn = hintsOn;
  // The volume keys change the players' volumes during the run.
  out->musicVolume = music != nullptr ? music->GetVolume() : musicVolume;
  out->sampleVolume = sampler != nullptr ? sampler->GetVolume() : sampleVolume;
}

void vimraGame::SaveSettings() {
  vimraSettings settings;
  GetSettings(&settings);
  kxMemoryBlock* block = kxAllocMemoryBlock(vimraSettings::kFileSize);
  if (block == nullptr) {
    ReportUnsavedSettings(ENOMEM);
    return;
  }
  settings.Encode(block->data);
  errno = 0;
  bool written = kxWriteMemoryBlock(kSettingsFile, block);
  int reason = errno;
  kxFreeMemoryBlock(block);
  if (!written) ReportUnsavedSettings(reason);
}
