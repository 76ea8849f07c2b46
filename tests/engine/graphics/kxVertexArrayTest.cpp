#include "graphics/kxVertexArray.h"

#include <gtest/gtest.h>

#include <memory>

#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

// Exposes the array's state for checking.
class Probe : public kxVertexArray {
 public:
  using kxVertexArray::kxVertexArray;
  const float* Box() const { return boundingBox; }
  uint64_t FaceCount() const { return faceCount; }
  uint64_t NormalCount() const { return normalCount; }
  uint64_t TexCoordCount() const { return texCoordCount; }
  uint64_t ColorCount() const { return colorCount; }
  const float (*Colors() const)[4] { return colors; }
  unsigned ColorBuffer() const { return colorBuffer; }
  bool OwnsTexture() const { return ownsTexture; }
  const TFace_s* Faces() const { return faces; }
};

void AppendUnitSquare(kxVertexArray* a, bool texCoords = true, bool normals = true) {
  const float q[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
  for (const auto& c : q) {
    a->AppendVertex(c[0], c[1], 0);
    if (texCoords) a->AppendTexCoord(c[0], c[1]);
    if (normals) a->AppendNormal(0, 0, 1);
  }
}

const RGBA kBlack{0, 0, 0, 0};
const RGBA kRed{255, 0, 0, 255};
const RGBA kGreen{0, 255, 0, 255};
const RGBA kBlue{0, 0, 255, 255};

// Whole 32 x 32 target, y up, one unit per pixel.
class kxVertexArrayGL : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    fb.reset(new kxTest::Framebuffer(32, 32));
    ASSERT_TRUE(fb->IsComplete());
    kxTest::SetOrtho(0, 32, 0, 32);
  }
  void TearDown() override { fb.reset(); }
  RGBA At(int x, int y) { return fb->Pixel(x, y); }
  // A white 1 x 1 texture the array then owns.
  void GiveWhiteTexture(kxVertexArray* a) {
    kxMemoryBlock* c = Crunched(TGA24(1, 1, {255, 255, 255}));
    a->TextureFromCrunchedMemoryBlock(c);
    kxFreeMemoryBlock(c);
  }
  std::unique_ptr<kxTest::Framebuffer> fb;
};

}  // namespace

// --- Lists, placement and colour (no GL needed) -----------------------------

TEST(kxVertexArray, NewArrayHasItsInitialState) {
  Probe a(GL_TRIANGLES);
  EXPECT_EQ(a.GetVertexArraySize(), 0u);
  EXPECT_EQ(a.GetVertexArray(), nullptr);
  EXPECT_EQ(a.GetNormalArray(), nullptr);
  EXPECT_EQ(a.GetTexCoordArray(), nullptr);
  EXPECT_EQ(a.GetScale(), 1.0f);
  kxRGBAf_s* c = a.GetColor();
  EXPECT_EQ(c->r, 1.0f);
  EXPECT_EQ(c->g, 1.0f);
  EXPECT_EQ(c->b, 1.0f);
  EXPECT_EQ(c->a, 1.0f);
  EXPECT_EQ(a.GetTextureID(), 0u);
  EXPECT_EQ(a.GetVertexBuffer(), 0u);
  EXPECT_FALSE(a.OwnsTexture());
  float p[3] = {9, 9, 9}, ang[3] = {9, 9, 9};
  a.GetCenter(p);
  a.GetAngle(ang);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(p[k], 0.0f);
    EXPECT_EQ(ang[k], 0.0f);
  }
  std::unique_ptr<kxVertexArray> made(kxVertexArray::Create(GL_TRIANGLES));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetVertexArraySize(), 0u);
}

TEST(kxVertexArray, AppendsCopyEveryOverloadIntoItsList) {
  Probe a(GL_TRIANGLES);
  float v[3] = {4, 5, 6}, n[3] = {0, 1, 0}, t[2] = {0.25f, 0.75f}, rgba[4] = {1, 0.5f, 0.25f, 0};
  a.AppendVertex(1, 2, 3);
  a.AppendVertex(&v);
  a.AppendNormal(&n);
  a.AppendNormal(0, 0, 1);
  a.AppendTexCoord(&t);
  a.AppendColor(rgba);
  a.AppendColor(0, 0, 0, 1);
  TFace_s face = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
  a.AppendFace(&face);
  v[0] = 99;  // the array holds copies
  ASSERT_EQ(a.GetVertexArraySize(), 2u);
  EXPECT_EQ(a.GetVertexArray()[0][2], 3.0f);
  EXPECT_EQ(a.GetVertexArray()[1][0], 4.0f);
  EXPECT_EQ(a.GetVertexArray()[1][2], 6.0f);
  ASSERT_EQ(a.NormalCount(), 2u);
  EXPECT_EQ(a.GetNormalArray()[0][1], 1.0f);
  EXPECT_EQ(a.GetNormalArray()[1][2], 1.0f);
  ASSERT_EQ(a.TexCoordCount(), 1u);
  EXPECT_EQ(a.GetTexCoordArray()[0][1], 0.75f);
  ASSERT_EQ(a.ColorCount(), 2u);
  EXPECT_EQ(a.Colors()[0][1], 0.5f);
  EXPECT_EQ(a.Colors()[1][3], 1.0f);
  ASSERT_EQ(a.FaceCount(), 1u);
  EXPECT_EQ(a.Faces()[0].normal[1], 4);
  EXPECT_EQ(a.Faces()[0].texCoord[2], 8);
}

TEST(kxVertexArray, ClearEmptiesTheListsOnly) {
  Probe a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.AppendColor(1, 1, 1, 1);
  a.SetPosition(1, 2, 3);
  a.SetScale(4);
  a.SetTextureID(77);
  a.SetColor(0.5f, 0.5f, 0.5f, 0.5f);
  a.Clear();
  EXPECT_EQ(a.GetVertexArraySize(), 0u);
  EXPECT_EQ(a.GetVertexArray(), nullptr);
  EXPECT_EQ(a.NormalCount(), 0u);
  EXPECT_EQ(a.TexCoordCount(), 0u);
  EXPECT_EQ(a.ColorCount(), 0u);
  float p[3];
  a.GetCenter(p);
  EXPECT_EQ(p[1], 2.0f);
  EXPECT_EQ(a.GetScale(), 4.0f);
  EXPECT_EQ(a.GetTextureID(), 77u);
  EXPECT_EQ(a.GetColor()->r, 0.5f);
}

TEST(kxVertexArray, BoundingBox) {
  Probe a(GL_TRIANGLES);
  a.AppendVertex(1, -2, 3);
  a.CalculateBB();
  const float one[6] = {1, -2, 3, 1, -2, 3};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a.Box()[k], one[k]) << k;

  a.AppendVertex(-4, 5, 0);
  a.AppendVertex(2, 0, 7);
  a.AppendVertex(0, -6, -1);
  a.CalculateBB();
  const float many[6] = {-4, -6, -1, 2, 5, 7};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a.Box()[k], many[k]) << k;

  // No vertices: nothing is read and the box becomes zero.
  a.Clear();
  a.SetPosition(1, 1, 1);
  a.SetMoveToCenter(true);
  a.CalculateBB();
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a.Box()[k], 0.0f) << k;
  float p[3];
  a.GetCenter(p);
  EXPECT_EQ(p[0], 1.0f);
}

TEST(kxVertexArray, MoveToCenterRecentresTheVertices) {
  Probe a(GL_TRIANGLES);
  a.SetPosition(100, 100, 100);  // replaced, not added to
  a.AppendVertex(2, 1, -3);
  a.AppendVertex(6, 3, 5);
  a.SetMoveToCenter(true);
  a.CalculateBB();
  float p[3];
  a.GetCenter(p);
  EXPECT_EQ(p[0], 4.0f);
  EXPECT_EQ(p[1], 2.0f);
  EXPECT_EQ(p[2], 1.0f);
  EXPECT_EQ(a.GetVertexArray()[0][0], -2.0f);
  EXPECT_EQ(a.GetVertexArray()[1][0], 2.0f);
  EXPECT_EQ(a.GetVertexArray()[0][2], -4.0f);
  const float box[6] = {-2, -1, -4, 2, 1, 4};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a.Box()[k], box[k]) << k;
  // Centred already: a second pass puts the position at the origin.
  a.CalculateBB();
  a.GetCenter(p);
  EXPECT_EQ(p[0], 0.0f);
  EXPECT_EQ(p[1], 0.0f);
  EXPECT_EQ(p[2], 0.0f);
  EXPECT_EQ(a.GetVertexArray()[1][0], 2.0f);
}

TEST(kxVertexArray, SetColorAndSetAlphaWithoutColourList) {
  Probe a(GL_TRIANGLES);
  kxRGBAf_s* c = a.GetColor();
  a.SetColor(0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(a.GetColor(), c);
  EXPECT_EQ(c->g, 0.2f);
  EXPECT_EQ(c->a, 0.4f);
  EXPECT_EQ(a.ColorCount(), 0u);
  a.SetAlpha(0.9f);
  EXPECT_EQ(c->a, 0.9f);
  EXPECT_EQ(c->r, 0.1f);
}

// --- Buffers -----------------------------------------------------------------

TEST_F(kxVertexArrayGL, CreateVBOUploadsEveryList) {
  Probe a(GL_TRIANGLES);
  a.AppendVertex(1, 2, 3);
  a.AppendVertex(4, 5, 6);
  a.AppendNormal(0, 1, 0);
  a.AppendColor(0.5f, 0.25f, 1, 0);
  a.CreateVBO();
  ASSERT_TRUE(kxTest::IsBuffer(a.GetVertexBuffer()));
  GLint size = 0;
  std::vector<uint8_t> raw = kxTest::ReadBuffer(a.GetVertexBuffer(), 100, &size);
  EXPECT_EQ(size, 24);
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.GetVertexBuffer(), 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.GetNormalBuffer(), 3), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 4), (std::vector<float>{0.5f, 0.25f, 1, 0}));
  EXPECT_EQ(a.GetTexCoordBuffer(), 0u);  // no list, no buffer
  // The lists stay in main memory.
  EXPECT_EQ(a.GetVertexArray()[1][1], 5.0f);
}

TEST_F(kxVertexArrayGL, SecondCreateVBOReleasesTheFirstBuffers) {
  Probe a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.AppendColor(1, 0, 0, 1);
  a.CreateVBO();
  unsigned first[4] = {a.GetVertexBuffer(), a.GetTexCoordBuffer(), a.GetNormalBuffer(),
                       a.ColorBuffer()};
  for (unsigned b : first) ASSERT_TRUE(kxTest::IsBuffer(b));
  a.AppendVertex(7, 7, 7);
  a.CreateVBO();
  for (unsigned b : first) EXPECT_FALSE(kxTest::IsBuffer(b)) << "buffer " << b << " leaked";
  GLint size = 0;
  kxTest::ReadBuffer(a.GetVertexBuffer(), 0, &size);
  EXPECT_EQ(size, 7 * 12);
}

TEST_F(kxVertexArrayGL, DestructionReleasesOwnedObjectsButNotBorrowedOnes) {
  auto* source = new Probe(GL_TRIANGLES);
  AppendUnitSquare(source);
  source->CreateVBO();
  GiveWhiteTexture(source);
  unsigned vb = source->GetVertexBuffer(), tb = source->GetTexCoordBuffer(),
           nb = source->GetNormalBuffer(), tex = source->GetTextureID();
  ASSERT_TRUE(kxTest::IsTexture(tex));

  auto* borrower = new Probe(GL_TRIANGLES);
  borrower->AssignGeometry(source);
  borrower->SetTextureID(tex);  // not owned: ownsTexture is not set
  EXPECT_FALSE(borrower->OwnsTexture());
  EXPECT_EQ(borrower->GetVertexArraySize(), 6u);
  EXPECT_EQ(borrower->GetVertexArray(), nullptr);
  delete borrower;
  EXPECT_TRUE(kxTest::IsBuffer(vb));
  EXPECT_TRUE(kxTest::IsBuffer(tb));
  EXPECT_TRUE(kxTest::IsBuffer(nb));
  EXPECT_TRUE(kxTest::IsTexture(tex));

  auto* lender = new Probe(GL_TRIANGLES);
  lender->SetVertexBuffer(vb);
  lender->SetTexCoordBuffer(tb);
  lender->SetNormalBuffer(nb);
  EXPECT_EQ(lender->GetNormalBuffer(), nb);
  delete lender;
  EXPECT_TRUE(kxTest::IsBuffer(vb));

  delete source;
  EXPECT_FALSE(kxTest::IsBuffer(vb));
  EXPECT_FALSE(kxTest::IsBuffer(tb));
  EXPECT_FALSE(kxTest::IsBuffer(nb));
  EXPECT_FALSE(kxTest::IsTexture(tex));
}

TEST_F(kxVertexArrayGL, SetColorRewritesColourListAndBuffer) {
  Probe a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  for (int i = 0; i < 6; ++i) a.AppendColor(float(i), 0, 0, 1);
  a.CreateVBO();
  a.SetColor(0.25f, 0.5f, 0.75f, 1);
  std::vector<float> expected;
  for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {0.25f, 0.5f, 0.75f, 1});
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 24), expected);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.Colors()[i][2], 0.75f);
  // SetAlpha rewrites the list but leaves the buffer for the next upload.
  a.SetAlpha(0.5f);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.Colors()[i][3], 0.5f);
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 4)[3], 1.0f);
  a.CreateVBO();
  EXPECT_EQ(kxTest::ReadFloatBuffer(a.ColorBuffer(), 4)[3], 0.5f);
}

// --- Drawing -----------------------------------------------------------------

TEST_F(kxVertexArrayGL, NewOrClearedArrayDrawsNothing) {
  kxVertexArray empty(GL_TRIANGLES);
  empty.Draw();
  empty.DrawColor();
  kxVertexArray cleared(GL_TRIANGLES);
  AppendUnitSquare(&cleared);
  cleared.CreateVBO();
  cleared.Clear();
  cleared.SetScale(32);
  GiveWhiteTexture(&cleared);
  unsigned tex = cleared.GetTextureID();
  cleared.Draw();
  for (int y = 0; y < 32; y += 5)
    for (int x = 0; x < 32; x += 5) ASSERT_EQ(At(x, y), kBlack) << x << "," << y;
  EXPECT_EQ(cleared.GetTextureID(), tex);
  EXPECT_EQ(cleared.GetScale(), 32.0f);
}

TEST_F(kxVertexArrayGL, DrawPlacesScalesAndTurnsInOrder) {
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.CreateVBO();
  GiveWhiteTexture(&a);
  a.SetScale(8);
  a.SetPosition(4, 4, 0);
  a.SetColor(0, 1, 0, 1);
  a.Draw();
  EXPECT_EQ(At(5, 5), kGreen);
  EXPECT_EQ(At(11, 11), kGreen);
  EXPECT_EQ(At(13, 8), kBlack);
  EXPECT_EQ(At(3, 8), kBlack);

  // Scaled, then turned about z, then y, then x, then moved: z 90 and y 180
  // in that order land the square back on x >= 0, y >= 0.
  fb->Clear(0, 0, 0, 0);
  float angles[3] = {0, 180, 90};
  a.SetAngle(angles);
  a.SetPosition(16, 16, 0);
  a.Draw();
  EXPECT_EQ(At(20, 20), kGreen);
  EXPECT_EQ(At(12, 12), kBlack);
  EXPECT_EQ(At(12, 20), kBlack);

  // The array restores the client and texture state it changed.
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint bound = -1;
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
}

TEST_F(kxVertexArrayGL, DrawUsesTheTextureModulatedByTheColour) {
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.CreateVBO();
  // Red left half, blue right half (texels doubled so that linear filtering
  // with repeat leaves the middle of each half pure); s follows x.
  kxMemoryBlock* c = Crunched(TGA24(4, 1, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));
  a.TextureFromCrunchedMemoryBlock(c);
  kxFreeMemoryBlock(c);
  a.SetScale(16);
  a.Draw();
  EXPECT_EQ(At(3, 8), kRed);
  EXPECT_EQ(At(12, 8), kBlue);
  // Writing through GetColor tints the next Draw.
  a.GetColor()->r = 0;
  fb->Clear(0, 0, 0, 0);
  a.Draw();
  EXPECT_EQ(At(3, 8), (RGBA{0, 0, 0, 255}));  // red times a colour without red
  EXPECT_EQ(At(12, 8), kBlue);
}

TEST_F(kxVertexArrayGL, SetAlphaZeroHidesTheArrayUnderBlending) {
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a);
  a.CreateVBO();
  GiveWhiteTexture(&a);
  a.SetScale(32);
  fb->Clear(0, 0, 1, 1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  a.SetColor(1, 0, 0, 1);
  a.SetAlpha(0);
  a.Draw();
  EXPECT_EQ(At(16, 16), kBlue);
  a.SetAlpha(1);
  a.Draw();
  EXPECT_EQ(At(16, 16), kRed);
  glDisable(GL_BLEND);
}

TEST_F(kxVertexArrayGL, DrawWithoutTexCoordOrNormalBuffersUsesNoClientMemory) {
  // Arrays without a buffer must stay untouched: handing OpenGL a pointer of
  // 0 with no buffer bound makes it read client memory at address 0. The
  // pointers set here beforehand show whether Draw replaced them.
  static float marker[12];
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glTexCoordPointer(2, GL_FLOAT, 0, marker);
  glNormalPointer(GL_FLOAT, 0, marker + 1);
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  a.CreateVBO();
  EXPECT_EQ(a.GetTexCoordBuffer(), 0u);
  EXPECT_EQ(a.GetNormalBuffer(), 0u);
  a.SetScale(32);
  a.SetColor(0, 0, 1, 1);
  a.Draw();
  EXPECT_EQ(At(16, 16), kBlue);
  void* pointer = nullptr;
  glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, static_cast<void*>(marker));
  glGetPointerv(GL_NORMAL_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, static_cast<void*>(marker + 1));
  // Positions and normals, no texture coordinates.
  kxVertexArray b(GL_TRIANGLES);
  AppendUnitSquare(&b, false, true);
  b.CreateVBO();
  b.SetScale(8);
  b.SetColor(1, 0, 0, 1);
  b.Draw();
  EXPECT_EQ(At(4, 4), kRed);
  EXPECT_EQ(At(16, 16), kBlue);
  glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, static_cast<void*>(marker));
}

TEST_F(kxVertexArrayGL, DrawColorUsesPerVertexColours) {
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  for (int i = 0; i < 6; ++i) a.AppendColor(0, 1, 0, 1);
  a.CreateVBO();
  a.SetScale(8);
  a.SetPosition(8, 8, 0);
  a.SetColor(1, 0, 0, 1);  // rewrites every per-vertex colour
  a.DrawColor();
  EXPECT_EQ(At(12, 12), kRed);
  EXPECT_EQ(At(4, 4), kBlack);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

TEST_F(kxVertexArrayGL, DrawColorWithoutColourBufferUsesTheCurrentColour) {
  static float marker[4];
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glColorPointer(4, GL_FLOAT, 0, marker);
  kxVertexArray a(GL_TRIANGLES);
  AppendUnitSquare(&a, false, false);
  a.CreateVBO();
  a.SetScale(32);
  glColor4f(0, 0, 1, 1);
  a.DrawColor();
  EXPECT_EQ(At(16, 16), kBlue);
  void* pointer = nullptr;
  glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
  EXPECT_EQ(pointer, static_cast<void*>(marker));  // no pointer of 0 handed over
}

TEST_F(kxVertexArrayGL, AssignedGeometryDrawsWithItsOwnPlacementAndTexture) {
  kxVertexArray source(GL_TRIANGLES);
  AppendUnitSquare(&source);
  source.CreateVBO();
  kxVertexArray card(GL_TRIANGLES);
  card.AssignGeometry(&source);
  GiveWhiteTexture(&card);
  card.SetScale(4);
  card.SetPosition(20, 20, 0);
  card.SetColor(0, 1, 0, 1);
  card.Draw();
  EXPECT_EQ(At(22, 22), kGreen);
  EXPECT_EQ(At(2, 2), kBlack);
}

// --- Textures ----------------------------------------------------------------

TEST_F(kxVertexArrayGL, TextureLoadsReplaceAndReleaseTheOwnedTexture) {
  Probe a(GL_TRIANGLES);
  GiveWhiteTexture(&a);
  unsigned first = a.GetTextureID();
  ASSERT_TRUE(kxTest::IsTexture(first));
  EXPECT_TRUE(a.OwnsTexture());
  GiveWhiteTexture(&a);
  unsigned second = a.GetTextureID();
  ASSERT_TRUE(kxTest::IsTexture(second));
  EXPECT_FALSE(kxTest::IsTexture(first)) << "old owned texture leaked";

  // Failed loads leave the texture as it was.
  kxMemoryBlock* junk = Block({1, 2, 3, 4, 5, 6});
  a.TextureFromCrunchedMemoryBlock(junk);
  a.TextureFromCrunchedMemoryBlock(nullptr);
  kxMemoryBlock* notImage = Crunched(Bytes(64, 3));
  a.TextureFromCrunchedMemoryBlock(notImage);
  a.TextureFromFile("kxgfx_missing_file.tga");
  EXPECT_EQ(a.GetTextureID(), second);
  EXPECT_TRUE(kxTest::IsTexture(second));
  kxFreeMemoryBlock(junk);
  kxFreeMemoryBlock(notImage);
}

TEST_F(kxVertexArrayGL, TextureFromFile) {
  std::string path = TempPath("texture.tga");
  Bytes tga = TGA24(3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(WriteFile(path, tga.data(), tga.size()));
  Probe a(GL_TRIANGLES);
  a.SetTextureID(12345);  // borrowed: must not be deleted by the load
  a.TextureFromFile(path.c_str());
  EXPECT_TRUE(a.OwnsTexture());
  int w, h;
  EXPECT_EQ(kxTest::ReadTexture(a.GetTextureID(), GL_RGBA, &w, &h),
            (Bytes{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}));
  // A file that is not a whole image leaves the texture alone.
  unsigned before = a.GetTextureID();
  ASSERT_TRUE(WriteFile(path, tga.data(), 20));
  a.TextureFromFile(path.c_str());
  EXPECT_EQ(a.GetTextureID(), before);
  remove(path.c_str());
}
