#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graphics/kxTexturedBox.h"
#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;
using kxTest::RGBA;
typedef std::vector<float> Floats;

namespace {

class BoxProbe : public kxTexturedBox {
 public:
  using kxTexturedBox::kxTexturedBox;
  bool Flag() const { return userFlag; }
  Floats Box() const { return Floats(boundingBox, boundingBox + 6); }
  template <int N>
  static Floats Flat(float (*list)[N], int n) {
    Floats out;
    for (int i = 0; list && i < n; ++i) out.insert(out.end(), list[i], list[i] + N);
    return out;
  }
};

const RGBA kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kNone{0, 0, 0, 0};

// Red first half, blue second half along the width (4 x 1) or along the
// stored rows (1 x 4); texels doubled so that linear filtering keeps each
// half pure.
const Bytes kRGB = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255};
const Bytes kAcross = TGA24(4, 1, kRGB), kDown = TGA24(1, 4, kRGB);

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
  // pixel with `centre` at the middle of the target.
  void LookFrom(const float eye[3], const float centre[3]) {
    kxTest::SetOrtho(-16, 16, -16, 16);
    float f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]}, s[3], u[3];
    const float up[3] = {0, 1, 0}, l = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (float& v : f) v /= l;
    Cross(f, up, s);
    Cross(s, f, u);
    const float m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0,
                         s[2], u[2], -f[2], 0, 0,    0,    0,     1};
    glLoadMatrixf(m);
    glTranslatef(-eye[0], -eye[1], -eye[2]);
  }
  // Unit cross product.
  static void Cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
    float l = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    for (int k = 0; k < 3; ++k) out[k] /= l;
  }

  std::unique_ptr<kxTest::Framebuffer> fb;
};

}  // namespace

TEST(kxTexturedBox, RectangleFromTheOriginWithProjectedTextureCoordinates) {
  BoxProbe normal(2, 1, true, tbpNormal), flipped(2, 1, false, tbpFlipped);
  BoxProbe other(2, 1, false, TTextureBoxProjection(7));
  EXPECT_EQ(BoxProbe::Flat(normal.GetVertexArray(), 6),
            (Floats{2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 2, 1, 0, 2, 0, 0}));
  EXPECT_EQ(BoxProbe::Flat(normal.GetNormalArray(), 6), Floats(18, 1.0f));
  EXPECT_EQ(normal.Box(), (Floats{0, 0, 0, 2, 1, 0}));
  EXPECT_TRUE(normal.Flag());
  EXPECT_FALSE(other.Flag());
  EXPECT_EQ(BoxProbe::Flat(normal.GetTexCoordArray(), 6),
            (Floats{1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 0}));
  EXPECT_EQ(BoxProbe::Flat(flipped.GetTexCoordArray(), 6),
            (Floats{1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1}));
  EXPECT_TRUE(BoxProbe::Flat(other.GetTexCoordArray(), 6).empty());
}

TEST_F(kxTexturedBoxGL, ProjectionsShowTheImageUprightAndMissingCoordinatesDrawFlat) {
  std::unique_ptr<kxTexturedBox> made(kxTexturedBox::Create(2, 1, false, tbpFlipped));
  EXPECT_EQ(kxTest::ReadFloatBuffer(made->GetTexCoordBuffer(), 4), (Floats{1, 1, 0, 1}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(made->GetNormalBuffer(), 3), (Floats{1, 1, 1}));
  // Normal boxes are drawn y up, flipped ones the GUI way (y down); either
  // way red is left, and the first stored row of a bottom-up image is at
  // the bottom of the screen (read-back row 0).
  for (TTextureBoxProjection projection : {tbpNormal, tbpFlipped}) {
    SCOPED_TRACE(projection == tbpNormal ? "normal" : "flipped");
    if (projection == tbpNormal)
      kxTest::SetOrtho(0, 32, 0, 32);
    else
      kxTest::SetOrtho(0, 32, 32, 0);
    kxTexturedBox across(32, 32, false, projection), down(32, 32, false, projection);
    Texture(&across, kAcross);
    Texture(&down, kDown);
    across.Draw();
    EXPECT_EQ(At(6, 16), kRed);
    EXPECT_EQ(At(25, 16), kBlue);
    down.Draw();
    EXPECT_EQ(At(16, 6), kRed);
    EXPECT_EQ(At(16, 25), kBlue);
  }
  kxTexturedBox bare(32, 32, false, TTextureBoxProjection(5));
  EXPECT_EQ(bare.GetTexCoordBuffer(), 0u);
  bare.SetColor(0, 1, 0, 1);
  bare.Draw();
  EXPECT_EQ(At(16, 16), (RGBA{0, 255, 0, 255}));
  float camera[3] = {0, 0, 10};
  fb->Clear(0, 0, 0, 0);
  bare.Draw2(camera, 0);
  EXPECT_EQ(At(16, 16), (RGBA{0, 255, 0, 255}));
}

TEST_F(kxTexturedBoxGL, Draw2FacesTheCameraFromManyDirections) {
  // An 8 x 4 box at P must appear upright and unmirrored from every camera,
  // its corner at P, red left and blue right.
  const float P[3] = {3, -2, 1};
  const float offsets[][3] = {{0, 0, 10},  {10, 0, 0}, {-10, 0, 0}, {7, 0, -7},  {-6, 0, -8},
                              {0, 10, 10}, {0, -6, 8}, {5, 4, 6},   {-4, -7, 2}, {8, 9, -3}};
  kxTexturedBox box(8, 4, false, tbpNormal);
  Texture(&box, kAcross);
  box.SetPosition(P[0], P[1], P[2]);
  for (const auto& o : offsets) {
    SCOPED_TRACE(testing::Message() << "camera offset " << o[0] << "," << o[1] << "," << o[2]);
    float camera[3] = {P[0] + o[0], P[1] + o[1], P[2] + o[2]};
    fb->Clear(0, 0, 0, 0);
    LookFrom(camera, P);
    box.Draw2(camera, 0);
    EXPECT_EQ(At(17, 18), kRed);
    EXPECT_EQ(At(22, 18), kBlue);
    EXPECT_EQ(At(19, 14), kNone);  // below
    EXPECT_EQ(At(19, 21), kNone);  // above
    EXPECT_EQ(At(14, 18), kNone);  // left of the corner
  }
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY) || glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(kxTexturedBoxGL, Draw2SpinsAboutZUsesScaleButNotTheBoxAngles) {
  const float P[3] = {0, 0, 0};
  float camera[3] = {0, 0, 10};
  kxTexturedBox box(4, 2, false, tbpNormal);
  Texture(&box, kAcross);
  float angles[3] = {0, 0, 90};
  box.SetAngle(angles);
  box.SetScale(2);
  LookFrom(camera, P);
  box.Draw2(camera, 180);
  // Half a turn about the corner: left of and below P, colours swapped.
  EXPECT_EQ(At(14, 14), kRed);
  EXPECT_EQ(At(9, 14), kBlue);
  EXPECT_EQ(At(17, 18), kNone);
  fb->Clear(0, 0, 0, 0);
  box.Draw2(camera, 0);
  EXPECT_EQ(At(17, 18), kRed);
  EXPECT_EQ(At(22, 18), kBlue);
  EXPECT_EQ(At(14, 18), kNone);

  // A camera straight above has no horizontal direction: the box is drawn
  // unturned, exactly as Draw draws it.
  float above[3] = {0, 12, 0};
  fb->Clear(0, 0, 0, 0);
  float none[3] = {0, 0, 0};
  box.SetAngle(none);
  box.Draw2(above, 0);
  EXPECT_EQ(At(17, 18), kRed);
  EXPECT_EQ(At(22, 18), kBlue);
  std::vector<uint8_t> fromAbove = fb->Pixels();
  fb->Clear(0, 0, 0, 0);
  box.Draw();
  EXPECT_EQ(fb->Pixels(), fromAbove);
}
