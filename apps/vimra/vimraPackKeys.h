// The names of the entries of the game's resource pack "vimradata.bin", kept
// in one place: the game asks the pack for them, the pipeline (vimrapack)
// writes them, the contact-sheet and icon tools and the tests read them. A
// name changed here changes for all of them; vimraEveryPackKey lists the
// whole pack, and the tests hold the pack and the game's requests to it.
#pragma once

#include <string>
#include <vector>

// Fonts: the large one of buttons and scrolling lines, the small one of the
// boxes' text.
inline constexpr const char* vimraKeyLargeFont = "arial";
inline constexpr const char* vimraKeySmallFont = "ss10";

// The background music and the one sound sample.
inline constexpr const char* vimraKeyMusic = "bkgsnd03";
inline constexpr const char* vimraKeyChoiceSound = "choicesnd02";

// The card mesh, the card pictures "texture_<n>" for n below
// vimraCardPictureCount, the star, the clouds and the title picture. Each of
// these except the star has a smaller form: the key followed by
// vimraKeyLowSuffix, loaded instead when high quality is off.
inline constexpr const char* vimraKeyCardMesh = "box";
inline constexpr const char* vimraKeyCardPicturePrefix = "texture_";
inline constexpr int vimraCardPictureCount = 21;
inline constexpr const char* vimraKeyStar = "texture_star_01";
inline constexpr int vimraCloudKeyCount = 3;
inline constexpr const char* vimraKeyClouds[vimraCloudKeyCount] = {"cloud01", "cloud02", "cloud03"};
inline constexpr const char* vimraKeyLogo = "vimra_logo";
inline constexpr const char* vimraKeyLowSuffix = "_low";

// Button pictures: "button_<colour>_<state>".
inline constexpr const char* vimraKeyButtonPrefix = "button_";
inline constexpr const char* vimraButtonColours[3] = {"blue", "green", "red"};
inline constexpr const char* vimraButtonStates[3] = {"passive", "active", "pushed"};

// Texts, one of each per language: the prefix followed by the language's
// key ("msg_english"). The game's language table names its languages with
// these keys.
inline constexpr const char* vimraKeyMessagesPrefix = "msg_";
inline constexpr const char* vimraKeyLicensesPrefix = "licenses_";
inline constexpr const char* vimraKeyHowToPlayPrefix = "howtoplay_";
inline constexpr int vimraPackLanguageCount = 2;
inline constexpr const char* vimraPackLanguages[vimraPackLanguageCount] = {"english", "polski"};

// Renderings for larger GUI scales: a key followed by a density suffix
// ("arial@2x") holds the same font or picture made for that many times its
// size. Both fonts come at every font density; the title and the button
// pictures at every picture density. A pack without them still works: the
// game then magnifies the plain entry.
struct vimraDensity_s {
  const char* suffix;
  float density;
};
inline constexpr int vimraFontDensityCount = 3;
inline constexpr vimraDensity_s vimraFontDensities[vimraFontDensityCount] = {
    {"@1.5x", 1.5f}, {"@2x", 2.0f}, {"@3x", 3.0f}};
inline constexpr int vimraPictureDensityCount = 2;
inline constexpr vimraDensity_s vimraPictureDensities[vimraPictureDensityCount] = {{"@2x", 2.0f},
                                                                                   {"@3x", 3.0f}};

inline std::string vimraLowKey(const std::string& key) {
  return key + vimraKeyLowSuffix;
}

inline std::string vimraCardPictureKey(int n) {
  return vimraKeyCardPicturePrefix + std::to_string(n);
}

inline std::string vimraButtonKey(const char* colour, const char* state) {
  return std::string(vimraKeyButtonPrefix) + colour + "_" + state;
}

// Every entry of the pack, each once.
inline std::vector<std::string> vimraEveryPackKey() {
  std::vector<std::string> keys = {vimraKeyLargeFont, vimraKeySmallFont, vimraKeyMusic,
                                   vimraKeyChoiceSound, vimraKeyStar};
  std::vector<std::string> sized = {vimraKeyCardMesh, vimraKeyLogo};
  for (int n = 0; n < vimraCardPictureCount; ++n) sized.push_back(vimraCardPictureKey(n));
  for (const char* cloud : vimraKeyClouds) sized.push_back(cloud);
  for (const std::string& key : sized) keys.insert(keys.end(), {key, vimraLowKey(key)});
  for (const char* colour : vimraButtonColours) {
    for (const char* state : vimraButtonStates) keys.push_back(vimraButtonKey(colour, state));
  }
  for (const vimraDensity_s& d : vimraFontDensities) {
    keys.push_back(vimraKeyLargeFont + std::string(d.suffix));
    keys.push_back(vimraKeySmallFont + std::string(d.suffix));
  }
  for (const vimraDensity_s& d : vimraPictureDensities) {
    keys.push_back(vimraKeyLogo + std::string(d.suffix));
    for (const char* colour : vimraButtonColours) {
      for (const char* state : vimraButtonStates)
        keys.push_back(vimraButtonKey(colour, state) + d.suffix);
    }
  }
  for (const char* text :
       {vimraKeyMessagesPrefix, vimraKeyLicensesPrefix, vimraKeyHowToPlayPrefix}) {
    for (const char* language : vimraPackLanguages) keys.push_back(text + std::string(language));
  }
  return keys;
}
