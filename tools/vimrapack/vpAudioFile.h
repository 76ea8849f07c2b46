// Audio file writers of the pack generator: Ogg Vorbis through libvorbisenc
// (variable bit rate, a fixed stream serial number so that the bytes depend
// on the samples alone) and 16-bit PCM RIFF WAVE.
#pragma once

#include <cstdint>
#include <vector>

// Ogg Vorbis of the channels (1 or 2, equal lengths) at `quality` -0.1..1.
// Empty on any encoder failure.
std::vector<uint8_t> vpEncodeOggVorbis(const std::vector<std::vector<float>>& channels,
                                       int sampleRate, float quality, uint32_t serialNumber);

// WAVE with 16-bit little-endian samples, channels interleaved; samples
// are clipped to -1..1 and rounded.
std::vector<uint8_t> vpEncodeWav16(const std::vector<std::vector<float>>& channels, int sampleRate);
