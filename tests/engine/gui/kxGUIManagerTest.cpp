// The manager's routing, event queue, drawing pass and value updates. Click
// delivery goes to a frame subclass that never opens a window.
#include "gui/kxGUIManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/kxResource.h"
#include "frame/kxSDLWrapper.h"
#include "kxGUIRecorder.h"
#include "support/kxGLTestContext.h"

namespace {

using kxGUITest::Recorder;
using Log = std::vector<std::string>;

// Receives the manager's clicks; reads each control's ID, so a freed control
// reaching it is caught by the address sanitizer.
class ClickSink : public kxSDLWrapper {
 public:
  ClickSink() : kxSDLWrapper(640, 480, false, false) {}
  std::vector<unsigned> ids;
  std::function<void(kxGUIObject*)> onClick;
  void OnGUIClick(kxGUIObject* object) override {
    ids.push_back(object->GetID());
    if (onClick) onClick(object);
  }
};

class kxGUIManagerTest : public ::testing::Test {
 protected:
  kxGUIManagerTest() : gui(kxGUIManager::Create(640, 480)) {}

  Recorder* Top(unsigned id, int l, int t, int w, int h) {
    Recorder* r = new Recorder(&log, id, l, t, w, h);
    gui->AppendControl(r);
    return r;
  }
  Recorder* Child(Recorder* parent, unsigned id, int l, int t, int w, int h) {
    Recorder* r = new Recorder(&log, id, l, t, w, h);
    parent->AppendChild(r);
    return r;
  }
  void Click(int x, int y) {
    gui->OnLMBDown(x, y);
    gui->OnLMBUp(x, y);
  }
  std::vector<unsigned> Deliver() {
    sink.ids.clear();
    gui->SetWrapperPtr(&sink);
    gui->HandleEvents();
    return sink.ids;
  }

  Log log;
  ClickSink sink;
  std::unique_ptr<kxGUIManager> gui;
};

// ---- Ownership and the engine-wide collection --------------------------------

TEST_F(kxGUIManagerTest, OwnsControlsAndTheEngineCollection) {
  ASSERT_NE(gui, nullptr);
  EXPECT_NE(engineResources, nullptr);
  Recorder* a = Top(1, 0, 0, 10, 10);
  Child(a, 2, 0, 0, 5, 5);
  Top(3, 0, 0, 10, 10);
  EXPECT_EQ(a->GetGUIManagerPtr(), gui.get());
  EXPECT_EQ(a->GetChild(0)->GetGUIManagerPtr(), gui.get());
  EXPECT_EQ(gui->GetControlCount(), 2u);
  log.clear();
  gui->Clear();
  EXPECT_EQ(log, (Log{"1:Deleted", "2:Deleted", "3:Deleted"}));
  EXPECT_EQ(gui->GetControlCount(), 0u);
  Top(4, 0, 0, 10, 10);
  log.clear();
  gui.reset();
  EXPECT_EQ(log, (Log{"4:Deleted"}));
  EXPECT_EQ(engineResources, nullptr);
}

TEST_F(kxGUIManagerTest, EachManagerReleasesOnlyItsOwnCollection) {
  kxResource* first = engineResources;
  std::unique_ptr<kxGUIManager> second(kxGUIManager::Create(10, 10));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(engineResources, first);
  kxResource* current = engineResources;
  gui.reset();  // the older manager goes first: the newer collection stays
  EXPECT_EQ(engineResources, current);
  second.reset();
  EXPECT_EQ(engineResources, nullptr);
}

// ---- Mouse routing -------------------------------------------------------------

TEST_F(kxGUIManagerTest, PanelWithButtonClicksTheButtonOnly) {
  Recorder* panel = Top(103, 100, 100, 300, 200);
  Recorder* button = Child(panel, 104, 20, 20, 100, 30);
  log.clear();
  gui->OnLMBDown(130, 130);
  EXPECT_EQ(log, (Log{"104:Down", "103:Down"}));
  EXPECT_TRUE(panel->GetPressed());
  EXPECT_FALSE(button->GetPressed());
  log.clear();
  gui->OnLMBUp(130, 130);
  EXPECT_EQ(log, (Log{"104:Up"}));
  EXPECT_TRUE(panel->GetPressed());  // survives: the child took the release
  EXPECT_EQ(gui->GetEventCount(), 1u);
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{104}));
  EXPECT_EQ(gui->GetEventCount(), 0u);
}

TEST_F(kxGUIManagerTest, IdZeroTopLevelTakesNoMouseInput) {
  Recorder* silent = Top(0, 0, 0, 100, 100);
  log.clear();
  gui->OnMouse(10, 10);
  Click(10, 10);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(gui->GetEventCount(), 0u);
  silent->SetIsMouseInside(true);
  EXPECT_FALSE(gui->IsMouseInControls());
}

TEST_F(kxGUIManagerTest, IdZeroChildIsRoutedButReleaseFallsThroughToParent) {
  Recorder* panel = Top(10, 0, 0, 100, 100);
  Child(panel, 0, 0, 0, 50, 50);
  log.clear();
  gui->OnMouse(10, 10);
  EXPECT_EQ(log, (Log{"0:Enter", "0:Move10,10", "10:Enter", "10:Move10,10"}));
  log.clear();
  Click(10, 10);
  EXPECT_EQ(log, (Log{"0:Down", "10:Down", "10:Up"}));
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{10}));
  EXPECT_FALSE(panel->GetPressed());
}

TEST_F(kxGUIManagerTest, PressedFlagSurvivesUntilAReleaseLandsOnTheControl) {
  Recorder* button = Top(5, 100, 100, 50, 50);
  gui->OnLMBDown(120, 120);
  gui->OnLMBUp(300, 300);  // moved off: no click
  EXPECT_EQ(gui->GetEventCount(), 0u);
  EXPECT_TRUE(button->GetPressed());
  gui->OnLMBDown(400, 400);  // a press elsewhere changes nothing
  gui->OnLMBUp(120, 120);    // then a release on it clicks
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{5}));
  EXPECT_FALSE(button->GetPressed());
  gui->OnLMBUp(120, 120);  // and only once
  EXPECT_EQ(gui->GetEventCount(), 0u);
}

TEST_F(kxGUIManagerTest, ChildClickNeedsNoPressAndTakesFirstClickableHit) {
  Recorder* panel = Top(1, 0, 0, 200, 200);
  Child(panel, 2, 0, 0, 100, 100);
  Child(panel, 3, 0, 0, 100, 100);
  log.clear();
  gui->OnLMBUp(50, 50);
  EXPECT_EQ(log, (Log{"2:Up"}));
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{2}));
}

TEST_F(kxGUIManagerTest, OneReleaseCanClickSeveralTopLevelControls) {
  Top(1, 0, 0, 100, 100);
  Top(2, 50, 50, 100, 100);
  Top(3, 200, 200, 10, 10);
  Click(60, 60);
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{1, 2}));
}

TEST_F(kxGUIManagerTest, EdgesAreInclusive) {
  Top(1, 10, 20, 100, 50);
  Click(110, 70);  // Left + Width, Top + Height
  Click(10, 20);
  Click(111, 70);
  Click(110, 71);
  Click(9, 20);
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{1, 1}));
}

TEST_F(kxGUIManagerTest, MovesEnterEveryTimeLeaveOnceAndCarryTheDelta) {
  Top(1, 0, 0, 100, 100);
  log.clear();
  gui->OnMouse(10, 10);
  gui->OnMouse(10, 10);  // no movement: nothing at all
  gui->OnMouse(20, 15);
  gui->OnMouse(500, 15);
  gui->OnMouse(600, 15);
  EXPECT_EQ(log, (Log{"1:Enter", "1:Move10,10", "1:Enter", "1:Move10,5", "1:Leave"}));
}

TEST_F(kxGUIManagerTest, DeltaIsMeasuredFromThePreviousCallEvenWithoutControls) {
  gui->OnMouse(30, 40);  // no controls yet, position still remembered
  Top(1, 0, 0, 100, 100);
  log.clear();
  gui->OnMouse(35, 42);
  EXPECT_EQ(log, (Log{"1:Enter", "1:Move5,2"}));
}

TEST_F(kxGUIManagerTest, OnlyDirectChildrenAreRouted) {
  Recorder* top = Top(1, 0, 0, 100, 100);
  Recorder* child = Child(top, 2, 0, 0, 100, 100);
  Child(child, 3, 0, 0, 100, 100);
  log.clear();
  gui->OnMouse(10, 10);
  Click(10, 10);
  for (const std::string& entry : log) EXPECT_NE(entry.rfind("3:", 0), 0u) << entry;
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{2}));
}

TEST_F(kxGUIManagerTest, HiddenTopLevelIsSkippedHiddenChildIsNot) {
  Recorder* hidden = Top(1, 0, 0, 100, 100);
  hidden->SetVisible(false);
  Recorder* shown = Top(2, 200, 0, 100, 100);
  Recorder* hiddenChild = Child(shown, 3, 0, 0, 50, 50);
  hiddenChild->SetVisible(false);
  log.clear();
  gui->OnMouse(10, 10);
  Click(10, 10);
  EXPECT_TRUE(log.empty());
  Click(210, 10);
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{3}));
}

TEST_F(kxGUIManagerTest, MouseInControlsKeepsHiddenControlsFlag) {
  Recorder* a = Top(1, 0, 0, 100, 100);
  EXPECT_FALSE(gui->IsMouseInControls());
  gui->OnMouse(10, 10);
  EXPECT_TRUE(gui->IsMouseInControls());
  a->SetVisible(false);
  EXPECT_TRUE(gui->IsMouseInControls());  // until the next routed move
  a->SetVisible(true);
  gui->OnMouse(300, 300);
  EXPECT_FALSE(gui->IsMouseInControls());
  // Children do not count.
  a->SetVisible(false);
  Recorder* b = Top(2, 400, 400, 10, 10);
  Recorder* c = Child(b, 3, -400, -400, 500, 500);
  gui->OnMouse(5, 5);
  EXPECT_TRUE(c->GetIsMouseInside());
  EXPECT_FALSE(gui->IsMouseInControls());
}

// ---- The event queue -----------------------------------------------------------

TEST_F(kxGUIManagerTest, EventsWaitForAWrapperAndArriveInOrder) {
  Recorder* a = Top(1, 0, 0, 10, 10);
  Recorder* b = Top(2, 0, 0, 10, 10);
  gui->AppendEvent(kxGUIEventClick, b);
  gui->AppendEvent(static_cast<kxGUIEventType>(7), a);  // unknown types are dropped
  gui->AppendEvent(kxGUIEventClick, a);
  gui->HandleEvents();  // no wrapper yet
  EXPECT_EQ(gui->GetEventCount(), 3u);
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{2, 1}));
  EXPECT_EQ(gui->GetEventCount(), 0u);
  EXPECT_TRUE(Deliver().empty());
}

TEST_F(kxGUIManagerTest, EventsQueuedDuringDeliveryArriveInTheSamePass) {
  Recorder* a = Top(1, 0, 0, 10, 10);
  Recorder* b = Top(2, 0, 0, 10, 10);
  gui->AppendEvent(kxGUIEventClick, a);
  sink.onClick = [&](kxGUIObject* o) {
    if (o == a) gui->AppendEvent(kxGUIEventClick, b);
  };
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{1, 2}));
  EXPECT_EQ(gui->GetEventCount(), 0u);
}

TEST_F(kxGUIManagerTest, ClearingTheScreenDropsQueuedClicksOfDeletedControls) {
  // Two overlapping buttons: one release queues two clicks; the handler of
  // the first rebuilds the screen, as a menu does.
  Top(1, 0, 0, 100, 100);
  Top(2, 0, 0, 100, 100);
  Click(50, 50);
  ASSERT_EQ(gui->GetEventCount(), 2u);
  Recorder* next = nullptr;
  sink.onClick = [&](kxGUIObject* o) {
    if (o->GetID() != 1) return;
    gui->Freeze();
    gui->Clear();
    next = Top(3, 0, 0, 100, 100);
    gui->AppendEvent(kxGUIEventClick, next);  // a live control queued afterwards
    gui->Thaw();
  };
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{1, 3}));
  EXPECT_EQ(gui->GetEventCount(), 0u);
}

TEST_F(kxGUIManagerTest, DeletingOneControlKeepsTheOthersClicksInOrder) {
  Recorder* a = Top(1, 0, 0, 10, 10);
  Recorder* panel = Top(10, 0, 0, 10, 10);
  Recorder* b = Child(panel, 2, 0, 0, 10, 10);
  Recorder* c = Top(3, 0, 0, 10, 10);
  gui->AppendEvent(kxGUIEventClick, a);
  gui->AppendEvent(kxGUIEventClick, b);
  gui->AppendEvent(kxGUIEventClick, c);
  gui->AppendEvent(kxGUIEventClick, b);
  sink.onClick = [&](kxGUIObject* o) {
    if (o == a) panel->Clear();
  };
  EXPECT_EQ(Deliver(), (std::vector<unsigned>{1, 3}));
}

TEST_F(kxGUIManagerTest, ClearOutsideDeliveryLeavesNoDeadRecords) {
  Top(1, 0, 0, 10, 10);
  Click(5, 5);
  gui->Clear();
  EXPECT_TRUE(Deliver().empty());
}

// ---- Values ----------------------------------------------------------------------

TEST_F(kxGUIManagerTest, SetValueByIDReachesEveryDepthParentsFirst) {
  // Left positions tell the controls apart in the log.
  Recorder* top = Top(5, 1, 0, 10, 10);
  Recorder* a = Child(top, 5, 1, 0, 10, 10);       // at 2
  Child(a, 5, 1, 0, 10, 10);                       // at 3
  Recorder* b = Child(top, 6, 10, 0, 10, 10);      // at 11
  Recorder* deep = Child(b, 5, 10, 0, 10, 10);     // at 21
  deep->SetVisible(false);  // visibility plays no part
  Top(261, 50, 0, 10, 10);  // 261 = 5 + 256: out of a byte's reach
  Top(5, 60, 0, 10, 10);    // a second top-level match
  log.clear();
  kxString value(u"x");
  gui->SetValueByID(5, value);
  // Children depth first, parents before descendants, then the top level.
  EXPECT_EQ(log, (Log{"5:SetValue@2", "5:SetValue@3", "5:SetValue@21", "5:SetValue@1",
                      "5:SetValue@60"}));
}

// ---- Drawing ---------------------------------------------------------------------

class kxGUIManagerDrawTest : public kxGUIManagerTest {
 protected:
  void SetUp() override { ASSERT_TRUE(kxTest::EnsureGLContext()); }
  Log Draws() {
    log.clear();
    gui->Draw();
    return log;
  }
};

TEST_F(kxGUIManagerDrawTest, TopLevelUnderChildrenDeeperLevelsOverTheirs) {
  Recorder* top = Top(1, 0, 0, 10, 10);
  Recorder* a = Child(top, 2, 0, 0, 10, 10);
  Child(a, 3, 0, 0, 10, 10);
  Child(top, 4, 0, 0, 10, 10);
  Top(0, 0, 0, 10, 10);  // ID 0 is drawn
  EXPECT_EQ(Draws(), (Log{"1:Draw", "3:Draw", "2:Draw", "4:Draw", "0:Draw"}));
}

TEST_F(kxGUIManagerDrawTest, HiddenTopLevelHidesChildrenHiddenChildDoesNot) {
  Recorder* top = Top(1, 0, 0, 10, 10);
  Recorder* child = Child(top, 2, 0, 0, 10, 10);
  child->SetVisible(false);
  EXPECT_EQ(Draws(), (Log{"1:Draw", "2:Draw"}));
  top->SetVisible(false);
  EXPECT_TRUE(Draws().empty());
}

TEST_F(kxGUIManagerDrawTest, SetsPixelProjectionAndLeavesFrozenStateUntouched) {
  Top(1, 0, 0, 10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  gui->Freeze();
  EXPECT_TRUE(Draws().empty());
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 1.0f);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

  gui->Thaw();
  EXPECT_EQ(Draws(), (Log{"1:Draw"}));
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  // x: 0..640 -> -1..1; y: 0..480 -> 1..-1 (y down).
  EXPECT_NEAR(m[0], 2.0f / 640.0f, 1e-7f);
  EXPECT_NEAR(m[5], -2.0f / 480.0f, 1e-7f);
  EXPECT_NEAR(m[12], -1.0f, 1e-6f);
  EXPECT_NEAR(m[13], 1.0f, 1e-6f);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 0.0f);  // identity loaded
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(kxGUIManagerDrawTest, ResizeChangesTheProjection) {
  gui->SetSize(800, 600);
  gui->Draw();
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_NEAR(m[0], 2.0f / 800.0f, 1e-7f);
  EXPECT_NEAR(m[5], -2.0f / 600.0f, 1e-7f);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace
