// The screens built from the engine's GUI controls: the main menu, the
// About, How to play and Settings boxes, the hint bar of a trick and its
// line, and the emptying of the screen before the next one is built.
#include <SDL.h>

#include "data/kxStringArray.h"
#include "graphics/kxFont.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUIPicture.h"
#include "gui/kxGUITextScroll.h"
#include "gui/kxGUITextViewer.h"
#include "vimraGame.h"
#include "vimraLanguages.h"
#include "vimraLayout.h"
#include "vimraPackKeys.h"

namespace {

const kxWChar* const kVersion = u"1.1.209";

// Box sizes in pixels.
const int kAboutWidth = 620, kAboutHeight = 320;
const int kHowToPlayWidth = 620, kHowToPlayHeight = 200;
const int kSettingsWidth = 360, kSettingsHeight = 270;

// Appends a new control at top level; a control that cannot be appended is
// deleted and null returned.
template <typename T>
T* AddTop(kxGUIManager* gui, T* control) {
  if (control != nullptr && !gui->AppendControl(control)) {
    delete control;
    return nullptr;
  }
  return control;
}

// Appends a new control to `parent`; a control that cannot be appended is
// deleted and null returned.
template <typename T>
T* AddChild(kxGUIObject* parent, T* control) {
  if (control == nullptr) return nullptr;
  if (parent == nullptr || !parent->AppendChild(control)) {
    delete control;
    return nullptr;
  }
  return control;
}

// Every panel of the game is white at 80 %.
void Whiten(kxGUIPanel* panel) {
  if (panel != nullptr) panel->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
}

void AddLabel(kxGUIObject* parent, kxFont* font, int x, int y, kxString& text) {
  kxGIULabel* label = AddChild(parent, kxGIULabel::Create(idNone, font, x, y, text));
  if (label != nullptr) label->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void AddViewer(kxGUIObject* parent, kxStringArray* lines, kxFont* font, int x, int y, int w,
               int h) {
  if (lines == nullptr) return;
  kxGUITextViewer* viewer =
      AddChild(parent, kxGUITextViewer::Create(idTextViewer, lines, font, x, y, w, h));
  if (viewer != nullptr) viewer->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
}

// The ticker of the menu and the hint bar's text.
kxGUITextScroll* AddScroll(kxGUIManager* gui, unsigned int id, kxFont* font, const vimraRect_s& r,
                           kxString& text, int scrollStart) {
  kxGUITextScroll* scroll = AddTop(gui, kxGUITextScroll::Create(id, font, r.x, r.y, r.w, text));
  if (scroll != nullptr) {
    scroll->SetColor(0.04f, 0.04f, 0.25f, 1.0f);
    scroll->SetVx(scrollStart);
  }
  return scroll;
}

}  // namespace

void vimraGame::ShowMainMenu() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  shownScreen = ssMainMenu;
  vimraMainMenuLayout_s m = vimraMainMenuLayout(GUIWidth(), GUIHeight());
  kxMemoryBlock* logo = GetPictureEntry(vimraKeyLogo);
  if (logo != nullptr) {
    AddTop(gui, kxGUIPicture::Create(idStart, m.logo.x, m.logo.y, m.logo.w, m.logo.h, logo));
  }
  AddScroll(gui, idNone, arialFont, m.ticker, Message(mlTicker), scrollStart);
  struct {
    unsigned int id;
    kxGUIButtonStates* look;
    vimraRect_s r;
    int line;
  } buttons[5] = {
      {idStart, greenButton, m.start, mlStart},
      {idQuit, redButton, m.quit, mlQuit},
      {idAbout, blueButton, m.about, mlAbout},
      {idHowToPlay, blueButton, m.howToPlay, mlHowToPlay},
      {idSettings, blueButton, m.settings, mlSettings},
  };
  for (auto& b : buttons) {
    if (b.look == nullptr) continue;
    AddTop(gui, kxGUIButton::Create(b.id, arialFont, b.look, b.r.x, b.r.y, b.r.w, b.r.h,
                                    Message(b.line)));
  }
}

kxGUIPanel* vimraGame::OpenBox(TShownScreen screen, int w, int h, int titleLine) {
  shownScreen = screen;
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return nullptr;
  vimraRect_s r = vimraBoxPanel(GUIWidth(), GUIHeight(), w, h);
  kxGUIPanel* box = AddTop(gui, kxGUIPanel::Create(idBox, r.x, r.y, r.w, r.h));
  if (box == nullptr) return nullptr;
  Whiten(box);
  AddLabel(box, smallFont, 10, 10, Message(titleLine));
  return box;
}

void vimraGame::CloseBox(kxGUIPanel* box) {
  if (box == nullptr || blueButton == nullptr) return;
  vimraRect_s ok = vimraBoxOkButton(box->GetWidth(), box->GetHeight());
  AddChild(box,
           kxGUIButton::Create(idOK, arialFont, blueButton, ok.x, ok.y, ok.w, ok.h, Message(mlOK)));
}

void vimraGame::ShowAbout() {
  kxGUIPanel* box = OpenBox(ssAbout, kAboutWidth, kAboutHeight, mlAbout);
  if (box == nullptr) return;
  kxString credits(Message(mlGameName));
  credits += u", ";
  credits += Message(mlEngineVersion);
  credits += kVersion;
  credits += u", ";
  credits += Message(mlRunningOn);
  kxString platform(SDL_GetPlatform());
  credits += platform;
  AddLabel(box, smallFont, 10, 26, credits);
  AddLabel(box, smallFont, 10, 42, Message(mlCopyright));
  AddViewer(box, licenses, smallFont, 10, 70, 600, 200);
  CloseBox(box);
}

void vimraGame::ShowHowToPlay() {
  kxGUIPanel* box = OpenBox(ssHowToPlay, kHowToPlayWidth, kHowToPlayHeight, mlHowToPlay);
  if (box == nullptr) return;
  AddViewer(box, howToPlay, smallFont, 10, 30, 590, 120);
  CloseBox(box);
}

void vimraGame::ShowSettings() {
  kxGUIPanel* box = OpenBox(ssSettings, kSettingsWidth, kSettingsHeight, mlSettings);
  if (box == nullptr) return;
  // The language button names the language a click switches to.
  kxString nextLanguage(vimraLanguageTable[vimraNextLanguage(language)].name);
  struct {
    int y0;
    int label;
    unsigned int id;
    kxString* caption;
  } rows[4] = {
      {30, mlLanguageRow, idLanguage, &nextLanguage},
      {80, mlQualityRow, idQuality, &Message(highQuality ? mlQualityHigh : mlQualityLow)},
      {130, mlMusicRow, idMusic, &Message(musicOn ? mlSwitchOn : mlSwitchOff)},
      {180, mlHintsRow, idHints, &Message(hintsOn ? mlSwitchOn : mlSwitchOff)},
  };
  for (auto& row : rows) {
    Whiten(AddChild(box, kxGUIPanel::Create(idNone, 10, row.y0, 340, 42)));
    AddLabel(box, smallFont, 20, row.y0 + 16, Message(row.label));
    if (blueButton != nullptr) {
      AddChild(box, kxGUIButton::Create(row.id, arialFont, blueButton, 210, row.y0 + 6, 128, 32,
                                        *row.caption));
    }
  }
  CloseBox(box);
}

void vimraGame::ShowHintBar() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  shownScreen = ssHintBar;
  vimraHintBarLayout_s l = vimraHintBarLayout(GUIWidth());
  Whiten(AddTop(gui, kxGUIPanel::Create(idNone, l.panel.x, l.panel.y, l.panel.w, l.panel.h)));
  AddScroll(gui, idHintScroll, arialFont, l.scroll, Message(hintLine), scrollStart);
}

void vimraGame::SetHint(int line) {
  hintLine = line;
  if (GetGUIManager() != nullptr) GetGUIManager()->SetValueByID(idHintScroll, Message(line));
}

void vimraGame::ClearScreen() {
  kxGUIManager* gui = GetGUIManager();
  if (gui != nullptr) gui->Clear();
  shownScreen = ssNone;
  if (handlingClick) {
    screenCleared = true;
    screenClearedAt = frameCounter;
  }
}
