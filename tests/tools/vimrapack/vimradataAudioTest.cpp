// The pack's music and chime: decoded by SDL_mixer from memory, played
// through SDL's disk audio driver, and measured.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "vimraPackKeys.h"
#include "vpTestSupport.h"

namespace {

std::vector<uint8_t> Entry(const char* key) {
  kxResource pack;
  bool ok = pack.ReadFromFile(vpTest::kPackPath.c_str());
  std::vector<uint8_t> bytes = vpTest::Expanded(pack, key, &ok);
  EXPECT_TRUE(ok) << key;
  return bytes;
}

// Plays the entry through SDL_mixer on the disk driver for `ms` and returns
// the share of loud samples among those written (0 when nothing played).
double LoudShareOnDisk(const char* key, bool music, int ms) {
  const std::string file = vpTest::kBinDir + "/vimradata-audio." + std::to_string(getpid());
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  const std::vector<uint8_t> bytes = Entry(key);
  if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) != 0) {
    ADD_FAILURE() << SDL_GetError();
    return 0;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  Mix_Music* tune = music ? Mix_LoadMUS_RW(rw, 0) : nullptr;
  Mix_Chunk* chunk = music ? nullptr : Mix_LoadWAV_RW(rw, 0);
  EXPECT_TRUE(music ? Mix_GetMusicType(tune) == MUS_OGG : chunk != nullptr) << Mix_GetError();
  // A chime lasts 0.2 to 2 seconds once converted to 44.1 kHz stereo 16-bit.
  EXPECT_TRUE(!chunk || (chunk->alen > 44100u * 4 / 5 && chunk->alen < 2u * 44100 * 4));
  const bool playing =
      music ? tune && Mix_PlayMusic(tune, -1) == 0 : chunk && Mix_PlayChannel(-1, chunk, 0) >= 0;
  SDL_Delay(playing ? Uint32(ms) : 0);
  Mix_CloseAudio();
  Mix_FreeMusic(tune);
  Mix_FreeChunk(chunk);
  SDL_FreeRW(rw);
  SDL_Quit();
  const std::vector<uint8_t> raw = vpTest::ReadFile(file);
  std::remove(file.c_str());
  size_t loud = 0;
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    loud += std::abs(int16_t(raw[i] | raw[i + 1] << 8)) > 1000;
  EXPECT_GT(raw.size() / 2, 44100u / 4) << "the device wrote too little";
  return raw.empty() ? 0 : double(loud) / double(raw.size() / 2);
}

TEST(vimradataAudio, MusicAndChimeLoadFromMemoryAndPlaySound) {
  EXPECT_GT(LoudShareOnDisk(vimraKeyMusic, true, 800), 0.1);
  EXPECT_GT(LoudShareOnDisk(vimraKeyChoiceSound, false, 600), 0.02);  // over 1000 of ~53 000
}

TEST(vimradataMusic, CalmStereoLoopOfTheRightLengthWithoutASeam) {
  long rate = 0;
  std::vector<float> l, r;
  ASSERT_TRUE(vpTest::DecodeOgg(Entry(vimraKeyMusic), &rate, &l, &r));
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
