// Buttons: minimum width, inclusive hit rectangle, state machine under the
// manager's routing, click delivery, geometry rebuilt as a child, caption
// placement with its shadow, and texture ownership.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "graphics/kxGeometry.h"
#include "graphics/kxTexturedBox.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIClickReceiver.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

// Records the clicks the manager delivers.
class ClickRecorder : public kxGUIClickReceiver {
 public:
  void OnGUIClick(kxGUIObject* object) override { clicks.push_back(object); }
  std::vector<kxGUIObject*> clicks;
};

ClickRecorder* Recorder() {
  static ClickRecorder recorder;
  recorder.clicks.clear();
  return &recorder;
}

class CountingButton : public kxGUIButton {
 public:
  using kxGUIButton::kxGUIButton;
  void OnClick() override { ++clicks; }
  int clicks = 0;
};

class ButtonTest : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    if (HasFatalFailure()) return;
    passive = MakeSolidTGA(4, 4, kRed);
    active = MakeSolidTGA(4, 4, kGreen);
    pushed = MakeSolidTGA(4, 4, kBlue);
    ASSERT_TRUE(passive && active && pushed);
    states.reset(new kxGUIButtonStates(passive.get(), active.get(), pushed.get()));
    font = MakeBlockFont(16);
    ASSERT_TRUE(font);
  }

  kxTexturedBox* Box(kxGUIButton* button, size_t index) {
    return dynamic_cast<kxTexturedBox*>(button->GetGeometry()->GetVertexArray(index));
  }

  Block passive, active, pushed;
  std::unique_ptr<kxGUIButtonStates> states;
  std::unique_ptr<kxFont> font;
};

TEST_F(ButtonTest, NarrowButtonGrowsTo48AndAnswersAcrossItsInclusiveEdges) {
  kxGUIManager manager(200, 100);
  kxGUIButton* button =
      kxGUIButton::Create(5, font.get(), states.get(), 10, 10, 30, 24, kxString(u""));
  ASSERT_TRUE(button && manager.AppendControl(button));
  EXPECT_EQ(48, button->GetWidth());
  ASSERT_EQ(3u, button->GetGeometry()->Length());
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(48.0f, Box(button, i)->GetWidth());
    EXPECT_FLOAT_EQ(24.0f, Box(button, i)->GetHeight());
  }
  std::unique_ptr<kxGUIButton> wide(
      kxGUIButton::Create(8, font.get(), states.get(), 0, 0, 130, 24, kxString(u"")));
  EXPECT_EQ(130, wide->GetWidth());

  kxTest::Framebuffer fb(100, 60);  // the passive look covers exactly 48 columns
  BeginGUIDrawing(fb);
  button->Draw();
  EXPECT_EQ(kRed, At(fb, 10, 10));
  EXPECT_EQ(kRed, At(fb, 57, 33));
  EXPECT_EQ(kBlack, At(fb, 58, 20));
  EXPECT_EQ(kBlack, At(fb, 9, 20));
  struct {
    int x, y;
    bool clicks;
  } probes[] = {{10, 10, true},  {58, 34, true}, {58, 10, true},  {10, 34, true},
                {59, 20, false}, {9, 20, false}, {30, 35, false}, {30, 9, false}};
  for (auto& p : probes) {
    uint64_t before = manager.GetEventCount();
    manager.OnLMBDown(p.x, p.y);
    manager.OnLMBUp(p.x, p.y);
    EXPECT_EQ(before + p.clicks, manager.GetEventCount()) << p.x << "," << p.y;
  }
}

TEST_F(ButtonTest, StateFollowsEnterPressMoveAndReleaseAndClicksReachTheFrameNextFrame) {
  kxTest::Framebuffer fb(200, 100);
  kxGUIManager manager(200, 100);
  ClickRecorder* frame = Recorder();
  manager.SetWrapperPtr(frame);
  CountingButton* button =
      new CountingButton(9, font.get(), states.get(), 10, 10, 60, 30, kxString(u"Go"));
  ASSERT_TRUE(manager.AppendControl(button));
  auto look = [&]() {
    fb.Clear(0, 0, 0, 0);
    manager.Draw();
    return At(fb, 12, 12);
  };
  EXPECT_EQ(kxGUIButton::statePassive, button->GetState());
  EXPECT_EQ(kRed, look());
  manager.OnMouse(20, 20);
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  EXPECT_EQ(kGreen, look());
  manager.OnLMBDown(20, 20);
  EXPECT_EQ(kxGUIButton::statePushed, button->GetState());
  EXPECT_EQ(kBlue, look());
  manager.OnMouse(21, 20);  // any move inside while held re-enters
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  manager.OnLMBDown(21, 20);
  manager.OnLMBUp(21, 20);
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  EXPECT_EQ(1, button->clicks) << "the release calls the OnClick hook";
  EXPECT_TRUE(frame->clicks.empty()) << "delivered only when the next frame handles events";
  manager.HandleEvents();
  EXPECT_EQ(frame->clicks, (std::vector<kxGUIObject*>{button}));
  manager.OnMouse(150, 80);  // leave
  EXPECT_EQ(kxGUIButton::statePassive, button->GetState());
  EXPECT_EQ(kRed, look());
  // Pressed elsewhere and released on it: a top-level button needs its own press.
  manager.OnLMBDown(150, 80);
  manager.OnMouse(20, 20);
  manager.OnLMBUp(20, 20);
  EXPECT_EQ(0u, manager.GetEventCount());
}

TEST_F(ButtonTest, AsAChildItRebuildsItsBoxesAtTheAbsolutePosition) {
  kxTest::Framebuffer fb(300, 200);
  kxGUIManager manager(300, 200);
  kxGUIButton* top =
      kxGUIButton::Create(3, font.get(), states.get(), 15, 150, 60, 20, kxString(u""));
  unsigned int topTexture = Box(top, 1)->GetTextureID();
  ASSERT_TRUE(manager.AppendControl(top));
  EXPECT_EQ(topTexture, Box(top, 1)->GetTextureID()) << "top level: not rebuilt";
  kxGUIPanel* panel = kxGUIPanel::Create(103, 100, 50, 180, 120);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGUIButton* button =
      kxGUIButton::Create(104, font.get(), states.get(), 20, 30, 30, 20, kxString(u""));
  unsigned int oldTexture = Box(button, 0)->GetTextureID();
  ASSERT_TRUE(panel->AppendChild(button));
  EXPECT_FALSE(kxTest::IsTexture(oldTexture)) << "the first boxes' textures are released";
  for (size_t i = 0; i < 3; ++i) {
    float at[3];
    Box(button, i)->GetCenter(at);
    EXPECT_EQ((std::vector<float>{120, 80, 48}),
              (std::vector<float>{at[0], at[1], Box(button, i)->GetWidth()}));
    EXPECT_NE(0u, Box(button, i)->GetTextureID());
  }
  manager.Draw();
  EXPECT_EQ(kRed, At(fb, 120, 80));
  EXPECT_EQ(kRed, At(fb, 167, 99));
  EXPECT_FALSE(kRed == At(fb, 119, 90));
  EXPECT_FALSE(kRed == At(fb, 30, 40)) << "nothing left at the relative position";
  manager.OnLMBDown(130, 85);
  manager.OnLMBUp(130, 85);
  EXPECT_EQ(1u, manager.GetEventCount());
}

TEST_F(ButtonTest, CaptionIsCentredWithItsShadowEvenWhenWiderThanTheButton) {
  // 128 x 32, 16-pixel font, two characters: pen at Left + trunc((128 - 20)
  // / 2) = Left + 54 and Top + trunc(8 + 14) = Top + 22.
  kxTest::Framebuffer fb(200, 100);
  std::unique_ptr<kxGUIButton> button(
      kxGUIButton::Create(1, font.get(), states.get(), 30, 40, 128, 32, kxString(u"AB")));
  EXPECT_EQ(2 * kGlyphAdvance, button->GetCaptionWidth());
  BeginGUIDrawing(fb);
  button->Draw();
  const int faceLeft = 30 + 54 + kGlyphLeft, faceTop = 40 + 22 - kGlyphTop;
  EXPECT_EQ(kWhite, At(fb, faceLeft, faceTop));
  EXPECT_EQ(kWhite, At(fb, faceLeft + kGlyphAdvance + kGlyphWidth - 1, faceTop + 15));
  EXPECT_EQ(kRed, At(fb, faceLeft - 1, faceTop));
  EXPECT_EQ(kRed, At(fb, faceLeft, faceTop - 1)) << "no shadow above";
  kxTest::RGBA shadow = At(fb, faceLeft + kGlyphWidth, faceTop + 16);  // one right, one down
  EXPECT_EQ(0, shadow.r);
  EXPECT_EQ(255, shadow.a);
  if (kxTest::TestRenderer() == rkFixed) {  // the fixed pipeline's own state
    float current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ((std::vector<float>{1, 1}), (std::vector<float>{current[0], current[3]}))
        << "left white";
  }

  // 48 wide with a 100-pixel caption: x = Left - 26, spilling equally.
  fb.Clear(0, 0, 0, 0);
  std::unique_ptr<kxGUIButton> narrow(
      kxGUIButton::Create(1, font.get(), states.get(), 80, 10, 48, 30, kxString(u"ABCDEFGHIJ")));
  narrow->Draw();
  const int left = 80 - 26 + kGlyphLeft, right = left + 9 * kGlyphAdvance + kGlyphWidth - 1;
  EXPECT_EQ(kWhite, At(fb, left, 26));
  EXPECT_EQ(kBlack, At(fb, left - 1, 26));
  EXPECT_EQ(kWhite, At(fb, right, 26));
  EXPECT_EQ(80 - left, right - (80 + 48 - 1));
}

TEST_F(ButtonTest, UndecodableImagesGiveUntexturedBoxesAndDeletingReleasesTextures) {
  Block junk = MakeGarbageBlock();
  kxMemoryBlock notCrunched{nullptr, 0};
  kxGUIButtonStates bad(junk.get(), &notCrunched, nullptr);
  for (kxGUIButtonStates* s : {&bad, static_cast<kxGUIButtonStates*>(nullptr)}) {
    std::unique_ptr<kxGUIButton> b(
        kxGUIButton::Create(1, font.get(), s, 0, 0, 60, 20, kxString(u"x")));
    ASSERT_EQ(3u, b->GetGeometry()->Length());
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(0u, Box(b.get(), i)->GetTextureID());
    kxTest::Framebuffer fb(80, 40);
    BeginGUIDrawing(fb);
    b->Draw();
  }
  kxGUIButton* button =
      kxGUIButton::Create(1, font.get(), states.get(), 0, 0, 60, 20, kxString(u"x"));
  unsigned int textures[3];
  for (size_t i = 0; i < 3; ++i)
    ASSERT_TRUE(kxTest::IsTexture(textures[i] = Box(button, i)->GetTextureID()));
  EXPECT_NE(textures[0], textures[1]);
  delete button;
  for (unsigned int t : textures) EXPECT_FALSE(kxTest::IsTexture(t));
}

TEST_F(ButtonTest, ButtonsNearTheEndsOfIntPlaceTheirCaptionWithoutOverflow) {
  kxTest::Framebuffer fb(80, 40);
  BeginGUIDrawing(fb);
  for (int corner : {INT_MAX - 20, INT_MIN + 20}) {
    std::unique_ptr<kxGUIButton> button(
        kxGUIButton::Create(1, font.get(), states.get(), corner, corner, 60, 30, kxString(u"Go")));
    fb.Clear(0, 0, 0, 0);
    button->Draw();
    EXPECT_EQ(kBlack, At(fb, 40, 20)) << "nothing lands on the screen";
  }
  // A width at the end of int with a caption: the free width is formed wide.
  std::unique_ptr<kxGUIButton> wide(
      kxGUIButton::Create(1, font.get(), states.get(), INT_MIN, 0, INT_MIN, 30, kxString(u"Go")));
  EXPECT_EQ(48, wide->GetWidth()) << "raised to the least width";
  wide->SetWidth(INT_MIN);
  wide->Draw();
}

}  // namespace
