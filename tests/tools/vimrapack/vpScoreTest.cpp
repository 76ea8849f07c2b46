#include <gtest/gtest.h>

#include "vpScore.h"

namespace {

TEST(vpScore, NoteNames) {
  EXPECT_EQ(vpNoteNumber("C4"), 60);
  EXPECT_EQ(vpNoteNumber("A4"), 69);
  EXPECT_EQ(vpNoteNumber("F#5"), 78);
  EXPECT_EQ(vpNoteNumber("Bb3"), 58);
  EXPECT_EQ(vpNoteNumber("B1"), 35);
  for (const char* bad : {"", "H4", "C", "C#", "c4", "C4x", "C-1", "Cb", "A10"})
    EXPECT_EQ(vpNoteNumber(bad), -1) << bad;
}

TEST(vpScore, MelodyAndHarmonyBecomeTimedNotes) {
  const char* text =
      "tempo 90  # a comment after a statement\n"
      "meter 4\n"
      "mode loop\n"
      "voice lead flute 0.5 -0.5\n"
      "voice pad pad 0.3 0\n"
      "voice keys epiano 0.2 0\n"
      "chord D2 : F#4 A4\n"
      "chord A1 : E4 A4\n"
      "hold pad\n"
      "root pad\n"
      "arp keys 0 . 1 2\n"
      "notes lead | F#5:3 -:1 | A5:4 |\n";
  vpScore s;
  std::string error;
  ASSERT_TRUE(vpParseScore(text, &s, &error)) << error;
  EXPECT_DOUBLE_EQ(s.tempo, 90);
  EXPECT_TRUE(s.loop);
  EXPECT_EQ(s.bars, 2);
  ASSERT_EQ(s.voices.size(), 3u);
  EXPECT_FLOAT_EQ(s.voices[0].pan, -0.5f);

  int lead = 0, held = 0, roots = 0, arps = 0;
  for (const vpNote& n : s.notes) {
    if (n.voice == 0) {
      ++lead;
      if (n.midi == 78) {
        EXPECT_DOUBLE_EQ(n.start, 0);
        EXPECT_DOUBLE_EQ(n.beats, 3);
      }
      if (n.midi == 81) {
        EXPECT_DOUBLE_EQ(n.start, 4);  // the rest moved the cursor
      }
    } else if (n.voice == 1 && n.midi >= 60) {
      ++held;
    } else if (n.voice == 1) {
      ++roots;
      EXPECT_TRUE(n.midi == 38 || n.midi == 33);
    } else {
      ++arps;
      // Steps 0, 1 and 2 of a two-tone chord: index 2 wraps an octave up.
      if (n.start == 1.5 || n.start == 5.5) {
        EXPECT_TRUE(n.midi == 66 + 12 || n.midi == 64 + 12) << n.midi;
      }
    }
  }
  EXPECT_EQ(lead, 2);
  EXPECT_EQ(held, 4);
  EXPECT_EQ(roots, 2);
  EXPECT_EQ(arps, 6);  // three sounding steps a bar, two bars
}

TEST(vpScore, RejectsMalformedStatements) {
  const char* bad[] = {
      "voice a flute 1 0\nnotes a | C4:3 |\n",           // bar of 3 beats in 4/4
      "voice a flute 1 0\nnotes a | C4:4\n",             // no closing bar line
      "voice a kazoo 1 0\n",                             // unknown instrument
      "voice a flute 1 2\n",                             // pan out of range
      "notes nobody | C4:4 |\n",                         // undeclared voice
      "voice a flute 1 0\nnotes a | X4:4 |\n",           // not a note
      "chord D2 A3\n",                                   // missing colon
      "tempo fast\n",                                    // not a number
      "meter 2.5\n",                                     // not whole
      "voice a flute 1 0\nvoice a bell 1 0\n",           // declared twice
      "fanfare\n",                                       // unknown statement
      "tempo 100\n",                                     // nothing to play
  };
  for (const char* text : bad) {
    vpScore s;
    std::string error;
    EXPECT_FALSE(vpParseScore(text, &s, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(vpScore, TheGamesScoresRead) {
  // The real sources: the music is a 45 to 90 second loop, the chime a
  // short one-off.
  for (const char* name : {"bkgsnd03", "choicesnd02"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(std::getenv("KX_SOURCE_DIR") ? std::getenv("KX_SOURCE_DIR") : ".") +
                             "/apps/vimra/assets/music/" + name + ".score";
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    vpScore s;
    std::string error;
    ASSERT_TRUE(vpParseScore(text, &s, &error)) << error;
    const double seconds = s.bars * s.meter * 60.0 / s.tempo;
    if (std::string(name) == "bkgsnd03") {
      EXPECT_TRUE(s.loop);
      EXPECT_GE(seconds, 45.0);
      EXPECT_LE(seconds, 90.0);
    } else {
      EXPECT_FALSE(s.loop);
    }
  }
}

}  // namespace
