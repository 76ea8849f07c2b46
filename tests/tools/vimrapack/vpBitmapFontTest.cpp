#include <gtest/gtest.h>

#include "graphics/kxFontReader.h"
#include "vpBitmapFont.h"
#include "vpTestSupport.h"

namespace {

TEST(vpBitmapFont, RecordsForEveryCodeReadBackWithTheEngine) {
  vpFontFace face;
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans-Bold.ttf"));
  vpBitmapFont font;
  ASSERT_TRUE(font.Build(face, 16, 0x17F));
  ASSERT_EQ(font.Count(), 0x180u);
  const std::vector<uint8_t> file = font.Serialize();

  TGlyph_s* glyphs = nullptr;
  uint64_t count = 0;
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), file.size(), &glyphs, &count));
  ASSERT_EQ(count, 0x180u);
  for (uint32_t c = 0; c < count; ++c) {
    const vpGlyph& g = font.Glyph(c);
    EXPECT_EQ(glyphs[c].width, g.width) << c;
    EXPECT_EQ(glyphs[c].height, g.height) << c;
    EXPECT_EQ(glyphs[c].advance, g.advance) << c;
    EXPECT_EQ(glyphs[c].top, g.top) << c;
    EXPECT_EQ(glyphs[c].left, g.left) << c;
  }
  // Control codes are empty and do not move the pen; letters have ink;
  // the space only advances.
  EXPECT_EQ(glyphs[10].width * glyphs[10].height, 0);
  EXPECT_EQ(glyphs[10].advance, 0);
  EXPECT_EQ(glyphs[0x20].width * glyphs[0x20].height, 0);
  EXPECT_GT(glyphs[0x20].advance, 0);
  for (uint32_t c : {uint32_t('A'), 0x104u, 0x141u, 0x17Cu}) {
    ASSERT_GT(glyphs[c].width * glyphs[c].height, 0) << c;
    int ink = 0;
    for (int i = 0; i < glyphs[c].width * glyphs[c].height; ++i) ink += glyphs[c].pixels[i] > 128;
    EXPECT_GT(ink, 5) << c;
  }
  // Rows top first: a capital's top reaches higher than a lowercase x's,
  // and the ogonek of Ą hangs below the baseline.
  EXPECT_GT(glyphs[uint32_t('H')].top, glyphs[uint32_t('x')].top);
  EXPECT_GT(glyphs[0x104].height - glyphs[0x104].top, 0);
  kxFreeFontGlyphs(glyphs, count);
}

TEST(vpBitmapFont, MeasuresAndLineHeightFollowTheEnginesRules) {
  vpFontFace face;
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans.ttf"));
  vpBitmapFont font;
  ASSERT_TRUE(font.Build(face, 11, 0x17F));
  EXPECT_EQ(font.TextWidth(u"ab"), font.Glyph('a').advance + font.Glyph('b').advance);
  EXPECT_EQ(font.TextWidth(u"a\u2600"), font.Glyph('a').advance);  // beyond the font: nothing
  // Walk the records as the engine does.
  float expected = 0;
  for (uint32_t c = 0; c < font.Count(); ++c)
    if (float(font.Glyph(c).top) > expected) expected = float(font.Glyph(c).height);
  EXPECT_EQ(font.LineHeight(), expected);
  EXPECT_GE(font.LineHeight(), 8.0f);
  EXPECT_LE(font.LineHeight(), 16.0f);
  EXPECT_TRUE(font.Prints(' '));
  EXPECT_FALSE(font.Prints('\n'));
  EXPECT_FALSE(font.Prints(0x180));
}

TEST(vpFontFace, MissingFilesAndGlyphsFail) {
  vpFontFace face;
  EXPECT_FALSE(face.Open("/nonexistent/font.ttf"));
  vpGlyph g;
  EXPECT_FALSE(face.Render('A', 12, &g));  // nothing open
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans.ttf"));
  EXPECT_TRUE(face.HasGlyph(0x2693));
  EXPECT_FALSE(face.HasGlyph(0xE000));  // private use: not in the font
  vpMask m;
  EXPECT_FALSE(face.RenderFitted(0xE000, 100, 100, &m));
  ASSERT_TRUE(face.RenderFitted(0x2693, 100, 60, &m));
  EXPECT_LE(m.Width(), 102);
  EXPECT_LE(m.Height(), 62);
  EXPECT_TRUE(m.Width() >= 95 || m.Height() >= 57);  // fills one side of the box
}

}  // namespace
