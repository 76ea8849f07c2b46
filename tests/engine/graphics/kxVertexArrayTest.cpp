#include <gtest/gtest.h>

#include "graphics/kxTexturedBox.h"
#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

// Exposes the array's state for checking.
class Probe : public kxVertexArray {
 public:
  using kxVertexArray::kxVertexArray;
  unsigned ColorBuffer() const { return colorBuffer; }
  bool OwnsTexture() const { return ownsTexture; }
  Floats Box() const { return Floats(boundingBox, boundingBox + 6); }
};

void AppendUnitSquare(kxVertexArray* a, bool texCoords = true, bool normals = true) {
  const float q[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
  for (const auto& c : q) {
    a->AppendVertex(c[0], c[1], 0);
    if (texCoords) a->AppendTexCoord(c[0], c[1]);
    if (normals) a->AppendNormal(0, 0, 1);
  }
}

class kxVertexArrayGL : public Target {};

}  // namespace

TEST(kxVertexArray, BoundingBox) {
  Probe a(GL_TRIANGLES);
  a.AppendVertex(1, -2, 3);
  a.CalculateBB();
  EXPECT_EQ(a.Box(), (Floats{1, -2, 3, 1, -2, 3}));
  a.AppendVertex(-4, 5, 0), a.AppendVertex(2, 0, 7), a.AppendVertex(0, -6, -1);
  a.CalculateBB();
  EXPECT_EQ(a.Box(), (Floats{-4, -6, -1, 2, 5, 7}));
  // No vertices: nothing is read, the box is zero and the position stays.
  a.Clear();
  a.SetPosition(1, 1, 1);
  a.SetMoveToCenter(true);
  a.CalculateBB();
  EXPECT_EQ(a.Box(), Floats(6, 0.0f));
  float p[3];
  a.GetCenter(p);
  EXPECT_EQ(Floats(p, p + 3), (Floats{1, 1, 1}));
}

TEST_F(kxVertexArrayGL, CreateVBOUploadsAndReplacesItsBuffers) {
  Probe a(GL_TRIANGLES);
  a.AppendVertex(1, 2, 3), a.AppendVertex(4, 5, 6), a.AppendNormal(0, 1, 0);
  a.AppendColor(0.5f, 0.25f, 1, 0);
  a.CreateVBO();
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.GetVertexBuffer(), 6), (Floats{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.GetNormalBuffer(), 3), (Floats{0, 1, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 4), (Floats{0.5f, 0.25f, 1, 0}));
  EXPECT_EQ(a.GetTexCoordBuffer(), 0u);
  a.AppendTexCoord(0, 0);
  a.CreateVBO();
  unsigned first[4] = {a.GetVertexBuffer(), a.GetTexCoordBuffer(), a.GetNormalBuffer(),
                       a.ColorBuffer()};
  a.AppendVertex(7, 7, 7);
  a.CreateVBO();
  for (unsigned b : first) EXPECT_FALSE(kxTest::IsBuffer(b)) << "buffer " << b << " leaked";
  GLint size = 0;
  kxTest::ReadBuffer(a.GetVertexBuffer(), 0, &size);
  EXPECT_EQ(size, 3 * 12);
}

TEST_F(kxVertexArrayGL, DestructionReleasesOwnedObjectsOnly) {
  auto* source = new Probe(GL_TRIANGLES);
  AppendUnitSquare(source);
  source->CreateVBO();
  Textured(source);
  unsigned names[3] = {source->GetVertexBuffer(), source->GetTexCoordBuffer(),
                       source->GetNormalBuffer()};
  unsigned tex = source->GetTextureID();
  // A borrower of the geometry draws with its own placement and texture.
  auto* borrower = new Probe(GL_TRIANGLES);
  borrower->AssignGeometry(source);
  Textured(borrower);
  borrower->SetScale(4), borrower->SetPosition(20, 20, 0), borrower->SetColor(0, 1, 0, 1);
  borrower->Draw();
  EXPECT_EQ((Pixels{At(22, 22), At(2, 2)}), (Pixels{kGreen, kNone}));
  delete borrower;
  auto* lender = new Probe(GL_TRIANGLES);
  lender->SetVertexBuffer(names[0]), lender->SetTexCoordBuffer(names[1]);
  lender->SetNormalBuffer(names[2]), lender->SetTextureID(tex);  // by id: not owned
  delete lender;
  auto alive = [&] {
    return std::vector<bool>{kxTest::IsBuffer(names[0]), kxTest::IsBuffer(names[1]),
                             kxTest::IsBuffer(names[2]), kxTest::IsTexture(tex)};
  };
  EXPECT_EQ(alive(), std::vector<bool>(4, true));
  delete source;
  EXPECT_EQ(alive(), std::vector<bool>(4, false));
}

TEST_F(kxVertexArrayGL, BorrowingInPlaceOfItsOwnBuffersReleasesThemAndSparesTheLender) {
  Probe source(GL_TRIANGLES);
  AppendUnitSquare(&source);
  source.CreateVBO();
  auto lent = [&] {
    return std::vector<bool>{kxTest::IsBuffer(source.GetVertexBuffer()),
                             kxTest::IsBuffer(source.GetTexCoordBuffer()),
                             kxTest::IsBuffer(source.GetNormalBuffer())};
  };
  const std::vector<bool> allAlive(3, true), noneAlive(3, false);
  // A textured box makes its own three buffers when it is built.
  auto* box = new kxTexturedBox(2, 2, false, tbpFlipped);
  unsigned own[3] = {box->GetVertexBuffer(), box->GetTexCoordBuffer(), box->GetNormalBuffer()};
  box->AssignGeometry(&source);
  EXPECT_EQ((std::vector<bool>{kxTest::IsBuffer(own[0]), kxTest::IsBuffer(own[1]),
                               kxTest::IsBuffer(own[2])}),
            noneAlive)
      << "the box's own buffers leaked";
  Textured(box);
  box->SetScale(8), box->SetColor(0, 0, 1, 1);
  box->Draw();
  EXPECT_EQ((Pixels{At(4, 4), At(12, 4)}), (Pixels{kBlue, kNone}));  // the 1 x 1 square
  delete box;
  EXPECT_EQ(lent(), allAlive) << "the borrower deleted the lender's buffers";

  // The same through the single setters, one buffer at a time.
  auto* a = new Probe(GL_TRIANGLES);
  AppendUnitSquare(a);
  a->CreateVBO();
  unsigned ownVertex = a->GetVertexBuffer(), ownNormal = a->GetNormalBuffer();
  a->SetVertexBuffer(source.GetVertexBuffer());
  a->SetTexCoordBuffer(source.GetTexCoordBuffer());
  a->SetNormalBuffer(a->GetNormalBuffer());  // its own name again: still its own
  EXPECT_FALSE(kxTest::IsBuffer(ownVertex));
  delete a;
  EXPECT_EQ(lent(), allAlive);
  EXPECT_FALSE(kxTest::IsBuffer(ownNormal)) << "its own normal buffer leaked";
}

TEST_F(kxVertexArrayGL, DrawScalesTurnsMovesAndTints) {
  kxVertexArray empty(GL_TRIANGLES);
  empty.Draw(), empty.DrawColor();  // no buffers: nothing drawn, nothing read
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.CreateVBO();
  Textured(&a);
  a.SetScale(8), a.SetPosition(4, 4, 0), a.SetColor(1, 1, 1, 1);
  a.GetColor()->r = a.GetColor()->b = 0;  // writes through GetColor tint the next draw
  a.Draw();
  EXPECT_EQ((Pixels{At(5, 5), At(11, 11), At(13, 8), At(3, 8)}),
            (Pixels{kGreen, kGreen, kNone, kNone}));
  // Scale, then z, y, x turns, then move: z 90 then y 180 lands on x, y >= 0.
  fb->Clear(0, 0, 0, 0);
  float angles[3] = {0, 180, 90};
  a.SetAngle(angles);
  a.SetPosition(16, 16, 0);
  a.Draw();
  EXPECT_EQ((Pixels{At(20, 20), At(12, 12), At(12, 20)}), (Pixels{kGreen, kNone, kNone}));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) ||
               glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(kxVertexArrayGL, MissingBuffersLeaveTheirClientArraysAlone) {
  // A pointer of 0 with no buffer bound reads address 0: the markers must stay.
  static float marker[3];
  const std::vector<void*> markers = {&marker[0], &marker[1], &marker[2]};
  auto setMarkers = [] {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glTexCoordPointer(2, GL_FLOAT, 0, &marker[0]);
    glNormalPointer(GL_FLOAT, 0, &marker[1]);
    glColorPointer(4, GL_FLOAT, 0, &marker[2]);
  };
  auto pointers = [] {
    std::vector<void*> p(3);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &p[0]);
    glGetPointerv(GL_NORMAL_ARRAY_POINTER, &p[1]);
    glGetPointerv(GL_COLOR_ARRAY_POINTER, &p[2]);
    return p;
  };
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  a.CreateVBO();
  setMarkers();
  a.SetScale(32), a.SetColor(0, 0, 1, 1);
  a.Draw();
  EXPECT_EQ(At(16, 16), kBlue);
  glColor4f(0, 1, 0, 1);
  a.DrawColor();  // no colour buffer: the current colour
  EXPECT_EQ(At(16, 16), kGreen);
  EXPECT_EQ(pointers(), markers);
}

TEST_F(kxVertexArrayGL, TextureLoadsReplaceTheOwnedTextureAndFailuresKeepIt) {
  Probe a(GL_TRIANGLES);
  std::string path = TempPath("texture.tga");
  Bytes tga = TGA24(3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(WriteFile(path, tga.data(), tga.size()));
  a.TextureFromFile(path.c_str());
  unsigned first = a.GetTextureID();
  EXPECT_TRUE(a.OwnsTexture());
  int w, h;
  EXPECT_EQ(kxTest::ReadTexture(first, GL_RGBA, &w, &h),
            (Bytes{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}));
  Textured(&a);
  unsigned second = a.GetTextureID();
  EXPECT_FALSE(kxTest::IsTexture(first)) << "old owned texture leaked";
  kxMemoryBlock* junk = Block({1, 2, 3, 4, 5, 6});
  kxMemoryBlock* notImage = Crunched(Bytes(64, 3));
  for (kxMemoryBlock* b : {junk, notImage, (kxMemoryBlock*)nullptr})
    a.TextureFromCrunchedMemoryBlock(b);
  a.TextureFromFile("kxgfx_missing_file.tga");
  ASSERT_TRUE(WriteFile(path, tga.data(), 20));
  a.TextureFromFile(path.c_str());
  EXPECT_TRUE(a.GetTextureID() == second && kxTest::IsTexture(second));
  // A name installed by id is borrowed: the owned texture it replaces is
  // released, and the borrowed one outlives the array.
  Probe lender(GL_TRIANGLES);
  Textured(&lender);
  const unsigned lent = lender.GetTextureID();
  {
    Probe borrower(GL_TRIANGLES);
    Textured(&borrower);
    const unsigned own = borrower.GetTextureID();
    borrower.SetTextureID(lent);
    EXPECT_FALSE(borrower.OwnsTexture());
    EXPECT_FALSE(kxTest::IsTexture(own)) << "replaced owned texture leaked";
  }
  EXPECT_TRUE(kxTest::IsTexture(lent)) << "the borrower deleted the lender's texture";
  kxFreeMemoryBlock(junk);
  kxFreeMemoryBlock(notImage);
  remove(path.c_str());
}
