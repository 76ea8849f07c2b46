#include "vpScore.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

struct Chord {
  int bass;
  std::vector<int> tones;
};

bool KnownInstrument(const std::string& s) {
  return s == "pad" || s == "bass" || s == "epiano" || s == "flute" || s == "bell";
}

bool FindVoice(const vpScore& score, const std::string& name, size_t* index) {
  for (size_t i = 0; i < score.voices.size(); ++i)
    if (score.voices[i].name == name) {
      *index = i;
      return true;
    }
  return false;
}

bool ParseNumber(const std::string& s, double* v) {
  if (s.empty()) return false;
  char* end = nullptr;
  *v = std::strtod(s.c_str(), &end);
  return *end == '\0' && std::isfinite(*v);
}

}  // namespace

int vpNoteNumber(const std::string& name) {
  static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
  int pc = steps[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == '#')
    pc += 1, ++i;
  else if (name[i] == 'b')
    pc -= 1, ++i;
  if (i >= name.size()) return -1;
  char* end = nullptr;
  const long octave = std::strtol(name.c_str() + i, &end, 10);
  if (*end != '\0' || octave < 0 || octave > 9 || !(name[i] >= '0' && name[i] <= '9')) return -1;
  return int(12 * (octave + 1) + pc);
}

bool vpParseScore(const std::string& text, vpScore* score, std::string* error) {
  *score = vpScore();
  std::vector<Chord> chords;
  std::vector<size_t> holders, rooters;
  std::vector<std::pair<size_t, std::vector<int>>> arps;  // -1 rests
  std::vector<double> cursor;                             // per voice, in beats

  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    // A comment starts with a '#' that begins a word (F#4 is a note).
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
        line.erase(i);
        break;
      }
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    const std::string where = "score line " + std::to_string(number) + ": ";
    auto fail = [&](const std::string& what) {
      *error = where + what;
      return false;
    };
    const std::string& op = w[0];
    double v = 0;
    if (op == "tempo" || op == "meter" || op == "reverb" || op == "tail") {
      if (w.size() != 2 || !ParseNumber(w[1], &v) || v <= 0)
        return fail("expected " + op + " <number>");
      if (op == "tempo") score->tempo = v;
      if (op == "meter") {
        if (v != std::floor(v) || v > 16) return fail("the meter is a whole number of beats");
        score->meter = int(v);
      }
      if (op == "reverb") score->reverb = float(std::fmin(v, 1.0));
      if (op == "tail") score->tail = std::fmin(v, 30.0);
    } else if (op == "mode") {
      if (w.size() != 2 || (w[1] != "loop" && w[1] != "once"))
        return fail("expected mode loop|once");
      score->loop = w[1] == "loop";
    } else if (op == "voice") {
      double gain, pan;
      size_t dummy;
      if (w.size() != 5 || !KnownInstrument(w[2]) || !ParseNumber(w[3], &gain) ||
          !ParseNumber(w[4], &pan) || pan < -1 || pan > 1 || gain < 0)
        return fail("expected voice <name> <pad|bass|epiano|flute|bell> <gain> <pan>");
      if (FindVoice(*score, w[1], &dummy)) return fail("voice " + w[1] + " is declared twice");
      score->voices.push_back({w[1], w[2], float(gain), float(pan)});
      cursor.push_back(0.0);
    } else if (op == "chord") {
      Chord c;
      if (w.size() < 4 || w[2] != ":") return fail("expected chord <bass> : <tones...>");
      c.bass = vpNoteNumber(w[1]);
      if (c.bass < 0) return fail("not a note: " + w[1]);
      for (size_t i = 3; i < w.size(); ++i) {
        const int n = vpNoteNumber(w[i]);
        if (n < 0) return fail("not a note: " + w[i]);
        c.tones.push_back(n);
      }
      chords.push_back(c);
    } else if (op == "hold" || op == "root") {
      size_t voice;
      if (w.size() != 2 || !FindVoice(*score, w[1], &voice))
        return fail("expected " + op + " <declared voice>");
      (op == "hold" ? holders : rooters).push_back(voice);
    } else if (op == "arp") {
      size_t voice;
      if (w.size() < 3 || !FindVoice(*score, w[1], &voice))
        return fail("expected arp <declared voice> <steps>");
      std::vector<int> steps;
      for (size_t i = 2; i < w.size(); ++i) {
        if (w[i] == ".") {
          steps.push_back(-1);
          continue;
        }
        if (!ParseNumber(w[i], &v) || v < 0 || v != std::floor(v) || v > 32)
          return fail("arp steps are chord tone indices or '.'");
        steps.push_back(int(v));
      }
      arps.push_back({voice, steps});
    } else if (op == "notes") {
      size_t voice;
      if (w.size() < 2 || !FindVoice(*score, w[1], &voice))
        return fail("expected notes <declared voice> ...");
      double barBeats = 0;
      bool inBar = false;
      for (size_t i = 2; i < w.size(); ++i) {
        if (w[i] == "|") {
          if (inBar && std::fabs(barBeats - score->meter) > 1e-9)
            return fail("a bar of " + w[1] + " holds " + std::to_string(barBeats) + " beats");
          barBeats = 0;
          inBar = false;
          continue;
        }
        const size_t colon = w[i].find(':');
        double beats;
        if (colon == std::string::npos || !ParseNumber(w[i].substr(colon + 1), &beats) ||
            beats <= 0)
          return fail("expected <note>:<beats>, found " + w[i]);
        const std::string name = w[i].substr(0, colon);
        inBar = true;
        barBeats += beats;
        if (name != "-") {
          const int n = vpNoteNumber(name);
          if (n < 0) return fail("not a note: " + name);
          score->notes.push_back({voice, cursor[voice], beats, n, 0.8f});
        }
        cursor[voice] += beats;
      }
      if (inBar) return fail("a melody line must end with '|'");
    } else {
      return fail("unknown statement " + op);
    }
  }

  // Expand the harmony into notes.
  const double bar = score->meter;
  for (size_t b = 0; b < chords.size(); ++b) {
    const Chord& c = chords[b];
    const double t0 = double(b) * bar;
    for (size_t v : holders)
      for (int tone : c.tones) score->notes.push_back({v, t0, bar, tone, 0.7f});
    for (size_t v : rooters) score->notes.push_back({v, t0, bar - 0.25, c.bass, 0.8f});
    for (const auto& a : arps)
      for (size_t k = 0; k < a.second.size() && double(k) * 0.5 < bar; ++k) {
        const int step = a.second[k];
        if (step < 0 || c.tones.empty()) continue;
        const int octaves = step / int(c.tones.size());
        const int tone = c.tones[size_t(step) % c.tones.size()] + 12 * octaves;
        const float accent = (k % 8 == 0) ? 0.85f : (k % 2 == 0 ? 0.7f : 0.6f);
        score->notes.push_back({a.first, t0 + double(k) * 0.5, 1.5, tone, accent});
      }
  }
  double end = 0;
  for (const vpNote& n : score->notes)
    end = std::fmax(end, n.start + (score->loop ? 0.0 : n.beats));
  for (double c : cursor) end = std::fmax(end, c);
  score->bars = int(std::ceil(std::fmax(double(chords.size()) * bar, end) / bar - 1e-9));
  if (score->notes.empty()) {
    *error = "the score holds no notes";
    return false;
  }
  return true;
}
