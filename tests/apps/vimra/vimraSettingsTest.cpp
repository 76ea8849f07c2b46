// The settings file image: layout, defaults and the checks applied to every
// value read from disk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "vimraChoices.h"
#include "vimraSettings.h"

namespace {

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutFloat(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutU32(p, bits);
}

float GetFloat(const uint8_t* p) {
  uint32_t bits = GetU32(p);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

// A valid image with recognisable values in every field.
void MakeImage(uint8_t* image) {
  std::memset(image, 0, 48);
  const float colours[6] = {0.25f, 0.5f, 0.75f, 0.125f, 0.375f, 0.625f};
  for (int k = 0; k < 3; ++k) {
    PutFloat(image + 4 * k, colours[k]);
    PutFloat(image + 16 + 4 * k, colours[3 + k]);
  }
  PutFloat(image + 12, 1.0f);
  PutFloat(image + 28, 1.0f);
  PutU32(image + 32, 1);
  image[36] = 0;
  image[37] = 1;
  image[38] = 0;
  PutU32(image + 40, 100);
  PutU32(image + 44, 7);
}

}  // namespace

TEST(vimraSettings, DefaultsAreAFirstStart) {
  vimraSettings s;
  EXPECT_EQ(ChoicesOf(s), kFirstStartChoices);
  EXPECT_FLOAT_EQ(s.bottom[0], 0.889129638671875f);
  EXPECT_FLOAT_EQ(s.bottom[2], 0.13458251953125f);
  EXPECT_FLOAT_EQ(s.top[1], 0.404876708984375f);
}

TEST(vimraSettings, EncodeWritesTheFileLayout) {
  vimraSettings s;
  s.bottom[0] = 0.1f;
  s.bottom[1] = 0.2f;
  s.bottom[2] = 0.3f;
  s.top[0] = 0.4f;
  s.top[1] = 0.5f;
  s.top[2] = 0.6f;
  SetChoices(&s, {1, false, true, false, 99, 3});
  uint8_t image[48];
  std::memset(image, 0xAA, sizeof image);
  s.Encode(image);
  EXPECT_FLOAT_EQ(GetFloat(image + 0), 0.1f);
  EXPECT_FLOAT_EQ(GetFloat(image + 4), 0.2f);
  EXPECT_FLOAT_EQ(GetFloat(image + 8), 0.3f);
  EXPECT_FLOAT_EQ(GetFloat(image + 12), 1.0f);
  EXPECT_FLOAT_EQ(GetFloat(image + 16), 0.4f);
  EXPECT_FLOAT_EQ(GetFloat(image + 20), 0.5f);
  EXPECT_FLOAT_EQ(GetFloat(image + 24), 0.6f);
  EXPECT_FLOAT_EQ(GetFloat(image + 28), 1.0f);
  EXPECT_EQ(GetU32(image + 32), 1u);
  EXPECT_EQ(image[36], 0);
  EXPECT_EQ(image[37], 1);
  EXPECT_EQ(image[38], 0);
  EXPECT_EQ(image[39], 0);
  EXPECT_EQ(GetU32(image + 40), 99u);
  EXPECT_EQ(GetU32(image + 44), 3u);
}

TEST(vimraSettings, DecodeReadsEveryFieldAndRoundTrips) {
  uint8_t image[48];
  MakeImage(image);
  vimraSettings s;
  ASSERT_TRUE(s.Decode(image, 48, 2));
  // The 1.0 values and the padding byte are not read.
  image[12] = image[28] = 0xFF;
  image[39] = 0xEE;
  ASSERT_TRUE(s.Decode(image, 48, 2));
  MakeImage(image);
  EXPECT_FLOAT_EQ(s.bottom[0], 0.25f);
  EXPECT_FLOAT_EQ(s.bottom[1], 0.5f);
  EXPECT_FLOAT_EQ(s.bottom[2], 0.75f);
  EXPECT_FLOAT_EQ(s.top[0], 0.125f);
  EXPECT_FLOAT_EQ(s.top[1], 0.375f);
  EXPECT_FLOAT_EQ(s.top[2], 0.625f);
  EXPECT_EQ(ChoicesOf(s), (Choices{1, false, true, false, 100, 7}));

  uint8_t again[48];
  s.Encode(again);
  EXPECT_EQ(0, std::memcmp(image, again, 48));
}

TEST(vimraSettings, ImagesOfAnyOtherSizeAreIgnored) {
  uint8_t image[49];
  MakeImage(image);
  image[48] = 0;
  for (uint64_t size : {uint64_t(0), uint64_t(47), uint64_t(49)}) {
    vimraSettings s;
    EXPECT_FALSE(s.Decode(image, size, 2)) << size;
    EXPECT_EQ(s.language, 0) << size;
    EXPECT_TRUE(s.highQuality) << size;
    EXPECT_EQ(s.musicVolume, 64) << size;
    EXPECT_FLOAT_EQ(s.bottom[0], 0.889129638671875f) << size;
  }
  vimraSettings s;
  EXPECT_FALSE(s.Decode(nullptr, 48, 2));
}

TEST(vimraSettings, LanguageOutsideTheTableGivesTheFirst) {
  for (uint32_t stored : {2u, 7u, 0xFFFFFFFFu, 0x80000000u}) {
    uint8_t image[48];
    MakeImage(image);
    PutU32(image + 32, stored);
    vimraSettings s;
    s.language = 1;
    ASSERT_TRUE(s.Decode(image, 48, 2));
    EXPECT_EQ(s.language, 0) << stored;
  }
}

TEST(vimraSettings, SwitchBytesAreTruthValues) {
  uint8_t image[48];
  MakeImage(image);
  image[36] = 0x02;
  image[37] = 0xFF;
  image[38] = 0x80;
  vimraSettings s;
  ASSERT_TRUE(s.Decode(image, 48, 2));
  EXPECT_TRUE(s.highQuality);
  EXPECT_TRUE(s.musicOn);
  EXPECT_TRUE(s.hintsOn);
  // A switch read from a byte of 2 is written back as 1.
  uint8_t out[48];
  s.Encode(out);
  EXPECT_EQ(out[36], 1);
  EXPECT_EQ(out[37], 1);
  EXPECT_EQ(out[38], 1);
  image[36] = image[37] = image[38] = 0;
  ASSERT_TRUE(s.Decode(image, 48, 2));
  EXPECT_FALSE(s.highQuality);
  EXPECT_FALSE(s.musicOn);
  EXPECT_FALSE(s.hintsOn);
}

TEST(vimraSettings, VolumesAreClamped) {
  const struct {
    int32_t stored;
    int expected;
  } cases[] = {{-1, 0},    {-2147483647 - 1, 0}, {0, 0},  {128, 128},
               {129, 128}, {2147483647, 128},    {77, 77}};
  for (const auto& c : cases) {
    uint8_t image[48];
    MakeImage(image);
    PutU32(image + 40, uint32_t(c.stored));
    PutU32(image + 44, uint32_t(c.stored));
    vimraSettings s;
    ASSERT_TRUE(s.Decode(image, 48, 2));
    EXPECT_EQ(s.musicVolume, c.expected) << c.stored;
    EXPECT_EQ(s.sampleVolume, c.expected) << c.stored;
  }
}

TEST(vimraSettings, BadColourKeepsTheCurrentColours) {
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(),
                       -0.01f,
                       1.01f,
                       1e30f};
  for (int component = 0; component < 6; ++component) {
    for (float value : bad) {
      uint8_t image[48];
      MakeImage(image);
      int offset = component < 3 ? 4 * component : 16 + 4 * (component - 3);
      PutFloat(image + offset, value);
      vimraSettings s;
      ASSERT_TRUE(s.Decode(image, 48, 2));
      EXPECT_FLOAT_EQ(s.bottom[0], 0.889129638671875f) << component << " " << value;
      EXPECT_FLOAT_EQ(s.bottom[1], 0.629486083984375f);
      EXPECT_FLOAT_EQ(s.top[2], 0.7286376953125f);
      // The other fields are still taken.
      EXPECT_EQ(s.language, 1);
      EXPECT_EQ(s.musicVolume, 100);
    }
  }
  // The edges of the range are colours.
  uint8_t image[48];
  MakeImage(image);
  PutFloat(image + 0, 0.0f);
  PutFloat(image + 24, 1.0f);
  vimraSettings s;
  ASSERT_TRUE(s.Decode(image, 48, 2));
  EXPECT_EQ(s.bottom[0], 0.0f);
  EXPECT_EQ(s.top[2], 1.0f);
}
