// Labels: size fixed by the first text, colour and baseline, empty text,
// and the shift of AppendChild.

#include "gui/kxGIULabel.h"

#include <gtest/gtest.h>

#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

class LabelTest : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    if (HasFatalFailure()) return;
    font = MakeBlockFont(16);
    ASSERT_TRUE(font);
  }
  std::unique_ptr<kxFont> font;
};

TEST_F(LabelTest, KeepsTheFirstTextsSizeWhateverItShowsLater) {
  kxGUIManager manager(200, 100);
  kxGIULabel* label = kxGIULabel::Create(42, font.get(), 5, 6, kxString(u"abc"));
  ASSERT_TRUE(label);
  EXPECT_EQ(3 * kGlyphAdvance, label->GetWidth());
  EXPECT_EQ(16, label->GetHeight());
  ASSERT_TRUE(manager.AppendControl(label));

  kxString longer(u"a much longer text");
  label->SetValue(longer);
  EXPECT_TRUE(label->GetText().GetString() != nullptr);
  EXPECT_EQ(longer.Length(), label->GetText().Length());
  EXPECT_EQ(30, label->GetWidth());
  kxString other(u"xy");
  manager.SetValueByID(42, other);
  EXPECT_EQ(2u, label->GetText().Length());
  EXPECT_EQ(30, label->GetWidth());
  EXPECT_EQ(16, label->GetHeight());
}

TEST_F(LabelTest, DrawsInItsColourWithTheBaselineOneFontHeightDown) {
  kxTest::Framebuffer fb(100, 50);
  std::unique_ptr<kxGIULabel> label(kxGIULabel::Create(0, font.get(), 10, 8, kxString(u"AB")));
  const float* c = label->GetColor();
  EXPECT_FLOAT_EQ(1.0f, c[0]);
  EXPECT_FLOAT_EQ(1.0f, c[3]);
  label->SetColor(0.0f, 1.0f, 0.0f, 1.0f);
  BeginGUIDrawing(fb);
  label->Draw();
  // Baseline at Top + 16 = 24: the glyph boxes span rows 12 to 27.
  EXPECT_EQ(kGreen, At(fb, 10 + kGlyphLeft, 24 - kGlyphTop));
  EXPECT_EQ(kGreen, At(fb, 10 + kGlyphLeft + 17, 27));
  EXPECT_EQ(kBlack, At(fb, 10 + kGlyphLeft, 11));
  EXPECT_EQ(kBlack, At(fb, 10 + kGlyphLeft, 28));
  EXPECT_EQ(kBlack, At(fb, 10, 20));
}

TEST_F(LabelTest, EmptyTextSetsTheColourAndDrawsNothing) {
  kxTest::Framebuffer fb(40, 40);
  std::unique_ptr<kxGIULabel> label(kxGIULabel::Create(0, font.get(), 0, 0, kxString()));
  EXPECT_EQ(0, label->GetWidth());
  label->SetColor(0.25f, 0.5f, 0.75f, 1.0f);
  BeginGUIDrawing(fb);
  glColor4f(1, 1, 1, 1);
  label->Draw();
  float current[4];
  glGetFloatv(GL_CURRENT_COLOR, current);
  EXPECT_FLOAT_EQ(0.25f, current[0]);
  EXPECT_FLOAT_EQ(0.75f, current[2]);
  std::vector<uint8_t> pixels = fb.Pixels();
  for (uint8_t b : pixels) ASSERT_EQ(0, b);
}

TEST_F(LabelTest, FollowsTheShiftOfAppendChild) {
  kxTest::Framebuffer fb(120, 80);
  kxGUIManager manager(120, 80);
  kxGUIPanel* panel = kxGUIPanel::Create(1, 40, 30, 70, 40);
  panel->SetBackgroundColor(0, 0, 0, 0);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGIULabel* label = kxGIULabel::Create(0, font.get(), 5, 2, kxString(u"A"));
  label->SetColor(1, 0, 0, 1);
  ASSERT_TRUE(panel->AppendChild(label));
  EXPECT_EQ(45, label->GetLeft());
  manager.Draw();
  EXPECT_EQ(kRed, At(fb, 45 + kGlyphLeft, 32 + 16 - kGlyphTop));
  EXPECT_FALSE(kRed == At(fb, 5 + kGlyphLeft, 2 + 16 - kGlyphTop));
}

}  // namespace
