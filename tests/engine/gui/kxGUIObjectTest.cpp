// The control tree on its own: appending, ownership, flags and the
// per-control routing steps.
#include "gui/kxGUIObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/kxGUIManager.h"
#include "kxGUIRecorder.h"

namespace {

using kxGUITest::Recorder;
using Log = std::vector<std::string>;

TEST(kxGUIObjectTest, AppendChildShiftsOnceAndNotifiesLast) {
  Log log;
  Recorder* parent = new Recorder(&log, 1, 100, 50, 200, 200);
  kxGUIManager manager(640, 480);
  parent->SetGUIManagerPtr(&manager);
  Recorder* child = new Recorder(&log, 2, 10, 5, 20, 20);
  Recorder* grandchild = new Recorder(&log, 3, 1, 1, 5, 5);
  // The grandchild joins its parent before that parent has a place: it is
  // shifted by the child's relative position only, and not again later.
  EXPECT_TRUE(child->AppendChild(grandchild));
  EXPECT_TRUE(parent->AppendChild(child));
  EXPECT_EQ(child->GetLeft(), 110);
  EXPECT_EQ(child->GetTop(), 55);
  EXPECT_EQ(grandchild->GetLeft(), 11);
  EXPECT_EQ(grandchild->GetTop(), 6);
  EXPECT_EQ(child->GetGUIManagerPtr(), &manager);
  EXPECT_EQ(parent->GetChildCount(), 1u);
  EXPECT_EQ(parent->GetChild(0), child);
  // OnAfterSetParent sees the absolute position already.
  EXPECT_EQ(log, (Log{"3:Parent2@11,6", "2:Parent1@110,55"}));
  // Moving the parent later moves nothing else.
  parent->SetLeft(0);
  EXPECT_EQ(child->GetLeft(), 110);
  delete parent;
}

TEST(kxGUIObjectTest, DeletingAControlDeletesItsSubtreeOnce) {
  Log log;
  Recorder* root = new Recorder(&log, 1, 0, 0, 10, 10);
  Recorder* a = new Recorder(&log, 2, 0, 0, 10, 10);
  root->AppendChild(a);
  a->AppendChild(new Recorder(&log, 3, 0, 0, 10, 10));
  root->AppendChild(new Recorder(&log, 4, 0, 0, 10, 10));
  log.clear();
  root->Clear();
  EXPECT_EQ(root->GetChildCount(), 0u);
  EXPECT_EQ(log, (Log{"2:Deleted", "3:Deleted", "4:Deleted"}));
  // A cleared control can take children again.
  root->AppendChild(new Recorder(&log, 5, 0, 0, 10, 10));
  log.clear();
  delete root;
  EXPECT_EQ(log, (Log{"1:Deleted", "5:Deleted"}));
}

TEST(kxGUIObjectTest, SetIsMouseInsideEntersEveryTimeAndLeavesOnce) {
  Log log;
  Recorder control(&log, 1, 0, 0, 10, 10);
  control.SetIsMouseInside(false);  // was never inside: no leave
  control.SetIsMouseInside(true);
  control.SetIsMouseInside(true);
  control.SetIsMouseInside(false);
  control.SetIsMouseInside(false);
  EXPECT_EQ(log, (Log{"1:Enter", "1:Enter", "1:Leave"}));
  EXPECT_FALSE(control.GetIsMouseInside());
}

TEST(kxGUIObjectTest, HitTestIncludesBothFarEdges) {
  kxGUIObject c(1, 10, 20, 100, 50);
  EXPECT_TRUE(c.Contains(10, 20));
  EXPECT_TRUE(c.Contains(110, 70));
  EXPECT_FALSE(c.Contains(111, 70));
  EXPECT_FALSE(c.Contains(110, 71));
  EXPECT_FALSE(c.Contains(9, 20));
  EXPECT_FALSE(c.Contains(10, 19));
  // Rectangles at the end of the int range do not wrap around.
  kxGUIObject edge(1, 2147483600, 0, 100, 10);
  EXPECT_TRUE(edge.Contains(2147483647, 5));
  EXPECT_FALSE(edge.Contains(-2147483647, 5));
}

TEST(kxGUIObjectTest, MouseMoveVisitsChildrenThenSelf) {
  Log log;
  Recorder parent(&log, 1, 0, 0, 100, 100);
  Recorder* inside = new Recorder(&log, 2, 0, 0, 50, 50);
  Recorder* outside = new Recorder(&log, 3, 60, 60, 10, 10);
  Recorder* hidden = new Recorder(&log, 0, 0, 0, 50, 50);
  hidden->SetVisible(false);  // neither Visible nor ID matter for children
  parent.AppendChild(inside);
  parent.AppendChild(outside);
  parent.AppendChild(hidden);
  log.clear();
  parent.MouseMove(20, 20, 3, -4);
  EXPECT_EQ(log, (Log{"2:Enter", "2:Move3,-4", "0:Enter", "0:Move3,-4", "1:Enter", "1:Move3,-4"}));
  log.clear();
  parent.MouseMove(65, 65, 45, 45);
  EXPECT_EQ(log, (Log{"2:Leave", "3:Enter", "3:Move45,45", "0:Leave", "1:Enter", "1:Move45,45"}));
}

TEST(kxGUIObjectTest, PressReachesEveryHitChildButMarksOnlyTheControl) {
  Log log;
  Recorder parent(&log, 1, 0, 0, 100, 100);
  Recorder* a = new Recorder(&log, 2, 0, 0, 50, 50);
  Recorder* b = new Recorder(&log, 3, 10, 10, 50, 50);
  parent.AppendChild(a);
  parent.AppendChild(b);
  log.clear();
  parent.LMBDown(20, 20);
  EXPECT_EQ(log, (Log{"2:Down", "3:Down", "1:Down"}));
  EXPECT_TRUE(parent.GetPressed());
  EXPECT_FALSE(a->GetPressed());
  EXPECT_FALSE(b->GetPressed());
  // A press outside reaches no one and leaves the flag as it was.
  log.clear();
  parent.LMBDown(500, 500);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(parent.GetPressed());
}

}  // namespace
