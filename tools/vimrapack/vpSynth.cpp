#include "vpSynth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Table sine with linear interpolation; phase in turns.
class SineTable {
 public:
  SineTable() {
    for (size_t i = 0; i <= kSize; ++i) table[i] = float(std::sin(kTwoPi * double(i) / kSize));
  }
  float operator()(double phase) const {
    const double p = (phase - std::floor(phase)) * kSize;
    const size_t i = size_t(p);
    const float f = float(p - double(i));
    return table[i] + (table[i + 1] - table[i]) * f;
  }

 private:
  static constexpr size_t kSize = 4096;
  std::array<float, kSize + 1> table;
};

const SineTable& Sine() {
  static const SineTable s;
  return s;
}

double Frequency(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Attack / release envelope: linear rise over `attack` seconds, held while
// the note sounds, exponential fall with time constant `release` afterwards.
float Envelope(double t, double length, double attack, double release) {
  double e = attack > 0 ? std::min(1.0, t / attack) : 1.0;
  if (t > length) e *= std::exp(-(t - length) / release);
  return float(e);
}

struct Instrument {
  double tail;  // seconds of sound after the note ends
  float (*sample)(double t, double len, double f);
};

float Pad(double t, double len, double f) {
  const SineTable& s = Sine();
  // Soft, dark partials (1 / k^1.6) with a slow shimmer between two
  // detuned copies.
  static const float amp[6] = {1.0f, 0.3299f, 0.1721f, 0.1088f, 0.0761f, 0.0567f};
  float v = 0;
  for (int k = 1; k <= 6; ++k)
    v += amp[k - 1] * (s(f * k * t * 1.0029) + s(f * k * t * 0.9971 + 0.25));
  return 0.28f * v * Envelope(t, len, 1.2, 0.9);
}

float Bass(double t, double len, double f) {
  const SineTable& s = Sine();
  const float body = s(f * t) + 0.22f * s(2 * f * t) + 0.06f * s(3 * f * t);
  const float decay = float(0.75 + 0.25 * std::exp(-t / 0.6));
  return 0.8f * body * decay * Envelope(t, len, 0.03, 0.25);
}

float EPiano(double t, double len, double f) {
  const SineTable& s = Sine();
  const double index = 0.25 + 1.6 * std::exp(-t / 0.35);
  const float mod = s(f * t);
  const float v = s(f * t + index * mod / kTwoPi * 2.0);
  return 0.6f * v * float(std::exp(-t / 1.1)) * Envelope(t, len, 0.004, 0.3);
}

float Flute(double t, double len, double f) {
  const SineTable& s = Sine();
  const double vib = t > 0.35 ? 0.0035 * std::min(1.0, (t - 0.35) / 0.5) : 0.0;
  const double ph = f * t + vib * f / 5.0 * (-std::cos(kTwoPi * 5.0 * t)) / kTwoPi;
  const float v = s(ph) + 0.12f * s(2 * ph) + 0.04f * s(3 * ph);
  return 0.7f * v * Envelope(t, len, 0.14, 0.3);
}

float Bell(double t, double len, double f) {
  const SineTable& s = Sine();
  const double index = 1.2 * std::exp(-t / 0.5);
  const float v = s(f * t + index * s(3.5 * f * t) / kTwoPi * 2.0) +
                  0.25f * s(2.76 * f * t) * float(std::exp(-t / 0.4));
  (void)len;
  return 0.5f * v * float(std::exp(-t / 0.9)) * Envelope(t, 1e9, 0.002, 1.0);
}

Instrument Find(const std::string& name) {
  if (name == "pad") return {3.0, Pad};
  if (name == "bass") return {1.0, Bass};
  if (name == "epiano") return {1.2, EPiano};
  if (name == "flute") return {1.0, Flute};
  return {4.0, Bell};
}

// A small Schroeder-Moorer reverb: eight damped combs into four allpasses
// per channel, the right channel's delays slightly longer.
class Reverb {
 public:
  explicit Reverb(int rate, int spread) {
    const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const int passes[4] = {556, 441, 341, 225};
    const double k = rate / 44100.0;
    for (int i = 0; i < 8; ++i) comb[i].resize(size_t((combs[i] + spread) * k));
    for (int i = 0; i < 4; ++i) pass[i].resize(size_t((passes[i] + spread) * k));
  }
  float Process(float in) {
    float out = 0;
    for (int i = 0; i < 8; ++i) {
      std::vector<float>& b = comb[i];
      float& y = b[combPos[i]];
      filter[i] = y * (1 - kDamp) + filter[i] * kDamp;
      const float o = y;
      y = in * 0.015f + filter[i] * kFeedback;
      combPos[i] = (combPos[i] + 1) % b.size();
      out += o;
    }
    for (int i = 0; i < 4; ++i) {
      std::vector<float>& b = pass[i];
      const float d = b[passPos[i]];
      b[passPos[i]] = out + d * 0.5f;
      out = d - out;
      passPos[i] = (passPos[i] + 1) % b.size();
    }
    return out;
  }

 private:
  static constexpr float kFeedback = 0.86f, kDamp = 0.3f;
  std::vector<float> comb[8], pass[4];
  size_t combPos[8] = {}, passPos[4] = {};
  float filter[8] = {};
};

}  // namespace

vpStereo vpRenderScore(const vpScore& score, int rate, float peak) {
  vpStereo out;
  if (score.notes.empty() || score.tempo <= 0) return out;
  const double secondsPerBeat = 60.0 / score.tempo;
  size_t length;
  if (score.loop) {
    length = size_t(std::llround(score.bars * score.meter * secondsPerBeat * rate));
  } else {
    double end = 0;
    for (const vpNote& n : score.notes)
      end = std::max(end, (n.start + n.beats) * secondsPerBeat + score.tail);
    length = size_t(std::ceil(end * rate));
  }
  if (length == 0) return out;
  std::vector<float> dryL(length, 0.0f), dryR(length, 0.0f);

  for (const vpNote& n : score.notes) {
    const vpVoice& voice = score.voices[n.voice];
    const Instrument inst = Find(voice.instrument);
    const double f = Frequency(n.midi);
    const double len = n.beats * secondsPerBeat;
    const size_t start = size_t(std::llround(n.start * secondsPerBeat * rate));
    const size_t count = size_t((len + inst.tail) * rate);
    const double angle = (double(voice.pan) + 1.0) * 0.25 * 3.141592653589793;
    const float gl = float(std::cos(angle)) * voice.gain * n.velocity;
    const float gr = float(std::sin(angle)) * voice.gain * n.velocity;
    for (size_t i = 0; i < count; ++i) {
      size_t at = start + i;
      if (at >= length) {
        if (!score.loop) break;
        at %= length;
      }
      const float v = inst.sample(double(i) / rate, len, f);
      dryL[at] += v * gl;
      dryR[at] += v * gr;
    }
  }

  out.left.assign(length, 0.0f);
  out.right.assign(length, 0.0f);
  Reverb revL(rate, 0), revR(rate, 23);
  const int passes = score.loop ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (size_t i = 0; i < length; ++i) {
      const float mono = (dryL[i] + dryR[i]) * 0.5f;
      const float wl = revL.Process(mono), wr = revR.Process(mono);
      if (pass == passes - 1) {
        out.left[i] = dryL[i] * (1 - score.reverb) + 3.0f * wl * score.reverb;
        out.right[i] = dryR[i] * (1 - score.reverb) + 3.0f * wr * score.reverb;
      }
    }

  if (!score.loop) {
    // The last 400 ms fall smoothly to silence whatever still rings.
    const size_t fade = std::min(length, size_t(rate * 2 / 5));
    for (size_t i = 0; i < fade; ++i) {
      const float g = 0.5f - 0.5f * float(std::cos(3.141592653589793 * double(i) / double(fade)));
      out.left[length - 1 - i] *= g;
      out.right[length - 1 - i] *= g;
    }
  }
  float maxAbs = 0;
  for (size_t i = 0; i < length; ++i)
    maxAbs = std::max(maxAbs, std::max(std::fabs(out.left[i]), std::fabs(out.right[i])));
  if (maxAbs > 0) {
    const float g = peak / maxAbs;
    for (size_t i = 0; i < length; ++i) {
      out.left[i] *= g;
      out.right[i] *= g;
    }
  }
  return out;
}
