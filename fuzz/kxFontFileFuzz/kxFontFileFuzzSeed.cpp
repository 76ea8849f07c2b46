// Writes a few font files (made through kxFont) into argv[1], and the game's
// two real fonts when the resource pack has been built.
#include <cstdlib>
#include <string>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "graphics/kxFont.h"

namespace {

// The expanded entry `name` of the pack as a seed file; false only when the
// pack holds the entry but it cannot be written out.
bool CopyPackFont(const kxResource& pack, const char* name, const std::string& path) {
  kxMemoryBlock* crunched = pack.Get(name);
  if (!crunched) return true;
  kxMemoryBlock* font = kxDecrunchMemoryBlock(crunched);
  if (!font) return true;
  const bool ok = kxWriteMemoryBlock(path.c_str(), font);
  kxFreeMemoryBlock(font);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  uint8_t block[6] = {0, 64, 128, 192, 255, 32};
  kxFont one;
  TGlyph_s g = {block, 2, 1, 3, 4, 5};
  one.AppendGlyph(&g);
  kxFont three;
  TGlyph_s empty = {nullptr, 0, 0, 6, 0, 0};
  TGlyph_s tall = {block, 1, 6, 2, 6, 0};
  TGlyph_s wide = {block, 3, 2, 4, -1, 1};
  three.AppendGlyph(&empty);
  three.AppendGlyph(&tall);
  three.AppendGlyph(&wide);
  const std::string dir = argv[1];
  if (!one.SaveToFile((dir + "/seed0").c_str())) return 1;
  if (!three.SaveToFile((dir + "/seed1").c_str())) return 1;
#ifdef KX_FUZZ_PACK
  kxResource pack;
  if (pack.ReadFromFile(KX_FUZZ_PACK)) {
    if (!CopyPackFont(pack, "arial", dir + "/pack-arial")) return 1;
    if (!CopyPackFont(pack, "ss10", dir + "/pack-ss10")) return 1;
  }
#endif
  return 0;
}
