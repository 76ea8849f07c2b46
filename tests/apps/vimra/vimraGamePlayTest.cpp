// A started game played through its input: whole tricks, Escape, the
// volume keys, the corner switch and mouse movement.
#include <gtest/gtest.h>

#include "vimraGameTestSupport.h"

namespace {

TEST_F(LiveGame, WholeTrickFromTheMenuFindsTheCard) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(game->state, StateMenu);
  EXPECT_EQ(Count(idStart), 2);  // logo and button
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(Count(idAbout), 1);
  EXPECT_EQ(Count(idHowToPlay), 1);
  EXPECT_EQ(Count(idSettings), 1);

  // A click in the menu outside the controls answers nothing.
  ClickAt(game->GetWidth() / 2, game->GetHeight() - 20);
  Step();
  EXPECT_EQ(game->state, StateMenu);

  ClickControl(idStart);
  ASSERT_EQ(game->state, StateRing);
  EXPECT_EQ(Count(idStart), 0);
  EXPECT_EQ(Count(idHintScroll), 1);

  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateGather);
  for (int i = 0; i < 20; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateDeal, 200));
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateAwaitRow, 100));
  EXPECT_EQ(game->dealCount, 1);
  float camera[3];
  game->GetCamPosition(camera);
  EXPECT_FLOAT_EQ(camera[0], 0.0f);
  EXPECT_FLOAT_EQ(camera[1], 0.0f);
  EXPECT_FLOAT_EQ(camera[2], (1.0f / game->GetAspect()) * 20.0f);

  // The top-right corner answers nothing.
  Snapshot waiting = Take();
  int row = game->chosenRow;
  ClickAt(game->GetWidth() - 5, 5);
  Step();
  EXPECT_TRUE(game->cornerClicked);
  EXPECT_TRUE(Take() == waiting);
  EXPECT_EQ(game->chosenRow, row);

  const unsigned chosen = game->cards->GetVertexArray(4)->GetTextureID();
  for (int answer = 0; answer < 3; ++answer) {
    AnswerFor(chosen);
    if (answer < 2) {
      ASSERT_EQ(game->state, StateGather);
      ASSERT_TRUE(StepUntil(StateAwaitRow, 400)) << "answer " << answer;
    }
  }
  ASSERT_EQ(game->state, StateToReveal);
  EXPECT_EQ(SlotOfTexture(game->cards, chosen), 10);
  for (int i = 0; i < 70; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateReveal, 300));
  EXPECT_TRUE(game->starsVisible);
  for (int i = 0; i < 100; ++i) Step();
  EXPECT_GT(game->cards->GetVertexArray(10)->GetScale(), 5.0f);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetTextureID(), chosen);

  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateRevealEnd);
  for (int i = 0; i < 10; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateRing, 200));
  EXPECT_FALSE(game->starsVisible);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetScale(), 5.0f);

  // From the ring the next click starts another trick.
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  EXPECT_EQ(game->state, StateGather);
  EXPECT_EQ(game->dealCount, 0);
}

TEST_F(LiveGame, EscapeLeadsBackAndEnds) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ClickControl(idStart);
  ASSERT_EQ(game->state, StateRing);
  Key(SDLK_ESCAPE);
  EXPECT_EQ(game->state, StateMenu);
  EXPECT_FALSE(game->quitRequested);
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(Count(idHintScroll), 0);
  Step();

  // During a gather: back to the menu view from where the cards are drawn.
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateGather);
  for (int i = 0; i < 30; ++i) Step();
  Key(SDLK_ESCAPE);
  ASSERT_EQ(game->state, StateBackToMenu);
  EXPECT_FALSE(game->quitRequested);
  EXPECT_FALSE(game->starsVisible);
  EXPECT_EQ(Count(idQuit), 1);
  for (int i = 0; i < vimraCardCount; ++i) {
    float centre[3];
    game->cards->GetVertexArray(size_t(i))->GetCenter(centre);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(game->currentPositions[i][k], centre[k]);
  }
  int frames = 0;
  while (game->state == StateBackToMenu && frames < 200) {
    Step();
    ++frames;
  }
  EXPECT_EQ(game->state, StateMenu);
  EXPECT_EQ(frames, 122);
  // 122 steps of a 120-step flight: the camera ends next to the menu view.
  float camera[3];
  game->GetCamPosition(camera);
  EXPECT_NEAR(camera[0], -4.056069f, 0.1f);
  EXPECT_NEAR(camera[1], -7.2544f, 0.1f);
  EXPECT_NEAR(camera[2], 11.639397f, 0.1f);

  // A second Escape during the return ends the program.
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  Step();
  Key(SDLK_ESCAPE);
  ASSERT_EQ(game->state, StateBackToMenu);
  EXPECT_FALSE(game->quitRequested);
  Key(SDLK_AC_BACK);
  EXPECT_TRUE(game->quitRequested);
}

TEST_F(LiveGame, EscapeInTheMenuEnds) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  Key(SDLK_ESCAPE);
  EXPECT_TRUE(game->quitRequested);
  EXPECT_EQ(game->state, StateMenu);
}

TEST_F(LiveGame, VolumeKeysThroughTheMainLoopReachTheSettingsFile) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  game->SetTickSource(nullptr);
  const SDL_Keycode keys[] = {SDLK_UP, SDLK_UP, SDLK_VOLUMEUP, SDLK_DOWN};
  for (SDL_Keycode key : keys) {
    ASSERT_TRUE(PushKeyPressAndRelease(key));
  }
  ASSERT_TRUE(PushKeyPressAndRelease(SDLK_ESCAPE));
  ran = true;
  EXPECT_EQ(game->Run(0, nullptr), 0);
  // Three raising keys and one lowering key, two steps per press and release.
  std::vector<uint8_t> image = ReadFile("vimraconfig.bin");
  ASSERT_EQ(image.size(), 48u);
  int32_t musicVolume;
  int32_t sampleVolume;
  std::memcpy(&musicVolume, &image[40], 4);
  std::memcpy(&sampleVolume, &image[44], 4);
  EXPECT_EQ(musicVolume, 64 + 6 - 2);
  EXPECT_EQ(sampleVolume, 64 + 6 - 2);
  EXPECT_EQ(game->music, nullptr);  // released by the close
}

TEST_F(LiveGame, CornerDoubleClickRecoloursAndSaves) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const float bottom = vimraBackdropColor(bcBottom)[0];
  const float top = vimraBackdropColor(bcTop)[2];
  // A double click elsewhere changes nothing.
  DoubleClickAt(200, 600);
  EXPECT_EQ(vimraBackdropColor(bcBottom)[0], bottom);
  EXPECT_FALSE(game->cornerClicked);

  DoubleClickAt(game->GetWidth() - 3, 3);
  EXPECT_FALSE(game->cornerClicked);
  EXPECT_EQ(game->state, StateMenu);
  float colours[6];
  for (int k = 0; k < 3; ++k) {
    colours[k] = vimraBackdropColor(bcBottom)[k];
    colours[3 + k] = vimraBackdropColor(bcTop)[k];
    EXPECT_GE(colours[k], 0.0f);
    EXPECT_LT(colours[k], 1.0f);
  }
  EXPECT_TRUE(colours[0] != bottom || colours[5] != top);
  Step();
  game->OnBeforeClose();
  ran = true;
  std::vector<uint8_t> image = ReadFile("vimraconfig.bin");
  ASSERT_EQ(image.size(), 48u);
  for (int k = 0; k < 3; ++k) {
    float stored;
    std::memcpy(&stored, &image[size_t(4 * k)], 4);
    EXPECT_EQ(stored, colours[k]);
    std::memcpy(&stored, &image[size_t(16 + 4 * k)], 4);
    EXPECT_EQ(stored, colours[3 + k]);
  }
}

TEST_F(LiveGame, MouseMovementAloneChangesNothing) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
  Snapshot before = Take();
  int row = game->chosenRow;
  float camera[3];
  game->GetCamPosition(camera);
  for (int i = 0; i < 20; ++i) {
    MouseTo(30 * i, 20 * i);
    Step();
  }
  EXPECT_TRUE(Take() == before);
  EXPECT_EQ(game->chosenRow, row);
  float after[3];
  game->GetCamPosition(after);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(after[k], camera[k]);
}

}  // namespace
