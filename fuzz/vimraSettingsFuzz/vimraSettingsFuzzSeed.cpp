// Writes settings files into argv[1]: the defaults, the other choices, and
// the sizes next to 48. Each input starts with the byte that picks the
// number of languages (1 gives two).
#include <cstdio>
#include <string>

#include "vimraSettings.h"

namespace {

bool Write(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const uint8_t languages = 1;
  bool ok = fwrite(&languages, 1, 1, f) == 1 && fwrite(data, 1, size, f) == size;
  return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  vimraSettings s;
  uint8_t image[vimraSettings::kFileSize + 1] = {0};
  s.Encode(image);
  bool ok = Write(dir + "/defaults", image, vimraSettings::kFileSize);
  s.language = 1;
  s.highQuality = s.musicOn = s.hintsOn = false;
  s.musicVolume = 128;
  s.sampleVolume = 0;
  s.bottom[0] = s.top[2] = 1.0f;
  s.Encode(image);
  ok = ok && Write(dir + "/choices", image, vimraSettings::kFileSize);
  ok = ok && Write(dir + "/short", image, vimraSettings::kFileSize - 1);
  ok = ok && Write(dir + "/long", image, vimraSettings::kFileSize + 1);
  return ok ? 0 : 1;
}
