// The game on screens of every size and shape: the GUI scale chosen from
// the window, the layout made again when the window changes size, and the
// keys that switch between full screen and a window.
#include <SDL.h>

#include <new>

#include "data/kxResource.h"
#include "graphics/kxFont.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "vimraGame.h"
#include "vimraLayout.h"
#include "vimraPackKeys.h"

void vimraGame::LoadFontVariants(kxFont* font, const char* key) {
  if (font == nullptr) return;
  for (const vimraDensity_s& d : vimraFontDensities) {
    // A pack without the rendering (an older one) leaves the font magnified.
    kxFont* variant = vimraLoadFont(GetEntry((key + std::string(d.suffix)).c_str()));
    if (variant != nullptr) (void)font->AppendVariant(variant, d.density);  // refused: deleted
  }
}

int vimraGame::PictureDensity() {
  kxGUIManager* gui = GetGUIManager();
  const float scale = gui != nullptr ? gui->GetScale() : 1.0f;
  // The smallest rendering magnified by no more than 1.25, else the largest.
  if (scale <= 1.25f) return 0;
  for (int i = 0; i < vimraPictureDensityCount; ++i)
    if (vimraPictureDensities[i].density * 1.25f >= scale) return i + 1;
  return vimraPictureDensityCount;
}

std::string vimraGame::PictureKey(const std::string& key) {
  const int density = PictureDensity();
  return density == 0 ? key : key + vimraPictureDensities[density - 1].suffix;
}

kxMemoryBlock* vimraGame::GetPictureEntry(const char* key) {
  if (highQuality) {
    kxMemoryBlock* entry = GetEntry(PictureKey(key).c_str());
    if (entry != nullptr) return entry;
  }
  return GetQualityEntry(key);
}

void vimraGame::LoadButtonLooks() {
  const int density = PictureDensity();
  if (density == buttonDensity && blueButton != nullptr) return;
  // The colours in the order of vimraButtonColours: blue, green, red.
  kxGUIButtonStates** buttons[3] = {&blueButton, &greenButton, &redButton};
  for (int c = 0; c < 3; ++c) {
    kxMemoryBlock* look[3];
    for (int s = 0; s < 3; ++s) {
      const std::string key = vimraButtonKey(vimraButtonColours[c], vimraButtonStates[s]);
      // The face of the density where the pack has it, else the plain one.
      look[s] = GetEntry(PictureKey(key).c_str());
      if (look[s] == nullptr) look[s] = GetEntry(key.c_str());
    }
    delete *buttons[c];
    *buttons[c] = new (std::nothrow) kxGUIButtonStates(look[0], look[1], look[2]);
  }
  buttonDensity = density;
}

int vimraGame::GUIWidth() {
  kxGUIManager* gui = GetGUIManager();
  return gui != nullptr ? gui->GetWidth() : GetWidth();
}

int vimraGame::GUIHeight() {
  kxGUIManager* gui = GetGUIManager();
  return gui != nullptr ? gui->GetHeight() : GetHeight();
}

void vimraGame::ApplyGUIScale() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  // Chosen in the window's own units (CSS pixels in a browser), so that a
  // high-density screen shows the controls as large as any other, sharper.
  float scale =
      uiScale > 0.0f ? uiScale : vimraChooseGUIScale(GetWidth(), GetHeight(), GetPixelDensity());
  (void)gui->SetScale(scale);  // only a scale below 1/16 is refused
}

void vimraGame::SetUIScale(float scale) {
  uiScale = scale > 0.0f ? scale : 0.0f;
  if (GetGUIManager() == nullptr) return;
  ApplyGUIScale();
  RebuildScreen();
}

void vimraGame::RebuildScreen() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  TShownScreen shown = shownScreen;
  gui->Clear();
  shownScreen = ssNone;
  // No button refers to the looks now: they may follow the scale.
  if (resources != nullptr) LoadButtonLooks();
  switch (shown) {
    case ssMainMenu:
      ShowMainMenu();
      break;
    case ssAbout:
      ShowAbout();
      break;
    case ssSettings:
      ShowSettings();
      break;
    case ssHowToPlay:
      ShowHowToPlay();
      break;
    case ssHintBar:
      ShowHintBar();
      break;
    case ssNone:
      break;
  }
}

void vimraGame::OnResizeWindow(int width, int height) {
  ApplyWindowSize(width, height);
  // The scene follows the new shape: the camera targets of later flights
  // use the aspect, and a camera resting at the table or on the ring moves
  // to the new view at once.
  if (width > 0 && height > 0) aspect = float(width) / float(height);
  if (state == StateAwaitRow || state == StateDeal || (state == StateGather && dealCount > 0)) {
    float position[3] = {0.0f, 0.0f, vimraTableCameraDepth(GetAspect())};
    SetCamPosition(position);
  }
  // A camera resting on the ring takes the menu view of the new shape.
  if (state == StateMenu || state == StateRing) RestAtMenuView();
  ApplyGUIScale();
  RebuildScreen();
  Refresh();
}

void vimraGame::OnKeyDown(unsigned int key) {
  const bool altEnter =
      (key == SDLK_RETURN || key == SDLK_KP_ENTER) && (SDL_GetModState() & KMOD_ALT) != 0;
  if (key == SDLK_F11 || altEnter) (void)ToggleFullscreen();  // refused: stays as it is
}
