#include "vpGenerator.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "vimraPackKeys.h"
#include "vpAudioFile.h"
#include "vpCardArt.h"
#include "vpCardMesh.h"
#include "vpScore.h"
#include "vpSpriteArt.h"
#include "vpSynth.h"
#include "vpText.h"
#include "vpTga.h"

vpGenerator::vpGenerator(std::string assetsDir, std::string fontDir)
    : assets(std::move(assetsDir)), fonts(std::move(fontDir)) {}

bool vpGenerator::Add(const std::string& name, const std::vector<uint8_t>& bytes,
                      std::string* error) {
  if (pack.Add(name, bytes)) return true;
  *error = "cannot add entry \"" + name + "\"";
  return false;
}

bool vpGenerator::ReadSource(const std::string& relative, std::string* text,
                             std::string* error) const {
  std::ifstream in(assets + "/" + relative, std::ios::binary);
  if (!in) {
    *error = "cannot read " + assets + "/" + relative;
    return false;
  }
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

bool vpGenerator::Run(std::string* error) {
  if (!regular.Open(fonts + "/DejaVuSans.ttf") || !bold.Open(fonts + "/DejaVuSans-Bold.ttf")) {
    *error = "cannot open DejaVuSans.ttf and DejaVuSans-Bold.ttf in " + fonts;
    return false;
  }
  // Fonts first: the texts are measured and checked against them.
  if (!large.Build(bold, kLargeFontSize, kLastFontCode) ||
      !small.Build(regular, kSmallFontSize, kLastFontCode)) {
    *error = "cannot render the bitmap fonts";
    return false;
  }
  // The sources that can be checked cheaply come first, so a mistake in a
  // text or the card list is reported before anything is drawn or played.
  if (!Texts(error) || !CardList(error)) return false;
  if (!Audio(error) || !Fonts(error) || !Cards(error) || !Sprites(error)) return false;
  for (const auto& t : texts)
    if (!Add(t.first, t.second, error)) return false;
  return true;
}

bool vpGenerator::Fonts(std::string* error) {
  if (!Add(vimraKeyLargeFont, large.Serialize(), error) ||
      !Add(vimraKeySmallFont, small.Serialize(), error))
    return false;
  // The same faces at the densities of larger GUI scales, so that magnified
  // text is drawn from glyphs made for its size.
  for (const vimraDensity_s& d : vimraFontDensities) {
    vpBitmapFont bigLarge, bigSmall;
    if (!bigLarge.Build(bold, int(std::lround(kLargeFontSize * d.density)), kLastFontCode) ||
        !bigSmall.Build(regular, int(std::lround(kSmallFontSize * d.density)), kLastFontCode)) {
      *error = std::string("cannot render the bitmap fonts at ") + d.suffix;
      return false;
    }
    if (!Add(vimraKeyLargeFont + std::string(d.suffix), bigLarge.Serialize(), error) ||
        !Add(vimraKeySmallFont + std::string(d.suffix), bigSmall.Serialize(), error))
      return false;
  }
  return true;
}

bool vpGenerator::CardList(std::string* error) {
  std::string list;
  if (!ReadSource("cards.txt", &list, error) || !vpParseCardList(list, &cards, error)) return false;
  if (cards.size() != size_t(vimraCardPictureCount)) {
    *error = "cards.txt must list " + std::to_string(vimraCardPictureCount) + " cards, it lists " +
             std::to_string(cards.size());
    return false;
  }
  for (const vpCardDef& c : cards)
    if (!regular.HasGlyph(c.symbol)) {
      *error = "cards.txt: DejaVuSans.ttf has no glyph for the " + c.name;
      return false;
    }
  return true;
}

bool vpGenerator::Cards(std::string* error) {
  vpCardShape rounded;
  vpCardShape square;
  square.cornerSegments = 0;
  if (!Add(vimraKeyCardMesh, vpBuildCardMesh(rounded).Serialize(), error) ||
      !Add(vimraLowKey(vimraKeyCardMesh), vpBuildCardMesh(square).Serialize(), error))
    return false;

  for (size_t i = 0; i < cards.size(); ++i) {
    vpImage texture;
    if (!vpDrawCardTexture(regular, cards[i], &texture)) {
      *error = "cannot draw card " + std::to_string(i) + " (" + cards[i].name + ")";
      return false;
    }
    if (cardFaces.size() < 3) {
      vpImage face(kCardTextureSize / 2, kCardTextureSize);
      for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x) face.Ref(x, y) = texture.At(x, y);
      cardFaces.push_back(face);
    }
    const std::string key = vimraCardPictureKey(int(i));
    const int low = kCardTextureSize / 4;
    if (!Add(key, vpEncodeTGA(texture, false), error) ||
        !Add(vimraLowKey(key), vpEncodeTGA(texture.Resized(low, low), false), error))
      return false;
  }
  return true;
}

bool vpGenerator::Sprites(std::string* error) {
  if (!Add(vimraKeyStar, vpEncodeTGA(vpDrawStar(128), true), error)) return false;
  struct CloudDef {
    const char* key;
    float w, h;
    uint32_t seed;
  };
  const CloudDef clouds[vimraCloudKeyCount] = {{vimraKeyClouds[0], 16, 8, 1101},
                                               {vimraKeyClouds[1], 9, 5, 2203},
                                               {vimraKeyClouds[2], 12, 6, 3307}};
  for (const CloudDef& c : clouds) {
    const vpImage full = vpDrawCloud(512, 256, c.w, c.h, c.seed);
    if (!Add(c.key, vpEncodeTGA(full, true), error) ||
        !Add(vimraLowKey(c.key), vpEncodeTGA(full.Resized(128, 64), true), error))
      return false;
  }
  vpImage logo;
  if (!vpDrawLogo(bold, cardFaces, &logo)) {
    *error = "cannot draw the logo";
    return false;
  }
  if (!Add(vimraKeyLogo, vpEncodeTGA(logo, true), error) ||
      !Add(vimraLowKey(vimraKeyLogo), vpEncodeTGA(logo.Resized(128, 64), true), error))
    return false;
  // The title at the sizes it is shown at under GUI scales 2 and 3.
  for (const vimraDensity_s& d : vimraPictureDensities) {
    vpImage big;
    if (!vpDrawLogoAt(bold, cardFaces, d.density * 0.5f, &big)) {
      *error = "cannot draw the logo";
      return false;
    }
    if (!Add(vimraKeyLogo + std::string(d.suffix), vpEncodeTGA(big, true), error)) return false;
  }
  struct ButtonDef {
    const char* colour;
    uint32_t rgb;
  };
  const ButtonDef buttons[3] = {{vimraButtonColours[0], 0x2A63C4},
                                {vimraButtonColours[1], 0x23893C},
                                {vimraButtonColours[2], 0xB8322A}};
  // In the order of vimraButtonStates.
  const vpButtonState states[3] = {vpButtonState::passive, vpButtonState::active,
                                   vpButtonState::pushed};
  for (const ButtonDef& b : buttons) {
    for (int s = 0; s < 3; ++s) {
      if (!Add(vimraButtonKey(b.colour, vimraButtonStates[s]),
               vpEncodeTGA(vpDrawButton(vpHex(b.rgb), states[s]), true), error))
        return false;
      for (const vimraDensity_s& d : vimraPictureDensities) {
        const int density = int(d.density);
        if (!Add(vimraButtonKey(b.colour, vimraButtonStates[s]) + d.suffix,
                 vpEncodeTGA(vpDrawButton(vpHex(b.rgb), states[s], density), true), error))
          return false;
      }
    }
  }
  return true;
}

bool vpGenerator::ExpandIncludes(const std::string& relative, int depth, std::string* text,
                                 std::string* error) const {
  std::string source;
  if (depth > 4) {
    *error = relative + ": includes nest too deeply";
    return false;
  }
  if (!ReadSource(relative, &source, error)) return false;
  text->clear();
  std::istringstream in(source);
  std::string line;
  const std::string directive = "@include ";
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, directive.size(), directive) == 0) {
      std::string included;
      if (!ExpandIncludes(line.substr(directive.size()), depth + 1, &included, error)) return false;
      *text += included;
    } else {
      *text += line + "\n";
    }
  }
  return true;
}

bool vpGenerator::WrappedText(const std::string& relative, int maxWidth,
                              std::vector<uint8_t>* bytes, std::string* error) const {
  std::string source;
  std::u32string text;
  if (!ExpandIncludes(relative, 0, &source, error)) return false;
  if (!vpDecodeUTF8(source, &text)) {
    *error = relative + ": not valid UTF-8";
    return false;
  }
  const std::vector<std::u32string> lines = vpWrapText(text, small, maxWidth);
  for (const std::u32string& l : lines) {
    if (!vpCheckPrintable(l, {&large, &small}, error)) {
      *error = relative + ": " + *error;
      return false;
    }
    if (vpTextWidth(l, small) > maxWidth) {
      *error = relative + ": a line is wider than " + std::to_string(maxWidth) + " pixels";
      return false;
    }
  }
  *bytes = vpJoinLines(lines);
  return true;
}

bool vpGenerator::Messages(const std::string& language, std::vector<uint8_t>* bytes,
                           std::string* error) const {
  const std::string relative = "texts/" + std::string(vimraKeyMessagesPrefix) + language + ".txt";
  std::string source;
  std::vector<std::u32string> msg;
  if (!ReadSource(relative, &source, error) || !vpParseMessages(source, &msg, error)) {
    *error = relative + ": " + *error;
    return false;
  }
  if (msg.size() < kMessageCount) {
    *error = relative + ": the game reads " + std::to_string(kMessageCount) + " messages, found " +
             std::to_string(msg.size());
    return false;
  }
  for (const std::u32string& m : msg)
    if (!vpCheckPrintable(m, {&large, &small}, error)) {
      *error = relative + ": " + *error;
      return false;
    }
  // Captions of the 128-pixel buttons, in the large font.
  for (int i : {1, 2, 3, 7, 8, 9, 13, 14, 15, 16})
    if (vpTextWidth(msg[size_t(i)], large) > kButtonTextWidth) {
      *error = relative + ": message " + std::to_string(i) + " is too wide for a button";
      return false;
    }
  // Settings row labels sit left of the row's button.
  for (int i : {11, 12, 17, 21})
    if (vpTextWidth(msg[size_t(i)], small) > kRowLabelWidth) {
      *error = relative + ": message " + std::to_string(i) + " is too wide for a settings row";
      return false;
    }
  // The About box's lines, in the small font; the longest platform name.
  const std::u32string about = msg[5] + U", " + msg[4] + U"1.1.209" + U", " + msg[10] + U"Windows";
  if (vpTextWidth(about, small) > kAboutWidth || vpTextWidth(msg[3], small) > kAboutWidth ||
      vpTextWidth(msg[6], small) > kAboutWidth) {
    *error = relative + ": an About box line is wider than " + std::to_string(kAboutWidth);
    return false;
  }
  *bytes = vpJoinLines(msg);
  return true;
}

bool vpGenerator::Texts(std::string* error) {
  for (const char* language : vimraPackLanguages) {
    const std::string lang = language;
    // Each text's source is named after its entry.
    const std::string licensesKey = vimraKeyLicensesPrefix + lang;
    const std::string howToPlayKey = vimraKeyHowToPlayPrefix + lang;
    std::vector<uint8_t> msg, licenses, howToPlay;
    if (!Messages(lang, &msg, error) ||
        !WrappedText("texts/" + licensesKey + ".txt", kLicensesWidth, &licenses, error) ||
        !WrappedText("texts/" + howToPlayKey + ".txt", kHowToPlayWidth, &howToPlay, error))
      return false;
    texts.push_back({vimraKeyMessagesPrefix + lang, msg});
    texts.push_back({licensesKey, licenses});
    texts.push_back({howToPlayKey, howToPlay});
  }
  return true;
}
bool vpGenerator::Score(const std::string& relative, vpScore* score, std::string* error) const {
  std::string source;
  if (!ReadSource(relative, &source, error)) return false;
  if (!vpParseScore(source, score, error)) {
    *error = relative + ": " + *error;
    return false;
  }
  return true;
}

bool vpGenerator::Audio(std::string* error) {
  vpScore music, chime;
  if (!Score("music/" + std::string(vimraKeyMusic) + ".score", &music, error) ||
      !Score("music/" + std::string(vimraKeyChoiceSound) + ".score", &chime, error))
    return false;
  const vpStereo song = vpRenderScore(music, kSampleRate, 0.7f);
  const std::vector<uint8_t> ogg =
      vpEncodeOggVorbis({song.left, song.right}, kSampleRate, 0.3f, kMusicSerialNumber);
  if (ogg.empty()) {
    *error = "cannot encode the music";
    return false;
  }
  const vpStereo strike = vpRenderScore(chime, kSampleRate, 0.6f);
  std::vector<float> mono(strike.left.size());
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (strike.left[i] + strike.right[i]);
  return Add(vimraKeyMusic, ogg, error) &&
         Add(vimraKeyChoiceSound, vpEncodeWav16({mono}, kSampleRate), error);
}
