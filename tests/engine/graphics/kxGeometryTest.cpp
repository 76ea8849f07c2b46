#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"

namespace {

typedef std::vector<std::string> Names;

// Records its drawing and destruction in shared logs.
class Spy : public kxVertexArray {
 public:
  Spy(std::string name, Names* log)
      : kxVertexArray(GL_TRIANGLES), name(std::move(name)), log(log) {}
  ~Spy() override { log->push_back("~" + name); }
  void Draw() override { log->push_back(name); }

 private:
  std::string name;
  Names* log;
};

class kxGeometryTest : public ::testing::Test {
 protected:
  Spy* Make(const char* name) { return new Spy(name, &log); }
  Names Drawn(kxGeometry* g) {
    log.clear();
    g->Draw();
    return log;
  }
  Names log;
};

}  // namespace

TEST_F(kxGeometryTest, FindsReordersAndDrawsInSlotOrder) {
  kxGeometry g;
  Spy* a = Make("a");
  Spy* b = Make("b");
  Spy* c = Make("c");
  EXPECT_EQ(g.GetVertexArrayID(a), -1);
  EXPECT_EQ(Drawn(&g), Names{});
  for (Spy* s : {a, b, c, a}) g.AppendVertexArray(s);  // a twice: deleted once below
  EXPECT_EQ(g.GetVertexArrayID(a), 0);
  EXPECT_EQ(g.GetVertexArrayID(c), 2);
  EXPECT_EQ(g.GetVertexArrayID(nullptr), -1);
  EXPECT_EQ(Drawn(&g), (Names{"a", "b", "c", "a"}));
  g.ChangeVertexArray(2, 0);
  g.ChangeVertexArray(1, 1);
  g.ChangeVertexArray(1, 40);  // out of range: ignored
  EXPECT_EQ(Drawn(&g), (Names{"c", "b", "a", "a"}));
  g.InsertVertexArray(3, nullptr);  // drops the duplicate slot without deleting
  EXPECT_EQ(Drawn(&g), (Names{"c", "b", "a"}));
  kxVertexArray* made = g.AppendVertexArray(GL_TRIANGLES);
  EXPECT_EQ(g.GetVertexArray(4), made);
}

TEST_F(kxGeometryTest, SetSizeAndClearFalseNeverDelete) {
  kxGeometry g;
  Spy* a = Make("a");
  Spy* b = Make("b");
  for (Spy* s : {a, b}) g.AppendVertexArray(s);
  g.SetSize(2);  // same size: members kept
  EXPECT_EQ(g.GetVertexArray(1), b);
  g.SetSize(3);
  EXPECT_EQ(g.Length(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(g.GetVertexArray(i), nullptr) << i;
  EXPECT_EQ(Drawn(&g), Names{});  // null slots are skipped
  // The game's reorder: refill the slots, then the group owns them again.
  g.InsertVertexArray(0, b);
  g.InsertVertexArray(1, a);
  g.InsertVertexArray(7, a);  // beyond the count: ignored
  EXPECT_EQ(Drawn(&g), (Names{"b", "a"}));
  g.Clear(false);
  EXPECT_EQ(g.Length(), 3u);
  EXPECT_EQ(Drawn(&g), (Names{"b", "a"}));
  log.clear();
  g.Clear(true);
  EXPECT_EQ(log, (Names{"~b", "~a"}));
  EXPECT_EQ(g.Length(), 0u);
}

TEST_F(kxGeometryTest, OwningGroupDeletesReferringGroupDoesNot) {
  Spy* a = Make("a");
  Spy* b = Make("b");
  {
    kxGeometry owner;
    owner.AppendVertexArray(a);
    owner.AppendVertexArray(b);
    {
      kxGeometry referring;
      referring.SetClearOnDestroy(false);
      referring.AppendVertexArray(b);
      referring.AppendVertexArray(a);
    }
    EXPECT_EQ(Drawn(&owner), (Names{"a", "b"}));
    log.clear();
  }
  EXPECT_EQ(log, (Names{"~a", "~b"}));
}

TEST_F(kxGeometryTest, SetPositionsPlacesEveryMemberAndConsumesNullSlots) {
  kxGeometry g;
  g.AppendVertexArray(Make("a"));
  g.AppendVertexArray(Make("b"));
  auto centre = [&g](size_t i) {
    float p[3];
    g.GetVertexArray(i)->GetCenter(p);
    return std::vector<float>(p, p + 3);
  };
  float flat[6] = {1, 2, 3, 4, 5, 6};
  g.SetPositions(flat);
  EXPECT_EQ(centre(0), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(centre(1), (std::vector<float>{4, 5, 6}));
  float points[2][3] = {{7, 8, 9}, {10, 11, 12}};
  g.SetPositions(points);
  EXPECT_EQ(centre(1), (std::vector<float>{10, 11, 12}));
  std::unique_ptr<kxVertexArray> first(g.GetVertexArray(0));
  g.InsertVertexArray(0, nullptr);
  g.SetPositions(flat);
  EXPECT_EQ(centre(1), (std::vector<float>{4, 5, 6}));
}
