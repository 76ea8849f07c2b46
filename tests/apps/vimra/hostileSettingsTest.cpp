// Damaged settings files, exhaustively: every byte of a valid file set to
// each of four telling values, every float slot holding NaN or an infinity,
// every size from 0 to 100 bytes, and a folder in the file's place. Whatever
// the file holds, the values the game starts with are in range, and the file
// written back from them is a valid 48-byte image that reads back unchanged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "vimraChoices.h"
#include "vimraColorTable.h"
#include "vimraGame.h"
#include "vimraGameTestSupport.h"
#include "vimraLanguages.h"
#include "vimraSettings.h"

namespace fs = std::filesystem;

namespace {

const int kLanguages = vimraLanguageCount();

// A valid image with values unlike the defaults in every field.
std::vector<uint8_t> ValidImage() {
  vimraSettings s;
  for (int k = 0; k < 3; ++k) {
    s.bottom[k] = 0.125f * float(k + 1);
    s.top[k] = 0.25f * float(k + 1);
  }
  SetChoices(&s, {1, false, false, true, 100, 3});
  std::vector<uint8_t> image(vimraSettings::kFileSize);
  s.Encode(image.data());
  return image;
}

// Why decoded settings are out of range; empty when they are in range.
std::string Insane(const vimraSettings& s) {
  for (int k = 0; k < 3; ++k) {
    for (float c : {s.bottom[k], s.top[k]}) {
      if (!std::isfinite(c) || c < 0.0f || c > 1.0f) return "colour " + std::to_string(c);
    }
  }
  if (s.language < 0 || s.language >= kLanguages) return "language " + std::to_string(s.language);
  if (s.musicVolume < 0 || s.musicVolume > 128) return "music volume";
  if (s.sampleVolume < 0 || s.sampleVolume > 128) return "sample volume";
  return std::string();
}

// Decodes `image` over the defaults, checks the result is sane, and that
// writing it and reading that back changes nothing.
void ExpectSaneAndStable(const std::vector<uint8_t>& image, const std::string& what) {
  vimraSettings s;
  s.Decode(image.data(), image.size(), kLanguages);
  ASSERT_EQ(Insane(s), "") << what;
  uint8_t written[vimraSettings::kFileSize];
  s.Encode(written);
  vimraSettings again;
  ASSERT_TRUE(again.Decode(written, sizeof written, kLanguages)) << what;
  uint8_t rewritten[vimraSettings::kFileSize];
  again.Encode(rewritten);
  ASSERT_EQ(0, std::memcmp(written, rewritten, sizeof written)) << what;
  // The fields the reader ignores are written as the layout says.
  float one;
  std::memcpy(&one, written + 12, 4);
  EXPECT_EQ(one, 1.0f) << what;
  std::memcpy(&one, written + 28, 4);
  EXPECT_EQ(one, 1.0f) << what;
  EXPECT_EQ(written[39], 0) << what;
  for (int b = 36; b < 39; ++b) EXPECT_LE(written[b], 1) << what;
}

}  // namespace

TEST(hostileSettings, EveryByteAtEveryTellingValue) {
  const std::vector<uint8_t> good = ValidImage();
  int tried = 0;
  for (size_t at = 0; at < good.size(); ++at) {
    for (uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
      std::vector<uint8_t> image = good;
      image[at] = value;
      ExpectSaneAndStable(image, "byte " + std::to_string(at) + " = " + std::to_string(value));
      ++tried;
    }
  }
  EXPECT_EQ(tried, 192);
}

TEST(hostileSettings, NonFiniteFloatsLeaveTheColoursAsTheyWere) {
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::signaling_NaN(),
                       -std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::denorm_min(),
                       -0.0f,
                       1.0000001f};
  const std::vector<uint8_t> good = ValidImage();
  for (int slot = 0; slot < 8; ++slot) {
    for (float value : odd) {
      std::vector<uint8_t> image = good;
      std::memcpy(&image[4 * slot], &value, 4);
      const std::string what = "slot " + std::to_string(slot) + " = " + std::to_string(value);
      ExpectSaneAndStable(image, what);
      vimraSettings s;
      ASSERT_TRUE(s.Decode(image.data(), image.size(), kLanguages));
      const bool colourSlot = slot != 3 && slot != 7;
      const bool takeable = std::isfinite(value) && value >= 0.0f && value <= 1.0f;
      if (colourSlot && !takeable) {
        // One bad component keeps all six current (built-in) components.
        EXPECT_EQ(s.bottom[0], vimraBuiltInBackdropColor(bcBottom)[0]) << what;
        EXPECT_EQ(s.top[2], vimraBuiltInBackdropColor(bcTop)[2]) << what;
      } else {
        EXPECT_EQ(s.bottom[0], slot == 0 ? value : 0.125f) << what;
        EXPECT_EQ(s.top[2], slot == 6 ? value : 0.75f) << what;
      }
      // The other fields are read all the same.
      EXPECT_EQ(s.language, 1) << what;
      EXPECT_EQ(s.musicVolume, 100) << what;
    }
  }
}

TEST(hostileSettings, EverySizeButFortyEightIsIgnored) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> good = ValidImage();
    bytes.insert(bytes.end(), good.begin(), good.end());
  }
  for (size_t size = 0; size <= 100; ++size) {
    std::vector<uint8_t> image(bytes.begin(), bytes.begin() + long(size));
    vimraSettings s;
    const bool taken = s.Decode(image.data(), image.size(), kLanguages);
    EXPECT_EQ(taken, size == 48) << size;
    if (!taken) {
      EXPECT_EQ(s.language, 0) << size;
      EXPECT_EQ(s.musicVolume, 64) << size;
      EXPECT_EQ(s.bottom[1], vimraBuiltInBackdropColor(bcBottom)[1]) << size;
    }
    ExpectSaneAndStable(image, "size " + std::to_string(size));
  }
}

// The game object reads and writes the file in its working folder.
class hostileSettingsFile : public InTempDir {};

// Opens the settings the game took to the test.
class SettingsProbe : public vimraGame {
 public:
  using vimraGame::hintsOn;
  using vimraGame::language;
  using vimraGame::musicVolume;
  using vimraGame::sampleVolume;
};

TEST_F(hostileSettingsFile, AFolderInThePlaceOfTheFileGivesTheDefaultsAndSurvivesTheSave) {
  fs::create_directory(dir / "vimraconfig.bin");
  SettingsProbe game;
  EXPECT_EQ(game.language, 0);
  EXPECT_EQ(game.musicVolume, 64);
  EXPECT_EQ(game.sampleVolume, 64);
  EXPECT_EQ(vimraBackdropColor(bcBottom)[0], vimraBuiltInBackdropColor(bcBottom)[0]);
  game.SaveSettings();
  EXPECT_TRUE(fs::is_directory(dir / "vimraconfig.bin"));
}

TEST_F(hostileSettingsFile, ADamagedFileIsReplacedByAValidOneOnSave) {
  // Every colour NaN, language and volumes far out of range, switch bytes 0xFF.
  std::vector<uint8_t> image(48, 0xFF);
  {
    FILE* f = fopen("vimraconfig.bin", "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite(image.data(), 1, image.size(), f), image.size());
    fclose(f);
  }
  {
    SettingsProbe game;
    EXPECT_EQ(game.language, 0);
    EXPECT_EQ(game.musicVolume, 0);  // -1 clamped
    EXPECT_TRUE(game.hintsOn);
    EXPECT_TRUE(std::isfinite(vimraBackdropColor(bcTop)[0]));
    game.SaveSettings();
  }
  ASSERT_EQ(fs::file_size(dir / "vimraconfig.bin"), 48u);
  std::vector<uint8_t> written(48);
  FILE* f = fopen("vimraconfig.bin", "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(fread(written.data(), 1, 48, f), 48u);
  fclose(f);
  ExpectSaneAndStable(written, "the file written back");
  vimraSettings s;
  ASSERT_TRUE(s.Decode(written.data(), 48, kLanguages));
  EXPECT_EQ(s.bottom[2], vimraBuiltInBackdropColor(bcBottom)[2]);
}
