// The generator refuses sources the game could not show properly, naming
// the problem, before it spends time on pictures and music.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "vpGenerator.h"
#include "vpTestSupport.h"

namespace fs = std::filesystem;

namespace {

class vpGeneratorSources : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("vpGeneratorTest." + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::copy(vpTest::AssetsDir(), dir, fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Replaces the first occurrence of `from` in a source file.
  void Edit(const std::string& file, const std::string& from, const std::string& to) {
    std::ifstream in(dir / file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(dir / file, std::ios::binary) << text;
  }
  std::string Failure() {
    vpGenerator g(dir.string(), vpTest::FontDir());
    std::string error;
    EXPECT_FALSE(g.Run(&error));
    // Checked before anything was made.
    EXPECT_TRUE(g.Pack().Entries().empty());
    return error;
  }
  fs::path dir;
};

TEST_F(vpGeneratorSources, ATypographicDashIsRefused) {
  Edit("texts/msg_english.txt", "Here is your card!", "Here \xE2\x80\x94 your card!");
  const std::string e = Failure();
  EXPECT_NE(e.find("msg_english"), std::string::npos) << e;
  EXPECT_NE(e.find("U+2014"), std::string::npos) << e;
}

TEST_F(vpGeneratorSources, ACaptionTooWideForItsButtonIsRefused) {
  Edit("texts/msg_polski.txt", "02|Wyjście|", "02|Zakończ rozgrywkę teraz|");
  const std::string e = Failure();
  EXPECT_NE(e.find("message 2 is too wide for a button"), std::string::npos) << e;
}

TEST_F(vpGeneratorSources, MissingMessagesAndBrokenNumberingAreRefused) {
  Edit("texts/msg_english.txt", "21|Hints|\n", "");
  EXPECT_NE(Failure().find("reads 22 messages, found 21"), std::string::npos);
  Edit("texts/msg_english.txt", "05|", "06|");
  EXPECT_NE(Failure().find("expected message 05"), std::string::npos);
}

TEST_F(vpGeneratorSources, TheAboutLineMustFitItsBox) {
  Edit("texts/msg_english.txt", "05|vimra, the twenty-one card trick|",
       "05|vimra, the twenty-one card trick, presented with a great deal of ceremony and words|");
  EXPECT_NE(Failure().find("About box line"), std::string::npos);
}

TEST_F(vpGeneratorSources, TheCardListNeeds21CardsWithGlyphs) {
  Edit("cards.txt", "U+2660     #C7B8EA      #2D1E5A        spade\n", "");
  EXPECT_NE(Failure().find("must list 21 cards, it lists 20"), std::string::npos);
  Edit("cards.txt", "U+2665 ", "U+E000 #C7B8EA #2D1E5A blank\nU+2665 ");
  EXPECT_NE(Failure().find("no glyph for the blank"), std::string::npos);
  Edit("cards.txt", "U+E000 #C7B8EA", "U+E000 C7B8EA");
  EXPECT_NE(Failure().find("card list line"), std::string::npos);
}

TEST_F(vpGeneratorSources, AMissingIncludeOrFontFolderIsNamed) {
  Edit("texts/licenses_polski.txt", "@include licenses/mit.txt", "@include licenses/none.txt");
  EXPECT_NE(Failure().find("licenses/none.txt"), std::string::npos);
  vpGenerator g(dir.string(), "/nonexistent-fonts");
  std::string error;
  EXPECT_FALSE(g.Run(&error));
  EXPECT_NE(error.find("/nonexistent-fonts"), std::string::npos);
}

}  // namespace
