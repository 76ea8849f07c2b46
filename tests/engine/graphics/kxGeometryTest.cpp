#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"

namespace {

typedef std::vector<std::string> Names;

// Records its drawing and destruction in a shared log.
class Spy : public kxVertexArray {
 public:
  Spy(const char* name, Names* log) : kxVertexArray(GL_TRIANGLES), name(name), log(log) {}
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

TEST_F(kxGeometryTest, FindsReordersPlacesAndDrawsInSlotOrder) {
  kxGeometry g;
  Spy *a = Make("a"), *b = Make("b"), *c = Make("c");
  EXPECT_EQ(g.GetVertexArrayID(a), -1);
  for (Spy* s : {a, b, c, a}) g.AppendVertexArray(s);  // a twice: deleted once
  EXPECT_EQ(
      (std::vector<int>{g.GetVertexArrayID(a), g.GetVertexArrayID(c), g.GetVertexArrayID(nullptr)}),
      (std::vector<int>{0, 2, -1}));
  EXPECT_EQ(Drawn(&g), (Names{"a", "b", "c", "a"}));
  g.ChangeVertexArray(2, 0);
  g.ChangeVertexArray(1, 1);
  g.ChangeVertexArray(1, 40);  // out of range: ignored
  EXPECT_EQ(Drawn(&g), (Names{"c", "b", "a", "a"}));
  g.InsertVertexArray(3, nullptr);  // drops the duplicate slot without deleting
  EXPECT_EQ(Drawn(&g), (Names{"c", "b", "a"}));
  float flat[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, p[3];
  g.SetPositions(flat);  // three coordinates per slot, in slot order
  a->GetCenter(p);
  EXPECT_EQ(std::vector<float>(p, p + 3), (std::vector<float>{6, 7, 8}));
}

TEST_F(kxGeometryTest, SetSizeClearFalseAndReferringGroupsNeverDelete) {
  Spy *a = Make("a"), *b = Make("b");
  {
    kxGeometry g;
    for (Spy* s : {a, b}) g.AppendVertexArray(s);
    {
      kxGeometry referring;
      referring.SetClearOnDestroy(false);
      for (Spy* s : {b, a}) referring.AppendVertexArray(s);
    }
    g.SetSize(2);  // same size: members kept
    EXPECT_EQ(Drawn(&g), (Names{"a", "b"}));
    g.SetSize(3);
    EXPECT_EQ(g.Length(), 3u);
    EXPECT_EQ(Drawn(&g), Names{});  // slots nulled, members not deleted
    // The game's reorder: refill the slots, then the group owns them again.
    g.InsertVertexArray(0, b);
    g.InsertVertexArray(1, a);
    g.InsertVertexArray(7, a);  // beyond the count: ignored
    g.Clear(false);
    EXPECT_EQ(Drawn(&g), (Names{"b", "a"}));
    log.clear();
  }
  EXPECT_EQ(log, (Names{"~b", "~a"}));
  kxGeometry cleared;
  cleared.AppendVertexArray(Make("c"));
  cleared.Clear(true);
  EXPECT_EQ(log, (Names{"~b", "~a", "~c"}));
  EXPECT_EQ(cleared.Length(), 0u);
}
