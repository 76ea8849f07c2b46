#include <gtest/gtest.h>

#include <cmath>

#include "vpSynth.h"

namespace {

vpStereo Render(const std::string& text, int rate, float peak, int tempo = 120) {
  vpScore s;
  std::string error;
  EXPECT_TRUE(vpParseScore("tempo " + std::to_string(tempo) + "\nmeter 4\n" + text, &s, &error));
  return vpRenderScore(s, rate, peak);
}

float Rms(const std::vector<float>& v, size_t from, size_t to) {
  double e = 0;
  for (size_t i = from; i < to; ++i) e += double(v[i]) * v[i];
  return float(std::sqrt(e / double(to - from)));
}

TEST(vpSynth, LoopIsWholeBarsNormalisedToThePeakAndCentred) {
  const vpStereo out = Render("mode loop\nvoice a flute 1 0\nnotes a | A4:4 | -:4 |\n", 8000, 0.5f);
  ASSERT_TRUE(out.left.size() == 2u * 8000 * 2 && out.right.size() == out.left.size());
  float peak = 0;
  for (size_t i = 0; i < out.left.size(); ++i)
    peak = std::fmax(peak, std::fmax(std::fabs(out.left[i]), std::fabs(out.right[i])));
  EXPECT_NEAR(peak, 0.5f, 1e-4);
  EXPECT_NEAR(Rms(out.left, 0, 16000), Rms(out.right, 0, 16000), 0.05f * Rms(out.left, 0, 16000));
}

TEST(vpSynth, OneShotEndsInSilenceRepeatsExactlyAndPans) {
  const std::string text =
      "mode once\ntail 0.5\nreverb 0.3\nvoice a epiano 1 0.5\nnotes a | C5:1 -:3 |\n";
  const vpStereo a = Render(text, 8000, 0.6f), b = Render(text, 8000, 0.6f);
  ASSERT_EQ(a.left.size(), size_t(std::ceil((0.5 + 0.5) * 8000)));
  EXPECT_TRUE(a.left == b.left && a.right == b.right);
  EXPECT_TRUE(a.left.back() == 0.0f && a.right.back() == 0.0f);
  EXPECT_GT(Rms(a.right, 0, 4000), Rms(a.left, 0, 4000));  // panned right
}

TEST(vpSynth, PitchFollowsTheNote) {
  // Zero crossings of an A3 (220 Hz) over one second.
  const vpStereo out =
      Render("mode once\ntail 0.1\nvoice a flute 1 0\nnotes a | A3:4 |\n", 44100, 0.5f, 60);
  ASSERT_GE(out.left.size(), 88200u);
  int crossings = 0;
  for (size_t i = 44100; i < 88200; ++i) crossings += (out.left[i - 1] < 0) != (out.left[i] < 0);
  EXPECT_NEAR(crossings / 2.0, 220.0, 3.0);
}

}  // namespace
