// Audio test helpers: short WAV files made in memory and crunched, and a
// mixer opened on SDL's disk driver so that what was played can be read back
// as PCM from a file.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace kxAudioTest {

struct BlockDeleter {
  void operator()(kxMemoryBlock* block) const { kxFreeMemoryBlock(block); }
};
using Block = std::unique_ptr<kxMemoryBlock, BlockDeleter>;

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// A RIFF WAVE file: 44100 Hz, 16-bit stereo sine of `amplitude`.
inline std::vector<uint8_t> MakeWav(double seconds, double frequency, int amplitude) {
  const uint32_t rate = 44100;
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  const uint32_t dataBytes = frames * 4;
  std::vector<uint8_t> wav;
  PutTag(wav, "RIFF");
  Put32(wav, 36 + dataBytes);
  PutTag(wav, "WAVE");
  PutTag(wav, "fmt ");
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 2);
  Put32(wav, rate);
  Put32(wav, rate * 4);
  Put16(wav, 4);
  Put16(wav, 16);
  PutTag(wav, "data");
  Put32(wav, dataBytes);
  for (uint32_t i = 0; i < frames; ++i) {
    int16_t s = static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
    Put16(wav, static_cast<uint16_t>(s));
    Put16(wav, static_cast<uint16_t>(s));
  }
  return wav;
}

inline Block Crunch(const std::vector<uint8_t>& bytes) {
  kxMemoryBlock raw{const_cast<uint8_t*>(bytes.data()), bytes.size()};
  return Block(kxCrunchMemoryBlock(&raw));
}

inline Block CrunchedWav(double seconds = 0.5, double frequency = 440.0, int amplitude = 12000) {
  return Crunch(MakeWav(seconds, frequency, amplitude));
}

// A block that expands fine but holds no sound file.
inline Block CrunchedJunk() {
  std::vector<uint8_t> junk(256);
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 7 + 3);
  return Crunch(junk);
}

// The mixer on the disk driver, opened as the frame opens it. Close() stops
// the device and returns every sample it wrote.
class DiskMixer {
 public:
  DiskMixer() {
    path = "/tmp/kxaudio-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    open = SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) == 0;
  }
  ~DiskMixer() {
    Shutdown();
    remove(path.c_str());
  }
  DiskMixer(const DiskMixer&) = delete;
  DiskMixer& operator=(const DiskMixer&) = delete;

  bool IsOpen() const { return open; }

  // Lets the device write for a while; the output is read after Close.
  void Listen(uint32_t ms) { SDL_Delay(ms); }

  std::vector<int16_t> Close() {
    Shutdown();
    std::vector<int16_t> samples;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return samples;
    int16_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, sizeof(int16_t), 4096, f)) > 0) samples.insert(samples.end(), buffer, buffer + n);
    fclose(f);
    return samples;
  }

 private:
  void Shutdown() {
    if (!open) return;
    Mix_CloseAudio();
    SDL_Quit();
    open = false;
  }

  static inline int serial = 0;
  std::string path;
  bool open = false;
};

inline int Peak(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

}  // namespace kxAudioTest
