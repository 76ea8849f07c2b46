// Panels: the 78-vertex rounded box and its exact corner geometry, round
// corners on screen, recolouring in place and across a rebuild.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

class PanelTest : public kxTest::GLTest {
 protected:
  static kxVertexArray* Mesh(kxGUIPanel* panel) {
    return panel->GetGeometry() ? panel->GetGeometry()->GetVertexArray(0) : nullptr;
  }

  // Every pixel whose centre lies at least 1.5 pixels inside the rounded
  // outline (radius 10) of the rectangle, and every pixel at least 1.5
  // pixels outside it within the bounding box, in window coordinates.
  template <typename Fn>
  static void ForEachPixel(int left, int top, int width, int height, Fn fn) {
    for (int y = top - 3; y < top + height + 3; ++y) {
      for (int x = left - 3; x < left + width + 3; ++x) {
        float px = x + 0.5f, py = y + 0.5f;
        // Distance outside the rounded rectangle (negative inside).
        float cx = std::fmin(std::fmax(px, left + 10.0f), left + width - 10.0f);
        float cy = std::fmin(std::fmax(py, top + 10.0f), top + height - 10.0f);
        float d = std::hypot(px - cx, py - cy) - 10.0f;
        if (d <= -1.5f) fn(x, y, true);
        if (d >= 1.5f) fn(x, y, false);
      }
    }
  }
};

TEST_F(PanelTest, DefaultPanelHas78VerticesAndTheWorkedCorner) {
  std::unique_ptr<kxGUIPanel> panel(kxGUIPanel::Create(1, 100, 50, 620, 320));
  ASSERT_TRUE(panel);
  EXPECT_EQ(10, panel->GetRound());
  kxVertexArray* mesh = Mesh(panel.get());
  ASSERT_TRUE(mesh && mesh->GetVertexArraySize() == 78u);
  float(*v)[3] = mesh->GetVertexArray();
  // Middle band full width (0, 1); top band 110..710 x 50..60 (6 to 11);
  // the bottom band's second vertex is its corner at 710, 370 (13).
  const float bands[9][3] = {{0, 100, 60},  {1, 720, 360}, {6, 110, 50},
                             {7, 710, 60},  {8, 110, 60},  {9, 110, 50},
                             {10, 710, 50}, {11, 710, 60}, {13, 710, 370}};
  for (auto& b : bands) {
    EXPECT_FLOAT_EQ(b[1], v[int(b[0])][0]) << "vertex " << b[0];
    EXPECT_FLOAT_EQ(b[2], v[int(b[0])][1]) << "vertex " << b[0];
  }
  // Corners from 18, fans of 5 triangles about their centres; the last
  // (bottom-left) starts (110, 360), (110, 370), (106.90983, 369.51056).
  const float centres[4][2] = {{110, 60}, {710, 60}, {710, 360}, {110, 360}};
  for (int corner = 0; corner < 4; ++corner) {
    for (int t = 0; t < 5; ++t) {
      const float* c = v[18 + corner * 15 + t * 3];
      EXPECT_FLOAT_EQ(centres[corner][0], c[0]);
      EXPECT_FLOAT_EQ(centres[corner][1], c[1]);
      for (int k = 1; k < 3; ++k)
        EXPECT_NEAR(10.0, std::hypot(c[3 * k] - c[0], c[3 * k + 1] - c[1]), 1e-3);
    }
  }
  const float* bl = v[18 + 3 * 15];
  EXPECT_NEAR(110.0f, bl[3], 1e-4);
  EXPECT_FLOAT_EQ(370.0f, bl[4]);
  EXPECT_NEAR(106.90983f, bl[6], 1e-4);
  EXPECT_NEAR(369.51056f, bl[7], 1e-4);
  EXPECT_NEAR(100.0f, v[19][0], 1e-4);  // the top-left fan points up and left
  EXPECT_NEAR(60.0f, v[19][1], 1e-4);
  EXPECT_NEAR(110.0f, v[32][0], 1e-3);
  EXPECT_NEAR(50.0f, v[32][1], 1e-3);
}

TEST_F(PanelTest, DrawsRoundCornersAndRecoloursAll78VerticesInPlace) {
  kxTest::Framebuffer fb(160, 100);
  std::unique_ptr<kxGUIPanel> panel(kxGUIPanel::Create(1, 20, 15, 120, 70));
  fb.Clear(1, 1, 1, 1);
  BeginGUIDrawing(fb);
  panel->Draw();
  int inside = 0, outside = 0;
  ForEachPixel(20, 15, 120, 70, [&](int x, int y, bool in) {
    // 80 % black over white inside, white outside the arcs.
    in ? ++inside : ++outside;
    EXPECT_NEAR(in ? 51 : 255, At(fb, x, y).r, in ? 2 : 0) << x << "," << y;
  });
  EXPECT_GT(inside, 7000);
  EXPECT_GT(outside, 100);
  EXPECT_EQ(255, At(fb, 20, 15).r) << "the very corner is cut off";
  EXPECT_NEAR(51, At(fb, 20, 50).r, 2) << "the middle of the left edge is not";

  kxVertexArray* mesh = Mesh(panel.get());
  panel->SetBackgroundColor(1.0f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(mesh, Mesh(panel.get())) << "recoloured in place, not rebuilt";
  // Blending off: a triangle that kept the old colour would leave black.
  kxTest::SetOrtho(0, 160, 100, 0);
  panel->Draw();
  ForEachPixel(20, 15, 120, 70, [&](int x, int y, bool in) {
    if (in) {
      EXPECT_EQ(kWhite, At(fb, x, y)) << x << "," << y;
    }
  });
}

TEST_F(PanelTest, RebuiltAsAChildAtTheAbsolutePositionKeepingItsColour) {
  kxTest::Framebuffer fb(200, 150);
  kxGUIManager manager(200, 150);
  kxGUIPanel* outer = kxGUIPanel::Create(5, 10, 20, 180, 120);
  kxVertexArray* outerMesh = Mesh(outer);
  ASSERT_TRUE(manager.AppendControl(outer));
  outer->SetWidth(30);
  EXPECT_EQ(outerMesh, Mesh(outer)) << "top level: neither append nor setters rebuild";
  EXPECT_FLOAT_EQ(190.0f, outerMesh->GetVertexArray()[1][0]);
  kxGUIPanel* inner = kxGUIPanel::Create(0, 30, 40, 100, 50);
  inner->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
  ASSERT_TRUE(outer->AppendChild(inner));
  kxVertexArray* mesh = Mesh(inner);
  ASSERT_EQ(78u, mesh->GetVertexArraySize());
  float(*v)[3] = mesh->GetVertexArray();
  // L, T + r, R and B of the absolute rectangle 40, 60, 100 x 50.
  EXPECT_EQ((std::vector<float>{40, 70, 140, 110}),
            (std::vector<float>{v[0][0], v[0][1], v[1][0], v[13][1]}));
  manager.Draw();
  kxTest::RGBA light = At(fb, 90, 85), dark = At(fb, 20, 30);
  EXPECT_GT(light.r, 180);  // the white 80 % over the black 80 %
  EXPECT_EQ(light.r, light.g);
  EXPECT_LT(dark.r, 10);
  EXPECT_GT(dark.a, 150);
}

TEST_F(PanelTest, PanelsNearTheEndsOfIntKeepTheirShape) {
  // The right and lower edges lie past the end of int; they are formed wide,
  // so the box keeps its width and height instead of turning inside out.
  std::unique_ptr<kxGUIPanel> far(kxGUIPanel::Create(1, INT_MAX - 50, INT_MAX - 20, 200, 100));
  kxVertexArray* mesh = Mesh(far.get());
  ASSERT_TRUE(mesh && mesh->GetVertexArraySize() == 78u);
  float(*v)[3] = mesh->GetVertexArray();
  // Floats this large step by 256, so the edges can only be compared.
  EXPECT_GE(v[1][0], v[0][0]) << "R and L of the middle band";
  EXPECT_GT(v[1][0], 2.0e9f);
  EXPECT_GE(v[13][1], v[6][1]) << "B and T";
  EXPECT_GT(v[13][1], 2.0e9f);
  // Appended under such a parent the child saturates and still builds.
  kxGUIManager manager(100, 100);
  kxGUIPanel* parent = kxGUIPanel::Create(2, INT_MAX - 10, INT_MIN + 10, 50, 50);
  ASSERT_TRUE(manager.AppendControl(parent));
  kxGUIPanel* child = kxGUIPanel::Create(3, 100, -100, 40, 40);
  ASSERT_TRUE(parent->AppendChild(child));
  EXPECT_EQ(INT_MAX, child->GetLeft());
  EXPECT_EQ(INT_MIN, child->GetTop());
  ASSERT_TRUE(Mesh(child) && Mesh(child)->GetVertexArraySize() == 78u);
  EXPECT_GT(Mesh(child)->GetVertexArray()[1][0], 2.0e9f) << "R past the end of int";
  kxTest::Framebuffer fb(100, 100);
  fb.Clear(0, 0, 0, 0);
  manager.Draw();
  EXPECT_EQ(kBlack, At(fb, 50, 50)) << "far off screen";
}

}  // namespace
