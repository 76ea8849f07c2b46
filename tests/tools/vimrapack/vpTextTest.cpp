#include <gtest/gtest.h>

#include "vpFontFace.h"
#include "vpTestSupport.h"
#include "vpText.h"

namespace {

TEST(vpText, Utf8DecodesStrictly) {
  std::u32string t;
  ASSERT_TRUE(vpDecodeUTF8("a\xC4\x85\xE2\x98\x80\xF0\x9F\x82\xA1", &t));
  EXPECT_EQ(t, std::u32string(U"a\u0105\u2600\U0001F0A1"));
  EXPECT_EQ(vpEncodeUTF8(t), "a\xC4\x85\xE2\x98\x80\xF0\x9F\x82\xA1");
  const char* bad[] = {"\xC4", "\xE2\x98", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80",
                       "\xF4\x90\x80\x80", "\x80", "\xFF", "a\xC4z"};
  for (const char* b : bad) EXPECT_FALSE(vpDecodeUTF8(b, &t)) << b;
}

TEST(vpText, MessagesKeepSpacesAndCountWithoutGaps) {
  std::vector<std::u32string> m;
  std::string error;
  ASSERT_TRUE(vpParseMessages("# head\n00|Start|\n\n01| version |\r\n02||\n", &m, &error)) << error;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[1], U" version ");
  EXPECT_EQ(m[2], U"");
  EXPECT_FALSE(vpParseMessages("00|a|\n02|b|\n", &m, &error));  // gap
  EXPECT_NE(error.find("line 2"), std::string::npos);
  EXPECT_FALSE(vpParseMessages("00|a\n", &m, &error));          // no closing bar
  EXPECT_FALSE(vpParseMessages("0|a|\n", &m, &error));           // not two digits
  EXPECT_FALSE(vpParseMessages("00|\xC4|\n", &m, &error));       // bad UTF-8
}

TEST(vpText, LinesEndWithCrLf) {
  const std::vector<uint8_t> b = vpJoinLines({U"a\u0142", U""});
  EXPECT_EQ(std::string(b.begin(), b.end()), "a\xC5\x82\r\n\r\n");
}

class vpTextFont : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    face = new vpFontFace();
    ASSERT_TRUE(face->Open(vpTest::FontDir() + "/DejaVuSans.ttf"));
    font = new vpBitmapFont();
    ASSERT_TRUE(font->Build(*face, 11, 0x17F));
  }
  static void TearDownTestSuite() {
    delete font;
    delete face;
  }
  static vpFontFace* face;
  static vpBitmapFont* font;
};
vpFontFace* vpTextFont::face = nullptr;
vpBitmapFont* vpTextFont::font = nullptr;

TEST_F(vpTextFont, WrappingFitsTheWidthAndKeepsEveryWord) {
  const std::u32string para =
      U"Twenty-one cards lie on the table in three rows of seven; choose one of them in your mind.";
  for (int width : {80, 150, 300, 2000}) {
    SCOPED_TRACE(width);
    const std::vector<std::u32string> lines = vpWrapText(para, *font, width);
    std::u32string joined;
    for (const std::u32string& l : lines) {
      EXPECT_LE(vpTextWidth(l, *font), width) << vpEncodeUTF8(l);
      EXPECT_FALSE(l.empty());
      EXPECT_NE(l.back(), U' ');
      joined += (joined.empty() ? U"" : U" ") + l;
    }
    EXPECT_EQ(joined, para);
    if (width == 2000) {
      EXPECT_EQ(lines.size(), 1u);
    }
    if (width == 80) {
      EXPECT_GT(lines.size(), 5u);
    }
  }
}

TEST_F(vpTextFont, BlankLinesBulletsAndLongWords) {
  const std::vector<std::u32string> lines =
      vpWrapText(U"Title\n\n- one two three four five six\nabcdefghijklmnopqrstuvwxyz\n", *font, 80);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], U"Title");
  EXPECT_EQ(lines[1], U"");
  EXPECT_EQ(lines[2].substr(0, 2), U"- ");
  EXPECT_EQ(lines[3].substr(0, 2), U"  ");  // hanging indent under the bullet
  EXPECT_NE(lines[3][2], U' ');
  // The long word is cut into pieces that each fit.
  std::u32string word;
  for (size_t i = 3; i < lines.size(); ++i)
    if (lines[i][0] != U' ') word += lines[i];
  EXPECT_EQ(word, U"abcdefghijklmnopqrstuvwxyz");
  for (const std::u32string& l : lines) EXPECT_LE(vpTextWidth(l, *font), 80);
}

TEST_F(vpTextFont, OnlyCharactersTheFontsDrawArePrintable) {
  std::string error;
  EXPECT_TRUE(vpCheckPrintable(U"Zażółć gęślą jaźń ŁÓDŹ (c) 2026!", {font}, &error)) << error;
  EXPECT_FALSE(vpCheckPrintable(U"a \u2014 b", {font}, &error));  // dash beyond U+017F
  EXPECT_NE(error.find("U+2014"), std::string::npos);
  EXPECT_FALSE(vpCheckPrintable(U"tab\there", {font}, &error));  // control character
  EXPECT_FALSE(vpCheckPrintable(U"\u201Equote\u201D", {font}, &error));
}

}  // namespace
