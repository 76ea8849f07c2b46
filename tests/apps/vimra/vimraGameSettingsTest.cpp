// The settings file through the game: read at construction, written by
// SaveSettings and at close.
#include <gtest/gtest.h>

#include <cerrno>

#include "vimraChoices.h"
#include "vimraGameTestSupport.h"

namespace {

class SettingsTest : public InTempDir {
 protected:
  // What SaveSettings prints on stderr.
  std::string SaveAndCapture(GameProbe& game) {
    ::testing::internal::CaptureStderr();
    game.SaveSettings();
    return ::testing::internal::GetCapturedStderr();
  }
  // One line, in the program's own voice, naming the file.
  void ExpectOneLineAboutTheFile(const std::string& said) {
    EXPECT_EQ(said.rfind("vimra: ", 0), 0u) << said;
    EXPECT_NE(said.find("\"vimraconfig.bin\""), std::string::npos) << said;
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.back(), '\n');
  }
};

TEST_F(SettingsTest, NoFileGivesTheDefaults) {
  GameProbe game;
  EXPECT_EQ(ChoicesOf(game), kFirstStartChoices);
  EXPECT_EQ(game.state, StateMenu);
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(SettingsTest, ChoicesSurviveARestart) {
  {
    GameProbe game;
    SetChoices(&game, {1, false, false, false, 5, 120});
    vimraBackdropColor(bcBottom)[1] = 0.25f;
    vimraBackdropColor(bcTop)[2] = 0.5f;
    EXPECT_EQ(SaveAndCapture(game), "");  // a save that works says nothing
  }
  EXPECT_EQ(ReadFile("vimraconfig.bin").size(), 48u);
  vimraResetBackdropColors();
  GameProbe again;
  EXPECT_EQ(ChoicesOf(again), (Choices{1, false, false, false, 5, 120}));
  EXPECT_EQ(vimraBackdropColor(bcBottom)[1], 0.25f);
  EXPECT_EQ(vimraBackdropColor(bcTop)[2], 0.5f);
  EXPECT_FLOAT_EQ(vimraBackdropColor(bcBottom)[0], 0.889129638671875f);
}

TEST_F(SettingsTest, AFailedSaveSaysSoInOneLine) {
  // A directory where the file goes.
  fs::create_directory(dir / "vimraconfig.bin");
  {
    GameProbe game;
    std::string said = SaveAndCapture(game);
    ExpectOneLineAboutTheFile(said);
    EXPECT_NE(said.find(strerror(EISDIR)), std::string::npos) << said;
    EXPECT_TRUE(fs::is_directory(dir / "vimraconfig.bin"));
  }
  fs::remove(dir / "vimraconfig.bin");

  // A device that takes no bytes: opening works, the write does not.
  if (fs::exists("/dev/full")) {
    fs::create_symlink("/dev/full", dir / "vimraconfig.bin");
    GameProbe game;
    std::string said = SaveAndCapture(game);
    ExpectOneLineAboutTheFile(said);
    EXPECT_NE(said.find(strerror(ENOSPC)), std::string::npos) << said;
    fs::remove(dir / "vimraconfig.bin");
  }

  // A working folder the program may not write to (the superuser may).
  if (geteuid() != 0) {
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    GameProbe game;
    std::string said = SaveAndCapture(game);
    fs::permissions(dir, fs::perms::owner_all);
    ExpectOneLineAboutTheFile(said);
    EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
  }
}

TEST_F(LiveGame, AFailedSaveAtCloseStillEndsNormally) {
  InstallPack();
  fs::create_directory(dir / "vimraconfig.bin");
  ASSERT_NO_FATAL_FAILURE(Start());
  game->SetTickSource(nullptr);
  ASSERT_TRUE(PushKeyPressAndRelease(SDLK_ESCAPE));
  ran = true;
  ::testing::internal::CaptureStderr();
  int status = game->Run(0, nullptr);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game->music, nullptr);  // the close ran to its end
  // Libraries may log on their own lines; the program says one thing.
  int ours = 0;
  size_t at = 0;
  while ((at = said.find("vimra: ", at)) != std::string::npos) {
    EXPECT_TRUE(at == 0 || said[at - 1] == '\n') << said;
    ++ours;
    at += 7;
  }
  EXPECT_EQ(ours, 1) << said;
  EXPECT_NE(said.find("\"vimraconfig.bin\""), std::string::npos) << said;
  EXPECT_TRUE(fs::is_directory(dir / "vimraconfig.bin"));
}

}  // namespace
