// Music player: volume steps on the mixer, and real playback captured from
// SDL's disk driver.
#include "audio/kxMusic.h"

#include <gtest/gtest.h>

#include <climits>

#include "kxAudioTestKit.h"

namespace {

using namespace kxAudioTest;

TEST(kxMusicTest, VolumeStepsClampAndReachTheMixer) {
  kxMusic music;
  EXPECT_EQ(music.GetVolume(), 64);
  EXPECT_EQ(Mix_VolumeMusic(-1), 64);
  for (int i = 0; i < 10; ++i) music.VolumeUp();
  EXPECT_EQ(music.GetVolume(), 74);
  EXPECT_EQ(Mix_VolumeMusic(-1), 74);
  music.SetVolume(128);
  music.VolumeUp();
  EXPECT_EQ(music.GetVolume(), 128);
  music.SetVolume(0);
  music.VolumeDown();
  EXPECT_EQ(music.GetVolume(), 0);
  EXPECT_EQ(Mix_VolumeMusic(-1), 0);
  // SetVolume passes anything through; only the step clamps.
  music.SetVolume(200);
  EXPECT_EQ(music.GetVolume(), 200);
  music.VolumeDown();
  EXPECT_EQ(music.GetVolume(), 199);
  music.SetVolume(200);
  music.VolumeUp();
  EXPECT_EQ(music.GetVolume(), 128);
  // The ends of the int range step without overflowing.
  music.SetVolume(INT_MAX);
  music.VolumeUp();
  EXPECT_EQ(music.GetVolume(), 128);
  music.SetVolume(INT_MIN);
  music.VolumeDown();
  EXPECT_EQ(music.GetVolume(), 0);
}

TEST(kxMusicTest, PlayedPieceReachesTheDevice) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  {
    // The caller's block goes away at once: the player keeps its own bytes.
    Block block = CrunchedWav();
    ASSERT_NE(block, nullptr);
    ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(block.get()));
  }
  ASSERT_TRUE(music.IsLoaded());
  music.Play();
  mixer.Listen(400);
  std::vector<int16_t> pcm = mixer.Close();
  ASSERT_FALSE(pcm.empty());
  EXPECT_GT(Peak(pcm), 1000);
}

TEST(kxMusicTest, LoadedButNotPlayedIsSilent) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  Block block = CrunchedWav();
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(block.get()));
  mixer.Listen(200);
  std::vector<int16_t> pcm = mixer.Close();
  ASSERT_FALSE(pcm.empty());
  EXPECT_EQ(Peak(pcm), 0);
}

TEST(kxMusicTest, ReloadWhilePlayingReplacesThePiece) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  Block first = CrunchedWav(0.5, 440.0, 3000);
  Block second = CrunchedWav(0.5, 660.0, 20000);
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(first.get()));
  music.Play();
  mixer.Listen(100);
  // The old piece (and the bytes the mixer streams from) must be let go
  // properly while it plays.
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(second.get()));
  music.Play();
  mixer.Listen(300);
  std::vector<int16_t> pcm = mixer.Close();
  // Only the second, louder piece can exceed the first one's amplitude.
  EXPECT_GT(Peak(pcm), 6000);
}

TEST(kxMusicTest, FailedLoadKeepsThePieceHeld) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  Block piece = CrunchedWav();
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(piece.get()));
  uint8_t notCrunched[6] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
  kxMemoryBlock bad{notCrunched, sizeof notCrunched};
  EXPECT_FALSE(music.LoadFromCrunchedMemoryBlock(&bad));
  EXPECT_FALSE(music.LoadFromCrunchedMemoryBlock(nullptr));
  EXPECT_TRUE(music.IsLoaded());
  music.Play();
  mixer.Listen(300);
  EXPECT_GT(Peak(mixer.Close()), 1000);
}

TEST(kxMusicTest, UndecodablePieceLoadsButPlaysNothing) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  Block junk = CrunchedJunk();
  EXPECT_TRUE(music.LoadFromCrunchedMemoryBlock(junk.get()));
  EXPECT_FALSE(music.IsLoaded());
  music.Play();
  mixer.Listen(200);
  EXPECT_EQ(Peak(mixer.Close()), 0);
}

TEST(kxMusicTest, ClearStopsAndEmpties) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxMusic music;
  Block piece = CrunchedWav();
  ASSERT_TRUE(music.LoadFromCrunchedMemoryBlock(piece.get()));
  music.Play();
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  music.Clear();
  EXPECT_FALSE(music.IsLoaded());
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  music.Clear();  // twice is harmless
  music.Play();   // nothing to play
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

}  // namespace
