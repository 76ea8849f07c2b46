// Labels: size fixed by the first text, colour and baseline, empty text,
// and the shift of AppendChild.
#include <gtest/gtest.h>

#include "gui/kxGIULabel.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;

namespace {

using LabelTest = FontTest;

TEST_F(LabelTest, KeepsTheFirstTextsSizeAndFollowsAppendChild) {
  kxTest::Framebuffer fb(120, 80);
  kxGUIManager manager(120, 80);
  kxGUIPanel* panel = kxGUIPanel::Create(1, 40, 30, 70, 40);
  panel->SetBackgroundColor(0, 0, 0, 0);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGIULabel* label = kxGIULabel::Create(42, font.get(), 5, 2, kxString(u"abc"));
  ASSERT_TRUE(label && panel->AppendChild(label));
  kxString longer(u"a much longer text"), other(u"A");
  label->SetValue(longer);
  EXPECT_EQ(longer.Length(), label->GetText().Length());
  manager.SetValueByID(42, other);
  EXPECT_EQ(1u, label->GetText().Length());
  EXPECT_EQ(3 * kGlyphAdvance, label->GetWidth());
  EXPECT_EQ(16, label->GetHeight());
  label->SetColor(1, 0, 0, 1);
  manager.Draw();
  EXPECT_EQ(kRed, At(fb, 45 + kGlyphLeft, 32 + 16 - kGlyphTop));
  EXPECT_FALSE(kRed == At(fb, 5 + kGlyphLeft, 2 + 16 - kGlyphTop)) << "not where it was";
}

TEST_F(LabelTest, DrawsInItsColourWithTheBaselineOneFontHeightDown) {
  kxTest::Framebuffer fb(100, 50);
  std::unique_ptr<kxGIULabel> label(kxGIULabel::Create(0, font.get(), 10, 8, kxString(u"AB")));
  label->SetColor(0.0f, 1.0f, 0.0f, 1.0f);
  BeginGUIDrawing(fb);
  label->Draw();
  // Baseline at Top + 16 = 24: the glyph boxes span rows 12 to 27.
  EXPECT_EQ(kGreen, At(fb, 10 + kGlyphLeft, 24 - kGlyphTop));
  EXPECT_EQ(kGreen, At(fb, 10 + kGlyphLeft + 17, 27));
  EXPECT_EQ(kBlack, At(fb, 10 + kGlyphLeft, 11));
  EXPECT_EQ(kBlack, At(fb, 10 + kGlyphLeft, 28));
  EXPECT_EQ(kBlack, At(fb, 10, 20));

  // Empty text: the colour is set, nothing drawn.
  kxTest::Framebuffer empty(40, 40);
  std::unique_ptr<kxGIULabel> blank(kxGIULabel::Create(0, font.get(), 0, 0, kxString()));
  EXPECT_EQ(0, blank->GetWidth());
  blank->SetColor(0.25f, 0.5f, 0.75f, 1.0f);
  BeginGUIDrawing(empty);
  blank->Draw();
  // The current colour is the fixed pipeline's own state, which the ES path
  // keeps to itself.
  if (kxTest::TestRenderer() == rkFixed) {
    float current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_FLOAT_EQ(0.25f, current[0]);
    EXPECT_FLOAT_EQ(0.75f, current[2]);
  }
  for (uint8_t b : empty.Pixels()) ASSERT_EQ(0, b);
}

}  // namespace
