// The player's six choices (language, quality, music, hints and the two
// volumes) as one value, for the tests of the settings file and of the game
// that holds them: read, set and compared in one step.
#pragma once

#include <ostream>

struct Choices {
  int language;
  bool highQuality, musicOn, hintsOn;
  int musicVolume, sampleVolume;

  bool operator==(const Choices& o) const {
    return language == o.language && highQuality == o.highQuality && musicOn == o.musicOn &&
           hintsOn == o.hintsOn && musicVolume == o.musicVolume && sampleVolume == o.sampleVolume;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Choices& c) {
  return out << "{language " << c.language << ", quality " << c.highQuality << ", music "
             << c.musicOn << ", hints " << c.hintsOn << ", volumes " << c.musicVolume << "/"
             << c.sampleVolume << "}";
}

// English, full quality, music and hints on, volumes 64.
inline constexpr Choices kFirstStartChoices{0, true, true, true, 64, 64};

// Of a vimraSettings or a game probe.
template <class Holder>
Choices ChoicesOf(const Holder& h) {
  return {h.language, h.highQuality, h.musicOn, h.hintsOn, h.musicVolume, h.sampleVolume};
}

template <class Holder>
void SetChoices(Holder* h, const Choices& c) {
  h->language = c.language;
  h->highQuality = c.highQuality;
  h->musicOn = c.musicOn;
  h->hintsOn = c.hintsOn;
  h->musicVolume = c.musicVolume;
  h->sampleVolume = c.sampleVolume;
}
