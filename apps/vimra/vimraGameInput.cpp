// What the player does: the click that answers a row of the trick, keys,
// window focus, the hidden backdrop switch and the clicks on menu controls.
#include <SDL.h>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "graphics/kxGeometry.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "vimraGame.h"
#include "vimraLanguages.h"
#include "vimraLayout.h"

void vimraGame::OnLMBUp(int x, int y) {
  int w = GetWidth();
  int h = GetHeight();
  if (vimraIsCornerClick(w, h, x, y)) {
    cornerClicked = true;
    return;
  }
  if (state == StateMenu) return;
  // Every click outside the menu names a row, whatever the state; only some
  // states act on it.
  float position[3];
  GetCamPosition(position);
  chosenRow = vimraRowFromClick(h, y, position[2], &rowY);
  if (state == StateRing || state == StateAwaitRow || state == StateReveal) AdvanceState();
}

void vimraGame::OnMouseMotion(int, int, int, int) {}

void vimraGame::OnKeyUp(unsigned int key) {
  switch (key) {
    case SDLK_ESCAPE:
    case SDLK_AC_BACK:
      if (state == StateMenu || state == StateBackToMenu) {
        EndMainLoop();
        return;
      }
      ClearScreen();
      ShowMainMenu();
      starsVisible = false;
      if (state == StateRing) {
        EnterState(StateMenu);
      } else {
        PrepareBackToMenu();
        EnterState(StateBackToMenu);
      }
      break;
    case SDLK_UP:
    case SDLK_VOLUMEUP:
      if (music != nullptr) music->VolumeUp();
      if (sampler != nullptr) sampler->VolumeUp();
      break;
    case SDLK_DOWN:
    case SDLK_VOLUMEDOWN:
      if (music != nullptr) music->VolumeDown();
      if (sampler != nullptr) sampler->VolumeDown();
      break;
    default:
      break;
  }
}

void vimraGame::OnDblClick() {
  // The release of the double click's first click set cornerClicked.
  if (cornerClicked) RecolourBackground();
  cornerClicked = false;
}

void vimraGame::OnLostFocus() {
  if (musicOn && music != nullptr) music->Pause();
}

void vimraGame::OnSetFocus() {
  if (musicOn && music != nullptr) music->Play();
}

void vimraGame::OnGUIClick(kxGUIObject* object) {
  kxGUIManager* gui = GetGUIManager();
  if (object == nullptr || gui == nullptr) return;
  // Clicks queued before this frame's handler rebuilt the screen point at
  // controls that were deleted with it.
  if (screenCleared && screenClearedAt == frameCounter) return;
  gui->Freeze();
  handlingClick = true;
  switch (object->GetID()) {
    case idStart:
      if (state == StateMenu) {
        ClearScreen();
        hintLine = mlHintStart;
        if (hintsOn) ShowHintBar();
        EnterState(StateRing);
      }
      break;
    case idQuit:
      EndMainLoop();
      break;
    case idAbout:
      ClearScreen();
      ShowAbout();
      break;
    case idOK:
      ClearScreen();
      ShowMainMenu();
      break;
    case idHowToPlay:
      ClearScreen();
      ShowHowToPlay();
      break;
    case idSettings:
      ClearScreen();
      ShowSettings();
      break;
    case idLanguage:
      language = vimraNextLanguage(language);
      SetLanguage(language);
      ClearScreen();
      ShowSettings();
      break;
    case idQuality:
      highQuality = !highQuality;
      ClearScreen();
      BuildDeck();
      if (clouds != nullptr) clouds->Clear(true);
      BuildClouds();
      ShowSettings();
      break;
    case idMusic:
      musicOn = !musicOn;
      if (music != nullptr) {
        if (musicOn) {
          music->Play();
        } else {
          music->Pause();
        }
      }
      ClearScreen();
      ShowSettings();
      break;
    case idHints:
      hintsOn = !hintsOn;
      ClearScreen();
      ShowSettings();
      break;
    default:
      break;
  }
  handlingClick = false;
  gui->Thaw();
}
