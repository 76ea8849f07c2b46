// The pack's music and chime: decoded by SDL_mixer from memory, played
// through SDL's disk audio driver, and measured.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "vpTestSupport.h"

namespace {

std::vector<uint8_t> Entry(const char* key) {
  kxResource pack;
  bool ok = pack.ReadFromFile(vpTest::PackPath().c_str());
  std::vector<uint8_t> bytes = vpTest::Expanded(pack, key, &ok);
  EXPECT_TRUE(ok) << key;
  return bytes;
}

// Audio open on the disk driver; Loud() closes it and counts the loud
// 16-bit samples written (all of them in *total).
class DiskAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
  }
  void TearDown() override { Mix_CloseAudio(), SDL_Quit(), std::remove(file.c_str()); }
  size_t Loud(size_t* total) {
    Mix_CloseAudio();
    const std::vector<uint8_t> raw = vpTest::ReadFile(file);
    size_t n = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
      n += std::abs(int16_t(raw[i] | raw[i + 1] << 8)) > 1000;
    *total = raw.size() / 2;
    return n;
  }
  const std::string file =
      vpTest::BinDir() + "/vimradata-audio." + std::to_string(getpid()) + ".raw";
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
  size_t total = 0;
  const size_t loud = Loud(&total);
  ASSERT_GT(total, 44100u / 4);
  EXPECT_GT(loud, total / 10);
}

TEST_F(DiskAudio, ChimeIsAShortSampleThatPlaysSound) {
  const std::vector<uint8_t> wav = Entry("choicesnd02");
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1);
  ASSERT_NE(chunk, nullptr) << Mix_GetError();
  // 0.2 to 2 seconds once converted to 44.1 kHz stereo 16-bit.
  EXPECT_TRUE(chunk->alen > 44100u * 4 / 5 && chunk->alen < 2u * 44100 * 4) << chunk->alen;
  ASSERT_GE(Mix_PlayChannel(-1, chunk, 0), 0);
  SDL_Delay(600);
  size_t total = 0;
  EXPECT_GT(Loud(&total), 1000u);
  Mix_FreeChunk(chunk);
}

TEST(vimradataMusic, CalmStereoLoopOfTheRightLengthWithoutASeam) {
  long rate = 0;
  std::vector<float> l, r;
  ASSERT_TRUE(vpTest::DecodeOgg(Entry("bkgsnd03"), &rate, &l, &r));
  ASSERT_EQ(rate, 44100);
  EXPECT_TRUE(l.size() >= 45u * 44100 && l.size() <= 90u * 44100) << l.size();
  for (size_t s = 0; s + 44100 <= l.size(); s += 44100) {  // every second moderately loud
    double e = 0;
    for (size_t i = s; i < s + 44100; ++i) e += l[i] * l[i] + r[i] * r[i];
    EXPECT_TRUE(std::sqrt(e / 88200) > 0.03 && std::sqrt(e / 88200) < 0.5)
        << "second " << s / 44100;
  }
  // The jump from the last sample back to the first is no larger than the
  // steps the wave takes around it.
  for (const std::vector<float>* p : {&l, &r}) {
    const std::vector<float>& v = *p;
    float local = 0;
    for (size_t i = 1, n = v.size(); i < 64; ++i)
      local = std::fmax(local,
                        std::fmax(std::fabs(v[i] - v[i - 1]), std::fabs(v[n - i] - v[n - i - 1])));
    EXPECT_LE(std::fabs(v[0] - v.back()), 1.5f * local + 0.002f);
  }
}

}  // namespace
