#include <gtest/gtest.h>

#include "vpScore.h"

namespace {

TEST(vpScore, NoteNames) {
  for (const auto& g :
       {std::pair<const char*, int>{"C4", 60}, {"A4", 69}, {"F#5", 78}, {"Bb3", 58}, {"B1", 35}})
    EXPECT_EQ(vpNoteNumber(g.first), g.second) << g.first;
  for (const char* bad : {"", "H4", "C", "C#", "c4", "C4x", "C-1", "Cb", "A10"})
    EXPECT_EQ(vpNoteNumber(bad), -1) << bad;
}

TEST(vpScore, MelodyAndHarmonyBecomeTimedNotes) {
  vpScore s;
  std::string error;
  ASSERT_TRUE(
      vpParseScore("tempo 90  # a comment after a statement\nmeter 4\nmode loop\n"
                   "voice lead flute 0.5 -0.5\nvoice pad pad 0.3 0\nvoice keys epiano 0.2 0\n"
                   "chord D2 : F#4 A4\nchord A1 : E4 A4\nhold pad\nroot pad\narp keys 0 . 1 2\n"
                   "notes lead | F#5:3 -:1 | A5:4 |\n",
                   &s, &error))
      << error;
  EXPECT_TRUE(s.tempo == 90 && s.loop && s.bars == 2) << s.tempo << " " << s.bars;
  ASSERT_EQ(s.voices.size(), 3u);
  EXPECT_FLOAT_EQ(s.voices[0].pan, -0.5f);
  int count[4] = {0, 0, 0, 0};  // lead, held chord tones, roots, arpeggio steps
  for (const vpNote& n : s.notes) {
    ++count[n.voice == 0 ? 0 : n.voice == 2 ? 3 : n.midi >= 60 ? 1 : 2];
    // The rest moves the cursor; roots are D2 and A1; step 2 of a two-tone chord wraps an octave
    // up.
    EXPECT_TRUE(n.voice != 0 || (n.midi == 78 && n.start == 0 && n.beats == 3) ||
                (n.midi == 81 && n.start == 4));
    EXPECT_TRUE(n.voice != 1 || n.midi >= 60 || n.midi == 38 || n.midi == 33) << n.midi;
    EXPECT_TRUE(n.voice != 2 || (n.start != 1.5 && n.start != 5.5) || n.midi == 78 || n.midi == 76)
        << n.midi;
  }
  EXPECT_EQ(std::vector<int>(count, count + 4), (std::vector<int>{2, 4, 2, 6}));
}

TEST(vpScore, RejectsMalformedStatements) {
  for (const char* text : {
           "voice a flute 1 0\nnotes a | C4:3 |\n",  // bar of 3 beats in 4/4
           "voice a flute 1 0\nnotes a | C4:4\n",    // no closing bar line
           "voice a kazoo 1 0\n",                    // unknown instrument
           "voice a flute 1 2\n",                    // pan out of range
           "notes nobody | C4:4 |\n",                // undeclared voice
           "voice a flute 1 0\nnotes a | X4:4 |\n",  // not a note
           "chord D2 A3\n",                          // missing colon
           "tempo fast\n",                           // not a number
           "meter 2.5\n",                            // not whole
           "voice a flute 1 0\nvoice a bell 1 0\n",  // declared twice
           "fanfare\n",                              // unknown statement
           "tempo 100\n",                            // nothing to play
       }) {
    vpScore s;
    std::string error;
    EXPECT_TRUE(!vpParseScore(text, &s, &error) && !error.empty()) << text;
  }
}

}  // namespace
