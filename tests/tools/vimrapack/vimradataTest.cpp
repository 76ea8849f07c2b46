// The resource pack as the default build makes it: every key of the game,
// each entry in the form its consumer expects, within the size budget, and
// made again byte for byte from the same sources.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <set>

#include "data/kxString.h"
#include "data/kxStringArray.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxTGA.h"
#include "vimraPackKeys.h"
#include "vpTestSupport.h"

namespace {

class vimradata : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pack.ReadFromFile(vpTest::kPackPath.c_str())); }
  // The decoded picture; the test fails when it does not decode.
  kxTGAImage Image(const std::string& key) {
    kxTGAImage image{};
    const std::vector<uint8_t> bytes = vpTest::Expanded(pack, key);
    EXPECT_TRUE(kxDecodeTGA(bytes.data(), bytes.size(), &image)) << key;
    return image;
  }
  // Lines of a text entry as the game reads them, checking for CR LF ends.
  std::vector<std::u16string> Lines(const std::string& key) {
    const std::vector<uint8_t> raw = vpTest::Expanded(pack, key);
    for (size_t i = 0; i < raw.size(); ++i)
      EXPECT_TRUE((raw[i] != '\n' || (i > 0 && raw[i - 1] == '\r')) &&
                  (raw[i] != '\r' || (i + 1 < raw.size() && raw[i + 1] == '\n')))
          << key << ": a bare CR or LF at " << i;
    kxStringArray array;
    EXPECT_TRUE(array.LoadFromCrunchedMemoryBlock(pack.Get(key.c_str()))) << key;
    std::vector<std::u16string> lines;
    for (uint64_t i = 0; i < array.GetLinesCounf(); ++i)
      lines.push_back(array.GetLine(i).GetString() ? array.GetLine(i).GetString() : u"");
    return lines;
  }
  kxResource pack;
};

TEST_F(vimradata, HoldsEveryGameKeyCrunchedAndNothingElseWithinBudget) {
  const std::vector<std::string> keys = vimraEveryPackKey();
  std::set<std::string> names;
  for (uint64_t i = 0; i < pack.Length(); ++i) names.insert(pack.GetName(i));
  EXPECT_EQ(names.size(), pack.Length()) << "a name appears twice";
  EXPECT_EQ(names, std::set<std::string>(keys.begin(), keys.end()));
  for (const std::string& k : keys) {
    bool ok = false;
    EXPECT_FALSE(vpTest::Expanded(pack, k, &ok).empty() || !ok) << k << " is empty or not crunched";
  }
  EXPECT_LT(vpTest::ReadFile(vpTest::kPackPath).size(), 6u * 1024 * 1024);
#ifdef VP_KXPACK
  EXPECT_EQ(std::system(
                (std::string(VP_KXPACK) + " verify " + vpTest::kPackPath + " >/dev/null").c_str()),
            0);
#endif
}

TEST_F(vimradata, GeneratingAgainGivesTheSameBytes) {
  const std::string out = vpTest::kBinDir + "/vimradata-again." + std::to_string(getpid()) + ".bin";
  const std::string cmd = std::string(VP_GENERATOR) + " " + vpTest::kAssetsDir + " " +
                          vpTest::kFontDir + " " + out + " > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::vector<uint8_t> again = vpTest::ReadFile(out),
                             built = vpTest::ReadFile(vpTest::kPackPath);
  std::remove(out.c_str());
  EXPECT_TRUE(!built.empty() && again == built)
      << "sizes " << again.size() << " and " << built.size();
}

// Every picture decodes at its size and depth; sprites (which repeat) have a
// clear rim; buttons have cut corners and states lighter and darker; every
// card face differs clearly from every other, and all share one back.
TEST_F(vimradata, PicturesHaveTheirSizesAndLooks) {
  struct Kind {
    std::string prefix;
    uint32_t w, h, bpp;
  };
  const Kind kinds[] = {{"texture_star", 128, 128, 4},
                        {"texture_", 512, 512, 3},
                        {"cloud", 512, 256, 4},
                        {"vimra_logo", 512, 256, 4},
                        {"button_", 128, 32, 4}};
  std::map<std::string, double> mean;       // of each button
  std::vector<std::vector<uint8_t>> faces;  // of the low cards
  std::vector<uint8_t> backs;
  for (const std::string& key : vimraEveryPackKey())
    for (const Kind& k : kinds) {
      if (key.compare(0, k.prefix.size(), k.prefix) != 0) continue;
      SCOPED_TRACE(key);
      const uint32_t scale = key.find("_low") != std::string::npos ? 4 : 1;
      // A rendering for a larger GUI scale ("@2x") is that many times larger.
      const size_t at = key.find('@');
      const uint32_t density = at != std::string::npos ? uint32_t(key[at + 1] - '0') : 1;
      kxTGAImage img = Image(key);
      ASSERT_TRUE(img.width == k.w * density / scale && img.height == k.h * density / scale &&
                  img.bytesPerPixel == k.bpp)
          << img.width << "x" << img.height << "x" << img.bytesPerPixel;
      auto alpha = [&](uint32_t x, uint32_t y) { return img.pixels[(y * img.width + x) * 4 + 3]; };
      if (k.prefix == "button_") {
        // A corner cut, the middle solid.
        EXPECT_TRUE(alpha(0, 0) == 0 && alpha(img.width / 2, img.height / 2) == 255);
        const uint32_t texels = img.width * img.height;
        for (uint32_t i = 0; i < texels * 4; ++i)
          mean[key] += i % 4 == 3 ? 0 : double(img.pixels[i]) / (density * density);
      } else if (k.bpp == 4) {
        int rim = 0;
        for (uint32_t x = 0; x < img.width; ++x) rim += alpha(x, 0) + alpha(x, img.height - 1);
        for (uint32_t y = 0; y < img.height; ++y) rim += alpha(0, y) + alpha(img.width - 1, y);
        EXPECT_EQ(rim, 0);
      } else if (scale == 4) {  // the face in the left half, the back in the right
        faces.emplace_back();
        std::vector<uint8_t> back;
        for (uint32_t y = 0; y < 128; ++y) {
          faces.back().insert(faces.back().end(), img.pixels + y * 384, img.pixels + y * 384 + 192);
          back.insert(back.end(), img.pixels + y * 384 + 192, img.pixels + y * 384 + 384);
        }
        if (backs.empty()) backs = back;
        EXPECT_TRUE(back == backs) << "every card has the same back";
      }
      kxFreeTGAImage(&img);
      break;
    }
  for (const std::string c : {"button_blue_", "button_green_", "button_red_"})
    for (const std::string d : {"", "@2x", "@3x"})
      EXPECT_TRUE(mean[c + "pushed" + d] < mean[c + "passive" + d] &&
                  mean[c + "passive" + d] < mean[c + "active" + d] &&
                  mean[c + "active" + d] < 200.0 * 3 * 128 * 32)  // still dark under white text
          << c << d;
  ASSERT_EQ(faces.size(), 21u);
  for (size_t a = 0; a < faces.size(); ++a)
    for (size_t b = a + 1; b < faces.size(); ++b) {
      double diff = 0;
      for (size_t i = 0; i < faces[a].size(); ++i) diff += std::abs(faces[a][i] - faces[b][i]);
      EXPECT_GT(diff / double(faces[a].size()), 20.0) << "cards " << a << " and " << b;
    }
}

TEST_F(vimradata, EveryCharacterOfEveryTextHasAGlyphInBothFonts) {
  TGlyph_s* fonts[2] = {nullptr, nullptr};
  uint64_t counts[2] = {0, 0};
  for (int f = 0; f < 2; ++f) {
    const std::vector<uint8_t> bytes =
        vpTest::Expanded(pack, f == 0 ? vimraKeyLargeFont : vimraKeySmallFont);
    ASSERT_TRUE(kxReadFontGlyphs(bytes.data(), bytes.size(), &fonts[f], &counts[f]));
  }
  std::set<char16_t> seen;
  for (const std::string& key : vimraEveryPackKey())
    if (key.find("english") != std::string::npos || key.find("polski") != std::string::npos)
      for (const std::u16string& line : Lines(key))
        for (char16_t c : line) {
          seen.insert(c);
          for (int f = 0; f < 2; ++f) {
            ASSERT_LT(uint64_t(c), counts[f]) << key << ": U+" << std::hex << int(c);
            const TGlyph_s& g = fonts[f][c];  // a bitmap, or an advance for a space
            EXPECT_GT(c == u' ' || c == 0xA0 ? g.advance : g.width * g.height, 0)
                << key << ": U+" << std::hex << int(c) << " in font " << f;
          }
        }
  for (char16_t c : std::u16string(u"ąćęłńóśźż")) EXPECT_TRUE(seen.count(c)) << int(c);
  for (int f = 0; f < 2; ++f) kxFreeFontGlyphs(fonts[f], counts[f]);
}

TEST_F(vimradata, MessagesFollowTheLineTable) {
  std::vector<std::u16string> msg[2];
  for (int l = 0; l < 2; ++l) {
    const std::string language = vimraPackLanguages[l];
    msg[l] = Lines(vimraKeyMessagesPrefix + language);
    ASSERT_GE(msg[l].size(), 22u) << language;
    for (size_t i = 0; i < 22; ++i) EXPECT_FALSE(msg[l][i].empty()) << language << " line " << i;
    // Lines 4 and 10 run into the version and the platform name.
    EXPECT_TRUE(msg[l][4].back() == u' ' && msg[l][10].back() == u' ') << language;
    EXPECT_GT(Lines(vimraKeyHowToPlayPrefix + language).size(), 5u);
    EXPECT_GT(Lines(vimraKeyLicensesPrefix + language).size(), 5u);
  }
  EXPECT_NE(msg[0][19], msg[1][19]);  // the Polish texts are not copies
}

}  // namespace
