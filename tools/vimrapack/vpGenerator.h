// vpGenerator: makes every entry of the game's resource pack from the asset
// sources (apps/vimra/assets) and the outline fonts, in the order the game's
// key table lists them. The same sources always give the same bytes: no
// clocks, fixed seeds, fixed stream serial numbers.
#pragma once

#include <string>
#include <vector>

#include "vpBitmapFont.h"
#include "vpFontFace.h"
#include "vpImage.h"
#include "vpPackBuilder.h"

class vpGenerator {
 public:
  // `assetsDir` holds the sources; `fontDir` DejaVuSans.ttf and
  // DejaVuSans-Bold.ttf.
  vpGenerator(std::string assetsDir, std::string fontDir);

  // Builds every entry; false with a one-line reason in *error.
  bool Run(std::string* error);
  const vpPackBuilder& Pack() const { return pack; }

  // Pixel sizes (per em) of the two fonts of the pack.
  static constexpr int kLargeFontSize = 16;
  static constexpr int kSmallFontSize = 11;
  static constexpr uint32_t kLastFontCode = 0x17F;

 private:
  bool Fonts(std::string* error);
  bool Cards(std::string* error);
  bool Sprites(std::string* error);
  bool Texts(std::string* error);
  bool Audio(std::string* error);
  bool Add(const std::string& name, const std::vector<uint8_t>& bytes, std::string* error);
  bool ReadSource(const std::string& relative, std::string* text, std::string* error) const;

  std::string assets, fonts;
  vpFontFace regular, bold;
  vpBitmapFont large, small;
  std::vector<vpImage> cardFaces;  // face halves of the first cards, for the logo
  vpPackBuilder pack;
};
