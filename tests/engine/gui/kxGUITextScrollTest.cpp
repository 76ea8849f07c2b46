// The ticker: scrolling and wrapping, the fade between two texts, the wrap
// of a swapped-in text by its own width, and clipping to its columns.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "graphics/kxScreen.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUITextScroll.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

kxString Text(int characters) {
  return kxString(std::string(characters, 'a').c_str());
}

class TextScrollTest : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    if (HasFatalFailure()) return;
    DrawInto(600, 80);
  }
  // Draws until the text changes to `expected`; returns the number of draws.
  int DrawUntilSwapped(kxGUITextScroll* ticker, uint64_t expectedLength) {
    int frames = 0;
    while (frames < 1000 && ticker->IsFadingOut()) {
      ticker->Draw();
      ++frames;
    }
    EXPECT_EQ(expectedLength, ticker->GetText().Length());
    return frames;
  }
};

TEST_F(TextScrollTest, DrawsVxLeftOfTheRightEdgeAndWrapsOnceTheEndHasPassedTheLeft) {
  // 400 wide at Left 100, text 250 wide: drawn at x = 500 - Vx.
  std::unique_ptr<kxGUITextScroll> ticker(
      kxGUITextScroll::Create(3, font.get(), 100, 10, 400, Text(25)));
  ticker->SetVx(300);
  ticker->Draw();
  const int row = 10 + 16 - kGlyphTop + 2;
  EXPECT_EQ(kWhite, At(*fb, 200 + kGlyphLeft, row));
  EXPECT_EQ(kBlack, At(*fb, 200, row));
  EXPECT_EQ(kWhite, At(*fb, 200 + kGlyphLeft + 10 * 9, row)) << "tenth character";
  std::vector<int> vx;
  for (int start : {300, 650, -1}) {
    if (start >= 0) ticker->SetVx(start);
    ticker->Draw();
    vx.push_back(ticker->GetVx());
  }
  // At 650, x = -150 is not yet past 100 - 250; at 651 it is.
  ticker->Draw();
  vx.push_back(ticker->GetVx());
  EXPECT_EQ(vx, (std::vector<int>{301, 651, 0, 1}));
}

TEST_F(TextScrollTest, NewValueFadesOutFor101FramesAndInFor101More) {
  kxGUIManager manager(600, 80);
  kxGUITextScroll* ticker = kxGUITextScroll::Create(9, font.get(), 100, 10, 400, Text(40));
  ASSERT_TRUE(manager.AppendControl(ticker));
  ticker->SetColor(1.0f, 0.0f, 0.0f, 1.0f);
  kxString next = Text(7);
  manager.SetValueByID(9, next);
  EXPECT_TRUE(ticker->IsFadingOut());
  for (int frames = 0; frames < 50; ++frames) ticker->Draw();
  float alpha = ticker->GetAlpha();  // drawn with the fading opacity
  fb->Clear(0, 0, 0, 0);
  ticker->SetVx(200);
  ticker->Draw();
  kxTest::RGBA p = At(*fb, 300 + kGlyphLeft, 10 + 8);
  EXPECT_NEAR(255.0f * alpha, p.r, 2.0f);
  EXPECT_EQ(0, p.g);
  for (int frames = 51; frames < 100; ++frames) ticker->Draw();
  EXPECT_TRUE(ticker->IsFadingOut());
  EXPECT_EQ(40u, ticker->GetText().Length()) << "the old text stays during the fade-out";
  EXPECT_LT(ticker->GetAlpha(), 0.02f);
  ticker->Draw();  // the 101st swaps; the new text starts at the right edge
  EXPECT_EQ(7u, ticker->GetText().Length());
  EXPECT_FLOAT_EQ(0.0f, ticker->GetAlpha());
  EXPECT_EQ(0, ticker->GetVx());
  EXPECT_FALSE(ticker->IsFadingOut());
  for (int frames = 0; frames < 100; ++frames) ticker->Draw();
  EXPECT_TRUE(ticker->IsFading());
  ticker->Draw();  // the 101st clamps
  EXPECT_FALSE(ticker->IsFading());
  EXPECT_FLOAT_EQ(1.0f, ticker->GetAlpha());
}

TEST_F(TextScrollTest, SwappedTextWrapsByItsOwnWidth) {
  std::unique_ptr<kxGUITextScroll> ticker(
      kxGUITextScroll::Create(3, font.get(), 100, 10, 400, Text(5)));
  EXPECT_EQ(50, ticker->GetTextWidth());

  // Longer: 400 pixels. Wraps when x < 100 - 400, i.e. after Vx 800, where
  // the first text's width would have wrapped it long before.
  kxString longer = Text(40);
  ticker->SetValue(longer);
  DrawUntilSwapped(ticker.get(), 40);
  EXPECT_EQ(400, ticker->GetTextWidth());
  ticker->SetVx(460);
  ticker->Draw();
  EXPECT_EQ(461, ticker->GetVx()) << "still on screen, no restart";
  ticker->SetVx(800);
  ticker->Draw();
  EXPECT_EQ(801, ticker->GetVx());
  ticker->Draw();
  EXPECT_EQ(0, ticker->GetVx());

  // Shorter: 20 pixels. Wraps as soon as x < 80, i.e. after Vx 420, with no
  // gap of the longer text's width.
  kxString shorter = Text(2);
  ticker->SetValue(shorter);
  DrawUntilSwapped(ticker.get(), 2);
  EXPECT_EQ(20, ticker->GetTextWidth());
  ticker->SetVx(420);
  ticker->Draw();
  EXPECT_EQ(421, ticker->GetVx());
  ticker->Draw();
  EXPECT_EQ(0, ticker->GetVx());
}

TEST_F(TextScrollTest, SetValueAndSetColorDuringAFade) {
  std::unique_ptr<kxGUITextScroll> ticker(
      kxGUITextScroll::Create(3, font.get(), 100, 10, 400, Text(1)));
  kxString second = Text(2), third = Text(3), fourth = Text(4);

  // A second SetValue during the fade-out only replaces the pending text.
  ticker->SetValue(second);
  for (int i = 0; i < 10; ++i) ticker->Draw();
  float alpha = ticker->GetAlpha();
  ticker->SetValue(third);
  EXPECT_FLOAT_EQ(alpha, ticker->GetAlpha());
  EXPECT_EQ(91, DrawUntilSwapped(ticker.get(), 3));

  // SetColor in the fade-in: alpha jumps, the fade goes on.
  for (int i = 0; i < 20; ++i) ticker->Draw();
  ticker->SetColor(1.0f, 1.0f, 1.0f, 0.5f);
  EXPECT_FLOAT_EQ(0.5f, ticker->GetAlpha());
  EXPECT_TRUE(ticker->IsFading());
  ticker->Draw();
  EXPECT_FLOAT_EQ(0.5f, ticker->GetAlpha()) << "clamped to the new colour's alpha";
  EXPECT_FALSE(ticker->IsFading());

  // SetValue in a fade-in turns it into a fade-out from the current alpha.
  ticker->SetValue(second);
  DrawUntilSwapped(ticker.get(), 2);
  for (int i = 0; i < 30; ++i) ticker->Draw();
  alpha = ticker->GetAlpha();
  EXPECT_GT(alpha, 0.25f);
  ticker->SetValue(fourth);
  EXPECT_TRUE(ticker->IsFadingOut());
  ticker->Draw();
  EXPECT_LT(ticker->GetAlpha(), alpha);
  EXPECT_NEAR(30, DrawUntilSwapped(ticker.get(), 4), 1) << "from about 0.29 down";
}

TEST_F(TextScrollTest, TextIsClippedToTheTickersColumnsAndFiveRowsBelowIt) {
  // Glyphs 24 pixels high on a ticker 24 high: they reach 11 rows below the
  // lower edge; the clip keeps only 5 of them.
  std::unique_ptr<kxFont> tall = MakeBlockFont(24);
  ASSERT_TRUE(tall);
  std::unique_ptr<kxGUITextScroll> ticker(
      kxGUITextScroll::Create(3, tall.get(), 50, 20, 200, Text(30)));
  ASSERT_EQ(24, ticker->GetHeight());
  const int row = 20 + 24 - kGlyphTop + 2;

  ticker->SetVx(105);  // pen at 145: the eleventh box spans 246..253
  ticker->Draw();
  EXPECT_EQ(kWhite, At(*fb, 249, row));
  EXPECT_EQ(kBlack, At(*fb, 250, row)) << "cut at the right edge";

  fb->Clear(0, 0, 0, 0);
  ticker->SetVx(225);  // pen at 25: the third box spans 46..53
  ticker->Draw();
  EXPECT_EQ(kWhite, At(*fb, 50, row));
  EXPECT_EQ(kBlack, At(*fb, 49, row)) << "cut at the left edge";
  // Lower edge at row 44; rows 44 to 48 still show, 49 does not.
  EXPECT_EQ(kWhite, At(*fb, 51, 48));
  EXPECT_EQ(kBlack, At(*fb, 51, 49));
  // Above the ticker nothing is cut (the glyphs start 12 rows below Top).
  EXPECT_EQ(kWhite, At(*fb, 51, 32));
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(TextScrollTest, TickersNearTheEndsOfIntScrollAndWrapWithoutOverflow) {
  // At the far right a Vx at the end of int stays there for one draw and
  // wraps; at the far left the scissor box is formed wide.
  std::unique_ptr<kxGUITextScroll> right(
      kxGUITextScroll::Create(3, font.get(), INT_MAX - 100, INT_MAX - 10, 400, Text(5)));
  right->SetVx(INT_MAX);
  fb->Clear(0, 0, 0, 0);
  right->Draw();
  EXPECT_EQ(0, right->GetVx()) << "the text was past the left edge";
  std::unique_ptr<kxGUITextScroll> left(
      kxGUITextScroll::Create(3, font.get(), INT_MIN + 10, INT_MIN + 10, INT_MAX, Text(5)));
  left->SetVx(INT_MIN);
  left->Draw();
  left->SetVx(INT_MAX - 1);
  left->Draw();
  EXPECT_EQ(INT_MAX, left->GetVx());
  left->Draw();
  EXPECT_EQ(INT_MAX, left->GetVx()) << "saturated rather than wrapped to the lowest int";
  EXPECT_EQ(kBlack, At(*fb, 300, 40)) << "nothing lands on the screen";
}

}  // namespace
