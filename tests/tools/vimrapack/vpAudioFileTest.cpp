#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

#include "vpAudioFile.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t o) {
  return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t o) { return uint16_t(b[o] | b[o + 1] << 8); }

TEST(vpAudioFile, WaveHeaderAndSamples) {
  const std::vector<float> left = {0.0f, 1.0f, -1.0f, 2.0f}, right = {0.5f, -0.5f, 0.0f, -3.0f};
  const std::vector<uint8_t> w = vpEncodeWav16({left, right}, 22050);
  ASSERT_EQ(w.size(), 44u + 4 * 2 * 2);
  EXPECT_EQ(std::memcmp(w.data(), "RIFF", 4), 0);
  EXPECT_EQ(U32(w, 4), w.size() - 8);
  EXPECT_EQ(std::memcmp(w.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(U16(w, 20), 1);        // PCM
  EXPECT_EQ(U16(w, 22), 2);        // channels
  EXPECT_EQ(U32(w, 24), 22050u);   // rate
  EXPECT_EQ(U32(w, 28), 22050u * 4);
  EXPECT_EQ(U16(w, 32), 4);        // block align
  EXPECT_EQ(U16(w, 34), 16);       // bits
  EXPECT_EQ(std::memcmp(w.data() + 36, "data", 4), 0);
  EXPECT_EQ(U32(w, 40), 16u);
  const int16_t* s = reinterpret_cast<const int16_t*>(w.data() + 44);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 16384);   // 0.5 rounded
  EXPECT_EQ(s[2], 32767);
  EXPECT_EQ(s[4], -32767);
  EXPECT_EQ(s[6], 32767);   // 2.0 clipped
  EXPECT_EQ(s[7], -32767);  // -3.0 clipped
}

// Decodes Ogg Vorbis bytes with libvorbisfile.
struct Memory {
  const std::vector<uint8_t>* bytes;
  size_t pos = 0;
};
size_t ReadCb(void* dst, size_t size, size_t n, void* src) {
  Memory* m = static_cast<Memory*>(src);
  const size_t want = size * n, left = m->bytes->size() - m->pos, got = std::min(want, left);
  std::memcpy(dst, m->bytes->data() + m->pos, got);
  m->pos += got;
  return size ? got / size : 0;
}

TEST(vpAudioFile, OggVorbisDecodesToTheSameSoundAndIsReproducible) {
  const int rate = 44100;
  std::vector<float> left(rate), right(rate);
  for (int i = 0; i < rate; ++i) {
    left[size_t(i)] = 0.5f * float(std::sin(6.283185307 * 440.0 * i / rate));
    right[size_t(i)] = 0.25f * float(std::sin(6.283185307 * 660.0 * i / rate));
  }
  const std::vector<uint8_t> ogg = vpEncodeOggVorbis({left, right}, rate, 0.3f, 1234);
  ASSERT_GT(ogg.size(), 100u);
  EXPECT_EQ(std::memcmp(ogg.data(), "OggS", 4), 0);
  EXPECT_EQ(U32(ogg, 14), 1234u);  // the fixed serial number
  EXPECT_EQ(ogg, vpEncodeOggVorbis({left, right}, rate, 0.3f, 1234));

  Memory mem{&ogg};
  OggVorbis_File vf;
  ov_callbacks cb = {ReadCb, nullptr, nullptr, nullptr};
  ASSERT_EQ(ov_open_callbacks(&mem, &vf, nullptr, 0, cb), 0);
  vorbis_info* vi = ov_info(&vf, -1);
  EXPECT_EQ(vi->channels, 2);
  EXPECT_EQ(vi->rate, rate);
  std::vector<float> l, r;
  int section;
  float** pcm;
  for (long got; (got = ov_read_float(&vf, &pcm, 4096, &section)) > 0;)
    for (long i = 0; i < got; ++i) l.push_back(pcm[0][i]), r.push_back(pcm[1][i]);
  ov_clear(&vf);
  ASSERT_EQ(l.size(), size_t(rate));  // exactly the samples given
  double err = 0, sig = 0;
  for (size_t i = 1000; i < l.size() - 1000; ++i) {
    err += (l[i] - left[i]) * (l[i] - left[i]) + (r[i] - right[i]) * (r[i] - right[i]);
    sig += left[i] * left[i] + right[i] * right[i];
  }
  EXPECT_LT(err / sig, 0.01);  // better than 20 dB signal to noise
}

TEST(vpAudioFile, OggRejectsBadChannelLayouts) {
  EXPECT_TRUE(vpEncodeOggVorbis({}, 44100, 0.3f, 1).empty());
  EXPECT_TRUE(vpEncodeOggVorbis({{0.0f, 0.0f}, {0.0f}}, 44100, 0.3f, 1).empty());
}

}  // namespace
