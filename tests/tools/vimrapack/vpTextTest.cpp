#include <gtest/gtest.h>

#include "vpFontFace.h"
#include "vpTestSupport.h"
#include "vpText.h"

namespace {

TEST(vpText, Utf8DecodesStrictlyMessagesCountWithoutGapsLinesEndWithCrLf) {
  std::u32string t;
  ASSERT_TRUE(vpDecodeUTF8("a\xC4\x85\xE2\x98\x80\xF0\x9F\x82\xA1", &t));
  EXPECT_EQ(t, std::u32string(U"a\u0105\u2600\U0001F0A1"));
  EXPECT_EQ(vpEncodeUTF8(t), "a\xC4\x85\xE2\x98\x80\xF0\x9F\x82\xA1");
  for (const char* b : {"\xC4", "\xE2\x98", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80",
                        "\xF4\x90\x80\x80", "\x80", "\xFF", "a\xC4z"})
    EXPECT_FALSE(vpDecodeUTF8(b, &t)) << b;
  std::vector<std::u32string> m;
  std::string error;
  ASSERT_TRUE(vpParseMessages("# head\n00|Start|\n\n01| version |\r\n02||\n", &m, &error)) << error;
  EXPECT_EQ(m, (std::vector<std::u32string>{U"Start", U" version ", U""}));
  EXPECT_TRUE(!vpParseMessages("00|a|\n02|b|\n", &m, &error) &&
              error.find("line 2") != std::string::npos);
  for (const char* bad :
       {"00|a\n", "0|a|\n", "00|\xC4|\n"})  // no closing bar, one digit, bad UTF-8
    EXPECT_FALSE(vpParseMessages(bad, &m, &error)) << bad;
  const std::vector<uint8_t> b = vpJoinLines({U"a\u0142", U""});
  EXPECT_EQ(std::string(b.begin(), b.end()), "a\xC5\x82\r\n\r\n");
}

class vpTextFont : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (face.Open(vpTest::kFontDir + "/DejaVuSans.ttf")) font.Build(face, 11, 0x17F);
  }
  void SetUp() override { ASSERT_EQ(font.Count(), 0x180u); }
  static vpFontFace face;
  static vpBitmapFont font;
};
vpFontFace vpTextFont::face;
vpBitmapFont vpTextFont::font;

TEST_F(vpTextFont, WrappingFitsTheWidthAndKeepsEveryWord) {
  const std::u32string para =
      U"Twenty-one cards lie on the table in three rows of seven; choose one of them in your mind.";
  for (int width : {80, 150, 300, 2000}) {
    SCOPED_TRACE(width);
    const std::vector<std::u32string> lines = vpWrapText(para, font, width);
    std::u32string joined;
    for (const std::u32string& l : lines) {
      EXPECT_TRUE(vpTextWidth(l, font) <= width && !l.empty() && l.back() != U' ')
          << vpEncodeUTF8(l);
      joined += (joined.empty() ? U"" : U" ") + l;
    }
    EXPECT_EQ(joined, para);
    EXPECT_TRUE((width != 2000 || lines.size() == 1) && (width != 80 || lines.size() > 5));
  }
  // Blank lines stay, bullets get a hanging indent, a long word is cut into pieces that fit.
  const std::vector<std::u32string> lines =
      vpWrapText(U"Title\n\n- one two three four five six\nabcdefghijklmnopqrstuvwxyz\n", font, 80);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(std::vector<std::u32string>(lines.begin(), lines.begin() + 2),
            (std::vector<std::u32string>{U"Title", U""}));
  EXPECT_TRUE(lines[2].substr(0, 2) == U"- " && lines[3].find_first_not_of(U' ') == 2)
      << vpEncodeUTF8(lines[3]);
  std::u32string word;
  for (size_t i = 3; i < lines.size(); ++i) word += lines[i][0] != U' ' ? lines[i] : U"";
  EXPECT_EQ(word, U"abcdefghijklmnopqrstuvwxyz");
  for (const std::u32string& l : lines) EXPECT_LE(vpTextWidth(l, font), 80);
}

TEST_F(vpTextFont, OnlyCharactersTheFontsDrawArePrintable) {
  std::string error;
  EXPECT_TRUE(vpCheckPrintable(U"Zażółć gęślą jaźń ŁÓDŹ (c) 2026!", {&font}, &error)) << error;
  EXPECT_TRUE(!vpCheckPrintable(U"a \u2014 b", {&font}, &error) &&
              error.find("U+2014") != std::string::npos);
  for (const char32_t* bad : {U"tab\there", U"\u201Equote\u201D"})
    EXPECT_FALSE(vpCheckPrintable(bad, {&font}, &error));
}

}  // namespace
