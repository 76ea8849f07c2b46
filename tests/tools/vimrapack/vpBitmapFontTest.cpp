#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/kxFontReader.h"
#include "vpBitmapFont.h"
#include "vpTestSupport.h"

namespace {

TEST(vpBitmapFont, RecordsForEveryCodeReadBackWithTheEngine) {
  vpFontFace face;
  vpBitmapFont font;
  ASSERT_TRUE(face.Open(vpTest::kFontDir + "/DejaVuSans-Bold.ttf") && font.Build(face, 16, 0x17F));
  const std::vector<uint8_t> file = font.Serialize();
  TGlyph_s* glyphs = nullptr;
  uint64_t count = 0;
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), file.size(), &glyphs, &count));
  ASSERT_EQ(count, 0x180u);
  for (uint32_t c = 0; c < count; ++c) {
    const vpGlyph& g = font.Glyph(c);
    const TGlyph_s& r = glyphs[c];
    EXPECT_TRUE(r.width == g.width && r.height == g.height && r.advance == g.advance &&
                r.top == g.top && r.left == g.left &&
                std::equal(g.pixels.begin(), g.pixels.end(), r.pixels))
        << c;
  }
  // Control codes neither draw nor move the pen, a space only advances, letters
  // have ink; rows top first: H reaches above x, the ogonek of Ą below the baseline.
  EXPECT_EQ(glyphs[10].width * glyphs[10].height + glyphs[10].advance, 0);
  EXPECT_TRUE(glyphs[0x20].width * glyphs[0x20].height == 0 && glyphs[0x20].advance > 0);
  for (uint32_t c : {uint32_t('A'), 0x104u, 0x141u, 0x17Cu})
    EXPECT_GT(std::count_if(glyphs[c].pixels, glyphs[c].pixels + glyphs[c].width * glyphs[c].height,
                            [](uint8_t v) { return v > 128; }),
              5)
        << c;
  EXPECT_TRUE(glyphs[uint32_t('H')].top > glyphs[uint32_t('x')].top &&
              glyphs[0x104].height > glyphs[0x104].top);
  kxFreeFontGlyphs(glyphs, count);
  // Measures as the engine does: advances add up, codes beyond the font count
  // nothing, and the line height follows the engine's walk over the records.
  EXPECT_EQ(font.TextWidth(u"ab\u2600"), font.Glyph('a').advance + font.Glyph('b').advance);
  float height = 0;
  for (uint32_t c = 0; c < font.Count(); ++c)
    if (float(font.Glyph(c).top) > height) height = float(font.Glyph(c).height);
  EXPECT_EQ(font.LineHeight(), height);
  EXPECT_TRUE(font.Prints(' ') && !font.Prints('\n') && !font.Prints(0x180));
}

TEST(vpFontFace, MissingFilesAndGlyphsFail) {
  vpFontFace face;
  vpGlyph g;
  vpMask m;
  EXPECT_FALSE(face.Open("/nonexistent/font.ttf"));
  EXPECT_FALSE(face.Render('A', 12, &g));  // nothing open
  ASSERT_TRUE(face.Open(vpTest::kFontDir + "/DejaVuSans.ttf"));
  EXPECT_FALSE(face.HasGlyph(0xE000) || face.RenderFitted(0xE000, 100, 100, &m));  // private use
  ASSERT_TRUE(face.HasGlyph(0x2693) && face.RenderFitted(0x2693, 100, 60, &m));
  EXPECT_TRUE(m.Width() <= 102 && m.Height() <= 62 && (m.Width() >= 95 || m.Height() >= 57))
      << m.Width() << "x" << m.Height();  // fills one side of the box
}

}  // namespace
