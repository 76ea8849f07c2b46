// The manager's routing, event queue, drawing pass and value updates. Clicks
// go to a plain receiver.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/kxResource.h"
#include "gui/kxGUIClickReceiver.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIWheelTarget.h"
#include "kxGUIRecorder.h"
#include "support/kxGLTestContext.h"

namespace {

using kxGUITest::Recorder;
using Log = std::vector<std::string>;
using IDs = std::vector<unsigned>;

// Reads each clicked control's ID, so a freed one is caught by the sanitizer.
class ClickSink : public kxGUIClickReceiver {
 public:
  IDs ids;
  std::function<void(kxGUIObject*)> onClick;
  void OnGUIClick(kxGUIObject* object) override {
    ids.push_back(object->GetID());
    if (onClick) onClick(object);
  }
};

// A recorder that takes the wheel when told to, logging "<id>:Wheel<n>".
class WheelRecorder : public Recorder, public kxGUIWheelTarget {
 public:
  WheelRecorder(std::vector<std::string>* log, unsigned id, int l, int t, int w, int h, bool takes)
      : Recorder(log, id, l, t, w, h), takes(takes) {}
  bool OnMouseWheel(int notches) override {
    Log("Wheel" + std::to_string(notches));
    return takes;
  }
  bool takes;
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
  WheelRecorder* Wheel(Recorder* parent, unsigned id, int l, int t, int w, int h, bool takes) {
    WheelRecorder* r = new WheelRecorder(&log, id, l, t, w, h, takes);
    parent ? parent->AppendChild(r) : gui->AppendControl(r);
    return r;
  }
  void Click(int x, int y) {
    gui->OnLMBDown(x, y);
    gui->OnLMBUp(x, y);
  }
  IDs Deliver() {
    sink.ids.clear();
    gui->SetWrapperPtr(&sink);
    gui->HandleEvents();
    return sink.ids;
  }
  // Starts a new scene: no controls, an empty queue and log.
  void Reset() {
    gui->Clear();
    Deliver();
    log.clear();
  }
  Log log;
  ClickSink sink;
  std::unique_ptr<kxGUIManager> gui;
};

TEST_F(kxGUIManagerTest, OwnsControlsAndOnlyItsOwnEngineCollection) {
  ASSERT_NE(gui, nullptr);
  Recorder* a = Top(1, 0, 0, 10, 10);
  Child(a, 2, 0, 0, 5, 5);
  Top(3, 0, 0, 10, 10);
  EXPECT_EQ(a->GetChild(0)->GetGUIManagerPtr(), gui.get());
  EXPECT_EQ(gui->GetControlCount(), 2u);
  log.clear();
  gui->Clear();
  EXPECT_EQ(log, (Log{"1:Deleted", "2:Deleted", "3:Deleted"}));
  EXPECT_EQ(gui->GetControlCount(), 0u);
  Top(4, 0, 0, 10, 10);
  log.clear();
  // A newer manager replaces the collection; the older one going first
  // leaves the newer collection alone.
  kxResource* first = engineResources;
  std::unique_ptr<kxGUIManager> second(kxGUIManager::Create(10, 10));
  kxResource* current = engineResources;
  EXPECT_NE(current, first);
  gui.reset();
  EXPECT_EQ(log, (Log{"4:Deleted"}));
  EXPECT_EQ(engineResources, current);
  second.reset();
  EXPECT_EQ(engineResources, nullptr);
}

TEST_F(kxGUIManagerTest, PressAndReleaseRouting) {
  // A panel's child takes the release; the panel's pressed flag survives.
  Recorder* panel = Top(103, 100, 100, 300, 200);
  Recorder* button = Child(panel, 104, 20, 20, 100, 30);
  log.clear();
  Click(130, 130);
  EXPECT_EQ(log, (Log{"104:Down", "103:Down", "104:Up"}));
  EXPECT_TRUE(panel->GetPressed());
  EXPECT_FALSE(button->GetPressed());
  EXPECT_EQ(Deliver(), (IDs{104}));

  // A top-level press survives a release elsewhere and a press elsewhere;
  // a later release on the control clicks, once.
  Reset();
  Recorder* single = Top(5, 100, 100, 50, 50);
  gui->OnLMBDown(120, 120);
  gui->OnLMBUp(300, 300);
  gui->OnLMBDown(400, 400);
  EXPECT_EQ(gui->GetEventCount(), 0u);
  EXPECT_TRUE(single->GetPressed());
  gui->OnLMBUp(120, 120);
  gui->OnLMBUp(120, 120);
  EXPECT_EQ(Deliver(), (IDs{5}));
  EXPECT_FALSE(single->GetPressed());

  // Children click without a press, the first hit only.
  Reset();
  panel = Top(1, 0, 0, 200, 200);
  Child(panel, 2, 0, 0, 100, 100);
  Child(panel, 3, 0, 0, 100, 100);
  log.clear();
  gui->OnLMBUp(50, 50);
  EXPECT_EQ(log, (Log{"2:Up"}));
  EXPECT_EQ(Deliver(), (IDs{2}));

  // One release clicks every top-level control under it; edges inclusive.
  Reset();
  Top(1, 0, 0, 100, 100);
  Top(2, 50, 50, 100, 100);
  Top(3, 10, 220, 100, 50);
  Click(60, 60);
  int edges[5][2] = {{110, 270}, {10, 220}, {111, 270}, {110, 271}, {9, 220}};
  for (auto& xy : edges) Click(xy[0], xy[1]);
  EXPECT_EQ(Deliver(), (IDs{1, 2, 3, 3}));
}

// A control whose press adds top-level controls under the same point, as a
// handler that opens a box does: the list grows (and moves) while the
// manager walks it.
class Opener : public Recorder {
 public:
  Opener(std::vector<std::string>* log, kxGUIManager* gui, unsigned id, int adds)
      : Recorder(log, id, 0, 0, 100, 100), gui(gui), adds(adds), shared(log) {}
  void OnLMBDown() override {
    Recorder::OnLMBDown();
    for (int k = 0; k < adds; ++k) gui->AppendControl(new Recorder(shared, 50 + k, 0, 0, 100, 100));
    adds = 0;
  }
  kxGUIManager* gui;
  int adds;
  std::vector<std::string>* shared;
};

TEST_F(kxGUIManagerTest, RoutingWalksTheListAsItGrows) {
  gui->AppendControl(new Opener(&log, gui.get(), 1, 40));
  Top(2, 0, 0, 100, 100);
  log.clear();
  // The press reaches the controls added while it is routed, after the
  // ones that were there.
  gui->OnLMBDown(10, 10);
  ASSERT_EQ(gui->GetControlCount(), 42u);
  ASSERT_EQ(log.size(), 42u);
  EXPECT_EQ(log[0], "1:Down");
  EXPECT_EQ(log[1], "2:Down");
  EXPECT_EQ(log[2], "50:Down");
  EXPECT_EQ(log[41], "89:Down");
  // A later move and release reach all of them, once each.
  log.clear();
  gui->OnMouse(20, 20);
  gui->OnLMBUp(20, 20);
  EXPECT_EQ(std::count(log.begin(), log.end(), "89:Up"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "89:Enter"), 1);
  EXPECT_EQ(Deliver().size(), 42u);
}

TEST_F(kxGUIManagerTest, IdZeroHiddenAndDepthRules) {
  // ID 0 at the top level takes no mouse input at all.
  Recorder* silent = Top(0, 0, 0, 100, 100);
  gui->OnMouse(10, 10);
  Click(10, 10);
  EXPECT_TRUE(log.empty());
  silent->SetIsMouseInside(true);
  EXPECT_FALSE(gui->IsMouseInControls());

  // An ID 0 child is routed, but its release falls through to the parent.
  Reset();
  Recorder* panel = Top(10, 0, 0, 100, 100);
  Child(panel, 0, 0, 0, 50, 50);
  log.clear();
  gui->OnMouse(20, 20);  // 10, 10 on from the last position
  Click(20, 20);
  EXPECT_EQ(log, (Log{"0:Enter", "0:Move10,10", "10:Enter", "10:Move10,10", "0:Down", "10:Down",
                      "10:Up"}));
  EXPECT_EQ(Deliver(), (IDs{10}));

  // Grandchildren are not routed.
  Reset();
  Recorder* child = Child(Top(1, 0, 0, 100, 100), 2, 0, 0, 100, 100);
  Child(child, 3, 0, 0, 100, 100);
  log.clear();
  gui->OnMouse(20, 20);
  Click(20, 20);
  for (const std::string& entry : log) EXPECT_NE(entry.rfind("3:", 0), 0u) << entry;
  EXPECT_EQ(Deliver(), (IDs{2}));

  // A hidden top level is skipped; a hidden child is not.
  Reset();
  Top(1, 0, 0, 100, 100)->SetVisible(false);
  Child(Top(2, 200, 0, 100, 100), 3, 0, 0, 50, 50)->SetVisible(false);
  log.clear();
  gui->OnMouse(10, 10);
  Click(10, 10);
  EXPECT_TRUE(log.empty());
  Click(210, 10);
  EXPECT_EQ(Deliver(), (IDs{3}));
}

TEST_F(kxGUIManagerTest, MovesEnterEveryTimeLeaveOnceAndCarryTheDelta) {
  gui->OnMouse(30, 40);  // no controls yet: the position is still kept
  Recorder* a = Top(1, 0, 0, 100, 100);
  gui->OnMouse(35, 42);
  gui->OnMouse(35, 42);  // no movement: nothing at all
  gui->OnMouse(45, 47);
  EXPECT_TRUE(gui->IsMouseInControls());
  a->SetVisible(false);
  EXPECT_TRUE(gui->IsMouseInControls()) << "until the next routed move";
  a->SetVisible(true);
  gui->OnMouse(500, 47);
  gui->OnMouse(600, 47);
  EXPECT_FALSE(gui->IsMouseInControls());
  EXPECT_EQ(log, (Log{"1:Enter", "1:Move5,2", "1:Enter", "1:Move10,5", "1:Leave"}));
  // Children do not count as being in the controls.
  a->SetVisible(false);
  Recorder* c = Child(Top(2, 400, 400, 10, 10), 3, -400, -400, 500, 500);
  gui->OnMouse(5, 5);
  EXPECT_TRUE(c->GetIsMouseInside());
  EXPECT_FALSE(gui->IsMouseInControls());
}

TEST_F(kxGUIManagerTest, QueueWaitsForAWrapperAndDeliversInOrder) {
  Recorder* a = Top(1, 0, 0, 10, 10);
  Recorder* b = Top(2, 0, 0, 10, 10);
  gui->AppendEvent(kxGUIEventClick, b);
  gui->AppendEvent(static_cast<kxGUIEventType>(7), a);  // unknown types are dropped
  gui->AppendEvent(kxGUIEventClick, a);
  gui->HandleEvents();  // no wrapper yet
  EXPECT_EQ(gui->GetEventCount(), 3u);
  // Records queued during delivery arrive in the same pass.
  sink.onClick = [&](kxGUIObject* o) {
    if (o == a) gui->AppendEvent(kxGUIEventClick, b);
  };
  EXPECT_EQ(Deliver(), (IDs{2, 1, 2}));
  EXPECT_EQ(gui->GetEventCount(), 0u);
  EXPECT_TRUE(Deliver().empty());
}

TEST_F(kxGUIManagerTest, DeletedControlsAreNeverDelivered) {
  // Two overlapping buttons: one release queues two clicks, and the handler
  // of the first rebuilds the screen, as a menu does.
  Top(1, 0, 0, 100, 100);
  Top(2, 0, 0, 100, 100);
  Click(50, 50);
  ASSERT_EQ(gui->GetEventCount(), 2u);
  sink.onClick = [&](kxGUIObject* o) {
    if (o->GetID() != 1) return;
    gui->Freeze();
    gui->Clear();
    gui->AppendEvent(kxGUIEventClick, Top(3, 0, 0, 100, 100));  // live, queued afterwards
    gui->Thaw();
  };
  EXPECT_EQ(Deliver(), (IDs{1, 3}));
  EXPECT_EQ(gui->GetEventCount(), 0u);

  // Clearing one panel drops only its children's records.
  sink.onClick = nullptr;
  Reset();
  Recorder* a = Top(1, 0, 0, 10, 10);
  Recorder* panel = Top(10, 0, 0, 10, 10);
  Recorder* b = Child(panel, 2, 0, 0, 10, 10);
  Recorder* c = Top(3, 0, 0, 10, 10);
  for (Recorder* r : {a, b, c, b}) gui->AppendEvent(kxGUIEventClick, r);
  sink.onClick = [&](kxGUIObject* o) {
    if (o == a) panel->Clear();
  };
  EXPECT_EQ(Deliver(), (IDs{1, 3}));

  // And outside delivery too.
  sink.onClick = nullptr;
  Top(4, 0, 0, 10, 10);
  gui->AppendEvent(kxGUIEventClick, a);
  gui->Clear();
  EXPECT_TRUE(Deliver().empty());
}

TEST_F(kxGUIManagerTest, ClicksOfASubtreeBuiltBeforeItJoinedDieWithTheirControls) {
  // A panel filled before it joins the manager: its button's click is queued
  // through the panel's manager, and the button's deletion must drop it.
  Recorder* panel = new Recorder(&log, 10, 0, 0, 100, 100);
  Recorder* button = new Recorder(&log, 2, 10, 10, 50, 50);
  button->AppendChild(new Recorder(&log, 3, 0, 0, 5, 5));
  panel->AppendChild(button);
  ASSERT_TRUE(gui->AppendControl(panel));
  EXPECT_EQ(button->GetChild(0)->GetGUIManagerPtr(), gui.get());
  Click(20, 20);
  ASSERT_EQ(gui->GetEventCount(), 1u);
  panel->Clear();
  EXPECT_TRUE(Deliver().empty());

  // The same when the button is deleted from within an earlier click.
  Reset();
  Recorder* first = Top(1, 0, 0, 100, 100);
  Recorder* box = new Recorder(&log, 20, 0, 0, 100, 100);
  box->AppendChild(new Recorder(&log, 21, 0, 0, 100, 100));
  ASSERT_TRUE(gui->AppendControl(box));
  Click(50, 50);
  ASSERT_EQ(gui->GetEventCount(), 2u);
  sink.onClick = [&](kxGUIObject* o) {
    if (o == first) box->Clear();
  };
  EXPECT_EQ(Deliver(), (IDs{1}));
  sink.onClick = nullptr;
}

TEST_F(kxGUIManagerTest, TheWheelGoesToTheFirstTargetUnderThePointerThatTakesIt) {
  Recorder* panel = Top(103, 100, 100, 300, 200);
  Child(panel, 104, 0, 0, 300, 200);  // no wheel target
  WheelRecorder* refusing = Wheel(panel, 105, 10, 10, 100, 100, false);
  WheelRecorder* viewer = Wheel(panel, 0, 20, 20, 100, 100, true);  // children's IDs do not matter
  WheelRecorder* later = Wheel(nullptr, 7, 100, 100, 300, 200, true);
  log.clear();
  EXPECT_TRUE(gui->OnMouseWheel(150, 150, -2));
  EXPECT_EQ(log, (Log{"105:Wheel-2", "0:Wheel-2"})) << "children in order; the first taker ends";
  EXPECT_EQ(gui->GetEventCount(), 0u) << "the wheel queues nothing";

  log.clear();
  EXPECT_TRUE(gui->OnMouseWheel(380, 280, 1)) << "outside every child: the next top level";
  EXPECT_EQ(log, (Log{"7:Wheel1"}));
  log.clear();
  EXPECT_FALSE(gui->OnMouseWheel(150, 150, 0)) << "no notches";
  EXPECT_FALSE(gui->OnMouseWheel(50, 50, 1)) << "over nothing";
  EXPECT_TRUE(log.empty());

  // Nobody takes it: every target under the point was asked, the frame
  // keeps the wheel. Hidden and ID 0 top levels are not asked at all.
  viewer->takes = false;
  later->SetVisible(false);
  Wheel(nullptr, 0, 0, 0, 640, 480, true);
  EXPECT_FALSE(gui->OnMouseWheel(150, 150, 3));
  EXPECT_EQ(log, (Log{"105:Wheel3", "0:Wheel3"}));
  (void)refusing;

  // A top-level target is asked after its children.
  Reset();
  WheelRecorder* top = Wheel(nullptr, 9, 0, 0, 100, 100, true);
  Wheel(top, 8, 0, 0, 50, 50, false);
  log.clear();
  EXPECT_TRUE(gui->OnMouseWheel(10, 10, -1));
  EXPECT_EQ(log, (Log{"8:Wheel-1", "9:Wheel-1"}));
}

TEST_F(kxGUIManagerTest, MovesBetweenTheEndsOfIntCarryASaturatedDelta) {
  Top(1, INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the negative half
  Top(2, 0, 0, INT_MAX, INT_MAX);              // the positive half
  gui->OnMouse(INT_MIN, INT_MIN);
  gui->OnMouse(INT_MAX, INT_MAX);
  gui->OnMouse(INT_MIN, INT_MIN);
  const std::string down = "Move-2147483648,-2147483648", up = "Move2147483647,2147483647";
  EXPECT_EQ(log, (Log{"1:Enter", "1:" + down, "1:Leave", "2:Enter", "2:" + up, "1:Enter",
                      "1:" + down, "2:Leave"}));
}

TEST_F(kxGUIManagerTest, SetValueByIDReachesEveryDepthParentsFirst) {
  // Left positions tell the controls apart in the log.
  Recorder* top = Top(5, 1, 0, 10, 10);
  Child(Child(top, 5, 1, 0, 10, 10), 5, 1, 0, 10, 10);   // at 2 and 3
  Child(Child(top, 6, 10, 0, 10, 10), 5, 10, 0, 10, 10)  // at 11 and 21
      ->SetVisible(false);                               // visibility plays no part
  Top(261, 50, 0, 10, 10);                               // 5 + 256: IDs are not bytes
  Top(5, 60, 0, 10, 10);
  log.clear();
  kxString value(u"x");
  gui->SetValueByID(5, value);
  EXPECT_EQ(
      log, (Log{"5:SetValue@2", "5:SetValue@3", "5:SetValue@21", "5:SetValue@1", "5:SetValue@60"}));
}

class kxGUIManagerDrawTest : public kxGUIManagerTest {
 protected:
  void SetUp() override { ASSERT_TRUE(kxTest::EnsureGLContext()); }
  Log Draws() {
    log.clear();
    gui->Draw();
    return log;
  }
};

TEST_F(kxGUIManagerDrawTest, OrderVisibilityFreezeAndProjection) {
  Recorder* top = Top(1, 0, 0, 10, 10);
  Child(Child(top, 2, 0, 0, 10, 10), 3, 0, 0, 10, 10);
  Child(top, 4, 0, 0, 10, 10)->SetVisible(false);  // hidden children are drawn
  Top(0, 0, 0, 10, 10);                            // and so is ID 0
  // Deeper levels over theirs, top level under its children.
  EXPECT_EQ(Draws(), (Log{"1:Draw", "3:Draw", "2:Draw", "4:Draw", "0:Draw"}));

  KX_SKIP_UNLESS_FIXED();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  gui->Freeze();
  EXPECT_TRUE(Draws().empty());
  GLint mode = 0;
  GLfloat m[16];
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(mode, GL_MODELVIEW) << "frozen: no state touched";
  EXPECT_EQ(m[12], 1.0f);

  gui->Thaw();
  top->SetVisible(false);  // a hidden top level hides its children
  gui->SetSize(800, 600);
  EXPECT_EQ(Draws(), (Log{"0:Draw"}));
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  // Pixels with y down: x 0..800 -> -1..1, y 0..600 -> 1..-1.
  EXPECT_NEAR(m[0], 2.0f / 800.0f, 1e-7f);
  EXPECT_NEAR(m[5], -2.0f / 600.0f, 1e-7f);
  EXPECT_NEAR(m[12], -1.0f, 1e-6f);
  EXPECT_NEAR(m[13], 1.0f, 1e-6f);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 0.0f);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));  // blending and depth are the caller's
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace
