// The game under GUI scales: labels drawn from the fonts rendered for the
// scale keep edges as sharp as at scale 1, the scale follows the window,
// and a pack without the larger renderings still works.
#include <gtest/gtest.h>

#include "graphics/kxFont.h"
#include "vimraGameTestSupport.h"
#include "vimraPackKeys.h"

namespace {

// How a label's edges look: of the pixels the text darkens at all, the share
// only partly dark. Text magnified from a smaller bitmap spreads each edge
// over more pixels and raises it; text drawn from glyphs of its size keeps it.
struct EdgeMeasure {
  int inked = 0;
  int partial = 0;
  double Share() const { return inked > 0 ? double(partial) / inked : 1.0; }
};

class GameWindow : public LiveGame {
 protected:
  // Draws "Settings How to play" in black on white at GUI scale s with
  // `font` and measures the label's rectangle.
  EdgeMeasure Measure(kxFont* font, float s) {
    EXPECT_TRUE(gui->SetScale(s));
    gui->Clear();
    kxString text(u"Settings How to play");
    kxGIULabel* label = kxGIULabel::Create(idNone, font, 10, 10, text);
    EXPECT_NE(label, nullptr);
    if (label == nullptr) return {};
    label->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(gui->AppendControl(label));
    glViewport(0, 0, game->GetWidth(), game->GetHeight());
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    gui->Draw();
    glFinish();
    const int w = int(std::ceil(260 * s)), h = int(std::ceil(40 * s));
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, game->GetHeight() - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EdgeMeasure m;
    for (size_t i = 0; i < rgb.size(); i += 3) {
      const int dark = 255 - rgb[i + 1];
      if (dark > 25) ++m.inked;
      if (dark > 25 && dark < 230) ++m.partial;
    }
    gui->Clear();
    return m;
  }
};

TEST_F(GameWindow, LabelsAtScalesTwoAndThreeAreAsSharpAsAtOne) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NE(game->arialFont, nullptr);
  EXPECT_EQ(game->arialFont->GetVariantCount(), vimraFontDensityCount);
  const EdgeMeasure one = Measure(game->arialFont, 1.0f);
  ASSERT_GT(one.inked, 200);
  for (float s : {2.0f, 3.0f}) {
    const EdgeMeasure m = Measure(game->arialFont, s);
    // The text covers s * s times the area, its edges stay one pixel wide.
    EXPECT_GT(m.inked, one.inked * s * s * 0.7) << "scale " << s;
    EXPECT_LT(m.Share(), one.Share() * 1.15)
        << "scale " << s << ": " << m.partial << " of " << m.inked << " against " << one.partial
        << " of " << one.inked;
  }

  // The measure tells: the plain glyphs magnified are visibly softer.
  kxFont* plain = vimraLoadFont(game->GetEntry(vimraKeyLargeFont));
  ASSERT_NE(plain, nullptr);
  const EdgeMeasure magnified = Measure(plain, 3.0f);
  EXPECT_GT(magnified.Share(), one.Share() * 1.3);
  delete plain;
  gui->SetScale(1.0f);
}

TEST_F(GameWindow, ScaleFollowsTheWindowAndAnOldPackStillWorks) {
  // A pack made before the larger renderings: the plain fonts and pictures
  // are magnified instead.
  std::vector<std::string> removed;
  for (const std::string& key : vimraEveryPackKey())
    if (key.find('@') != std::string::npos) removed.push_back(key);
  ASSERT_EQ(removed.size(), size_t(2 * vimraFontDensityCount + 10 * vimraPictureDensityCount));
  InstallEditedPack(removed);
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(game->arialFont->GetVariantCount(), 0);
  EXPECT_EQ(gui->GetScale(), 1.0f);  // 1280 x 720
  // Larger windows, as the resize event brings them: the menu is laid out
  // anew in the logical size, the same in its proportions.
  const struct {
    int w, h;
    float scale;
  } sizes[] = {{1920, 1080, 1.5f}, {3840, 2160, 3.0f}, {1080, 1920, 1.5f}, {800, 600, 1.0f}};
  for (const auto& size : sizes) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_RESIZED;
    e.window.data1 = size.w;
    e.window.data2 = size.h;
    driver->Deliver(e);
    EXPECT_EQ(gui->GetScale(), size.scale) << size.w << "x" << size.h;
    EXPECT_EQ(gui->GetWidth(), int(size.w / size.scale));
    kxGUIObject* start = nullptr;
    for (uint64_t i = 0; i < gui->GetControlCount(); ++i)
      if (dynamic_cast<kxGUIButton*>(gui->GetControl(i)) != nullptr &&
          gui->GetControl(i)->GetID() == idStart)
        start = gui->GetControl(i);
    ASSERT_NE(start, nullptr);
    const vimraMainMenuLayout_s m = vimraMainMenuLayout(gui->GetWidth(), gui->GetHeight());
    EXPECT_EQ(start->GetLeft(), m.start.x);
    EXPECT_EQ(start->GetTop(), m.start.y);
  }
  // The override wins over the window.
  game->SetUIScale(2.0f);
  EXPECT_EQ(gui->GetScale(), 2.0f);
  EXPECT_EQ(Count(idStart), 2);
}

TEST_F(GameWindow, ControlsAreClickedWhereTheyAreDrawnAtAnyScale) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  // At scale 2 a button's logical middle is half way to its drawn one.
  game->SetUIScale(2.0f);
  ClickControl(idSettings);
  EXPECT_EQ(Count(idBox), 1);
  EXPECT_NE(Find(idQuality), nullptr) << "the Settings box is up";
  ClickControl(idOK);
  EXPECT_EQ(Count(idBox), 0);
  EXPECT_EQ(Count(idStart), 2) << "back to the menu";
}

TEST_F(GameWindow, TheMenuViewFollowsTheWindowsShape) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  auto resize = [&](int w, int h) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_RESIZED;
    e.window.data1 = w;
    e.window.data2 = h;
    driver->Deliver(e);
  };
  auto expectPose = [&](const vimraPose_s& want, const char* where) {
    float p[3], a[3];
    game->GetCamPosition(p);
    game->GetCamAngle(a);
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(p[k], want.position[k]) << where << " position " << k;
      EXPECT_FLOAT_EQ(a[k], want.angle[k]) << where << " angle " << k;
    }
  };
  expectPose(vimraMenuPose, "1280x720");
  resize(1080, 1920);
  expectPose(vimraMenuPoseFor(1080.0f / 1920.0f, -5.0f), "upright, in the menu");
  float p[3];
  game->GetCamPosition(p);
  EXPECT_GT(p[2], vimraMenuPose.position[2] + 5.0f) << "backed away";
  // On the ring with the menu gone, as after Start. (The window itself kept
  // its size: a pointer position would be mapped for it, so the button is
  // pressed from here.)
  game->vimraGame::OnGUIClick(driver->FindControl(idStart));
  ASSERT_EQ(game->state, StateRing);
  resize(1920, 1080);
  expectPose(vimraMenuPose, "16:9 again, on the ring");

  // Escape during a trick on an upright window flies back to its menu view
  // (in 122 steps of a 120-step plan, so a little past it).
  resize(600, 900);
  ClickAt(300, 450);
  ASSERT_TRUE(StepUntil(StateGather, 5));
  ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
  float from[3], fromAngle[3];
  game->GetCamPosition(from);
  game->GetCamAngle(fromAngle);
  Key(SDLK_ESCAPE);
  ASSERT_EQ(game->state, StateBackToMenu);
  ASSERT_TRUE(StepUntil(StateMenu, 200));
  const vimraPose_s upright = vimraMenuPoseFor(600.0f / 900.0f, -5.0f);
  const double past = 122.0 / 120.0;
  float a[3];
  game->GetCamPosition(p);
  game->GetCamAngle(a);
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(p[k], from[k] + (upright.position[k] - from[k]) * past, 1e-3) << k;
  for (int k = 1; k < 3; ++k)
    EXPECT_NEAR(a[k], fromAngle[k] + (upright.angle[k] - fromAngle[k]) * past, 1e-3) << k;
}

}  // namespace
