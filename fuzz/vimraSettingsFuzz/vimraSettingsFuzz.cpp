// Feeds arbitrary bytes to the settings reader as the game's settings file.
// Whatever they hold, the values taken are in range, a file of any size but
// 48 bytes changes nothing, and the image written from the values reads back
// to the same image.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "vimraSettings.h"

namespace {

bool Sane(const vimraSettings& s, int languages) {
  for (int k = 0; k < 3; ++k) {
    for (float c : {s.bottom[k], s.top[k]}) {
      if (!std::isfinite(c) || c < 0.0f || c > 1.0f) return false;
    }
  }
  return s.language >= 0 && s.language < languages && s.musicVolume >= 0 && s.musicVolume <= 128 &&
         s.sampleVolume >= 0 && s.sampleVolume <= 128;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the number of languages the game knows (1 to 4).
  if (size == 0) return 0;
  const int languages = 1 + data[0] % 4;
  ++data;
  --size;
  uint8_t* copy = static_cast<uint8_t*>(malloc(size ? size : 1));
  if (!copy) return 0;
  if (size) memcpy(copy, data, size);

  vimraSettings fresh;
  uint8_t defaults[vimraSettings::kFileSize];
  fresh.Encode(defaults);

  vimraSettings s;
  const bool taken = s.Decode(copy, size, languages);
  if (taken != (size == vimraSettings::kFileSize)) abort();
  if (!Sane(s, languages)) abort();
  uint8_t image[vimraSettings::kFileSize];
  s.Encode(image);
  if (!taken && memcmp(image, defaults, sizeof image) != 0) abort();
  if (memcmp(copy, data, size) != 0) abort();  // the input is only read

  vimraSettings again;
  if (!again.Decode(image, sizeof image, languages)) abort();
  uint8_t twice[vimraSettings::kFileSize];
  again.Encode(twice);
  if (memcmp(image, twice, sizeof image) != 0) abort();
  free(copy);
  return 0;
}
