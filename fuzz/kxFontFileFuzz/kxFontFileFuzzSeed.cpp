// Writes a few font files (made through kxFont) into argv[1].
#include <cstdlib>
#include <string>

#include "graphics/kxFont.h"

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
  return 0;
}
