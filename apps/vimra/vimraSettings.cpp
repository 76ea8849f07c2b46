#include "vimraSettings.h"

#include <cmath>
#include <cstring>

#include "data/kxLittleEndian.h"
#include "vimraColorTable.h"

namespace {

int ClampVolume(int32_t v) {
  return v < 0 ? 0 : (v > 128 ? 128 : int(v));
}

bool IsUnitColour(float c) {
  return std::isfinite(c) && c >= 0.0f && c <= 1.0f;
}

// Offsets of the file layout.
const size_t kBottom = 0;
const size_t kTop = 16;
const size_t kLanguage = 32;
const size_t kHighQuality = 36;
const size_t kMusicOn = 37;
const size_t kHintsOn = 38;
const size_t kMusicVolume = 40;
const size_t kSampleVolume = 44;

}  // namespace

vimraSettings::vimraSettings()
    : bottom{},
      top{},
      language(0),
      highQuality(true),
      musicOn(true),
      hintsOn(true),
      musicVolume(64),
      sampleVolume(64) {
  for (int k = 0; k < 3; ++k) {
    bottom[k] = vimraBuiltInBackdropColor(bcBottom)[k];
    top[k] = vimraBuiltInBackdropColor(bcTop)[k];
  }
}

bool vimraSettings::Decode(const uint8_t* data, uint64_t size, int languageCount) {
  if (data == nullptr || size != kFileSize) return false;

  float colours[6];
  bool coloursValid = true;
  for (int k = 0; k < 3; ++k) {
    colours[k] = kxLoadLEF32(data + kBottom + 4 * k);
    colours[3 + k] = kxLoadLEF32(data + kTop + 4 * k);
  }
  for (float c : colours) coloursValid = coloursValid && IsUnitColour(c);
  if (coloursValid) {
    for (int k = 0; k < 3; ++k) {
      bottom[k] = colours[k];
      top[k] = colours[3 + k];
    }
  }

  int32_t storedLanguage = kxLoadLEI32(data + kLanguage);
  language = (storedLanguage >= 0 && storedLanguage < languageCount) ? int(storedLanguage) : 0;
  highQuality = data[kHighQuality] != 0;
  musicOn = data[kMusicOn] != 0;
  hintsOn = data[kHintsOn] != 0;
  musicVolume = ClampVolume(kxLoadLEI32(data + kMusicVolume));
  sampleVolume = ClampVolume(kxLoadLEI32(data + kSampleVolume));
  return true;
}

void vimraSettings::Encode(uint8_t out[kFileSize]) const {
  std::memset(out, 0, kFileSize);
  for (int k = 0; k < 3; ++k) {
    kxStoreLEF32(out + kBottom + 4 * k, bottom[k]);
    kxStoreLEF32(out + kTop + 4 * k, top[k]);
  }
  kxStoreLEF32(out + kBottom + 12, 1.0f);
  kxStoreLEF32(out + kTop + 12, 1.0f);
  kxStoreLE32(out + kLanguage, uint32_t(int32_t(language)));
  out[kHighQuality] = highQuality ? 1 : 0;
  out[kMusicOn] = musicOn ? 1 : 0;
  out[kHintsOn] = hintsOn ? 1 : 0;
  out[39] = 0;
  kxStoreLE32(out + kMusicVolume, uint32_t(int32_t(musicVolume)));
  kxStoreLE32(out + kSampleVolume, uint32_t(int32_t(sampleVolume)));
}
