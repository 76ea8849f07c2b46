// The player's choices as they travel through the 48-byte settings file
// "vimraconfig.bin": the backdrop colours, the language, the three switches
// and the two volumes. Decoding checks every value it takes from the file.
#pragma once

#include <cstddef>
#include <cstdint>

class vimraSettings {
 public:
  static const size_t kFileSize = 48;

  // The defaults of a first start: English, full quality, music and hints on,
  // volumes 64, the built-in backdrop colours.
  vimraSettings();

  // Reads the file image. Returns false and changes nothing unless `size` is
  // exactly kFileSize. Otherwise every field is taken, checked: a language
  // outside 0 .. languageCount - 1 becomes 0, a nonzero switch byte means on,
  // volumes are clamped to 0 .. 128, and the colours are taken only when all
  // six components are finite numbers in 0 .. 1 (else the current ones stay).
  bool Decode(const uint8_t* data, uint64_t size, int languageCount);
  // Writes the file image.
  void Encode(uint8_t out[kFileSize]) const;

  float bottom[3];
  float top[3];
  int language;
  bool highQuality;
  bool musicOn;
  bool hintsOn;
  int musicVolume;
  int sampleVolume;
};
