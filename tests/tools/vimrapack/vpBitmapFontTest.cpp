#include <gtest/gtest.h>

#include "graphics/kxFontReader.h"
#include "vpBitmapFont.h"
#include "vpTestSupport.h"

namespace {

TEST(vpBitmapFont, RecordsForEveryCodeReadBackWithTheEngine) {
  vpFontFace face;
  vpBitmapFont font;
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans-Bold.ttf") && font.Build(face, 16, 0x17F));
  const std::vector<uint8_t> file = font.Serialize();
  TGlyph_s* glyphs = nullptr;
  uint64_t count = 0;
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), file.size(), &glyphs, &count));
  ASSERT_EQ(count, 0x180u);
  for (uint32_t c = 0; c < count; ++c) {
    const vpGlyph& g = font.Glyph(c);
    const TGlyph_s& r = glyphs[c];
    EXPECT_TRUE(r.width == g.width && r.height == g.height && r.advance == g.advance && r.top == g.top &&
                r.left == g.left && std::equal(g.pixels.begin(), g.pixels.end(), r.pixels))
        << c;
  }
  // Control codes are empty and do not move the pen, a space only advances, letters have ink.
  EXPECT_EQ(glyphs[10].width * glyphs[10].height + glyphs[10].advance, 0);
  EXPECT_TRUE(glyphs[0x20].width * glyphs[0x20].height == 0 && glyphs[0x20].advance > 0);
  for (uint32_t c : {uint32_t('A'), 0x104u, 0x141u, 0x17Cu})
    EXPECT_GT(std::count_if(glyphs[c].pixels, glyphs[c].pixels + glyphs[c].width * glyphs[c].height,
                            [](uint8_t v) { return v > 128; }), 5) << c;
  // Rows top first: H reaches higher than x, and the ogonek of Ą hangs below the baseline.
  EXPECT_GT(glyphs[uint32_t('H')].top, glyphs[uint32_t('x')].top);
  EXPECT_GT(glyphs[0x104].height, glyphs[0x104].top);
  kxFreeFontGlyphs(glyphs, count);
}

TEST(vpBitmapFont, MeasuresAndLineHeightFollowTheEnginesRules) {
  vpFontFace face;
  vpBitmapFont font;
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans.ttf") && font.Build(face, 11, 0x17F));
  EXPECT_EQ(font.TextWidth(u"ab"), font.Glyph('a').advance + font.Glyph('b').advance);
  EXPECT_EQ(font.TextWidth(u"a\u2600"), font.Glyph('a').advance);  // beyond the font: nothing
  float expected = 0;  // walk the records as the engine does
  for (uint32_t c = 0; c < font.Count(); ++c)
    if (float(font.Glyph(c).top) > expected) expected = float(font.Glyph(c).height);
  EXPECT_EQ(font.LineHeight(), expected);
  EXPECT_TRUE(font.LineHeight() >= 8.0f && font.LineHeight() <= 16.0f) << font.LineHeight();
  EXPECT_TRUE(font.Prints(' ') && !font.Prints('\n') && !font.Prints(0x180));
}

TEST(vpFontFace, MissingFilesAndGlyphsFail) {
  vpFontFace face;
  vpGlyph g;
  vpMask m;
  EXPECT_FALSE(face.Open("/nonexistent/font.ttf"));
  EXPECT_FALSE(face.Render('A', 12, &g));  // nothing open
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans.ttf"));
  EXPECT_TRUE(face.HasGlyph(0x2693));
  EXPECT_FALSE(face.HasGlyph(0xE000) || face.RenderFitted(0xE000, 100, 100, &m));  // private use
  ASSERT_TRUE(face.RenderFitted(0x2693, 100, 60, &m));
  EXPECT_TRUE(m.Width() <= 102 && m.Height() <= 62 && (m.Width() >= 95 || m.Height() >= 57))
      << m.Width() << "x" << m.Height();  // fills one side of the box
}

}  // namespace
