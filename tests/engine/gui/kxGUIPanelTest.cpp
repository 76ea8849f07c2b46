// Panels: the 78-vertex rounded box and its exact corner geometry, round
// corners on screen, recolouring in place and across a rebuild.

#include "gui/kxGUIPanel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIManager.h"
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

TEST_F(PanelTest, DefaultPanelHas78VerticesAndThePublishedCorner) {
  std::unique_ptr<kxGUIPanel> panel(kxGUIPanel::Create(1, 100, 50, 620, 320));
  ASSERT_TRUE(panel);
  EXPECT_EQ(10, panel->GetRound());
  ASSERT_EQ(1u, panel->GetGeometry()->Length());
  kxVertexArray* mesh = Mesh(panel.get());
  ASSERT_NE(nullptr, mesh);
  ASSERT_EQ(78u, mesh->GetVertexArraySize());
  float(*v)[3] = mesh->GetVertexArray();

  // Top band: x 110 to 710, y 50 to 60 (vertices 6 to 11).
  const float top[6][2] = {{110, 50}, {710, 60}, {110, 60}, {110, 50}, {710, 50}, {710, 60}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(top[i][0], v[6 + i][0]) << i;
    EXPECT_FLOAT_EQ(top[i][1], v[6 + i][1]) << i;
  }
  // Middle band spans the full width, the bottom band ends at 370.
  EXPECT_FLOAT_EQ(100.0f, v[0][0]);
  EXPECT_FLOAT_EQ(60.0f, v[0][1]);
  EXPECT_FLOAT_EQ(720.0f, v[1][0]);
  EXPECT_FLOAT_EQ(360.0f, v[1][1]);
  EXPECT_FLOAT_EQ(370.0f, v[13][1]);

  // Corners follow at 18, each a fan of 5 triangles; the bottom-left one is
  // last and starts with (110, 360), (110, 370), (106.90983, 369.51056).
  const int bottomLeft = 18 + 3 * 15;
  EXPECT_FLOAT_EQ(110.0f, v[bottomLeft][0]);
  EXPECT_FLOAT_EQ(360.0f, v[bottomLeft][1]);
  EXPECT_NEAR(110.0f, v[bottomLeft + 1][0], 1e-4);
  EXPECT_FLOAT_EQ(370.0f, v[bottomLeft + 1][1]);
  EXPECT_NEAR(106.90983f, v[bottomLeft + 2][0], 1e-4);
  EXPECT_NEAR(369.51056f, v[bottomLeft + 2][1], 1e-4);

  const float centres[4][2] = {{110, 60}, {710, 60}, {710, 360}, {110, 360}};
  for (int corner = 0; corner < 4; ++corner) {
    for (int t = 0; t < 5; ++t) {
      const float* c = v[18 + corner * 15 + t * 3];
      EXPECT_FLOAT_EQ(centres[corner][0], c[0]);
      EXPECT_FLOAT_EQ(centres[corner][1], c[1]);
      for (int k = 1; k < 3; ++k) {
        const float* p = v[18 + corner * 15 + t * 3 + k];
        EXPECT_NEAR(10.0, std::hypot(p[0] - c[0], p[1] - c[1]), 1e-3);
        EXPECT_FLOAT_EQ(0.0f, p[2]);
      }
    }
  }
  // The top-left fan points up and left.
  const float* first = v[18 + 1];
  EXPECT_NEAR(100.0f, first[0], 1e-4);
  EXPECT_NEAR(60.0f, first[1], 1e-4);
  const float* last = v[18 + 14];
  EXPECT_NEAR(110.0f, last[0], 1e-3);
  EXPECT_NEAR(50.0f, last[1], 1e-3);
}

TEST_F(PanelTest, DrawsATranslucentBoxWithRoundCorners) {
  kxTest::Framebuffer fb(160, 100);
  std::unique_ptr<kxGUIPanel> panel(kxGUIPanel::Create(1, 20, 15, 120, 70));
  const float* c = panel->GetBackgroundColor();
  EXPECT_FLOAT_EQ(0.0f, c[0]);
  EXPECT_FLOAT_EQ(0.8f, c[3]);
  fb.Clear(1, 1, 1, 1);
  BeginGUIDrawing(fb);
  panel->Draw();
  int inside = 0, outside = 0;
  ForEachPixel(20, 15, 120, 70, [&](int x, int y, bool in) {
    RGBA p = At(fb, x, y);
    if (in) {
      // 80 % black over white.
      EXPECT_NEAR(51, p.r, 2) << x << "," << y;
      ++inside;
    } else {
      EXPECT_EQ(255, p.r) << x << "," << y;
      ++outside;
    }
  });
  EXPECT_GT(inside, 7000);
  EXPECT_GT(outside, 100) << "the corner pixels outside the arcs stay clear";
  EXPECT_EQ(255, At(fb, 20, 15).r) << "the very corner is cut off";
  EXPECT_NEAR(51, At(fb, 20, 50).r, 2) << "but the middle of the left edge is not";
}

TEST_F(PanelTest, SetBackgroundColorRewritesAll78Colours) {
  kxTest::Framebuffer fb(160, 100);
  std::unique_ptr<kxGUIPanel> panel(kxGUIPanel::Create(1, 20, 15, 120, 70));
  kxVertexArray* mesh = Mesh(panel.get());
  float vertices0 = mesh->GetVertexArray()[40][0];
  panel->SetBackgroundColor(1.0f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(mesh, Mesh(panel.get())) << "recoloured in place, not rebuilt";
  EXPECT_FLOAT_EQ(vertices0, mesh->GetVertexArray()[40][0]);
  const float* c = panel->GetBackgroundColor();
  EXPECT_FLOAT_EQ(1.0f, c[0]);
  EXPECT_FLOAT_EQ(1.0f, c[3]);

  // Blending off: every triangle shows its own vertex colours, so any of the
  // 26 triangles that kept the old colour would leave black pixels.
  kxTest::SetOrtho(0, 160, 100, 0);
  panel->Draw();
  int inside = 0;
  ForEachPixel(20, 15, 120, 70, [&](int x, int y, bool in) {
    if (!in) return;
    ++inside;
    EXPECT_EQ(kWhite, At(fb, x, y)) << x << "," << y;
  });
  EXPECT_GT(inside, 7000);
}

TEST_F(PanelTest, RebuildAsAChildKeepsTheColourAndMovesToTheAbsolutePosition) {
  kxTest::Framebuffer fb(200, 150);
  kxGUIManager manager(200, 150);
  kxGUIPanel* outer = kxGUIPanel::Create(5, 10, 20, 180, 120);
  ASSERT_TRUE(manager.AppendControl(outer));
  kxGUIPanel* inner = kxGUIPanel::Create(0, 30, 40, 100, 50);
  inner->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
  ASSERT_TRUE(outer->AppendChild(inner));

  EXPECT_EQ(40, inner->GetLeft());
  EXPECT_EQ(60, inner->GetTop());
  kxVertexArray* mesh = Mesh(inner);
  ASSERT_EQ(78u, mesh->GetVertexArraySize());
  float(*v)[3] = mesh->GetVertexArray();
  EXPECT_FLOAT_EQ(40.0f, v[0][0]);   // L
  EXPECT_FLOAT_EQ(70.0f, v[0][1]);   // T + r
  EXPECT_FLOAT_EQ(140.0f, v[1][0]);  // R
  EXPECT_FLOAT_EQ(110.0f, v[13][1]); // B
  EXPECT_FLOAT_EQ(1.0f, inner->GetBackgroundColor()[0]);

  // Drawn over the outer (80 % black) panel, the inner one is light.
  manager.Draw();
  RGBA p = At(fb, 90, 85);
  EXPECT_GT(p.r, 180);
  EXPECT_EQ(p.r, p.g);
  RGBA q = At(fb, 20, 30);
  EXPECT_LT(q.r, 10);
  EXPECT_GT(q.a, 150);
}

TEST_F(PanelTest, TopLevelAppendAndSettersLeaveTheMeshAlone) {
  kxGUIManager manager(200, 150);
  kxGUIPanel* panel = kxGUIPanel::Create(5, 10, 20, 100, 60);
  kxVertexArray* mesh = Mesh(panel);
  ASSERT_TRUE(manager.AppendControl(panel));
  panel->SetLeft(90);
  panel->SetWidth(30);
  EXPECT_EQ(mesh, Mesh(panel));
  EXPECT_FLOAT_EQ(10.0f, mesh->GetVertexArray()[0][0]);
  EXPECT_FLOAT_EQ(110.0f, mesh->GetVertexArray()[1][0]);
}

}  // namespace
