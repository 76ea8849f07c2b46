// Shared helpers of the asset pipeline tests: where the sources, fonts and
// the built pack are, and reading entries of the pack as the game does.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"

namespace vpTest {

inline std::string SourceDir() {
  const char* s = std::getenv("KX_SOURCE_DIR");
  return s ? s : ".";
}
inline std::string AssetsDir() { return SourceDir() + "/apps/vimra/assets"; }
inline std::string BinDir() {
  const char* s = std::getenv("KX_BIN_DIR");
  return s ? s : ".";
}
inline std::string PackPath() { return BinDir() + "/vimradata.bin"; }
inline std::string FontDir() { return VP_FONT_DIR; }

// The expanded bytes of a crunched pack entry; empty (and *ok false) when
// the entry is missing or does not expand.
inline std::vector<uint8_t> Expanded(const kxResource& pack, const std::string& name,
                                     bool* ok = nullptr) {
  std::vector<uint8_t> out;
  if (ok) *ok = false;
  kxMemoryBlock* block = pack.Get(name.c_str());
  if (!block) return out;
  kxMemoryBlock* raw = kxDecrunchMemoryBlock(block);
  if (!raw) return out;
  out.assign(raw->data, raw->data + raw->size);
  kxFreeMemoryBlock(raw);
  if (ok) *ok = true;
  return out;
}

// Every key the game asks the pack for.
inline std::vector<std::string> GameKeys() {
  std::vector<std::string> keys = {"bkgsnd03", "choicesnd02", "arial", "ss10", "box", "box_low",
                                   "texture_star_01", "vimra_logo", "vimra_logo_low"};
  for (int i = 0; i <= 20; ++i) {
    keys.push_back("texture_" + std::to_string(i));
    keys.push_back("texture_" + std::to_string(i) + "_low");
  }
  for (const char* c : {"cloud01", "cloud02", "cloud03"}) {
    keys.push_back(c);
    keys.push_back(std::string(c) + "_low");
  }
  for (const char* colour : {"blue", "green", "red"})
    for (const char* state : {"passive", "active", "pushed"})
      keys.push_back(std::string("button_") + colour + "_" + state);
  for (const char* language : {"english", "polski"})
    for (const char* text : {"msg_", "licenses_", "howtoplay_"}) keys.push_back(text + std::string(language));
  return keys;
}

}  // namespace vpTest
