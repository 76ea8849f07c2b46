// The menu screens of a started game: what each button does, where the
// main menu sits, and clicks that arrive together.
#include <gtest/gtest.h>

#include "vimraGameTestSupport.h"

namespace {

TEST_F(LiveGame, MenuButtonsDoWhatTheirIdsSay) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string englishSettings = Utf8(game->Message(9));
  const std::string englishQuit = Utf8(game->Message(2));
  ASSERT_FALSE(englishSettings.empty());

  ClickControl(idAbout);
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_NE(Find(idOK), nullptr);
  EXPECT_EQ(Count(idQuit), 0);
  std::vector<std::string> about = LabelTexts();
  ASSERT_EQ(about.size(), 3u);
  EXPECT_EQ(about[0], Utf8(game->Message(3)));
  const std::string platform = SDL_GetPlatform();
  EXPECT_NE(about[1].find("1.1.209"), std::string::npos) << about[1];
  EXPECT_EQ(about[1].substr(about[1].size() - platform.size()), platform) << about[1];
  if (platform != "Windows") {
    EXPECT_EQ(about[1].find("Windows"), std::string::npos);
  }

  ClickControl(idOK);
  EXPECT_EQ(Find(idBox), nullptr);
  EXPECT_EQ(Count(idQuit), 1);

  ClickControl(idHowToPlay);
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_EQ(LabelTexts().at(0), Utf8(game->Message(8)));
  ClickControl(idOK);

  ClickControl(idSettings);
  ASSERT_NE(Find(idBox), nullptr);
  for (unsigned id : {idLanguage, idQuality, idMusic, idHints, idOK}) {
    EXPECT_NE(Find(id), nullptr) << id;
  }
  EXPECT_EQ(LabelTexts().at(0), englishSettings);
  EXPECT_EQ(CaptionOf(idLanguage), "Polski");
  EXPECT_EQ(CaptionOf(idQuality), Utf8(game->Message(14)));
  EXPECT_EQ(CaptionOf(idMusic), Utf8(game->Message(16)));

  // Language: English, Polski, English, each time rebuilding the box.
  ClickControl(idLanguage);
  EXPECT_EQ(game->language, 1);
  EXPECT_EQ(CaptionOf(idLanguage), "English");
  EXPECT_NE(Utf8(game->Message(9)), englishSettings);
  EXPECT_EQ(LabelTexts().at(0), Utf8(game->Message(9)));
  ClickControl(idLanguage);
  EXPECT_EQ(game->language, 0);
  EXPECT_EQ(CaptionOf(idLanguage), "Polski");
  EXPECT_EQ(LabelTexts().at(0), englishSettings);

  // Music off pauses the music, on plays it again.
  ASSERT_TRUE(game->musicOn);
  ClickControl(idMusic);
  EXPECT_FALSE(game->musicOn);
  EXPECT_EQ(Mix_PausedMusic(), 1);
  EXPECT_EQ(CaptionOf(idMusic), Utf8(game->Message(15)));
  game->OnLostFocus();
  game->OnSetFocus();
  EXPECT_EQ(Mix_PausedMusic(), 1);  // focus changes leave switched-off music alone
  ClickControl(idMusic);
  EXPECT_TRUE(game->musicOn);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(Mix_PausedMusic(), 0);
  game->OnLostFocus();
  EXPECT_EQ(Mix_PausedMusic(), 1);
  game->OnSetFocus();
  EXPECT_EQ(Mix_PausedMusic(), 0);

  // Hints off: the next trick starts without the hint bar.
  ClickControl(idHints);
  EXPECT_FALSE(game->hintsOn);
  EXPECT_EQ(CaptionOf(idHints), Utf8(game->Message(15)));
  ClickControl(idOK);
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(CaptionOf(idQuit), englishQuit);
  // The logo starts the trick like the Start button.
  kxGUIObject* logo = Find(idStart);
  ASSERT_NE(logo, nullptr);
  ASSERT_EQ(dynamic_cast<kxGUIButton*>(logo), nullptr);
  ClickAt(logo->GetLeft() + 10, logo->GetTop() + 10);
  Step();
  EXPECT_EQ(game->state, StateRing);
  EXPECT_EQ(Count(idHintScroll), 0);
  EXPECT_EQ(gui->GetControlCount(), 0u);
  // Start does nothing outside the menu.
  kxGUIObject start(idStart, 0, 0, 1, 1);
  game->OnGUIClick(&start);
  EXPECT_EQ(game->state, StateRing);
  Key(SDLK_ESCAPE);

  ClickControl(idQuit);
  EXPECT_TRUE(game->quitRequested);
}

TEST_F(LiveGame, MainMenuSitsWhereTheLayoutSays) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const int w = game->GetWidth();
  const int h = game->GetHeight();
  vimraMainMenuLayout_s m = vimraMainMenuLayout(w, h);
  const struct {
    unsigned id;
    vimraRect_s r;
  } buttons[] = {
      {idQuit, m.quit}, {idAbout, m.about}, {idHowToPlay, m.howToPlay}, {idSettings, m.settings}};
  for (const auto& b : buttons) {
    kxGUIObject* c = Find(b.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetLeft(), b.r.x) << b.id;
    EXPECT_EQ(c->GetTop(), b.r.y) << b.id;
    EXPECT_EQ(c->GetWidth(), 128);
    EXPECT_EQ(c->GetHeight(), 32);
  }
  kxGUIObject* logo = Find(idStart);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->GetLeft(), m.logo.x);
  EXPECT_EQ(logo->GetWidth(), m.logo.w);
  EXPECT_EQ(logo->GetHeight(), m.logo.h);
  if (w == 1280 && h == 720) {
    EXPECT_EQ(logo->GetLeft(), 384);
    kxGUIObject* start = gui->GetControl(gui->GetControlCount() - 5);
    EXPECT_EQ(start->GetID(), unsigned(idStart));
    EXPECT_EQ(start->GetLeft(), 502);
    EXPECT_EQ(start->GetTop(), 286);
  }
}

TEST_F(LiveGame, TwoMenuClicksInOneFrameUseOnlyLiveControls) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  kxGUIObject* about = Find(idAbout);
  kxGUIObject* settings = Find(idSettings);
  ASSERT_NE(about, nullptr);
  ASSERT_NE(settings, nullptr);
  ClickAt(about->GetLeft() + 5, about->GetTop() + 5);
  ClickAt(settings->GetLeft() + 5, settings->GetTop() + 5);
  Step();
  // The first click rebuilt the screen; the second control died with it.
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_EQ(Find(idLanguage), nullptr);
  Step();
  // Clicks of later frames are handled again.
  ClickControl(idOK);
  EXPECT_EQ(Count(idQuit), 1);
}

}  // namespace
