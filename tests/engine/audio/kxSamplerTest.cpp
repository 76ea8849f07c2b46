// Sample bank: numbering, freeing, bounds, volume, and playback captured
// from SDL's disk driver.
#include "audio/kxSampler.h"

#include <gtest/gtest.h>

#include <climits>

#include "kxAudioTestKit.h"

namespace {

using namespace kxAudioTest;

TEST(kxSamplerTest, VolumeStepsClampAndReachEveryChannel) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxSampler sampler;
  EXPECT_EQ(sampler.GetVolume(), 64);
  EXPECT_EQ(Mix_Volume(0, -1), 64);
  for (int i = 0; i < 10; ++i) sampler.VolumeUp();
  EXPECT_EQ(sampler.GetVolume(), 74);
  EXPECT_EQ(Mix_Volume(3, -1), 74);
  sampler.SetVolume(128);
  sampler.VolumeUp();
  EXPECT_EQ(sampler.GetVolume(), 128);
  sampler.SetVolume(0);
  sampler.VolumeDown();
  EXPECT_EQ(sampler.GetVolume(), 0);
  sampler.SetVolume(200);
  sampler.VolumeDown();
  EXPECT_EQ(sampler.GetVolume(), 199);
  sampler.SetVolume(200);
  sampler.VolumeUp();
  EXPECT_EQ(sampler.GetVolume(), 128);
  sampler.SetVolume(INT_MAX);
  sampler.VolumeUp();
  EXPECT_EQ(sampler.GetVolume(), 128);
  sampler.SetVolume(INT_MIN);
  sampler.VolumeDown();
  EXPECT_EQ(sampler.GetVolume(), 0);
}

TEST(kxSamplerTest, NumbersFollowSuccessfulAppendsOnly) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxSampler sampler;
  Block sound = CrunchedWav(0.1);
  Block junk = CrunchedJunk();
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_EQ(sampler.GetCount(), 2u);
  EXPECT_NE(sampler.GetSample(0), nullptr);
  EXPECT_NE(sampler.GetSample(0), sampler.GetSample(1));
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(junk.get()));
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(nullptr));
  uint8_t notCrunched[3] = {1, 2, 3};
  kxMemoryBlock bad{notCrunched, sizeof notCrunched};
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(&bad));
  EXPECT_EQ(sampler.GetCount(), 2u);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_EQ(sampler.GetCount(), 3u);
  EXPECT_NE(sampler.GetSample(2), nullptr);
  sampler.ClearAllSamples();
  EXPECT_EQ(sampler.GetCount(), 0u);
  EXPECT_EQ(sampler.GetSample(0), nullptr);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_EQ(sampler.GetCount(), 1u);
}

TEST(kxSamplerTest, PlayedSampleReachesTheDevice) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxSampler sampler;
  Block sound = CrunchedWav(0.5);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  sound.reset();  // decoded whole on append: the block is no longer needed
  sampler.PlaySample(0);
  mixer.Listen(300);
  std::vector<int16_t> pcm = mixer.Close();
  ASSERT_FALSE(pcm.empty());
  EXPECT_GT(Peak(pcm), 1000);
}

TEST(kxSamplerTest, ClearedSampleKeepsTheOthersNumbers) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxSampler sampler;
  Block quiet = CrunchedWav(0.5, 440.0, 2000);
  Block loud = CrunchedWav(0.5, 440.0, 20000);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(quiet.get()));
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(loud.get()));
  sampler.ClearSample(0);
  EXPECT_EQ(sampler.GetSample(0), nullptr);
  EXPECT_EQ(sampler.GetCount(), 2u);
  sampler.ClearSample(0);  // already freed
  sampler.PlaySample(0);   // plays nothing
  sampler.PlaySample(1);   // still the loud one
  mixer.Listen(300);
  EXPECT_GT(Peak(mixer.Close()), 6000);
}

TEST(kxSamplerTest, NumbersBeyondTheBankDoNothing) {
  DiskMixer mixer;
  ASSERT_TRUE(mixer.IsOpen()) << SDL_GetError();
  kxSampler sampler;
  Block sound = CrunchedWav(0.2);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  sampler.PlaySample(1);
  sampler.PlaySample(UINT64_MAX);
  sampler.ClearSample(1);
  sampler.ClearSample(UINT64_MAX);
  EXPECT_EQ(sampler.GetCount(), 1u);
  EXPECT_NE(sampler.GetSample(0), nullptr);
  EXPECT_EQ(sampler.GetSample(1), nullptr);
  mixer.Listen(150);
  EXPECT_EQ(Peak(mixer.Close()), 0);
}

}  // namespace
