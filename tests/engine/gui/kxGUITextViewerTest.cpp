// The text viewer: when a press starts a drag, dragging past either end,
// coasting after release with the two line counts of press/move and of
// drawing, routing through the manager, the background, line heights below
// one pixel, clipping, the wheel and the scroll bar.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "data/kxStringArray.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxScreen.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUITextViewer.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

class TextViewerTest : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    if (HasFatalFailure()) return;
    DrawInto(300, 260);
  }
  void Fill(kxStringArray& lines, int count, int length = 12) {
    for (int i = 0; i < count; ++i) {
      kxString line(std::string(length, static_cast<char>('a' + i % 26)).c_str());
      lines.AppendLine(line.GetString());
    }
  }
  // A viewer 200 high: the 16-pixel font gives lines of 22.4 (22 whole)
  // pixels, so 8 lines fit by float division and 9 by whole pixels.
  std::unique_ptr<kxGUITextViewer> Viewer(kxStringArray* lines) {
    return std::unique_ptr<kxGUITextViewer>(
        kxGUITextViewer::Create(7, lines, font.get(), 10, 20, 150, 200));
  }
};

TEST_F(TextViewerTest, APressDragsOnlyATextLongerThanTheView) {
  kxStringArray lines;
  std::unique_ptr<kxGUITextViewer> viewer = Viewer(&lines);
  viewer->OnLMBDown();
  EXPECT_FALSE(viewer->IsDragging()) << "no lines";
  Fill(lines, 8);
  viewer->OnLMBDown();
  EXPECT_FALSE(viewer->IsDragging()) << "8 lines fit";
  viewer->OnMouseMove(0, -40);
  EXPECT_EQ(0, viewer->GetOffset()) << "moves do nothing without a drag";
  Fill(lines, 1);
  viewer->OnLMBDown();
  EXPECT_TRUE(viewer->IsDragging()) << "9 lines do not";
  viewer->OnLMBUp();
  EXPECT_FALSE(viewer->IsDragging());
  viewer->OnLMBDown();
  viewer->OnMouseLeave();
  EXPECT_FALSE(viewer->IsDragging());
}

TEST_F(TextViewerTest, DraggingStopsAtBothEndsByTheTwoLineCounts) {
  kxStringArray lines;
  Fill(lines, 20);
  std::unique_ptr<kxGUITextViewer> viewer = Viewer(&lines);
  auto state = [&]() {
    return std::vector<int>{viewer->GetOffset(), viewer->GetFirstLine(), viewer->GetVelocity()};
  };
  // Down past the top snaps back, the step kept as velocity until a draw.
  viewer->OnLMBDown();
  viewer->OnMouseMove(5, -30);
  EXPECT_EQ(state(), (std::vector<int>{-30, 1, -30}));  // 30 / 22
  viewer->OnMouseMove(0, 50);
  EXPECT_EQ(state(), (std::vector<int>{0, 0, 50}));
  viewer->OnLMBUp();
  viewer->Draw();
  EXPECT_EQ(state(), (std::vector<int>{0, 0, 0}));
  // Up: while dragging 8 lines fit, so the first line stops at 12 and a step
  // to -300 (line 13) is undone; drawing counts 9 lines, so the coasting
  // step after release clamps at 11.
  viewer->OnLMBDown();
  for (int step = 1; step <= 14; ++step) viewer->OnMouseMove(0, -30);
  EXPECT_EQ(state(), (std::vector<int>{-270, 12, -30}));
  viewer->OnLMBUp();
  viewer->Draw();
  EXPECT_EQ(state(), (std::vector<int>{-270, 11, 0}));
}

TEST_F(TextViewerTest, ReleaseAfterAStepOfMinus3CoastsToTheEndUnlessPressed) {
  kxStringArray lines;
  Fill(lines, 20);
  std::unique_ptr<kxGUITextViewer> viewer = Viewer(&lines);
  viewer->OnLMBDown();
  viewer->OnMouseMove(0, -3);
  viewer->OnLMBUp();
  // 3 pixels a frame, never slowing, until the first line would pass
  // 20 - 9 = 11: -264 shows line 12, so -261 is the last step.
  int frames = 0;
  while (viewer->GetVelocity() != 0 && frames < 1000) {
    int before = viewer->GetOffset();
    viewer->Draw();
    ++frames;
    if (viewer->GetVelocity() != 0) {
      EXPECT_EQ(before - 3, viewer->GetOffset());
      EXPECT_EQ(-viewer->GetOffset() / 22, viewer->GetFirstLine());
    }
  }
  EXPECT_EQ(87, frames);
  EXPECT_EQ(-261, viewer->GetOffset());
  EXPECT_EQ(11, viewer->GetFirstLine());

  // A press stops the coasting at once.
  viewer = Viewer(&lines);
  viewer->OnLMBDown();
  viewer->OnMouseMove(0, -4);
  viewer->OnLMBUp();
  for (int i = 0; i < 5; ++i) viewer->Draw();
  EXPECT_EQ(-24, viewer->GetOffset());
  viewer->OnLMBDown();
  EXPECT_EQ(0, viewer->GetVelocity());
  viewer->OnLMBUp();
  viewer->Draw();
  EXPECT_EQ(-24, viewer->GetOffset());
  EXPECT_EQ(1, viewer->GetFirstLine());
}

TEST_F(TextViewerTest, TheManagerRoutesPressMovesAndLeaving) {
  kxStringArray lines;
  Fill(lines, 30);
  kxGUIManager manager(300, 260);
  kxGUITextViewer* viewer = kxGUITextViewer::Create(7, &lines, font.get(), 10, 20, 150, 200);
  ASSERT_TRUE(manager.AppendControl(viewer));
  manager.OnMouse(50, 150);
  manager.OnLMBDown(50, 150);
  EXPECT_TRUE(viewer->IsDragging());
  manager.OnMouse(50, 140);
  manager.OnMouse(52, 133);
  EXPECT_EQ(-17, viewer->GetOffset());
  EXPECT_EQ(-7, viewer->GetVelocity());
  manager.OnMouse(250, 133);  // off the viewer: the drag ends
  EXPECT_FALSE(viewer->IsDragging());
  EXPECT_EQ(-17, viewer->GetOffset()) << "no move is routed outside";
  manager.Draw();
  EXPECT_EQ(-24, viewer->GetOffset()) << "coasting with the last step";
}

TEST_F(TextViewerTest, BackgroundIsAWhitePanelThatFollowsAppendChild) {
  kxStringArray lines;
  std::unique_ptr<kxGUITextViewer> viewer = Viewer(&lines);
  kxGUIPanel* background = viewer->GetBackground();
  ASSERT_NE(nullptr, background);
  EXPECT_EQ(0u, background->GetID());
  EXPECT_EQ(10, background->GetLeft());
  EXPECT_EQ(200, background->GetHeight());
  const float* c = background->GetBackgroundColor();
  EXPECT_FLOAT_EQ(1.0f, c[0]);
  EXPECT_FLOAT_EQ(0.8f, c[3]);
  EXPECT_EQ(0u, viewer->GetChildCount()) << "the background is no child";

  kxGUIManager manager(300, 260);
  kxGUIPanel* parent = kxGUIPanel::Create(1, 40, 30, 250, 220);
  ASSERT_TRUE(manager.AppendControl(parent));
  kxGUITextViewer* child = kxGUITextViewer::Create(8, &lines, font.get(), 5, 6, 100, 80);
  ASSERT_TRUE(parent->AppendChild(child));
  background = child->GetBackground();
  ASSERT_NE(nullptr, background);
  EXPECT_EQ(45, background->GetLeft());
  EXPECT_EQ(36, background->GetTop());
  EXPECT_FLOAT_EQ(45.0f, background->GetGeometry()->GetVertexArray(0)->GetVertexArray()[0][0]);
  EXPECT_FLOAT_EQ(1.0f, background->GetBackgroundColor()[1]);
}

TEST_F(TextViewerTest, LinesBelowOnePixelHighCountAsOnePixel) {
  kxStringArray lines;
  Fill(lines, 150);
  // 16 x 0.04 = 0.64 pixels; 0.896 with the 1.4 spacing.
  font->SetScale(0.04f);
  std::unique_ptr<kxGUITextViewer> viewer(
      kxGUITextViewer::Create(7, &lines, font.get(), 10, 20, 150, 100));
  EXPECT_FLOAT_EQ(1.0f, viewer->GetLineHeight());
  viewer->OnLMBDown();
  EXPECT_TRUE(viewer->IsDragging()) << "150 lines of one pixel exceed 100";
  viewer->OnMouseMove(0, -5);
  EXPECT_EQ(5, viewer->GetFirstLine());
  viewer->OnMouseMove(0, -100);
  EXPECT_EQ(50, viewer->GetFirstLine()) << "150 - 100";
  viewer->OnLMBUp();
  viewer->Draw();
  EXPECT_EQ(50, viewer->GetFirstLine());

  // A font without height at all: one that holds no glyph (a font whose
  // glyphs have no bitmap does not load).
  std::unique_ptr<kxFont> flat(new kxFont(ftTopDown));
  EXPECT_FLOAT_EQ(0.0f, flat->GetHeight());
  std::unique_ptr<kxGUITextViewer> flatViewer(
      kxGUITextViewer::Create(7, &lines, flat.get(), 10, 20, 150, 100));
  EXPECT_FLOAT_EQ(1.0f, flatViewer->GetLineHeight());
  flatViewer->OnLMBDown();
  flatViewer->OnMouseMove(0, -7);
  flatViewer->OnLMBUp();
  flatViewer->Draw();
  EXPECT_EQ(14, flatViewer->GetFirstLine());
}

TEST_F(TextViewerTest, TextIsClippedToTheViewerLessFivePixelsOnTheRight) {
  // Lines of 30 characters (300 pixels) in a viewer 150 wide at (20, 30),
  // 100 high. Text starts at x = 25: box k spans 26 + 10k to 33 + 10k.
  kxStringArray lines;
  Fill(lines, 12, 30);
  std::unique_ptr<kxGUITextViewer> viewer(
      kxGUITextViewer::Create(7, &lines, font.get(), 20, 30, 150, 100));
  fb->Clear(0, 0, 0, 0);
  viewer->Draw();
  // First baseline at 30 + 22.4 - 6 = 46.4: boxes from row 35 to 50.
  const int row = 42;
  EXPECT_EQ(255, At(*fb, 163, row).a);
  EXPECT_EQ(0, At(*fb, 163, row).r) << "black text";
  RGBA cut = At(*fb, 166, row);  // box 14, past 170 - 5
  EXPECT_EQ(204, cut.r) << "the white background shows";
  EXPECT_EQ(204, cut.b);
  // Nothing below the viewer, where later lines would run on.
  EXPECT_EQ(0, At(*fb, 163, 131).a);
  EXPECT_EQ(0, At(*fb, 163, 140).a);
  EXPECT_EQ(255, At(*fb, 163, 129).a) << "the last visible row still has text";

  // Dragged up, the first line straddles the top edge.
  viewer->OnLMBDown();
  viewer->OnMouseMove(0, -4);
  viewer->OnLMBUp();
  fb->Clear(0, 0, 0, 0);
  viewer->SetColor(0.0f, 0.0f, 1.0f, 1.0f);
  viewer->Draw();  // coasts once more: offset -8
  EXPECT_EQ(-8, viewer->GetOffset());
  // Baseline at 38.4: the first boxes span rows 26 to 41; 30 on show.
  EXPECT_EQ(0, At(*fb, 163, 29).a);
  EXPECT_EQ(kBlue, At(*fb, 163, 30));
  EXPECT_EQ(kBlue, At(*fb, 163, 41));
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(TextViewerTest, TheWheelScrollsThreeLinesANotchWithinTheDragLimits) {
  kxStringArray lines;
  Fill(lines, 20);
  std::unique_ptr<kxGUITextViewer> viewer = Viewer(&lines);
  auto state = [&]() { return std::vector<int>{viewer->GetOffset(), viewer->GetFirstLine()}; };
  // 22 whole pixels a line; a drag stops with line 12 = 20 - 8 first.
  EXPECT_TRUE(viewer->OnMouseWheel(-1));
  EXPECT_EQ(state(), (std::vector<int>{-66, 3}));
  EXPECT_TRUE(viewer->OnMouseWheel(-3));
  EXPECT_EQ(state(), (std::vector<int>{-264, 12})) << "stops at the last line a drag reaches";
  EXPECT_TRUE(viewer->OnMouseWheel(-1)) << "taken at the end, so the camera does not move";
  EXPECT_EQ(state(), (std::vector<int>{-264, 12}));
  EXPECT_TRUE(viewer->OnMouseWheel(2));
  EXPECT_EQ(state(), (std::vector<int>{-132, 6}));
  EXPECT_TRUE(viewer->OnMouseWheel(INT_MAX));
  EXPECT_EQ(state(), (std::vector<int>{0, 0})) << "never past the top";
  EXPECT_TRUE(viewer->OnMouseWheel(INT_MIN));
  EXPECT_EQ(state(), (std::vector<int>{-264, 12}));
  EXPECT_FALSE(viewer->OnMouseWheel(0));

  // A drag may leave the text a few pixels further; the wheel then does not
  // pull it back against its turn, and a notch up moves from there.
  viewer = Viewer(&lines);
  viewer->OnLMBDown();
  for (int step = 1; step <= 14; ++step) viewer->OnMouseMove(0, -30);
  viewer->OnLMBUp();
  EXPECT_EQ(state(), (std::vector<int>{-270, 12}));
  EXPECT_EQ(-30, viewer->GetVelocity());
  viewer->OnMouseWheel(-1);
  EXPECT_EQ(state(), (std::vector<int>{-270, 12}));
  EXPECT_EQ(0, viewer->GetVelocity()) << "the wheel stops the coasting";
  viewer->OnMouseWheel(1);
  EXPECT_EQ(state(), (std::vector<int>{-204, 9}));

  // A text that fits leaves the wheel to others.
  kxStringArray few;
  Fill(few, 8);
  viewer = Viewer(&few);
  EXPECT_FALSE(viewer->OnMouseWheel(-1));
  EXPECT_EQ(state(), (std::vector<int>{0, 0}));
}

TEST_F(TextViewerTest, TheManagerHandsTheWheelToTheViewerUnderThePointer) {
  kxStringArray lines;
  Fill(lines, 20);
  kxGUIManager manager(300, 260);
  kxGUIPanel* box = kxGUIPanel::Create(103, 0, 0, 300, 260);
  ASSERT_TRUE(manager.AppendControl(box));
  kxGUITextViewer* viewer = kxGUITextViewer::Create(109, &lines, font.get(), 10, 20, 150, 200);
  ASSERT_TRUE(box->AppendChild(viewer));
  EXPECT_FALSE(manager.OnMouseWheel(250, 100, -1)) << "beside the viewer: nobody takes it";
  EXPECT_EQ(0, viewer->GetOffset());
  EXPECT_TRUE(manager.OnMouseWheel(100, 100, -1));
  EXPECT_EQ(-66, viewer->GetOffset());
}

TEST_F(TextViewerTest, AScrollBarShowsOnlyWhenTheTextIsLongerThanTheView) {
  // A viewer 150 x 100 at (20, 30): 4 lines fit by float division. The bar
  // takes columns 167 and 168 and rows 35 to 124; text is clipped at 165.
  kxStringArray lines;
  Fill(lines, 4, 30);
  std::unique_ptr<kxGUITextViewer> viewer(
      kxGUITextViewer::Create(7, &lines, font.get(), 20, 30, 150, 100));
  auto draw = [&]() {
    fb->Clear(0, 0, 0, 0);
    viewer->Draw();
  };
  const int white = 204;  // the 80 % white background over black
  draw();
  for (int row : {40, 80, 120})
    for (int x : {166, 167, 168, 169}) EXPECT_EQ(white, At(*fb, x, row).r) << x << "," << row;

  // Twelve lines: a thumb of 4 / 12 of the 90-pixel track at the top, the
  // rest of the track faint, nothing beside the bar.
  Fill(lines, 8, 30);
  draw();
  auto column = [&](int x, int row) { return At(*fb, x, row).r; };
  EXPECT_LT(column(167, 36), 120) << "thumb";
  EXPECT_LT(column(168, 63), 120);
  EXPECT_GT(column(167, 67), 150) << "track below the thumb";
  EXPECT_LT(column(167, 67), 195);
  EXPECT_LT(column(168, 123), 195);
  EXPECT_EQ(white, column(167, 34)) << "just above the track";
  EXPECT_EQ(white, column(167, 125)) << "just below it";
  EXPECT_EQ(white, column(166, 40));
  EXPECT_EQ(white, column(169, 40));

  // Scrolled to the end, the thumb sits at the bottom of the track.
  viewer->OnMouseWheel(-10);
  draw();
  EXPECT_GT(column(167, 40), 150);
  EXPECT_LT(column(167, 100), 120);
  EXPECT_LT(column(168, 123), 120);
}

TEST_F(TextViewerTest, ViewersNearTheEndsOfIntDrawAndScrollWithoutOverflow) {
  kxStringArray lines;
  Fill(lines, 20);
  for (int corner : {INT_MAX - 50, INT_MIN + 50}) {
    std::unique_ptr<kxGUITextViewer> viewer(
        kxGUITextViewer::Create(7, &lines, font.get(), corner, corner, 150, 200));
    fb->Clear(0, 0, 0, 0);
    viewer->OnLMBDown();
    viewer->OnMouseMove(0, INT_MIN);
    viewer->OnMouseMove(0, INT_MIN);
    EXPECT_EQ(12, viewer->GetFirstLine());
    viewer->OnLMBUp();
    viewer->Draw();
    EXPECT_TRUE(viewer->OnMouseWheel(INT_MAX));
    viewer->Draw();
    EXPECT_EQ(0, viewer->GetFirstLine());
    EXPECT_EQ(kBlack, At(*fb, 150, 130)) << "nothing lands on the screen";
  }
}

}  // namespace
