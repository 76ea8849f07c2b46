// Audio test helpers: crunched WAV files made in memory, and a fixture whose
// mixer writes to SDL's disk driver, so that what was played can be read back.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace kxAudioTest {

using Block = std::unique_ptr<kxMemoryBlock, decltype(&kxFreeMemoryBlock)>;

inline Block Crunch(std::vector<uint8_t> bytes) {
  kxMemoryBlock raw{bytes.data(), bytes.size()};
  return Block(kxCrunchMemoryBlock(&raw), &kxFreeMemoryBlock);
}

// A crunched RIFF WAVE file: 44100 Hz, 16-bit stereo sine of `amplitude`.
inline Block CrunchedWav(double seconds = 0.5, double frequency = 440.0, int amplitude = 12000) {
  const uint32_t frames = uint32_t(seconds * 44100), bytes = frames * 4;
  // "RIFF" size "WAVE" "fmt " 16 PCM/2 channels rate byte-rate 4/16-bit "data" size
  const uint32_t header[11] = {0x46464952, 36 + bytes, 0x45564157, 0x20746D66, 16,   0x00020001,
                               44100,      44100 * 4,  0x00100004, 0x61746164, bytes};
  std::vector<uint8_t> wav(44 + bytes);
  memcpy(wav.data(), header, 44);
  for (uint32_t i = 0; i < frames; ++i) {
    const int16_t s = int16_t(amplitude * std::sin(2.0 * M_PI * frequency * i / 44100));
    const int16_t frame[2] = {s, s};
    memcpy(&wav[44 + 4 * i], frame, 4);
  }
  return Crunch(wav);
}

// A block that expands fine but holds no sound file.
inline Block CrunchedJunk() {
  return Crunch(std::vector<uint8_t>(256, 0x5A));
}

// Steps from the ends of 0..128 and from outside it clamp into it; SetVolume
// itself passes anything through.
template <typename Player>
void ExpectVolumeStepsClamp(Player& player) {
  const int rows[][3] = {{64, 1, 65},    {64, -1, 63},  {128, 1, 128},     {0, -1, 0},
                         {200, -1, 199}, {200, 1, 128}, {INT_MAX, 1, 128}, {INT_MIN, -1, 0}};
  for (const auto& [start, step, after] : rows) {
    SCOPED_TRACE(std::to_string(start) + (step > 0 ? " up" : " down"));
    player.SetVolume(start);
    step > 0 ? player.VolumeUp() : player.VolumeDown();
    EXPECT_EQ(player.GetVolume(), after);
  }
}

// The mixer opened on the disk driver as the frame opens it; members of the
// test body are made after it and released before it.
class DiskMixerTest : public ::testing::Test {
 protected:
  DiskMixerTest() {
    path = "/tmp/kxaudio-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    open = SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) == 0;
  }
  ~DiskMixerTest() override {
    Close();
    remove(path.c_str());
  }
  void SetUp() override { ASSERT_TRUE(open) << SDL_GetError(); }

  // Lets the device write for `ms`, closes it and returns the loudest sample
  // it wrote (-1 when it wrote nothing).
  int PeakAfter(uint32_t ms) {
    SDL_Delay(ms);
    Close();
    int peak = -1;
    FILE* f = fopen(path.c_str(), "rb");
    for (int16_t s; f && fread(&s, 2, 1, f) == 1;) peak = std::max(peak, std::abs(int(s)));
    if (f) fclose(f);
    return peak;
  }

 private:
  void Close() {
    if (open) {
      Mix_CloseAudio();
      SDL_Quit();
    }
    open = false;
  }
  static inline int serial = 0;
  std::string path;
  bool open = false;
};

}  // namespace kxAudioTest
