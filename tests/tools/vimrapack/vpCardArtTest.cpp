#include <gtest/gtest.h>

#include "vpCardArt.h"
#include "vpTestSupport.h"

namespace {

float Distance(const vpColor& a, const vpColor& b) {
  return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

TEST(vpCardArt, CardListFormatAndItsErrors) {
  std::vector<vpCardDef> cards;
  std::string error;
  ASSERT_TRUE(vpParseCardList(
      "# c\nU+2693 #1B998B #FFFFFF anchor\n\nU+2665 #D7263D #FFFFFF red heart\n", &cards, &error))
      << error;
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0].symbol, 0x2693u);
  EXPECT_NEAR(cards[0].background.g, 0x99 / 255.0f, 1e-6);
  EXPECT_EQ(cards[1].name, "red heart");
  for (const char* bad :
       {"2693 #1B998B #FFFFFF a\n", "U+2693 1B998B #FFFFFF a\n", "U+2693 #1B998B #FFFFFF\n",
        "U+ZZ #1B998B #FFFFFF a\n", "U+2693 #1B998B #FFFFFG a\n"})
    EXPECT_TRUE(!vpParseCardList(bad, &cards, &error) && error.find("line 1") != std::string::npos)
        << bad;
}

TEST(vpCardArt, FaceShowsTheSymbolOnItsColourInABorder) {
  vpFontFace face;
  ASSERT_TRUE(face.Open(vpTest::kFontDir + "/DejaVuSans.ttf"));
  const vpCardDef anchor{0x2693, vpHex(0x1B998B), vpHex(0xFFFFFF), "anchor"};
  vpImage a, none;
  ASSERT_TRUE(vpDrawCardTexture(face, anchor, &a));
  ASSERT_TRUE(a.Width() == kCardTextureSize && a.Height() == kCardTextureSize);
  int ink = 0, colour = 0, total = 0, opaque = 0;
  for (int y = 60; y < 452; ++y)
    for (int x = 30; x < 226; ++x, ++total) {
      opaque += a.At(x, y).a == 1.0f;
      ink += Distance(a.At(x, y), anchor.ink) < 0.15f;
      colour += Distance(a.At(x, y), anchor.background) < 0.45f;
    }
  // Opaque, a large picture on the card's own colour, a light border mid-edge.
  EXPECT_TRUE(opaque == total && ink > total / 20 && colour > total / 3) << ink << " " << colour;
  for (const vpColor& p : {a.At(4, 256), a.At(128, 4), a.At(251, 256), a.At(128, 507)})
    EXPECT_GT(p.r + p.g + p.b, 2.4f);
  EXPECT_FALSE(vpDrawCardTexture(face, {0xE000, vpHex(0), vpHex(0xFFFFFF), "missing"}, &none));
}

}  // namespace
