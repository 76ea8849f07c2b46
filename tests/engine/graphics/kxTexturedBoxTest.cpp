#include <gtest/gtest.h>

#include <cmath>

#include "graphics/kxTexturedBox.h"
#include "kxGraphicsTestData.h"
#include "render/kxRenderer.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

// Red first half, blue second half along the width (4 x 1) or along the
// stored rows (1 x 4); texels doubled so that filtering keeps each half pure.
const Bytes kRGB = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}, kAcross = TGA24(4, 1, kRGB);

class kxTexturedBoxGL : public Target {
 protected:
  // Orthographic view from `eye` with `centre` mid-target, y up, one unit per pixel.
  void LookFrom(const float eye[3], const float centre[3]) {
    kxTest::SetOrtho(-16, 16, -16, 16);
    float f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]}, s[3], u[3];
    const float up[3] = {0, 1, 0};
    Normalise(f);
    Cross(f, up, s);
    Cross(s, f, u);
    const float m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0,
                         s[2], u[2], -f[2], 0, 0,    0,    0,     1};
    kxGetRenderer()->LoadMatrix(m);
    kxGetRenderer()->Translate(-eye[0], -eye[1], -eye[2]);
  }
  static void Normalise(float* v) {
    float l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int k = 0; k < 3; ++k) v[k] /= l;
  }
  static void Cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1], out[1] = a[2] * b[0] - a[0] * b[2],
    out[2] = a[0] * b[1] - a[1] * b[0];
    Normalise(out);
  }
};

}  // namespace

TEST_F(kxTexturedBoxGL, LayoutAndProjectionsShowTheImageUpright) {
  // Corners (w,0) (0,0) (0,h) (0,h) (w,h) (w,0) and their flipped coordinates.
  std::unique_ptr<kxTexturedBox> made(kxTexturedBox::Create(2, 1, false, tbpFlipped));
  // OpenGL ES cannot read a buffer back; the pictures below show the layout.
  if (kxTest::TestRenderer() == rkFixed) {
    EXPECT_EQ(kxTest::ReadFloatBuffer(made->GetVertexBuffer(), 18),
              (Floats{2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 2, 1, 0, 2, 0, 0}));
    EXPECT_EQ(kxTest::ReadFloatBuffer(made->GetTexCoordBuffer(), 12),
              (Floats{1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1}));
  }
  // Normal boxes are seen y up, flipped ones y down (GUI): red is left, and the first
  // stored row lands at the bottom of the screen either way.
  for (TTextureBoxProjection projection : {tbpNormal, tbpFlipped}) {
    SCOPED_TRACE(projection == tbpNormal ? "normal" : "flipped");
    kxTest::SetOrtho(0, 32, projection == tbpNormal ? 0 : 32, projection == tbpNormal ? 32 : 0);
    kxTexturedBox across(32, 32, false, projection), down(32, 32, false, projection);
    Textured(&across, kAcross)->Draw();
    EXPECT_EQ((Pixels{At(6, 16), At(25, 16)}), (Pixels{kRed, kBlue}));
    Textured(&down, TGA24(1, 4, kRGB))->Draw();
    EXPECT_EQ((Pixels{At(16, 6), At(16, 25)}), (Pixels{kRed, kBlue}));
  }
}

TEST_F(kxTexturedBoxGL, ImagesAtFractionalPositionsLeaveNoInkOutsideTheirEdge) {
  // 4 x 4 images, red along their last stored row or their last column,
  // black elsewhere. A repeating texture would carry the red over to the
  // opposite edge of the box.
  Bytes lastRow(48, 0), lastColumn(48, 0);
  for (int i = 0; i < 4; ++i) lastRow[(12 + i) * 3] = lastColumn[(i * 4 + 3) * 3] = 255;
  for (float fraction : {0.25f, 0.5f, 0.75f}) {
    SCOPED_TRACE(fraction);
    const float x = 10 + fraction, y = 12 + fraction;
    // Under tbpNormal the first stored row lies at the box's y = 0.
    const std::pair<Bytes, std::array<float, 4>> cases[] = {{lastRow, {x, y + 3, x + 4, y + 4}},
                                                            {lastColumn, {x + 3, y, x + 4, y + 4}}};
    for (const auto& [rgb, edge] : cases) {
      kxTexturedBox box(4, 4, false, tbpNormal);
      Textured(&box, TGA24(4, 4, rgb));
      box.SetPosition(x, y, 0);
      fb->Clear(0, 0, 0, 0);
      box.Draw();
      const InkCount ink = InkAround(*fb, edge[0], edge[1], edge[2], edge[3]);
      EXPECT_GT(ink.inside, 0);
      EXPECT_EQ(ink.outside, 0);
    }
  }
}

TEST_F(kxTexturedBoxGL, Draw2FacesTheCameraFromManyDirections) {
  // Upright and unmirrored from every camera, corner at P; the box's own angles are unused.
  const float P[3] = {3, -2, 1};
  const float offsets[][3] = {{0, 0, 10},  {10, 0, 0}, {-10, 0, 0}, {7, 0, -7},  {-6, 0, -8},
                              {0, 10, 10}, {0, -6, 8}, {5, 4, 6},   {-4, -7, 2}, {8, 9, -3}};
  kxTexturedBox box(4, 2, false, tbpNormal);
  Textured(&box, kAcross);
  float angles[3] = {30, 0, 90};
  box.SetAngle(angles);
  box.SetScale(2);
  box.SetPosition(P[0], P[1], P[2]);
  for (const auto& o : offsets) {
    SCOPED_TRACE(testing::Message() << "camera offset " << o[0] << "," << o[1] << "," << o[2]);
    float camera[3] = {P[0] + o[0], P[1] + o[1], P[2] + o[2]};
    fb->Clear(0, 0, 0, 0);
    LookFrom(camera, P);
    box.Draw2(camera, 0);
    EXPECT_EQ((Pixels{At(17, 18), At(22, 18), At(19, 14), At(19, 21), At(14, 18)}),
              (Pixels{kRed, kBlue, kNone, kNone, kNone}));
  }
  if (kxTest::TestRenderer() == rkFixed) {  // the fixed pipeline's own switches
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY) || glIsEnabled(GL_TEXTURE_2D));
  }
}

TEST_F(kxTexturedBoxGL, Draw2SpinsAboutZAndStaysUnturnedForACameraStraightAbove) {
  const float P[3] = {0, 0, 0};
  float camera[3] = {0, 0, 10}, above[3] = {0, 12, 0};
  kxTexturedBox box(8, 4, false, tbpNormal);
  Textured(&box, kAcross);
  LookFrom(camera, P);
  box.Draw2(camera, 180);
  // Half a turn about the corner: left of and below P, colours swapped.
  EXPECT_EQ((Pixels{At(14, 14), At(9, 14), At(17, 18)}), (Pixels{kRed, kBlue, kNone}));
  // Straight above there is no horizontal direction: drawn as Draw draws it.
  fb->Clear(0, 0, 0, 0);
  box.Draw2(above, 0);
  EXPECT_EQ((Pixels{At(17, 18), At(22, 18)}), (Pixels{kRed, kBlue}));
  std::vector<uint8_t> fromAbove = fb->Pixels();
  fb->Clear(0, 0, 0, 0);
  box.Draw();
  EXPECT_EQ(fb->Pixels(), fromAbove);
}
