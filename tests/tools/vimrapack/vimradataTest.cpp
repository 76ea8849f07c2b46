// The resource pack as the default build makes it: every key of the game,
// each entry in the form its consumer expects, within the size budget, and
// made again byte for byte from the same sources.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <unistd.h>

#include "data/kxString.h"
#include "data/kxStringArray.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxMeshReader.h"
#include "graphics/kxTGA.h"
#include "vpTestSupport.h"

namespace {

class vimradata : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pack = new kxResource();
    loaded = pack->ReadFromFile(vpTest::PackPath().c_str());
  }
  static void TearDownTestSuite() { delete pack; }
  void SetUp() override { ASSERT_TRUE(loaded) << "cannot read " << vpTest::PackPath(); }

  static bool Image(const std::string& key, kxTGAImage* image) {
    bool ok = false;
    const std::vector<uint8_t> bytes = vpTest::Expanded(*pack, key, &ok);
    return ok && kxDecodeTGA(bytes.data(), bytes.size(), image);
  }

  static kxResource* pack;
  static bool loaded;
};
kxResource* vimradata::pack = nullptr;
bool vimradata::loaded = false;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  uint8_t buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

TEST_F(vimradata, HoldsEveryGameKeyAsACrunchedBlockAndNothingElse) {
  const std::vector<std::string> keys = vpTest::GameKeys();
  std::set<std::string> names;
  for (uint64_t i = 0; i < pack->Length(); ++i) names.insert(pack->GetName(i));
  EXPECT_EQ(names.size(), pack->Length()) << "a name appears twice";
  EXPECT_EQ(pack->Length(), keys.size());
  for (const std::string& k : keys) {
    bool ok = false;
    const std::vector<uint8_t> raw = vpTest::Expanded(*pack, k, &ok);
    EXPECT_TRUE(ok) << k << " is missing or not a crunched block";
    EXPECT_FALSE(raw.empty()) << k;
  }
  // Budget: the whole pack under 6 MiB.
  EXPECT_LT(ReadFile(vpTest::PackPath()).size(), 6u * 1024 * 1024);
}

#ifdef VP_KXPACK
TEST_F(vimradata, PassesThePackVerifier) {
  const std::string cmd = std::string(VP_KXPACK) + " verify " + vpTest::PackPath() + " > /dev/null";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}
#endif

TEST_F(vimradata, GeneratingAgainGivesTheSameBytes) {
  const std::string out = vpTest::BinDir() + "/vimradata-again." + std::to_string(getpid()) + ".bin";
  const std::string cmd = std::string(VP_GENERATOR) + " " + vpTest::AssetsDir() + " " +
                          vpTest::FontDir() + " " + out + " > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::vector<uint8_t> again = ReadFile(out);
  std::remove(out.c_str());
  const std::vector<uint8_t> built = ReadFile(vpTest::PackPath());
  ASSERT_FALSE(built.empty());
  EXPECT_TRUE(again == built) << "sizes " << again.size() << " and " << built.size();
}

TEST_F(vimradata, PicturesDecodeWithTheirSizesAndDepths) {
  struct Expect {
    std::string key;
    uint32_t w, h, bpp;
  };
  std::vector<Expect> all = {{"texture_star_01", 128, 128, 4}, {"vimra_logo", 512, 256, 4},
                             {"vimra_logo_low", 128, 64, 4}};
  for (int i = 0; i <= 20; ++i) {
    all.push_back({"texture_" + std::to_string(i), 512, 512, 3});
    all.push_back({"texture_" + std::to_string(i) + "_low", 128, 128, 3});
  }
  for (const char* c : {"cloud01", "cloud02", "cloud03"}) {
    all.push_back({c, 512, 256, 4});
    all.push_back({std::string(c) + "_low", 128, 64, 4});
  }
  for (const char* colour : {"blue", "green", "red"})
    for (const char* state : {"passive", "active", "pushed"})
      all.push_back({std::string("button_") + colour + "_" + state, 128, 32, 4});
  for (const Expect& e : all) {
    kxTGAImage img{};
    ASSERT_TRUE(Image(e.key, &img)) << e.key;
    EXPECT_EQ(img.width, e.w) << e.key;
    EXPECT_EQ(img.height, e.h) << e.key;
    EXPECT_EQ(img.bytesPerPixel, e.bpp) << e.key;
    if (e.bpp == 4 && e.key.compare(0, 7, "button_") != 0) {
      // Sprites fade out before their edges (the textures repeat).
      int edgeAlpha = 0;
      for (uint32_t x = 0; x < img.width; ++x)
        edgeAlpha += img.pixels[x * 4 + 3] + img.pixels[((img.height - 1) * img.width + x) * 4 + 3];
      for (uint32_t y = 0; y < img.height; ++y)
        edgeAlpha += img.pixels[y * img.width * 4 + 3] + img.pixels[(y * img.width + img.width - 1) * 4 + 3];
      EXPECT_EQ(edgeAlpha, 0) << e.key;
    }
    kxFreeTGAImage(&img);
  }
}

TEST_F(vimradata, ButtonsHaveRoundCornersAndStatesDifferInBrightness) {
  for (const char* colour : {"blue", "green", "red"}) {
    double mean[3] = {0, 0, 0};
    int s = 0;
    for (const char* state : {"passive", "active", "pushed"}) {
      kxTGAImage img{};
      ASSERT_TRUE(Image(std::string("button_") + colour + "_" + state, &img));
      EXPECT_EQ(img.pixels[3], 0) << colour << state;                      // a corner is cut
      EXPECT_EQ(img.pixels[(16 * 128 + 64) * 4 + 3], 255) << colour << state;  // the middle is solid
      for (uint32_t i = 0; i < 128 * 32; ++i)
        mean[s] += (img.pixels[i * 4] + img.pixels[i * 4 + 1] + img.pixels[i * 4 + 2]) / 3.0 / (128 * 32);
      kxFreeTGAImage(&img);
      ++s;
    }
    EXPECT_GT(mean[1], mean[0]) << colour;  // active is lighter
    EXPECT_LT(mean[2], mean[0]) << colour;  // pushed is darker
    EXPECT_LT(mean[1], 200.0) << colour;    // and still dark enough under white text
  }
}

TEST_F(vimradata, EveryCardFaceLooksDifferentFromEveryOther) {
  // Compare the faces at the low resolution, pixel by pixel.
  std::vector<std::vector<int>> faces;
  for (int i = 0; i <= 20; ++i) {
    kxTGAImage img{};
    ASSERT_TRUE(Image("texture_" + std::to_string(i) + "_low", &img));
    std::vector<int> face;
    for (uint32_t y = 0; y < 128; ++y)
      for (uint32_t x = 0; x < 64; ++x)
        for (int c = 0; c < 3; ++c) face.push_back(img.pixels[(y * 128 + x) * 3 + uint32_t(c)]);
    faces.push_back(face);
    kxFreeTGAImage(&img);
  }
  for (size_t a = 0; a < faces.size(); ++a)
    for (size_t b = a + 1; b < faces.size(); ++b) {
      double diff = 0;
      for (size_t k = 0; k < faces[a].size(); ++k) diff += std::abs(faces[a][k] - faces[b][k]);
      EXPECT_GT(diff / double(faces[a].size()), 20.0) << "cards " << a << " and " << b;
    }
}

TEST_F(vimradata, CardMeshesLoadAsThinCardsOfTheTableSize) {
  uint64_t faces[2] = {0, 0};
  int k = 0;
  for (const char* key : {"box", "box_low"}) {
    bool ok = false;
    const std::vector<uint8_t> bytes = vpTest::Expanded(*pack, key, &ok);
    ASSERT_TRUE(ok) << key;
    kxMeshLists m;
    kxInitMeshLists(&m);
    ASSERT_TRUE(kxReadMeshBlock(bytes.data(), bytes.size(), &m)) << key;
    faces[k++] = m.faceCount;
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (uint64_t f = 0; f < m.faceCount; ++f) {
      ASSERT_TRUE(kxFaceFits(&m.faces[f], m.vertexCount, m.normalCount, m.texCoordCount)) << key;
      for (int c = 0; c < 3; ++c) {
        const float* v = m.vertices[m.faces[f].vertex[c]];
        const float* n = m.normals[m.faces[f].normal[c]];
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5) << key;
        for (int i = 0; i < 3; ++i) lo[i] = std::fmin(lo[i], v[i]), hi[i] = std::fmax(hi[i], v[i]);
      }
    }
    // The game scales cards by 5 onto a 2.5-unit grid.
    EXPECT_NEAR((hi[0] - lo[0]) * 5, 1.6f, 0.05f) << key;
    EXPECT_NEAR((hi[1] - lo[1]) * 5, 2.3f, 0.05f) << key;
    EXPECT_LT((hi[2] - lo[2]) * 5, 0.1f) << key;
    kxFreeMeshLists(&m);
  }
  EXPECT_LT(faces[1], faces[0]);
}

// Lines of a text entry, checked for CR LF line ends on the way.
std::vector<std::u16string> TextLines(const kxResource& pack, const std::string& key) {
  std::vector<std::u16string> lines;
  bool ok = false;
  const std::vector<uint8_t> raw = vpTest::Expanded(pack, key, &ok);
  EXPECT_TRUE(ok) << key;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n') {
      EXPECT_TRUE(i > 0 && raw[i - 1] == '\r') << key << " has a bare LF at " << i;
    }
    if (raw[i] == '\r') {
      EXPECT_TRUE(i + 1 < raw.size() && raw[i + 1] == '\n') << key << " has a bare CR at " << i;
    }
  }
  kxStringArray array;
  kxMemoryBlock* block = pack.Get(key.c_str());
  EXPECT_TRUE(array.LoadFromCrunchedMemoryBlock(block)) << key;
  for (uint64_t i = 0; i < array.GetLinesCounf(); ++i) {
    const kxWChar* s = array.GetLine(i).GetString();
    lines.push_back(s ? std::u16string(s) : std::u16string());
  }
  return lines;
}

TEST_F(vimradata, EveryCharacterOfEveryTextHasAGlyphInBothFonts) {
  TGlyph_s* fonts[2] = {nullptr, nullptr};
  uint64_t counts[2] = {0, 0};
  for (int f = 0; f < 2; ++f) {
    bool ok = false;
    const std::vector<uint8_t> bytes = vpTest::Expanded(*pack, f == 0 ? "arial" : "ss10", &ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(kxReadFontGlyphs(bytes.data(), bytes.size(), &fonts[f], &counts[f]));
    EXPECT_GE(counts[f], 0x180u);  // both languages print
  }
  std::set<char16_t> seen;
  for (const char* language : {"english", "polski"})
    for (const char* text : {"msg_", "licenses_", "howtoplay_"}) {
      const std::string key = text + std::string(language);
      for (const std::u16string& line : TextLines(*pack, key))
        for (char16_t c : line) {
          seen.insert(c);
          for (int f = 0; f < 2; ++f) {
            ASSERT_LT(uint64_t(c), counts[f]) << key << ": U+" << std::hex << int(c);
            const TGlyph_s& g = fonts[f][c];
            if (c == u' ' || c == 0xA0) {
              EXPECT_GT(g.advance, 0);
            } else {
              EXPECT_GT(g.width * g.height, 0) << key << ": U+" << std::hex << int(c);
            }
          }
        }
    }
  // The Polish letters are among them.
  for (char16_t c : std::u16string(u"ąćęłńóśźż")) EXPECT_TRUE(seen.count(c)) << int(c);
  for (int f = 0; f < 2; ++f) kxFreeFontGlyphs(fonts[f], counts[f]);
}

TEST_F(vimradata, MessagesFollowTheLineTable) {
  for (const char* language : {"english", "polski"}) {
    const std::vector<std::u16string> msg = TextLines(*pack, std::string("msg_") + language);
    ASSERT_GE(msg.size(), 22u) << language;
    // Lines 4 and 10 run into the version and the platform name.
    EXPECT_EQ(msg[4].back(), u' ') << language;
    EXPECT_EQ(msg[10].back(), u' ') << language;
    for (size_t i = 0; i < 22; ++i) EXPECT_FALSE(msg[i].empty()) << language << " line " << i;
  }
  // Both languages say different things (the Polish texts are not copies).
  const std::vector<std::u16string> en = TextLines(*pack, "msg_english");
  const std::vector<std::u16string> pl = TextLines(*pack, "msg_polski");
  EXPECT_NE(en[19], pl[19]);
  for (const char* kind : {"howtoplay_", "licenses_"}) {
    EXPECT_GT(TextLines(*pack, std::string(kind) + "english").size(), 5u);
    EXPECT_GT(TextLines(*pack, std::string(kind) + "polski").size(), 5u);
  }
}

}  // namespace
