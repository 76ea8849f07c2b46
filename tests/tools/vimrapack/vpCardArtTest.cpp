#include <gtest/gtest.h>

#include <cmath>

#include "vpCardArt.h"
#include "vpTestSupport.h"

namespace {

float Distance(const vpColor& a, const vpColor& b) {
  return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

TEST(vpCardArt, CardListFormat) {
  std::vector<vpCardDef> cards;
  std::string error;
  ASSERT_TRUE(vpParseCardList("# c\nU+2693 #1B998B #FFFFFF anchor\n\nU+2665 #D7263D #FFFFFF red heart\n",
                              &cards, &error)) << error;
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0].symbol, 0x2693u);
  EXPECT_NEAR(cards[0].background.g, 0x99 / 255.0f, 1e-6);
  EXPECT_EQ(cards[1].name, "red heart");
  const char* bad[] = {"2693 #1B998B #FFFFFF a\n", "U+2693 1B998B #FFFFFF a\n",
                       "U+2693 #1B998B #FFFFFF\n", "U+ZZ #1B998B #FFFFFF a\n",
                       "U+2693 #1B998B #FFFFFG a\n"};
  for (const char* b : bad) {
    EXPECT_FALSE(vpParseCardList(b, &cards, &error)) << b;
    EXPECT_NE(error.find("line 1"), std::string::npos);
  }
}

TEST(vpCardArt, FaceShowsTheSymbolOnItsColourAndEveryBackIsTheSame) {
  vpFontFace face;
  ASSERT_TRUE(face.Open(vpTest::FontDir() + "/DejaVuSans.ttf"));
  const vpCardDef anchor{0x2693, vpHex(0x1B998B), vpHex(0xFFFFFF), "anchor"};
  const vpCardDef heart{0x2665, vpHex(0xD7263D), vpHex(0xFFFFFF), "heart"};
  vpImage a, h;
  ASSERT_TRUE(vpDrawCardTexture(face, anchor, &a));
  ASSERT_TRUE(vpDrawCardTexture(face, heart, &h));
  ASSERT_EQ(a.Width(), kCardTextureSize);
  ASSERT_EQ(a.Height(), kCardTextureSize);

  int ink = 0, colour = 0, total = 0;
  for (int y = 60; y < 452; ++y)
    for (int x = 30; x < 226; ++x) {
      const vpColor& p = a.At(x, y);
      EXPECT_FLOAT_EQ(p.a, 1.0f);
      ++total;
      if (Distance(p, anchor.ink) < 0.15f) ++ink;
      if (Distance(p, anchor.background) < 0.45f) ++colour;
    }
  EXPECT_GT(ink, total / 20);     // a large picture
  EXPECT_GT(colour, total / 3);   // on the card's own colour
  // The border: light at the middle of each edge of the face.
  for (const vpColor& p : {a.At(4, 256), a.At(128, 4), a.At(251, 256), a.At(128, 507)})
    EXPECT_GT(p.r + p.g + p.b, 2.4f);
  // The backs (right half) are one design for the whole deck.
  float diff = 0;
  for (int y = 0; y < kCardTextureSize; ++y)
    for (int x = kCardTextureSize / 2; x < kCardTextureSize; ++x) diff += Distance(a.At(x, y), h.At(x, y));
  EXPECT_EQ(diff, 0.0f);
  vpImage none;
  EXPECT_FALSE(vpDrawCardTexture(face, {0xE000, vpHex(0), vpHex(0xFFFFFF), "missing"}, &none));
}

}  // namespace
