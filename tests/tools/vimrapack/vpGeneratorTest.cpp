// The generator refuses sources the game could not show properly, naming
// the problem, before it spends time on pictures and music.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "vpGenerator.h"
#include "vpTestSupport.h"

namespace fs = std::filesystem;

TEST(vpGenerator, BrokenSourcesAreRefusedByNameBeforeAnythingIsMade) {
  const fs::path dir = fs::temp_directory_path() / ("vpGeneratorTest." + std::to_string(getpid()));
  const struct {
    const char *file, *from, *to, *error;
  } cases[] = {
      {"texts/msg_english.txt", "Here is your card!", "Here \xE2\x80\x94 your card!",
       "msg_english.txt: character U+2014"},
      {"texts/msg_polski.txt", "02|Zakończ|", "02|Zakończ rozgrywkę teraz|",
       "message 2 is too wide for a button"},
      {"texts/msg_english.txt", "21|Hints|\n", "", "reads 22 messages, found 21"},
      {"texts/msg_english.txt", "05|", "06|", "expected message 05"},
      {"texts/msg_english.txt", "05|vimra, the twenty-one card trick|",
       "05|vimra, the twenty-one card trick, presented with a great deal of ceremony and words|",
       "About box line"},
      {"cards.txt", "U+2660     #C7B8EA      #2D1E5A        spade\n", "",
       "must list 21 cards, it lists 20"},
      {"cards.txt", "U+2660     #C7B8EA      #2D1E5A        spade\n",
       "U+E000 #C7B8EA #2D1E5A blank\n", "no glyph for the blank"},
      {"cards.txt", "U+2660     #C7B8EA", "U+2660     C7B8EA", "card list line"},
      {"texts/licenses_polski.txt", "@include licenses/mit.txt", "@include licenses/none.txt",
       "licenses/none.txt"},
      {"cards.txt", "", "", "/nonexistent-fonts"},  // a missing font folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    fs::remove_all(dir);
    fs::copy(vpTest::kAssetsDir, dir, fs::copy_options::recursive);
    const std::vector<uint8_t> bytes = vpTest::ReadFile((dir / c.file).string());
    std::string text(bytes.begin(), bytes.end());
    const size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    std::ofstream(dir / c.file, std::ios::binary) << text.replace(at, std::strlen(c.from), c.to);
    const bool fontsMissing = std::string(c.error) == "/nonexistent-fonts";
    vpGenerator g(dir.string(), fontsMissing ? c.error : vpTest::kFontDir);
    std::string error;
    EXPECT_FALSE(g.Run(&error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_TRUE(g.Pack().Entries().empty());
  }
  fs::remove_all(dir);
}
