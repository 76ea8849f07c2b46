// vpGenerator: makes every entry of the game's resource pack from the asset
// sources (apps/vimra/assets) and the outline fonts: sounds, fonts, meshes,
// pictures, then texts. The same sources always give the same bytes: no
// clocks, fixed seeds, fixed stream serial numbers.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "vpBitmapFont.h"
#include "vpCardArt.h"
#include "vpFontFace.h"
#include "vpImage.h"
#include "vpPackBuilder.h"
#include "vpScore.h"

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
  // The game reads messages 0 to 21.
  static constexpr size_t kMessageCount = 22;
  // Text room, in pixels, of the places the texts are shown: the viewers
  // print 5 pixels in from their left edge and clip 5 pixels before their
  // right one (How to play 590, About 600 wide).
  static constexpr int kHowToPlayWidth = 570;
  static constexpr int kLicensesWidth = 580;
  static constexpr int kButtonTextWidth = 120;
  static constexpr int kRowLabelWidth = 185;
  static constexpr int kAboutWidth = 600;
  // The mixer's rate; the music's Ogg stream always gets the same serial
  // number so that its bytes depend on the score alone.
  static constexpr int kSampleRate = 44100;
  static constexpr uint32_t kMusicSerialNumber = 0x766D7261;

 private:
  bool Fonts(std::string* error);
  bool CardList(std::string* error);
  bool Cards(std::string* error);
  bool Sprites(std::string* error);
  bool Texts(std::string* error);
  bool Audio(std::string* error);
  bool Add(const std::string& name, const std::vector<uint8_t>& bytes, std::string* error);
  // The source with every "@include <file>" line replaced by that file.
  bool ExpandIncludes(const std::string& relative, int depth, std::string* text,
                      std::string* error) const;
  bool WrappedText(const std::string& relative, int maxWidth, std::vector<uint8_t>* bytes,
                   std::string* error) const;
  bool Messages(const std::string& language, std::vector<uint8_t>* bytes, std::string* error) const;
  bool Score(const std::string& relative, vpScore* score, std::string* error) const;
  bool ReadSource(const std::string& relative, std::string* text, std::string* error) const;

  std::string assets, fonts;
  vpFontFace regular, bold;
  vpBitmapFont large, small;
  std::vector<vpCardDef> cards;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> texts;  // checked, added last
  std::vector<vpImage> cardFaces;  // face halves of the first cards, for the logo
  vpPackBuilder pack;
};
