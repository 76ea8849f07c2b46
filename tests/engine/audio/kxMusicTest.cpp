#include "audio/kxMusic.h"
#include "kxAudioTestKit.h"

namespace {

using namespace kxAudioTest;
class kxMusicTest : public DiskMixerTest {};

TEST_F(kxMusicTest, VolumeStepsClampAndReachTheMixer) {
  kxMusic music;
  EXPECT_EQ(Mix_VolumeMusic(-1), 64);
  for (int i = 0; i < 10; ++i) music.VolumeUp();
  EXPECT_EQ(Mix_VolumeMusic(-1), 74);
  ExpectVolumeStepsClamp(music);
  EXPECT_EQ(Mix_VolumeMusic(-1), 0);
}

TEST_F(kxMusicTest, SilentUnlessAPlayablePieceIsPlayed) {
  kxMusic loaded, undecodable;
  ASSERT_TRUE(loaded.LoadFromCrunchedMemoryBlock(CrunchedWav().get()));
  EXPECT_TRUE(undecodable.LoadFromCrunchedMemoryBlock(CrunchedJunk().get()));
  EXPECT_FALSE(undecodable.IsLoaded());
  undecodable.Play();
  EXPECT_EQ(PeakAfter(200), 0);
}

TEST_F(kxMusicTest, ReloadWhilePlayingReplacesThePiece) {
  kxMusic music;
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(CrunchedWav(0.5, 440.0, 3000).get()));
  music.Play();
  SDL_Delay(100);
  // The old piece, and the bytes the mixer streams from, are let go while it plays.
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(CrunchedWav(0.5, 660.0, 20000).get()));
  music.Play();
  EXPECT_GT(PeakAfter(300), 6000) << "only the second piece is that loud";
}

TEST_F(kxMusicTest, FailedLoadKeepsThePieceHeld) {
  kxMusic music;
  // The caller's block goes away at once: the player keeps its own bytes.
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(CrunchedWav().get()));
  uint8_t notCrunched[6] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
  kxMemoryBlock bad{notCrunched, sizeof notCrunched};
  EXPECT_FALSE(music.LoadFromCrunchedMemoryBlock(&bad));
  EXPECT_FALSE(music.LoadFromCrunchedMemoryBlock(nullptr));
  music.Play();
  EXPECT_GT(PeakAfter(300), 1000);
}

TEST_F(kxMusicTest, ClearStopsAndEmpties) {
  kxMusic music;
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(CrunchedWav().get()));
  music.Play();
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  music.Clear();
  music.Clear();  // twice is harmless
  music.Play();   // nothing to play
  EXPECT_FALSE(music.IsLoaded());
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

}  // namespace
