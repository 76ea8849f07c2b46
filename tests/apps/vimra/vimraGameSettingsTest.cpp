// The settings file through the game: read at construction, written by
// SaveSettings and at close.
#include <gtest/gtest.h>

#include "vimraGameTestSupport.h"

namespace {

class SettingsTest : public InTempDir {};

TEST_F(SettingsTest, NoFileGivesTheDefaults) {
  GameProbe game;
  EXPECT_EQ(game.language, 0);
  EXPECT_TRUE(game.highQuality);
  EXPECT_TRUE(game.musicOn);
  EXPECT_TRUE(game.hintsOn);
  EXPECT_EQ(game.musicVolume, 64);
  EXPECT_EQ(game.sampleVolume, 64);
  EXPECT_EQ(game.state, StateMenu);
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(SettingsTest, ChoicesSurviveARestart) {
  {
    GameProbe game;
    game.language = 1;
    game.highQuality = false;
    game.musicOn = false;
    game.hintsOn = false;
    game.musicVolume = 5;
    game.sampleVolume = 120;
    vimraBackdropColor(bcBottom)[1] = 0.25f;
    vimraBackdropColor(bcTop)[2] = 0.5f;
    game.SaveSettings();
  }
  EXPECT_EQ(ReadFile("vimraconfig.bin").size(), 48u);
  vimraResetBackdropColors();
  GameProbe again;
  EXPECT_EQ(again.language, 1);
  EXPECT_FALSE(again.highQuality);
  EXPECT_FALSE(again.musicOn);
  EXPECT_FALSE(again.hintsOn);
  EXPECT_EQ(again.musicVolume, 5);
  EXPECT_EQ(again.sampleVolume, 120);
  EXPECT_EQ(vimraBackdropColor(bcBottom)[1], 0.25f);
  EXPECT_EQ(vimraBackdropColor(bcTop)[2], 0.5f);
  EXPECT_FLOAT_EQ(vimraBackdropColor(bcBottom)[0], 0.889129638671875f);
}

}  // namespace
