// Menu geometry and the mapping of click heights to rows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "vimraLayout.h"

TEST(vimraLayout, MainMenuOn1280x720) {
  vimraMainMenuLayout_s m = vimraMainMenuLayout(1280, 720);
  EXPECT_EQ(m.logo.x, 384);
  EXPECT_EQ(m.logo.y, 0);
  EXPECT_EQ(m.logo.w, 512);
  EXPECT_EQ(m.logo.h, 256);
  EXPECT_EQ(m.ticker.x, 192);
  EXPECT_EQ(m.ticker.y, 256);
  EXPECT_EQ(m.ticker.w, 896);
  EXPECT_EQ(m.start.x, 502);
  EXPECT_EQ(m.start.y, 286);
  EXPECT_EQ(m.quit.x, 650);
  EXPECT_EQ(m.quit.y, 286);
  EXPECT_EQ(m.about.x, 576);
  EXPECT_EQ(m.about.y, 326);
  EXPECT_EQ(m.howToPlay.x, 502);
  EXPECT_EQ(m.howToPlay.y, 366);
  EXPECT_EQ(m.settings.x, 650);
  EXPECT_EQ(m.settings.y, 366);
  for (const vimraRect_s& b : {m.start, m.quit, m.about, m.howToPlay, m.settings}) {
    EXPECT_EQ(b.w, 128);
    EXPECT_EQ(b.h, 32);
  }
}

TEST(vimraLayout, MainMenuOnAShortScreenShrinksTheLogo) {
  vimraMainMenuLayout_s m = vimraMainMenuLayout(800, 400);
  EXPECT_EQ(m.logo.h, 208);
  EXPECT_EQ(m.logo.w, 416);
  EXPECT_EQ(m.logo.x, 192);
  EXPECT_EQ(m.start.y, 238);
  EXPECT_EQ(m.quit.y, 238);
  EXPECT_EQ(m.about.y, 278);
  EXPECT_EQ(m.settings.y, 318);
  EXPECT_EQ(m.ticker.y, 208);
  // The threshold: 448 high keeps the full logo, 447 does not.
  EXPECT_EQ(vimraMainMenuLayout(800, 448).logo.h, 256);
  EXPECT_EQ(vimraMainMenuLayout(800, 447).logo.h, 255);
  EXPECT_EQ(vimraMainMenuLayout(800, 447).logo.w, 510);
}

TEST(vimraLayout, OddSizesRoundTowardZero) {
  vimraMainMenuLayout_s m = vimraMainMenuLayout(1023, 767);
  EXPECT_EQ(m.logo.x, 255);
  EXPECT_EQ(m.ticker.w, 716);  // 1023 x 0.7 = 716.1
  EXPECT_EQ(m.ticker.x, 153);
  EXPECT_EQ(m.start.x, 511 - 138);
  // Narrower than the logo: negative offsets round toward zero.
  EXPECT_EQ(vimraMainMenuLayout(511, 720).logo.x, 0);
  EXPECT_EQ(vimraMainMenuLayout(509, 720).logo.x, -1);
}

TEST(vimraLayout, Boxes) {
  vimraRect_s about = vimraBoxPanel(1280, 720, 620, 320);
  EXPECT_EQ(about.x, 330);
  EXPECT_EQ(about.y, 133);
  EXPECT_EQ(about.w, 620);
  EXPECT_EQ(about.h, 320);
  vimraRect_s settings = vimraBoxPanel(1280, 720, 360, 270);
  EXPECT_EQ(settings.x, 460);
  EXPECT_EQ(settings.y, 150);
  vimraRect_s help = vimraBoxPanel(1280, 720, 620, 200);
  EXPECT_EQ(help.y, 173);
  vimraRect_s ok = vimraBoxOkButton(620, 320);
  EXPECT_EQ(ok.x, 246);
  EXPECT_EQ(ok.y, 280);
  EXPECT_EQ(ok.w, 128);
  EXPECT_EQ(ok.h, 32);
}

TEST(vimraLayout, HintBarFitsNarrowScreens) {
  vimraHintBarLayout_s wide = vimraHintBarLayout(1280);
  EXPECT_EQ(wide.panel.x, 330);
  EXPECT_EQ(wide.panel.y, 10);
  EXPECT_EQ(wide.panel.w, 620);
  EXPECT_EQ(wide.panel.h, 30);
  EXPECT_EQ(wide.scroll.x, 330);
  EXPECT_EQ(wide.scroll.y, 14);
  EXPECT_EQ(wide.scroll.w, 620);
  EXPECT_EQ(vimraHintBarLayout(620).panel.w, 620);
  vimraHintBarLayout_s narrow = vimraHintBarLayout(619);
  EXPECT_EQ(narrow.panel.w, 615);
  EXPECT_EQ(narrow.panel.x, 2);
}

TEST(vimraLayout, CornerIsTheTopRightTenth) {
  EXPECT_TRUE(vimraIsCornerClick(1280, 720, 1279, 0));
  EXPECT_TRUE(vimraIsCornerClick(1280, 720, 1153, 71));
  EXPECT_FALSE(vimraIsCornerClick(1280, 720, 1152, 10));  // x must exceed 1152
  EXPECT_FALSE(vimraIsCornerClick(1280, 720, 1200, 72));  // y must stay below 72
  EXPECT_FALSE(vimraIsCornerClick(1280, 720, 10, 10));
}

TEST(vimraLayout, ClickHeightsMapToRows) {
  const float tableZ = (1.0f / (1920.0f / 1080.0f)) * 20.0f;
  float rowY = 99.0f;
  EXPECT_EQ(vimraRowFromClick(1080, 540, tableZ, &rowY), 2);
  EXPECT_FLOAT_EQ(rowY, -0.3f);
  EXPECT_EQ(vimraRowFromClick(1080, 100, tableZ, &rowY), 1);
  EXPECT_FLOAT_EQ(rowY, 2.2f);
  EXPECT_EQ(vimraRowFromClick(1080, 1000, tableZ, &rowY), 3);
  EXPECT_FLOAT_EQ(rowY, -2.8f);

  // On 720 lines with the camera at 11.25 the middle band is |d| < 1.2, that
  // is |v| < 0.18347: y from 294 to 426.
  const float z = 11.25f;
  EXPECT_EQ(vimraRowFromClick(720, 294, z, nullptr), 2);
  EXPECT_EQ(vimraRowFromClick(720, 293, z, nullptr), 1);
  EXPECT_EQ(vimraRowFromClick(720, 426, z, nullptr), 2);
  EXPECT_EQ(vimraRowFromClick(720, 427, z, nullptr), 3);
  // The camera distance widens or narrows the bands.
  EXPECT_EQ(vimraRowFromClick(720, 200, 2.0f, nullptr), 2);
  // Degenerate windows do not divide by zero.
  EXPECT_EQ(vimraRowFromClick(1, 0, z, nullptr), 2);
  EXPECT_EQ(vimraRowFromClick(0, 5, z, nullptr), 2);
}

namespace {

// Where a world point lies in the camera's space for a pose, as the frame's
// PilotView places the world: turned about z by angle[1], then about x by
// angle[2], after moving the camera to the origin (angle[0] is 0 here).
void EyeOf(const vimraPose_s& pose, const float world[3], double eye[3]) {
  const double d = 3.14159265358979323846 / 180.0;
  const double v[3] = {world[0] - pose.position[0], world[1] - pose.position[1],
                       world[2] - pose.position[2]};
  const double cz = std::cos(pose.angle[1] * d), sz = std::sin(pose.angle[1] * d);
  const double t[3] = {cz * v[0] - sz * v[1], sz * v[0] + cz * v[1], v[2]};
  const double cx = std::cos(pose.angle[2] * d), sx = std::sin(pose.angle[2] * d);
  eye[0] = t[0];
  eye[1] = cx * t[1] - sx * t[2];
  eye[2] = sx * t[1] + cx * t[2];
}

}  // namespace

TEST(vimraLayout, MenuViewBacksAwayOnlyOnNarrowWindows) {
  // From 4:3 wider, and for a shape not known yet, the view as made, exactly.
  for (float aspect :
       {4.0f / 3.0f, 16.0f / 10.0f, 16.0f / 9.0f, 21.0f / 9.0f, 4.0f, 0.0f, -1.0f, std::nanf("")}) {
    const vimraPose_s pose = vimraMenuPoseFor(aspect, -5.0f);
    EXPECT_EQ(0, std::memcmp(&pose, &vimraMenuPose, sizeof pose)) << aspect;
  }
  // Narrower: the angles stay; the ring's centre keeps its place across and
  // up the picture and is as much farther away as the window is narrower.
  const float ring[3] = {0.0f, 0.0f, -5.0f};
  double before[3];
  EyeOf(vimraMenuPose, ring, before);
  ASSERT_LT(before[2], -10.0) << "the ring lies ahead of the menu view";
  for (float aspect : {1.25f, 1.0f, 9.0f / 16.0f, 9.0f / 21.0f}) {
    const vimraPose_s pose = vimraMenuPoseFor(aspect, -5.0f);
    EXPECT_EQ(0, std::memcmp(pose.angle, vimraMenuPose.angle, sizeof pose.angle)) << aspect;
    double after[3];
    EyeOf(pose, ring, after);
    EXPECT_NEAR(after[0], before[0], 1e-4) << aspect;
    EXPECT_NEAR(after[1], before[1], 1e-4) << aspect;
    EXPECT_NEAR(after[2] / before[2], (4.0 / 3.0) / aspect, 1e-5) << aspect;
  }
  // The ring's centre is an argument: a ring elsewhere is framed the same way.
  const float lower[3] = {0.0f, 0.0f, -8.0f};
  EyeOf(vimraMenuPose, lower, before);
  double after[3];
  EyeOf(vimraMenuPoseFor(0.5f, -8.0f), lower, after);
  EXPECT_NEAR(after[2] / before[2], (4.0 / 3.0) / 0.5, 1e-5);
}

TEST(vimraLayout, GUIScaleIsTheSameLayoutAtEveryPixelDensity) {
  // The window's size in its own units (CSS pixels in a browser) and the
  // scale the rule gives it at one pixel per unit.
  const struct {
    int w, h;
    float scale;
  } units[] = {{390, 844, 1.0f},   {844, 390, 1.0f}, {1280, 720, 1.0f}, {1920, 1080, 1.5f},
               {1080, 1920, 1.5f}, {412, 915, 1.0f}, {800, 600, 1.0f},  {2560, 1440, 2.0f}};
  for (const auto& u : units) {
    EXPECT_EQ(vimraChooseGUIScale(u.w, u.h), u.scale) << u.w << "x" << u.h;
    for (float density : {1.0f, 1.5f, 2.0f, 2.625f, 3.0f}) {
      const int pw = int(u.w * density), ph = int(u.h * density);
      const float s = vimraChooseGUIScale(pw, ph, density);
      // The controls get the same logical size, to the pixel, as at density
      // 1: as large on the screen, and drawn with all of its pixels.
      EXPECT_FLOAT_EQ(s, u.scale * density) << u.w << "x" << u.h << " at " << density;
      EXPECT_NEAR(pw / s, u.w / u.scale, 1.0) << u.w << "x" << u.h << " at " << density;
      EXPECT_NEAR(ph / s, u.h / u.scale, 1.0) << u.w << "x" << u.h << " at " << density;
    }
  }
  // A phone at density 3 is no 1170 x 2532 screen: that would get 1.75 and
  // controls little more than half as large to the finger.
  EXPECT_EQ(vimraChooseGUIScale(1170, 2532), 1.75f);
  EXPECT_EQ(vimraChooseGUIScale(1170, 2532, 3.0f), 3.0f);
  // A page zoomed out below one pixel per unit draws its controls smaller.
  EXPECT_EQ(vimraChooseGUIScale(640, 360, 0.5f), 0.5f);
  // Densities that mean nothing fall back to the pixels.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {0.0f, -2.0f, nan, inf, -inf, 1e-30f})
    EXPECT_EQ(vimraChooseGUIScale(2560, 1440, bad), 2.0f) << bad;
  EXPECT_EQ(vimraChooseGUIScale(0, 720, 2.0f), 1.0f);
}
