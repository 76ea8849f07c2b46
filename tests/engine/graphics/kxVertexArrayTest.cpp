#include <gtest/gtest.h>

#include <memory>

#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;
using kxTest::RGBA;
typedef std::vector<float> Floats;

namespace {

// Exposes the array's state for checking.
class Probe : public kxVertexArray {
 public:
  using kxVertexArray::kxVertexArray;
  const float (*Colors() const)[4] { return colors; }
  unsigned ColorBuffer() const { return colorBuffer; }
  bool OwnsTexture() const { return ownsTexture; }
  Floats Box() const { return Floats(boundingBox, boundingBox + 6); }
  Floats Center() {
    float p[3];
    GetCenter(p);
    return Floats(p, p + 3);
  }
};

void AppendUnitSquare(kxVertexArray* a, bool texCoords = true, bool normals = true) {
  const float q[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
  for (const auto& c : q) {
    a->AppendVertex(c[0], c[1], 0);
    if (texCoords) a->AppendTexCoord(c[0], c[1]);
    if (normals) a->AppendNormal(0, 0, 1);
  }
}

const RGBA kNone{0, 0, 0, 0}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// Whole 32 x 32 target, y up, one unit per pixel.
class kxVertexArrayGL : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    fb.reset(new kxTest::Framebuffer(32, 32));
    kxTest::SetOrtho(0, 32, 0, 32);
  }
  void TearDown() override { fb.reset(); }
  RGBA At(int x, int y) { return fb->Pixel(x, y); }
  static void GiveTexture(kxVertexArray* a, const Bytes& tga = TGA24(1, 1, {255, 255, 255})) {
    kxMemoryBlock* c = Crunched(tga);
    a->TextureFromCrunchedMemoryBlock(c);
    kxFreeMemoryBlock(c);
  }
  std::unique_ptr<kxTest::Framebuffer> fb;
};

}  // namespace

TEST(kxVertexArray, BoundingBoxAndCentring) {
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
  EXPECT_EQ(a.Center(), (Floats{1, 1, 1}));
  // Centring replaces the position and shifts the vertices; a second pass
  // puts the position at the origin.
  a.AppendVertex(2, 1, -3), a.AppendVertex(6, 3, 5);
  a.CalculateBB();
  EXPECT_EQ(a.Center(), (Floats{4, 2, 1}));
  EXPECT_EQ(a.Box(), (Floats{-2, -1, -4, 2, 1, 4}));
  EXPECT_EQ(a.GetVertexArray()[0][2], -4.0f);
  a.CalculateBB();
  EXPECT_EQ(a.Center(), (Floats{0, 0, 0}));
  EXPECT_EQ(a.GetVertexArray()[1][0], 2.0f);
}

TEST_F(kxVertexArrayGL, CreateVBOUploadsAndReplacesItsBuffers) {
  Probe a(GL_TRIANGLES);
  a.AppendVertex(1, 2, 3), a.AppendVertex(4, 5, 6), a.AppendNormal(0, 1, 0);
  a.AppendColor(0.5f, 0.25f, 1, 0);
  a.CreateVBO();
  GLint size = 0;
  kxTest::ReadBuffer(a.GetVertexBuffer(), 0, &size);
  EXPECT_EQ(size, 24);
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
  kxTest::ReadBuffer(a.GetVertexBuffer(), 0, &size);
  EXPECT_EQ(size, 3 * 12);
}

TEST_F(kxVertexArrayGL, DestructionReleasesOwnedObjectsOnly) {
  auto* source = new Probe(GL_TRIANGLES);
  AppendUnitSquare(source);
  source->CreateVBO();
  GiveTexture(source);
  unsigned names[3] = {source->GetVertexBuffer(), source->GetTexCoordBuffer(),
                       source->GetNormalBuffer()};
  unsigned tex = source->GetTextureID();
  // A borrower of the geometry draws with its own placement and texture.
  auto* borrower = new Probe(GL_TRIANGLES);
  borrower->AssignGeometry(source);
  GiveTexture(borrower);
  borrower->SetScale(4), borrower->SetPosition(20, 20, 0), borrower->SetColor(0, 1, 0, 1);
  borrower->Draw();
  EXPECT_EQ(At(22, 22), kGreen);
  EXPECT_EQ(At(2, 2), kNone);
  delete borrower;
  auto* lender = new Probe(GL_TRIANGLES);
  lender->SetVertexBuffer(names[0]), lender->SetTexCoordBuffer(names[1]);
  lender->SetNormalBuffer(names[2]), lender->SetTextureID(tex);  // by id: not owned
  EXPECT_FALSE(lender->OwnsTexture());
  delete lender;
  for (unsigned b : names) EXPECT_TRUE(kxTest::IsBuffer(b));
  EXPECT_TRUE(kxTest::IsTexture(tex));
  delete source;
  for (unsigned b : names) EXPECT_FALSE(kxTest::IsBuffer(b));
  EXPECT_FALSE(kxTest::IsTexture(tex));
}

TEST_F(kxVertexArrayGL, ColourRewritesReachListAndBuffer) {
  Probe a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  for (int i = 0; i < 6; ++i) a.AppendColor(float(i), 1, 0, 1);
  a.CreateVBO();
  a.SetColor(1, 0, 0.75f, 1);
  Floats expected;
  for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {1, 0, 0.75f, 1});
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 24), expected);
  a.SetAlpha(0.5f);  // the list now, the buffer at the next upload
  EXPECT_EQ(a.Colors()[5][3], 0.5f);
  // DrawColor uses the per-vertex colours, not the current colour.
  a.SetScale(8), a.SetPosition(8, 8, 0);
  a.SetColor(1, 0, 0, 1);
  glColor4f(0, 1, 0, 1);
  a.DrawColor();
  EXPECT_EQ(At(12, 12), kRed);
  EXPECT_EQ(At(4, 4), kNone);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY) || glIsEnabled(GL_VERTEX_ARRAY));
}

TEST_F(kxVertexArrayGL, DrawScalesTurnsMovesAndTints) {
  kxVertexArray empty(GL_TRIANGLES);
  empty.Draw(), empty.DrawColor();  // no buffers: nothing drawn, nothing read
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.CreateVBO();
  GiveTexture(&a);
  a.SetScale(8), a.SetPosition(4, 4, 0), a.SetColor(1, 1, 1, 1);
  a.GetColor()->r = a.GetColor()->b = 0;  // writes through GetColor tint the next draw
  a.Draw();
  EXPECT_EQ((std::vector<RGBA>{At(5, 5), At(11, 11), At(13, 8), At(3, 8)}),
            (std::vector<RGBA>{kGreen, kGreen, kNone, kNone}));
  // Scale, then z, y, x turns, then move: z 90 then y 180 lands on x, y >= 0.
  fb->Clear(0, 0, 0, 0);
  float angles[3] = {0, 180, 90};
  a.SetAngle(angles);
  a.SetPosition(16, 16, 0);
  a.Draw();
  EXPECT_EQ((std::vector<RGBA>{At(20, 20), At(12, 12), At(12, 20)}),
            (std::vector<RGBA>{kGreen, kNone, kNone}));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) ||
               glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(kxVertexArrayGL, MissingBuffersLeaveTheirClientArraysAlone) {
  // Handing OpenGL a pointer of 0 with no buffer bound reads address 0; the
  // marker pointers show whether a draw replaced them.
  static float marker[3];
  const GLenum queries[3] = {GL_TEXTURE_COORD_ARRAY_POINTER, GL_NORMAL_ARRAY_POINTER,
                             GL_COLOR_ARRAY_POINTER};
  auto setMarkers = [] {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glTexCoordPointer(2, GL_FLOAT, 0, &marker[0]);
    glNormalPointer(GL_FLOAT, 0, &marker[1]);
    glColorPointer(4, GL_FLOAT, 0, &marker[2]);
  };
  auto untouched = [&](int count) {
    for (int i = 0; i < count; ++i) {
      void* pointer = nullptr;
      glGetPointerv(queries[i], &pointer);
      EXPECT_EQ(pointer, static_cast<void*>(&marker[i])) << i;
    }
  };
  kxVertexArray a(GL_TRIANGLES), b(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  AppendUnitSquare(&b, false, true);  // normals, no texture coordinates
  a.CreateVBO(), b.CreateVBO();
  setMarkers();
  b.SetScale(8), b.SetColor(1, 0, 0, 1);
  b.Draw();
  EXPECT_EQ(At(4, 4), kRed);
  untouched(1);
  setMarkers();
  a.SetScale(32), a.SetColor(0, 0, 1, 1);
  a.Draw();
  EXPECT_EQ(At(16, 16), kBlue);
  glColor4f(0, 1, 0, 1);
  a.DrawColor();  // no colour buffer: the current colour
  EXPECT_EQ(At(16, 16), kGreen);
  untouched(3);
}

TEST_F(kxVertexArrayGL, TextureLoadsReplaceTheOwnedTextureAndFailuresKeepIt) {
  Probe a(GL_TRIANGLES);
  a.SetTextureID(12345);  // borrowed: a load must not delete it
  std::string path = TempPath("texture.tga");
  Bytes tga = TGA24(3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(WriteFile(path, tga.data(), tga.size()));
  a.TextureFromFile(path.c_str());
  unsigned first = a.GetTextureID();
  EXPECT_TRUE(a.OwnsTexture());
  int w, h;
  EXPECT_EQ(kxTest::ReadTexture(first, GL_RGBA, &w, &h),
            (Bytes{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}));
  GiveTexture(&a);
  unsigned second = a.GetTextureID();
  EXPECT_FALSE(kxTest::IsTexture(first)) << "old owned texture leaked";
  kxMemoryBlock* junk = Block({1, 2, 3, 4, 5, 6});
  kxMemoryBlock* notImage = Crunched(Bytes(64, 3));
  for (kxMemoryBlock* b : {junk, notImage, (kxMemoryBlock*)nullptr})
    a.TextureFromCrunchedMemoryBlock(b);
  a.TextureFromFile("kxgfx_missing_file.tga");
  ASSERT_TRUE(WriteFile(path, tga.data(), 20));
  a.TextureFromFile(path.c_str());
  EXPECT_EQ(a.GetTextureID(), second);
  EXPECT_TRUE(kxTest::IsTexture(second));
  kxFreeMemoryBlock(junk);
  kxFreeMemoryBlock(notImage);
  remove(path.c_str());
}
