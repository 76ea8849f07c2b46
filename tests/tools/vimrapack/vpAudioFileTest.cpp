#include <gtest/gtest.h>

#include "vpAudioFile.h"
#include "vpTestSupport.h"

namespace {

TEST(vpAudioFile, WaveHeaderAndClippedRoundedSamples) {
  const std::vector<uint8_t> w =
      vpEncodeWav16({{0.0f, 1.0f, -1.0f, 2.0f}, {0.5f, -0.5f, 0.0f, -3.0f}}, 22050);
  // RIFF size, PCM, 2 channels, 22050 Hz, 88200 bytes a second, block 4, 16 bits, 16 data bytes.
  const char header[] =
      "RIFF\x34\0\0\0WAVEfmt "
      "\x10\0\0\0\x01\0\x02\0\x22\x56\0\0\x88\x58\x01\0\x04\0\x10\0data\x10\0\0\0";
  ASSERT_EQ(w.size(), 44u + 16);
  EXPECT_EQ(std::string(w.begin(), w.begin() + 44), std::string(header, 44));
  const int16_t* s = reinterpret_cast<const int16_t*>(w.data() + 44);
  EXPECT_EQ(std::vector<int16_t>(s, s + 8),
            (std::vector<int16_t>{0, 16384, 32767, -16384, -32767, 0, 32767, -32767}));
}

TEST(vpAudioFile, OggVorbisDecodesToTheSameSoundAndIsReproducible) {
  std::vector<float> left(44100), right(44100);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = 0.5f * float(std::sin(6.283185307 * 440.0 * double(i) / 44100));
    right[i] = 0.25f * float(std::sin(6.283185307 * 660.0 * double(i) / 44100));
  }
  const std::vector<uint8_t> ogg = vpEncodeOggVorbis({left, right}, 44100, 0.3f, 1234);
  ASSERT_GT(ogg.size(), 100u);
  EXPECT_EQ(std::string(ogg.begin(), ogg.begin() + 4), "OggS");
  EXPECT_EQ(ogg[14] | ogg[15] << 8 | ogg[16] << 16 | ogg[17] << 24,
            1234);  // the fixed serial number
  EXPECT_EQ(ogg, vpEncodeOggVorbis({left, right}, 44100, 0.3f, 1234));
  long rate = 0;
  std::vector<float> l, r;
  ASSERT_TRUE(vpTest::DecodeOgg(ogg, &rate, &l, &r));
  EXPECT_EQ(rate, 44100);
  ASSERT_EQ(l.size(), left.size());  // exactly the samples given
  double err = 0, sig = 0;
  for (size_t i = 1000; i < l.size() - 1000; ++i) {
    err += (l[i] - left[i]) * (l[i] - left[i]) + (r[i] - right[i]) * (r[i] - right[i]);
    sig += left[i] * left[i] + right[i] * right[i];
  }
  EXPECT_LT(err / sig, 0.01);  // better than 20 dB signal to noise
  EXPECT_TRUE(vpEncodeOggVorbis({}, 44100, 0.3f, 1).empty());
  EXPECT_TRUE(
      vpEncodeOggVorbis({{0.0f, 0.0f}, {0.0f}}, 44100, 0.3f, 1).empty());  // unequal lengths
}

}  // namespace
