#include "graphics/kxTexturedBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

class BoxProbe : public kxTexturedBox {
 public:
  using kxTexturedBox::kxTexturedBox;
  const float* Box() const { return boundingBox; }
  bool Flag() const { return userFlag; }
  std::vector<float> TexCoords() {
    float(*t)[2] = GetTexCoordArray();
    std::vector<float> out;
    for (int i = 0; t && i < 6; ++i) out.insert(out.end(), t[i], t[i] + 2);
    return out;
  }
};

const RGBA kRed{255, 0, 0, 255};
const RGBA kBlue{0, 0, 255, 255};
const RGBA kNone{0, 0, 0, 0};

// Red first half, blue second half along the image's width (4 x 1) or along
// its stored rows (1 x 4, red rows stored first).
const Bytes kAcross = TGA24(4, 1, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
const Bytes kDown = TGA24(1, 4, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});

void Texture(kxVertexArray* a, const Bytes& tga) {
  kxMemoryBlock* c = Crunched(tga);
  a->TextureFromCrunchedMemoryBlock(c);
  kxFreeMemoryBlock(c);
}

class kxTexturedBoxGL : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    fb.reset(new kxTest::Framebuffer(32, 32));
    ASSERT_TRUE(fb->IsComplete());
  }
  void TearDown() override { fb.reset(); }
  RGBA At(int x, int y) { return fb->Pixel(x, y); }

  // Orthographic view from `eye` towards `centre`, world y up, one unit per
  // pixel with `centre` at the middle of the 32 x 32 target.
  void LookFrom(const float eye[3], const float centre[3]) {
    kxTest::SetOrtho(-16, 16, -16, 16);
    float f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    Normalise(f);
    const float up[3] = {0, 1, 0};
    float s[3];
    Cross(f, up, s);
    Normalise(s);
    float u[3];
    Cross(s, f, u);
    const float m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0,
                         s[2], u[2], -f[2], 0, 0,    0,    0,     1};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMultMatrixf(m);
    glTranslatef(-eye[0], -eye[1], -eye[2]);
  }
  static void Normalise(float* v) {
    float l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int k = 0; k < 3; ++k) v[k] /= l;
  }
  static void Cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
  }

  std::unique_ptr<kxTest::Framebuffer> fb;
};

}  // namespace

// --- Construction ------------------------------------------------------------

TEST(kxTexturedBox, RectangleWithACornerAtTheOrigin) {
  BoxProbe box(2, 1, true, tbpNormal);
  ASSERT_EQ(box.GetVertexArraySize(), 6u);
  const float expected[18] = {2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 2, 1, 0, 2, 0, 0};
  for (int i = 0; i < 18; ++i) EXPECT_EQ(box.GetVertexArray()[i / 3][i % 3], expected[i]) << i;
  const float bb[6] = {0, 0, 0, 2, 1, 0};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(box.Box()[k], bb[k]) << k;
  float p[3];
  box.GetCenter(p);
  EXPECT_EQ(p[0], 0.0f);
  box.SetScale(3);
  EXPECT_EQ(box.GetWidth(), 2.0f);
  EXPECT_EQ(box.GetHeight(), 1.0f);
  EXPECT_TRUE(box.Flag());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(box.GetNormalArray()[i][0], 1.0f);
    EXPECT_EQ(box.GetNormalArray()[i][2], 1.0f);
  }
}

TEST(kxTexturedBox, TextureCoordinatesFollowTheProjection) {
  BoxProbe normal(2, 1, false, tbpNormal);
  EXPECT_EQ(normal.TexCoords(), (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 0}));
  BoxProbe flipped(2, 1, false, tbpFlipped);
  EXPECT_EQ(flipped.TexCoords(), (std::vector<float>{1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1}));
  // Corner (w, h, 0) is vertex 4.
  EXPECT_EQ(normal.GetTexCoordArray()[4][1], 1.0f);
  EXPECT_EQ(flipped.GetTexCoordArray()[4][1], 0.0f);
  BoxProbe other(2, 1, false, TTextureBoxProjection(7));
  EXPECT_TRUE(other.TexCoords().empty());
  EXPECT_FALSE(other.Flag());
}

// --- Drawing -------------------------------------------------------------------

TEST_F(kxTexturedBoxGL, BuffersAreUploadedAtConstruction) {
  std::unique_ptr<kxTexturedBox> box(kxTexturedBox::Create(2, 1, false, tbpFlipped));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(kxTest::ReadFloatBuffer(box->GetTexCoordBuffer(), 4), (std::vector<float>{1, 1, 0, 1}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(box->GetVertexBuffer(), 3), (std::vector<float>{2, 0, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(box->GetNormalBuffer(), 3), (std::vector<float>{1, 1, 1}));
}

TEST_F(kxTexturedBoxGL, NormalProjectionIsUprightWithYUp) {
  kxTest::SetOrtho(0, 32, 0, 32);
  kxTexturedBox across(32, 32, false, tbpNormal);
  Texture(&across, kAcross);
  across.Draw();
  EXPECT_EQ(At(6, 16), kRed);
  EXPECT_EQ(At(25, 16), kBlue);
  kxTexturedBox down(32, 32, false, tbpNormal);
  Texture(&down, kDown);
  down.Draw();
  EXPECT_EQ(At(16, 6), kRed);  // first stored row at the bottom (y = 0)
  EXPECT_EQ(At(16, 25), kBlue);
}

TEST_F(kxTexturedBoxGL, FlippedProjectionIsUprightWithYDown) {
  kxTest::SetOrtho(0, 32, 32, 0);  // GUI-style: y grows downwards
  kxTexturedBox across(32, 32, false, tbpFlipped);
  Texture(&across, kAcross);
  across.Draw();
  EXPECT_EQ(At(6, 16), kRed);
  EXPECT_EQ(At(25, 16), kBlue);
  kxTexturedBox down(32, 32, false, tbpFlipped);
  Texture(&down, kDown);
  down.Draw();
  // Read-back rows count from the bottom of the screen: the first stored
  // (bottom-up image) row is again at the bottom.
  EXPECT_EQ(At(16, 6), kRed);
  EXPECT_EQ(At(16, 25), kBlue);
}

TEST_F(kxTexturedBoxGL, BoxWithoutTextureCoordinatesDrawsSafely) {
  kxTest::SetOrtho(0, 32, 0, 32);
  kxTexturedBox box(32, 32, false, TTextureBoxProjection(5));
  EXPECT_EQ(box.GetTexCoordBuffer(), 0u);
  box.SetColor(0, 0, 1, 1);
  box.Draw();
  EXPECT_EQ(At(16, 16), kBlue);  // no texture: the flat colour
  float camera[3] = {0, 0, 10};
  fb->Clear(0, 0, 0, 0);
  box.Draw2(camera, 0);
  EXPECT_EQ(At(16, 16), kBlue);
}

TEST_F(kxTexturedBoxGL, Draw2FacesTheCameraFromManyDirections) {
  // An 8 x 4 box at P, seen from the camera it turns to: it must appear
  // upright and unmirrored, its corner at P, red left and blue right.
  const float P[3] = {3, -2, 1};
  const float offsets[][3] = {{0, 0, 10},  {10, 0, 0},  {-10, 0, 0}, {7, 0, -7},
                              {-6, 0, -8}, {0, 10, 10}, {0, -6, 8},  {5, 4, 6},
                              {-4, -7, 2}, {8, 9, -3}};
  kxTexturedBox box(8, 4, false, tbpNormal);
  Texture(&box, kAcross);
  box.SetPosition(P[0], P[1], P[2]);
  for (const auto& o : offsets) {
    float camera[3] = {P[0] + o[0], P[1] + o[1], P[2] + o[2]};
    fb->Clear(0, 0, 0, 0);
    LookFrom(camera, P);
    box.Draw2(camera, 0);
    SCOPED_TRACE(testing::Message() << "camera offset " << o[0] << "," << o[1] << "," << o[2]);
    EXPECT_EQ(At(17, 18), kRed);
    EXPECT_EQ(At(22, 18), kBlue);
    EXPECT_EQ(At(19, 14), kNone);  // below the bottom edge
    EXPECT_EQ(At(19, 21), kNone);  // above the top edge
    EXPECT_EQ(At(14, 18), kNone);  // left of the corner
  }
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(kxTexturedBoxGL, Draw2SpinsAboutTheBoxZAxis) {
  const float P[3] = {0, 0, 0};
  float camera[3] = {0, 0, 10};
  kxTexturedBox box(8, 4, false, tbpNormal);
  Texture(&box, kAcross);
  LookFrom(camera, P);
  box.Draw2(camera, 180);
  // Turned half a turn about the corner: left of and below P, colours swapped.
  EXPECT_EQ(At(14, 14), kRed);
  EXPECT_EQ(At(9, 14), kBlue);
  EXPECT_EQ(At(17, 18), kNone);
}

TEST_F(kxTexturedBoxGL, Draw2SkipsFacingForACameraStraightAbove) {
  // No horizontal direction: the box is drawn unturned, so seen from the
  // front it looks as Draw draws it, and from above it is edge-on.
  const float P[3] = {0, 0, 0};
  float above[3] = {0, 12, 0};
  float front[3] = {0, 0, 10};
  kxTexturedBox box(8, 4, false, tbpNormal);
  Texture(&box, kAcross);
  box.SetScale(2);
  LookFrom(front, P);
  box.Draw2(above, 0);
  EXPECT_EQ(At(19, 19), kRed);
  EXPECT_EQ(At(27, 19), kBlue);
  std::vector<uint8_t> fromFront = fb->Pixels();
  fb->Clear(0, 0, 0, 0);
  box.Draw();
  EXPECT_EQ(fb->Pixels(), fromFront);
}

TEST_F(kxTexturedBoxGL, Draw2UsesScaleAndColourButNotTheBoxAngles) {
  const float P[3] = {0, 0, 0};
  float camera[3] = {0, 0, 10};
  kxTexturedBox box(4, 2, false, tbpNormal);
  Texture(&box, kAcross);
  float angles[3] = {0, 0, 90};
  box.SetAngle(angles);
  box.SetScale(2);
  box.SetColor(1, 1, 1, 1);
  LookFrom(camera, P);
  box.Draw2(camera, 0);
  EXPECT_EQ(At(17, 18), kRed);
  EXPECT_EQ(At(22, 18), kBlue);
  EXPECT_EQ(At(14, 18), kNone);
}
