// Buttons: minimum width, inclusive hit rectangle, state machine under the
// manager's routing, click delivery, geometry rebuilt as a child, caption
// placement with its shadow, and texture ownership.

#include "gui/kxGUIButton.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/kxSDLWrapper.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxTexturedBox.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

// Records the clicks the manager delivers. Never deleted: the frame's
// destructor would shut SDL down under the shared test context.
class ClickRecorder : public kxSDLWrapper {
 public:
  ClickRecorder() : kxSDLWrapper(64, 64, false, false) {}
  void OnGUIClick(kxGUIObject* object) override { clicks.push_back(object); }
  std::vector<kxGUIObject*> clicks;
};

ClickRecorder* Recorder() {
  static ClickRecorder* recorder = new ClickRecorder();
  recorder->clicks.clear();
  return recorder;
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

TEST_F(ButtonTest, NarrowButtonGrowsTo48WithItsBoxes) {
  std::unique_ptr<kxGUIButton> button(
      kxGUIButton::Create(7, font.get(), states.get(), 10, 20, 30, 24, kxString(u"")));
  ASSERT_TRUE(button);
  EXPECT_EQ(48, button->GetWidth());
  EXPECT_EQ(24, button->GetHeight());
  ASSERT_EQ(3u, button->GetGeometry()->Length());
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_NE(nullptr, Box(button.get(), i));
    EXPECT_FLOAT_EQ(48.0f, Box(button.get(), i)->GetWidth());
    EXPECT_FLOAT_EQ(24.0f, Box(button.get(), i)->GetHeight());
  }
  // A wide button keeps its width.
  std::unique_ptr<kxGUIButton> wide(
      kxGUIButton::Create(8, font.get(), states.get(), 0, 0, 130, 24, kxString(u"")));
  EXPECT_EQ(130, wide->GetWidth());

  // Drawn, the passive look covers exactly 48 columns.
  kxTest::Framebuffer fb(100, 60);
  BeginGUIDrawing(fb);
  button->Draw();
  EXPECT_EQ(kRed, At(fb, 10, 20));
  EXPECT_EQ(kRed, At(fb, 57, 43));
  EXPECT_EQ(kBlack, At(fb, 58, 30));
  EXPECT_EQ(kBlack, At(fb, 9, 30));
}

TEST_F(ButtonTest, ClicksAnswerAcrossTheInclusiveEdgesOfTheGrownRectangle) {
  kxGUIManager manager(200, 100);
  kxGUIButton* button = kxGUIButton::Create(5, font.get(), states.get(), 10, 10, 30, 20, kxString(u""));
  ASSERT_TRUE(manager.AppendControl(button));
  struct Probe {
    int x, y;
    bool clicks;
  } probes[] = {
      {10, 10, true},  {58, 30, true},  {58, 10, true},  {10, 30, true},
      {59, 20, false}, {9, 20, false},  {30, 31, false}, {30, 9, false},
  };
  for (const Probe& p : probes) {
    uint64_t before = manager.GetEventCount();
    manager.OnLMBDown(p.x, p.y);
    manager.OnLMBUp(p.x, p.y);
    EXPECT_EQ(p.clicks ? before + 1 : before, manager.GetEventCount()) << p.x << "," << p.y;
  }
}

TEST_F(ButtonTest, StateFollowsEnterPressMoveAndReleaseAndShowsTheMatchingLook) {
  kxTest::Framebuffer fb(120, 60);
  kxGUIManager manager(120, 60);
  CountingButton* button =
      new CountingButton(9, font.get(), states.get(), 10, 10, 60, 30, kxString(u""));
  ASSERT_TRUE(manager.AppendControl(button));
  auto look = [&]() {
    fb.Clear(0, 0, 0, 0);
    manager.Draw();
    return At(fb, 12, 12);
  };

  EXPECT_EQ(kxGUIButton::statePassive, button->GetState());
  EXPECT_EQ(kRed, look());
  manager.OnMouse(20, 20);  // enter
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  EXPECT_EQ(kGreen, look());
  manager.OnLMBDown(20, 20);
  EXPECT_EQ(kxGUIButton::statePushed, button->GetState());
  EXPECT_EQ(kBlue, look());
  // Any move inside while held re-enters: the active look comes back.
  manager.OnMouse(21, 20);
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  manager.OnLMBDown(21, 20);
  EXPECT_EQ(0, button->clicks);
  manager.OnLMBUp(21, 20);
  EXPECT_EQ(kxGUIButton::stateActive, button->GetState());
  EXPECT_EQ(1, button->clicks) << "the release calls the OnClick hook";
  manager.OnMouse(100, 50);  // leave
  EXPECT_EQ(kxGUIButton::statePassive, button->GetState());
  EXPECT_EQ(kRed, look());
}

TEST_F(ButtonTest, ClickReachesOnGUIClickThroughTheQueueAtTheNextFrame) {
  ClickRecorder* frame = Recorder();
  kxGUIManager manager(200, 100);
  manager.SetWrapperPtr(frame);
  kxGUIButton* button = kxGUIButton::Create(11, font.get(), states.get(), 10, 10, 60, 30, kxString(u"Go"));
  ASSERT_TRUE(manager.AppendControl(button));

  manager.OnMouse(20, 20);
  manager.OnLMBDown(20, 20);
  manager.OnLMBUp(20, 20);
  EXPECT_TRUE(frame->clicks.empty()) << "delivered only when the next frame handles events";
  EXPECT_EQ(1u, manager.GetEventCount());
  manager.HandleEvents();  // start of the next frame
  ASSERT_EQ(1u, frame->clicks.size());
  EXPECT_EQ(button, frame->clicks[0]);
  EXPECT_EQ(11u, frame->clicks[0]->GetID());
  EXPECT_EQ(0u, manager.GetEventCount());

  // Pressed elsewhere, released on the button: a top-level button needs its
  // own press first.
  manager.OnMouse(150, 80);
  manager.OnLMBDown(150, 80);
  manager.OnMouse(20, 20);
  manager.OnLMBUp(20, 20);
  EXPECT_EQ(0u, manager.GetEventCount());
}

TEST_F(ButtonTest, ChildButtonRebuildsItsBoxesAtTheAbsolutePosition) {
  kxTest::Framebuffer fb(300, 200);
  kxGUIManager manager(300, 200);
  kxGUIPanel* panel = kxGUIPanel::Create(103, 100, 50, 180, 120);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGUIButton* button = kxGUIButton::Create(104, font.get(), states.get(), 20, 30, 30, 20, kxString(u""));
  unsigned int oldTexture = Box(button, 0)->GetTextureID();
  ASSERT_TRUE(panel->AppendChild(button));

  EXPECT_EQ(120, button->GetLeft());
  EXPECT_EQ(80, button->GetTop());
  for (size_t i = 0; i < 3; ++i) {
    float at[3];
    Box(button, i)->GetCenter(at);
    EXPECT_FLOAT_EQ(120.0f, at[0]);
    EXPECT_FLOAT_EQ(80.0f, at[1]);
    EXPECT_FLOAT_EQ(48.0f, Box(button, i)->GetWidth());
    EXPECT_NE(0u, Box(button, i)->GetTextureID());
  }
  EXPECT_FALSE(kxTest::IsTexture(oldTexture)) << "the first boxes' textures are released";

  manager.Draw();
  EXPECT_EQ(kRed, At(fb, 120, 80));
  EXPECT_EQ(kRed, At(fb, 167, 99));
  EXPECT_FALSE(kRed == At(fb, 119, 90));
  EXPECT_FALSE(kRed == At(fb, 30, 40)) << "nothing left at the relative position";

  // Clicks land on the child at its absolute rectangle.
  manager.OnLMBDown(130, 85);
  manager.OnLMBUp(130, 85);
  ASSERT_EQ(1u, manager.GetEventCount());
}

TEST_F(ButtonTest, TopLevelButtonKeepsItsConstructorGeometry) {
  kxGUIManager manager(200, 100);
  kxGUIButton* button = kxGUIButton::Create(3, font.get(), states.get(), 15, 25, 60, 20, kxString(u""));
  unsigned int texture = Box(button, 1)->GetTextureID();
  ASSERT_TRUE(manager.AppendControl(button));
  float at[3];
  Box(button, 1)->GetCenter(at);
  EXPECT_FLOAT_EQ(15.0f, at[0]);
  EXPECT_FLOAT_EQ(25.0f, at[1]);
  EXPECT_EQ(texture, Box(button, 1)->GetTextureID());
}

TEST_F(ButtonTest, CaptionIsCentredWithItsShadowBelowRight) {
  // 128 x 32 with a 16-pixel font: y = Top + trunc(8 + 14) = Top + 22 and
  // x = Left + trunc((128 - 20) / 2) = Left + 54 for a two-character caption.
  kxTest::Framebuffer fb(200, 100);
  std::unique_ptr<kxGUIButton> button(
      kxGUIButton::Create(1, font.get(), states.get(), 30, 40, 128, 32, kxString(u"AB")));
  EXPECT_EQ(2 * kGlyphAdvance, button->GetCaptionWidth());
  BeginGUIDrawing(fb);
  button->Draw();

  const int penX = 30 + 54, penY = 40 + 22;
  const int faceLeft = penX + kGlyphLeft, faceTop = penY - kGlyphTop;
  EXPECT_EQ(kWhite, At(fb, faceLeft, faceTop));
  EXPECT_EQ(kWhite, At(fb, faceLeft + kGlyphWidth - 1, faceTop + 15));
  EXPECT_EQ(kWhite, At(fb, faceLeft + kGlyphAdvance, faceTop)) << "second character";
  EXPECT_EQ(kRed, At(fb, faceLeft - 1, faceTop)) << "nothing left of the caption";
  // The shadow shows one pixel right of and below the face.
  RGBA shadow = At(fb, faceLeft + kGlyphWidth, faceTop + 16);
  EXPECT_EQ(0, shadow.r);
  EXPECT_EQ(255, shadow.a);
  EXPECT_EQ(kRed, At(fb, faceLeft, faceTop - 1)) << "no shadow above";
  // The caption is centred: as much button left of it as right of it.
  const int inkRight = faceLeft + kGlyphAdvance + kGlyphWidth - 1;
  EXPECT_EQ(faceLeft - 30, (30 + 128 - 1) - inkRight);

  float current[4];
  glGetFloatv(GL_CURRENT_COLOR, current);
  EXPECT_FLOAT_EQ(1.0f, current[0]);
  EXPECT_FLOAT_EQ(1.0f, current[3]) << "the colour is left white";
}

TEST_F(ButtonTest, CaptionWiderThanTheButtonSpillsOutOnBothSides) {
  // 48 wide, caption 100 wide: free width -52, so x = Left - 26.
  kxTest::Framebuffer fb(200, 60);
  std::unique_ptr<kxGUIButton> button(kxGUIButton::Create(
      1, font.get(), states.get(), 80, 10, 48, 30, kxString(u"ABCDEFGHIJ")));
  BeginGUIDrawing(fb);
  button->Draw();
  int faceLeft = 80 - 26 + kGlyphLeft;
  int y = 10 + 16;  // inside the face rows
  EXPECT_EQ(kWhite, At(fb, faceLeft, y));
  EXPECT_EQ(kBlack, At(fb, faceLeft - 1, y));
  int faceRight = faceLeft + 9 * kGlyphAdvance + kGlyphWidth - 1;
  EXPECT_EQ(kWhite, At(fb, faceRight, y));
  // Equal spill: the ink runs as far past the left edge as past the right.
  EXPECT_EQ(80 - faceLeft, faceRight - (80 + 48 - 1));
}

TEST_F(ButtonTest, ImagesThatDoNotDecodeGiveUntexturedBoxes) {
  Block junk = MakeGarbageBlock();
  kxMemoryBlock notCrunched{nullptr, 0};
  kxGUIButtonStates bad(junk.get(), &notCrunched, nullptr);
  std::unique_ptr<kxGUIButton> button(
      kxGUIButton::Create(1, font.get(), &bad, 0, 0, 60, 20, kxString(u"x")));
  ASSERT_EQ(3u, button->GetGeometry()->Length());
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(0u, Box(button.get(), i)->GetTextureID());
  // No states at all works the same.
  std::unique_ptr<kxGUIButton> bare(
      kxGUIButton::Create(1, font.get(), nullptr, 0, 0, 60, 20, kxString(u"x")));
  EXPECT_EQ(0u, Box(bare.get(), 2)->GetTextureID());
  kxTest::Framebuffer fb(80, 40);
  BeginGUIDrawing(fb);
  button->Draw();
  bare->Draw();
}

TEST_F(ButtonTest, DeletingTheButtonReleasesItsThreeTextures) {
  kxGUIButton* button = kxGUIButton::Create(1, font.get(), states.get(), 0, 0, 60, 20, kxString(u"x"));
  unsigned int textures[3];
  for (size_t i = 0; i < 3; ++i) {
    textures[i] = Box(button, i)->GetTextureID();
    ASSERT_TRUE(kxTest::IsTexture(textures[i]));
  }
  EXPECT_NE(textures[0], textures[1]);
  delete button;
  for (unsigned int t : textures) EXPECT_FALSE(kxTest::IsTexture(t));
}

}  // namespace
