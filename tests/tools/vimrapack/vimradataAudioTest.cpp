// The pack's music and chime: decoded by SDL_mixer from memory, played
// through SDL's disk audio driver, and measured.
#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "vpTestSupport.h"

namespace {

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

std::vector<uint8_t> Entry(const char* key) {
  kxResource pack;
  EXPECT_TRUE(pack.ReadFromFile(vpTest::PackPath().c_str()));
  bool ok = false;
  std::vector<uint8_t> bytes = vpTest::Expanded(pack, key, &ok);
  EXPECT_TRUE(ok) << key;
  return bytes;
}

// Plays through the disk driver and returns the 16-bit samples written.
class DiskAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    file = vpTest::BinDir() + "/vimradata-audio." + std::to_string(getpid()) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
    open = true;
  }
  void TearDown() override {
    if (open) Mix_CloseAudio();
    SDL_Quit();
    std::remove(file.c_str());
  }
  std::vector<int16_t> Written() {
    Mix_CloseAudio();
    open = false;
    std::vector<int16_t> out;
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return out;
    int16_t buf[4096];
    for (size_t n; (n = std::fread(buf, 2, 4096, f)) > 0;) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
  }
  static int Loud(const std::vector<int16_t>& s) {
    int n = 0;
    for (int16_t v : s) n += std::abs(int(v)) > 1000;
    return n;
  }
  std::string file;
  bool open = false;
};

TEST_F(DiskAudio, MusicLoadsFromMemoryAndPlaysSound) {
  const std::vector<uint8_t> ogg = Entry("bkgsnd03");
  SDL_RWops* rw = SDL_RWFromConstMem(ogg.data(), int(ogg.size()));
  Mix_Music* music = Mix_LoadMUS_RW(rw, 0);
  ASSERT_NE(music, nullptr) << Mix_GetError();
  EXPECT_EQ(Mix_GetMusicType(music), MUS_OGG);
  ASSERT_EQ(Mix_PlayMusic(music, -1), 0);
  SDL_Delay(800);
  Mix_HaltMusic();
  Mix_FreeMusic(music);
  SDL_FreeRW(rw);
  const std::vector<int16_t> pcm = Written();
  ASSERT_GT(pcm.size(), 44100u / 4);
  EXPECT_GT(Loud(pcm), int(pcm.size() / 10));
}

TEST_F(DiskAudio, ChimeLoadsAsASampleAndPlaysSound) {
  const std::vector<uint8_t> wav = Entry("choicesnd02");
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1);
  ASSERT_NE(chunk, nullptr) << Mix_GetError();
  // Short: under two seconds of 44.1 kHz stereo 16-bit after conversion.
  EXPECT_GT(chunk->alen, 44100u * 4 / 5);
  EXPECT_LT(chunk->alen, 2u * 44100 * 4);
  ASSERT_GE(Mix_PlayChannel(-1, chunk, 0), 0);
  SDL_Delay(600);
  const std::vector<int16_t> pcm = Written();
  Mix_FreeChunk(chunk);
  EXPECT_GT(Loud(pcm), 1000);
}

TEST(vimradataMusic, CalmStereoLoopOfTheRightLengthWithoutASeam) {
  const std::vector<uint8_t> ogg = Entry("bkgsnd03");
  Memory mem{&ogg};
  OggVorbis_File vf;
  ov_callbacks cb = {ReadCb, nullptr, nullptr, nullptr};
  ASSERT_EQ(ov_open_callbacks(&mem, &vf, nullptr, 0, cb), 0);
  const vorbis_info* vi = ov_info(&vf, -1);
  EXPECT_EQ(vi->rate, 44100);
  EXPECT_EQ(vi->channels, 2);
  std::vector<float> l, r;
  int section;
  float** pcm;
  for (long got; (got = ov_read_float(&vf, &pcm, 4096, &section)) > 0;)
    for (long i = 0; i < got; ++i) l.push_back(pcm[0][i]), r.push_back(pcm[1][i]);
  ov_clear(&vf);
  const double seconds = double(l.size()) / 44100.0;
  EXPECT_GE(seconds, 45.0);
  EXPECT_LE(seconds, 90.0);

  // Never silent and never shouting: every second keeps a moderate level.
  const size_t sec = 44100;
  for (size_t s = 0; s + sec <= l.size(); s += sec) {
    double e = 0;
    for (size_t i = s; i < s + sec; ++i) e += l[i] * l[i] + r[i] * r[i];
    const double rms = std::sqrt(e / (2.0 * sec));
    EXPECT_GT(rms, 0.03) << "second " << s / sec;
    EXPECT_LT(rms, 0.5) << "second " << s / sec;
  }
  // The jump from the last sample back to the first is no larger than the
  // steps the wave takes around it.
  const size_t n = l.size();
  for (const std::vector<float>* ch : {&l, &r}) {
    const std::vector<float>& v = *ch;
    float local = 0;
    for (size_t i = 1; i < 64; ++i)
      local = std::fmax(local, std::fmax(std::fabs(v[i] - v[i - 1]), std::fabs(v[n - i] - v[n - i - 1])));
    EXPECT_LE(std::fabs(v[0] - v[n - 1]), 1.5f * local + 0.002f);
  }
}

}  // namespace
