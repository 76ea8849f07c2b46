#include <gtest/gtest.h>

#include <cmath>

#include "vpSynth.h"

namespace {

vpScore Parse(const std::string& text) {
  vpScore s;
  std::string error;
  EXPECT_TRUE(vpParseScore(text, &s, &error)) << error;
  return s;
}

float Rms(const std::vector<float>& v, size_t from, size_t to) {
  double e = 0;
  for (size_t i = from; i < to; ++i) e += double(v[i]) * v[i];
  return float(std::sqrt(e / double(to - from)));
}

TEST(vpSynth, LoopLengthIsWholeBarsAndPeakIsNormalised) {
  const vpScore s = Parse("tempo 120\nmeter 4\nmode loop\nvoice a flute 1 0\nnotes a | A4:4 | -:4 |\n");
  const vpStereo out = vpRenderScore(s, 8000, 0.5f);
  ASSERT_EQ(out.left.size(), 8u * 8000 / 2);  // two bars of 2 s
  ASSERT_EQ(out.right.size(), out.left.size());
  float peak = 0;
  for (size_t i = 0; i < out.left.size(); ++i)
    peak = std::fmax(peak, std::fmax(std::fabs(out.left[i]), std::fabs(out.right[i])));
  EXPECT_NEAR(peak, 0.5f, 1e-4);
  // A centred voice is equally loud on both sides.
  EXPECT_NEAR(Rms(out.left, 0, 16000), Rms(out.right, 0, 16000), 0.05f * Rms(out.left, 0, 16000));
}

TEST(vpSynth, LoopWrapsTheTailOfTheLastNoteIntoTheStart) {
  // One bell note at the very end of the loop: its ring must be heard at the
  // start of the loop, and the samples must run on smoothly across the seam.
  const vpScore s = Parse("tempo 120\nmeter 4\nmode loop\nvoice a bell 1 0\nnotes a | -:4 | -:3.5 A5:0.5 |\n");
  const vpStereo out = vpRenderScore(s, 44100, 0.8f);
  const size_t n = out.left.size();
  ASSERT_EQ(n, 176400u);  // two bars of four beats at 120 a minute
  EXPECT_GT(Rms(out.left, 0, 2000), 0.05f);  // ringing at the start
  EXPECT_LT(Rms(out.left, 66150, 88200), Rms(out.left, 0, 2000));  // and decaying
  // Across the seam the wave moves like it does just before and after it.
  for (const std::vector<float>* ch : {&out.left, &out.right}) {
    const std::vector<float>& v = *ch;
    const float before = std::fabs(v[n - 1] - v[n - 2]), after = std::fabs(v[1] - v[0]);
    EXPECT_LE(std::fabs(v[0] - v[n - 1]), 1.5f * std::fmax(before, after) + 1e-3f);
  }
}

TEST(vpSynth, OneShotEndsInSilenceAndRepeatsExactly) {
  const std::string text = "tempo 120\nmeter 4\nmode once\ntail 0.5\nreverb 0.3\nvoice a epiano 1 0.5\nnotes a | C5:1 -:3 |\n";
  const vpStereo a = vpRenderScore(Parse(text), 8000, 0.6f);
  const vpStereo b = vpRenderScore(Parse(text), 8000, 0.6f);
  ASSERT_EQ(a.left.size(), size_t(std::ceil((0.5 + 0.5) * 8000)));
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  EXPECT_FLOAT_EQ(a.left.back(), 0.0f);
  EXPECT_FLOAT_EQ(a.right.back(), 0.0f);
  // Panned right: the right side is the louder.
  EXPECT_GT(Rms(a.right, 0, 4000), Rms(a.left, 0, 4000));
}

TEST(vpSynth, PitchFollowsTheNote) {
  // Count zero crossings of a plain bass A2 (110 Hz) over one second.
  const vpScore s = Parse("tempo 60\nmeter 4\nmode once\ntail 0.1\nvoice a flute 1 0\nnotes a | A3:4 |\n");
  const vpStereo out = vpRenderScore(s, 44100, 0.5f);
  int crossings = 0;
  for (size_t i = 44100; i < 88200; ++i)
    if ((out.left[i - 1] < 0) != (out.left[i] < 0)) ++crossings;
  EXPECT_NEAR(crossings / 2.0, 220.0, 3.0);
}

}  // namespace
