// The control tree on its own: appending, ownership, hit tests and the
// per-control routing steps.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "kxGUIRecorder.h"

namespace {

using kxGUITest::Recorder;
using Log = std::vector<std::string>;

TEST(kxGUIObjectTest, AppendChildShiftsOnceNotifiesLastAndOwnsTheSubtree) {
  Log log;
  Recorder* parent = new Recorder(&log, 1, 100, 50, 200, 200);
  kxGUIManager manager(640, 480);
  parent->SetGUIManagerPtr(&manager);
  Recorder* child = new Recorder(&log, 2, 10, 5, 20, 20);
  Recorder* grandchild = new Recorder(&log, 3, 1, 1, 5, 5);
  // Joining a parent that has no place yet shifts by its relative position
  // only, and never again later.
  EXPECT_TRUE(child->AppendChild(grandchild));
  EXPECT_TRUE(parent->AppendChild(child));
  parent->AppendChild(new Recorder(&log, 4, 0, 0, 10, 10));
  EXPECT_EQ((std::vector<int>{child->GetLeft(), child->GetTop(), grandchild->GetLeft(),
                              grandchild->GetTop()}),
            (std::vector<int>{110, 55, 11, 6}));
  EXPECT_EQ(child->GetGUIManagerPtr(), &manager);
  // OnAfterSetParent sees the absolute position already.
  EXPECT_EQ(log, (Log{"3:Parent2@11,6", "2:Parent1@110,55", "4:Parent1@100,50"}));
  parent->SetLeft(0);
  EXPECT_EQ(child->GetLeft(), 110) << "moving the parent later moves nothing else";
  log.clear();
  parent->Clear();
  EXPECT_EQ(parent->GetChildCount(), 0u);
  EXPECT_EQ(log, (Log{"2:Deleted", "3:Deleted", "4:Deleted"}));
  parent->AppendChild(new Recorder(&log, 5, 0, 0, 10, 10));  // cleared, it takes children again
  log.clear();
  delete parent;
  EXPECT_EQ(log, (Log{"1:Deleted", "5:Deleted"}));
}

TEST(kxGUIObjectTest, HitTestIncludesBothFarEdgesAndEntersEveryTime) {
  kxGUIObject c(1, 10, 20, 100, 50);
  struct {
    int x, y;
    bool in;
  } points[] = {{10, 20, true},   {110, 70, true}, {111, 70, false},
                {110, 71, false}, {9, 20, false},  {10, 19, false}};
  for (auto& p : points) EXPECT_EQ(p.in, c.Contains(p.x, p.y)) << p.x << "," << p.y;
  kxGUIObject edge(1, 2147483600, 0, 100, 10);  // no wrap at the end of int
  EXPECT_TRUE(edge.Contains(2147483647, 5));
  EXPECT_FALSE(edge.Contains(-2147483647, 5));

  Log log;
  Recorder control(&log, 1, 0, 0, 10, 10);
  for (bool inside : {false, true, true, false, false}) control.SetIsMouseInside(inside);
  EXPECT_EQ(log, (Log{"1:Enter", "1:Enter", "1:Leave"}));
}

TEST(kxGUIObjectTest, MovesAndPressesVisitHitChildrenThenSelf) {
  Log log;
  Recorder parent(&log, 1, 0, 0, 100, 100);
  parent.AppendChild(new Recorder(&log, 2, 0, 0, 50, 50));
  parent.AppendChild(new Recorder(&log, 3, 60, 60, 10, 10));
  Recorder* hidden = new Recorder(&log, 0, 0, 0, 50, 50);
  hidden->SetVisible(false);  // neither Visible nor ID matter for children
  parent.AppendChild(hidden);
  log.clear();
  parent.MouseMove(20, 20, 3, -4);
  EXPECT_EQ(log, (Log{"2:Enter", "2:Move3,-4", "0:Enter", "0:Move3,-4", "1:Enter", "1:Move3,-4"}));
  log.clear();
  parent.MouseMove(65, 65, 45, 45);
  EXPECT_EQ(log, (Log{"2:Leave", "3:Enter", "3:Move45,45", "0:Leave", "1:Enter", "1:Move45,45"}));
  // A press reaches every child hit but marks only the control itself; one
  // outside reaches no one and leaves the mark.
  log.clear();
  parent.LMBDown(20, 20);
  parent.LMBDown(500, 500);
  EXPECT_EQ(log, (Log{"2:Down", "0:Down", "1:Down"}));
  EXPECT_TRUE(parent.GetPressed());
  EXPECT_FALSE(parent.GetChild(0)->GetPressed());
}

TEST(kxGUIObjectTest, TheManagerReachesEveryDescendantWhenASubtreeJoins) {
  Log log;
  kxGUIManager first(640, 480), second(640, 480);
  // Built bottom up, away from any manager.
  Recorder* panel = new Recorder(&log, 1, 0, 0, 100, 100);
  Recorder* row = new Recorder(&log, 2, 0, 0, 50, 50);
  Recorder* cell = new Recorder(&log, 3, 0, 0, 10, 10);
  row->AppendChild(cell);
  panel->AppendChild(row);
  EXPECT_EQ(cell->GetGUIManagerPtr(), nullptr);
  panel->SetGUIManagerPtr(&first);
  EXPECT_EQ(row->GetGUIManagerPtr(), &first);
  EXPECT_EQ(cell->GetGUIManagerPtr(), &first);
  // A subtree appended under a control that has a manager gets it too.
  Recorder* late = new Recorder(&log, 4, 0, 0, 10, 10);
  late->AppendChild(new Recorder(&log, 5, 0, 0, 5, 5));
  late->GetChild(0)->SetGUIManagerPtr(&second);  // a stale manager is replaced
  cell->AppendChild(late);
  EXPECT_EQ(late->GetGUIManagerPtr(), &first);
  EXPECT_EQ(late->GetChild(0)->GetGUIManagerPtr(), &first);
  log.clear();
  delete panel;
  EXPECT_EQ(log, (Log{"1:Deleted", "2:Deleted", "3:Deleted", "4:Deleted", "5:Deleted"}));
}

TEST(kxGUIObjectTest, AppendingNearTheEndsOfIntSaturatesInsteadOfOverflowing) {
  kxGUIObject parent(1, INT_MAX - 5, INT_MIN + 5, 10, 10);
  kxGUIObject* right = new kxGUIObject(2, 100, -100, 10, 10);
  kxGUIObject* back = new kxGUIObject(3, -100, 100, 10, 10);
  ASSERT_TRUE(parent.AppendChild(right));
  ASSERT_TRUE(parent.AppendChild(back));
  EXPECT_EQ((std::vector<int>{right->GetLeft(), right->GetTop(), back->GetLeft(), back->GetTop()}),
            (std::vector<int>{INT_MAX, INT_MIN, INT_MAX - 105, INT_MIN + 105}));
  EXPECT_TRUE(right->Contains(INT_MAX, INT_MIN + 3));
  // Routing at such places stays defined as well.
  parent.MouseMove(INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  parent.LMBDown(INT_MAX, INT_MIN);
  parent.LMBUp(INT_MIN, INT_MAX);
  EXPECT_TRUE(right->GetIsMouseInside());
}

}  // namespace
