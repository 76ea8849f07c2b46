#include "graphics/kxGeometry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/kxTexturedBox.h"
#include "graphics/kxVertexArray.h"
#include "support/kxGLTestContext.h"

namespace {

// Records its drawing and destruction in shared logs.
class Spy : public kxVertexArray {
 public:
  Spy(std::string name, std::vector<std::string>* draws, std::vector<std::string>* deaths)
      : kxVertexArray(GL_TRIANGLES), name(std::move(name)), draws(draws), deaths(deaths) {}
  ~Spy() override { deaths->push_back(name); }
  void Draw() override { draws->push_back(name); }

 private:
  std::string name;
  std::vector<std::string>* draws;
  std::vector<std::string>* deaths;
};

class kxGeometryTest : public ::testing::Test {
 protected:
  Spy* Make(const char* name) { return new Spy(name, &draws, &deaths); }
  std::vector<std::string> draws, deaths;
};

typedef std::vector<std::string> Names;

}  // namespace

TEST_F(kxGeometryTest, NewGroupIsEmpty) {
  kxGeometry g;
  EXPECT_EQ(g.Length(), 0u);
  std::unique_ptr<Spy> a(Make("a"));
  EXPECT_EQ(g.GetVertexArrayID(a.get()), -1);
  EXPECT_EQ(g.GetVertexArrayID(nullptr), -1);
  g.Draw();
  EXPECT_TRUE(draws.empty());
}

TEST_F(kxGeometryTest, AppendFindAndDrawInSlotOrder) {
  kxGeometry g;
  Spy* a = Make("a");
  Spy* b = Make("b");
  Spy* c = Make("c");
  g.AppendVertexArray(a);
  g.AppendVertexArray(b);
  g.AppendVertexArray(c);
  g.AppendVertexArray(a);  // twice: found at its first slot, deleted once below
  EXPECT_EQ(g.Length(), 4u);
  EXPECT_EQ(g.GetVertexArrayID(a), 0);
  EXPECT_EQ(g.GetVertexArrayID(c), 2);
  EXPECT_EQ(g.GetVertexArray(1), b);
  g.Draw();
  EXPECT_EQ(draws, (Names{"a", "b", "c", "a"}));
  draws.clear();
  g.ChangeVertexArray(2, 0);
  g.Draw();
  EXPECT_EQ(draws, (Names{"c", "b", "a", "a"}));
  draws.clear();
  g.ChangeVertexArray(1, 1);
  g.ChangeVertexArray(1, 40);  // out of range: ignored
  g.Draw();
  EXPECT_EQ(draws, (Names{"c", "b", "a", "a"}));
  g.InsertVertexArray(3, nullptr);  // the duplicate slot goes; nothing deleted
  EXPECT_TRUE(deaths.empty());
}

TEST_F(kxGeometryTest, CreatedMembersUseTheGivenMode) {
  kxGeometry g;
  kxVertexArray* a = g.AppendVertexArray(GL_TRIANGLES);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(g.GetVertexArray(0), a);
  EXPECT_EQ(a->GetVertexArraySize(), 0u);
  EXPECT_EQ(g.Length(), 1u);
}

TEST_F(kxGeometryTest, SetSizeNullsSlotsWithoutDeleting) {
  kxGeometry g;
  Spy* a = Make("a");
  Spy* b = Make("b");
  Spy* c = Make("c");
  g.AppendVertexArray(a);
  g.AppendVertexArray(b);
  g.AppendVertexArray(c);
  g.SetSize(3);  // same size: members kept
  EXPECT_EQ(g.GetVertexArray(2), c);
  g.SetSize(4);
  EXPECT_EQ(g.Length(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g.GetVertexArray(i), nullptr) << i;
  EXPECT_TRUE(deaths.empty());
  g.Draw();  // null slots are skipped
  EXPECT_TRUE(draws.empty());
  // The game's reorder: refill every slot, then the group owns them again.
  g.InsertVertexArray(0, c);
  g.InsertVertexArray(1, b);
  g.InsertVertexArray(2, a);
  g.InsertVertexArray(7, a);  // beyond the count: ignored
  g.Draw();
  EXPECT_EQ(draws, (Names{"c", "b", "a"}));
  EXPECT_EQ(g.GetVertexArray(7), nullptr);
}

TEST_F(kxGeometryTest, ClearFalseDoesNothingClearTrueDeletes) {
  kxGeometry g;
  g.AppendVertexArray(Make("a"));
  g.AppendVertexArray(Make("b"));
  g.Clear(false);
  EXPECT_EQ(g.Length(), 2u);
  EXPECT_TRUE(deaths.empty());
  g.Clear(true);
  EXPECT_EQ(g.Length(), 0u);
  EXPECT_EQ(deaths, (Names{"a", "b"}));
  g.AppendVertexArray(Make("c"));  // usable after clearing
  EXPECT_EQ(g.Length(), 1u);
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
      referring.ChangeVertexArray(0, 1);
      // Move the new order back into the owner.
      owner.Clear(false);
      owner.SetSize(referring.Length());
      for (size_t i = 0; i < referring.Length(); ++i)
        owner.InsertVertexArray(i, referring.GetVertexArray(i));
    }
    EXPECT_TRUE(deaths.empty());
    owner.Draw();
    EXPECT_EQ(draws, (Names{"a", "b"}));
  }
  EXPECT_EQ(deaths, (Names{"a", "b"}));
}

TEST_F(kxGeometryTest, SetPositionsPlacesEveryMember) {
  kxGeometry g;
  g.AppendVertexArray(Make("a"));
  g.AppendVertexArray(Make("b"));
  float flat[6] = {1, 2, 3, 4, 5, 6};
  g.SetPositions(flat);
  float p[3];
  g.GetVertexArray(0)->GetCenter(p);
  EXPECT_EQ(p[0], 1.0f);
  EXPECT_EQ(p[2], 3.0f);
  g.GetVertexArray(1)->GetCenter(p);
  EXPECT_EQ(p[0], 4.0f);
  EXPECT_EQ(p[1], 5.0f);
  EXPECT_EQ(p[2], 6.0f);
  float points[2][3] = {{7, 8, 9}, {10, 11, 12}};
  g.SetPositions(points);
  g.GetVertexArray(1)->GetCenter(p);
  EXPECT_EQ(p[1], 11.0f);
  // A null slot is passed over; its coordinates are still consumed.
  std::unique_ptr<kxVertexArray> first(g.GetVertexArray(0));
  g.InsertVertexArray(0, nullptr);
  g.SetPositions(flat);
  g.GetVertexArray(1)->GetCenter(p);
  EXPECT_EQ(p[0], 4.0f);
}

class kxGeometryGL : public kxTest::GLTest {};

TEST_F(kxGeometryGL, DrawsMembersIncludingBoxes) {
  kxTest::Framebuffer fb(16, 16);
  kxTest::SetOrtho(0, 16, 0, 16);
  kxGeometry g;
  kxVertexArray* strip = g.AppendVertexArray(GL_TRIANGLES);
  const float q[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
  for (const auto& c : q) strip->AppendVertex(c[0], c[1], 0);
  strip->CreateVBO();
  strip->SetScale(4);
  strip->SetColor(1, 0, 0, 1);
  kxTexturedBox* box = kxTexturedBox::Create(4, 4, false, tbpNormal);
  box->SetPosition(8, 8, 0);
  box->SetColor(0, 1, 0, 1);
  g.AppendVertexArray(box);
  g.Draw();
  EXPECT_EQ(fb.Pixel(2, 2), (kxTest::RGBA{255, 0, 0, 255}));
  EXPECT_EQ(fb.Pixel(10, 10), (kxTest::RGBA{0, 255, 0, 255}));
  EXPECT_EQ(fb.Pixel(6, 6), (kxTest::RGBA{0, 0, 0, 0}));
}
