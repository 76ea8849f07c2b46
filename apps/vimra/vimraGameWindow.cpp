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

namespace {

// The densities the pack renders fonts at, beyond the plain one.
const struct {
  const char* tag;
  float density;
} kFontDensities[] = {{"1.5", 1.5f}, {"2", 2.0f}, {"3", 3.0f}};

}  // namespace

std::string vimraDensityKey(const char* key, const char* density) {
  std::string name(key);
  if (std::string(density) != "1") name += std::string("@") + density + "x";
  return name;
}

void vimraGame::LoadFontVariants(kxFont* font, const char* key) {
  if (font == nullptr) return;
  for (const auto& d : kFontDensities) {
    // A pack without the rendering (an older one) leaves the font magnified.
    kxFont* variant = vimraLoadFont(GetEntry(vimraDensityKey(key, d.tag).c_str()));
    if (variant != nullptr) (void)font->AppendVariant(variant, d.density);  // refused: deleted
  }
}

int vimraGame::PictureDensity() {
  kxGUIManager* gui = GetGUIManager();
  const float scale = gui != nullptr ? gui->GetScale() : 1.0f;
  for (int density = 1; density < 3; ++density)
    if (float(density) * 1.25f >= scale) return density;
  return 3;
}

kxMemoryBlock* vimraGame::GetPictureEntry(const char* key) {
  const int density = PictureDensity();
  if (highQuality && density > 1) {
    kxMemoryBlock* entry = GetEntry(vimraDensityKey(key, std::to_string(density).c_str()).c_str());
    if (entry != nullptr) return entry;
  }
  return GetQualityEntry(key);
}

void vimraGame::LoadButtonLooks() {
  const int density = PictureDensity();
  if (density == buttonDensity && blueButton != nullptr) return;
  const std::string tag = std::to_string(density);
  // Each face of the density where the pack has it, else the plain one.
  auto face = [&](const char* key) {
    kxMemoryBlock* entry = GetEntry(vimraDensityKey(key, tag.c_str()).c_str());
    return entry != nullptr ? entry : GetEntry(key);
  };
  delete blueButton;
  delete greenButton;
  delete redButton;
  blueButton = new (std::nothrow) kxGUIButtonStates(
      face("button_blue_passive"), face("button_blue_active"), face("button_blue_pushed"));
  greenButton = new (std::nothrow) kxGUIButtonStates(
      face("button_green_passive"), face("button_green_active"), face("button_green_pushed"));
  redButton = new (std::nothrow) kxGUIButtonStates(
      face("button_red_passive"), face("button_red_active"), face("button_red_pushed"));
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
  float scale = uiScale > 0.0f ? uiScale : vimraChooseGUIScale(GetWidth(), GetHeight());
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
  // use the aspect, and a camera resting at the table moves to the new
  // table view at once.
  if (width > 0 && height > 0) aspect = float(width) / float(height);
  if (state == StateAwaitRow || state == StateDeal || (state == StateGather && dealCount > 0)) {
    float position[3] = {0.0f, 0.0f, vimraTableCameraDepth(GetAspect())};
    SetCamPosition(position);
  }
  ApplyGUIScale();
  RebuildScreen();
  Refresh();
}

void vimraGame::OnKeyDown(unsigned int key) {
  const bool altEnter =
      (key == SDLK_RETURN || key == SDLK_KP_ENTER) && (SDL_GetModState() & KMOD_ALT) != 0;
  if (key == SDLK_F11 || altEnter) (void)ToggleFullscreen();  // refused: stays as it is
}
