#include "audio/kxSampler.h"
#include "kxAudioTestKit.h"

namespace {

using namespace kxAudioTest;
class kxSamplerTest : public DiskMixerTest {};

TEST_F(kxSamplerTest, VolumeStepsClampAndReachEveryChannel) {
  kxSampler sampler;
  EXPECT_EQ(Mix_Volume(0, -1), 64);
  for (int i = 0; i < 10; ++i) sampler.VolumeUp();
  EXPECT_EQ(Mix_Volume(3, -1), 74);
  ExpectVolumeStepsClamp(sampler);
  EXPECT_EQ(Mix_Volume(5, -1), 0);
}

TEST_F(kxSamplerTest, NumbersFollowSuccessfulAppendsOnly) {
  kxSampler sampler;
  Block sound = CrunchedWav(0.1);
  uint8_t notCrunched[3] = {1, 2, 3};
  kxMemoryBlock bad{notCrunched, sizeof notCrunched};
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(CrunchedJunk().get()));
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(nullptr));
  EXPECT_FALSE(sampler.AppendSampleFromCrunchedMemoryBlock(&bad));
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_EQ(sampler.GetCount(), 2u);
  EXPECT_NE(sampler.GetSample(0), sampler.GetSample(1));
  sampler.ClearAllSamples();
  EXPECT_EQ(sampler.GetSample(0), nullptr);
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(sound.get()));
  EXPECT_EQ(sampler.GetCount(), 1u);
}

TEST_F(kxSamplerTest, ClearedAndOutOfRangeNumbersLeaveTheOthersPlaying) {
  kxSampler sampler;
  // Decoded whole on append: the blocks are not needed afterwards.
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(CrunchedWav(0.5, 440.0, 2000).get()));
  ASSERT_TRUE(sampler.AppendSampleFromCrunchedMemoryBlock(CrunchedWav(0.5, 440.0, 20000).get()));
  for (uint64_t number : {uint64_t(0), uint64_t(0), uint64_t(2), UINT64_MAX}) {
    sampler.ClearSample(number);
    sampler.PlaySample(number);  // plays nothing
  }
  EXPECT_EQ(sampler.GetSample(0), nullptr);
  EXPECT_EQ(sampler.GetCount(), 2u);
  sampler.PlaySample(1);  // still the loud one
  EXPECT_GT(PeakAfter(300), 6000);
}

}  // namespace
