// Entry point of vimra in a web page (dist/web). Before main runs, the page
// has put the pack at "vimradata.bin" in the working directory and the
// settings file kept in the browser's storage at "vimraconfig.bin" beside it
// (dist/web/vimraStorage.js). Then, as on the desktop: one game object, Init,
// Run, delete; the loops yield to the browser at every frame (Asyncify).
//
// What differs from the desktop program: the game fills the page instead of
// a screen; a page is never closed by the program, so the settings are
// written whenever they change instead of only at the end; a failed start
// is shown on the page instead of printed. The vimraWeb* functions below are
// queries for the page's test driver: they read the trick's state and
// change nothing.
#include <SDL.h>
#include <emscripten.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "vimraGame.h"
#include "vimraLayout.h"
#include "vimraSettings.h"
#include "vimraStartupError.h"

namespace {

// The page's side of the program; each does nothing when the page has no
// such handler.
EM_JS(void, vimraWebSettingsWritten, (), {
  if (Module['onSettingsWritten']) Module['onSettingsWritten']();
});
EM_JS(void, vimraWebStartFailed, (const char* message), {
  if (Module['onStartFailed']) Module['onStartFailed'](UTF8ToString(message));
});
EM_JS(void, vimraWebEnded, (), {
  if (Module['onGameEnded']) Module['onGameEnded']();
});

class vimraWebProgram : public vimraGame {
 public:
  vimraWebProgram() {
    // The window is the page's canvas: its size is whatever the page's style
    // gives it, and it follows the page.
    fullscreen = false;
    resizable = true;
  }

  bool OnAfterInit() override {
    if (!vimraGame::OnAfterInit()) return false;
    GetSettings(&saved);
    return true;
  }

  void Render() override {
    vimraGame::Render();
    KeepSettings();
  }

  void OnBeforeClose() override {
    vimraGame::OnBeforeClose();  // writes the settings file
    vimraWebSettingsWritten();
  }

  int State() const { return state; }
  uint32_t Frames() const { return frameCounter; }

  // Centre (axis 0: x, 1: y) of the first visible control with this id, in
  // window pixels (where it is drawn and where a click reaches it); -1 when
  // none is shown.
  int ControlCentre(unsigned int id, int axis) {
    int left, top, right, bottom;
    if (!ControlBox(id, &left, &top, &right, &bottom)) return -1;
    return axis == 0 ? (left + right) / 2 : (top + bottom) / 2;
  }

  // One edge (0 left, 1 top, 2 right, 3 bottom) of that control in window
  // pixels; -1 when none is shown.
  int ControlEdge(unsigned int id, int edge) {
    int box[4];
    if (!ControlBox(id, &box[0], &box[1], &box[2], &box[3]) || edge < 0 || edge > 3) return -1;
    return box[edge];
  }

  // The GUI's scale and its logical size: what the controls were laid out in.
  float GUIScale() {
    kxGUIManager* gui = GetGUIManager();
    return gui != nullptr ? gui->GetScale() : 0.0f;
  }
  int GUIExtent(int axis) {
    kxGUIManager* gui = GetGUIManager();
    if (gui == nullptr) return -1;
    return axis == 0 ? gui->GetWidth() : gui->GetHeight();
  }
  int WindowExtent(int axis) { return axis == 0 ? GetWidth() : GetHeight(); }

  // A height at which a click answers `row` (1 top, 2 middle, 3 bottom): the
  // middle of the heights the game maps to that row; -1 when none does.
  int RowClickY(int row) {
    float position[3];
    GetCamPosition(position);
    int first = -1, last = -1;
    for (int y = 0; y < GetHeight(); ++y) {
      float rowHeight;
      if (vimraRowFromClick(GetHeight(), y, position[2], &rowHeight) != row) continue;
      if (first < 0) first = y;
      last = y;
    }
    return first < 0 ? -1 : (first + last) / 2;
  }

  // One byte of the settings file as the game would write it now.
  int SettingsByte(int index) {
    if (index < 0 || size_t(index) >= vimraSettings::kFileSize) return -1;
    vimraSettings now;
    GetSettings(&now);
    uint8_t bytes[vimraSettings::kFileSize];
    now.Encode(bytes);
    return bytes[index];
  }

  // A card's identity for the driver: its mesh, which stays with the card
  // through every gather and deal. 0 for no card.
  intptr_t CardInSlot(int slot) {
    if (cards == nullptr || slot < 0) return 0;
    return reinterpret_cast<intptr_t>(cards->GetVertexArray(size_t(slot)));
  }

  // Row of the table holding a card: 1 top, 2 middle, 3 bottom (slots 0-6
  // are the bottom row); 0 when the card is not dealt.
  int RowOfCard(intptr_t card) {
    for (int slot = 0; slot < vimraCardCount && card != 0; ++slot)
      if (CardInSlot(slot) == card) return 3 - slot / 7;
    return 0;
  }

  // The card drawn larger than the others (the one the reveal shows);
  // 0 when all are the same size.
  intptr_t LargestCard() {
    intptr_t largest = 0;
    float largestScale = 0.0f;
    bool allEqual = true;
    for (int slot = 0; slot < vimraCardCount; ++slot) {
      kxVertexArray* card = cards != nullptr ? cards->GetVertexArray(size_t(slot)) : nullptr;
      if (card == nullptr) continue;
      float scale = card->GetScale();
      if (largest != 0 && scale != largestScale) allEqual = false;
      if (largest == 0 || scale > largestScale) {
        largest = reinterpret_cast<intptr_t>(card);
        largestScale = scale;
      }
    }
    return allEqual ? 0 : largest;
  }

 private:
  // The rectangle of the first visible control with this id, from its
  // logical pixels to window pixels as the GUI manager draws it; the centre
  // of each window pixel is hit-tested, so the edges are rounded inwards.
  // A button is taken before any other control with the id (the logo
  // above the menu answers as Start does).
  bool ControlBox(unsigned int id, int* left, int* top, int* right, int* bottom) {
    kxGUIManager* gui = GetGUIManager();
    kxGUIObject* found = nullptr;
    for (bool buttonsOnly : {true, false})
      for (uint64_t i = 0; gui != nullptr && found == nullptr && i < gui->GetControlCount(); ++i)
        found = FindVisible(gui->GetControl(i), id, buttonsOnly);
    if (found == nullptr) return false;
    const double s = gui->GetScale();
    *left = int(std::ceil(found->GetLeft() * s));
    *top = int(std::ceil(found->GetTop() * s));
    *right = int(std::floor((found->GetLeft() + found->GetWidth()) * s));
    *bottom = int(std::floor((found->GetTop() + found->GetHeight()) * s));
    return true;
  }

  static kxGUIObject* FindVisible(kxGUIObject* control, unsigned int id, bool buttonsOnly) {
    if (control == nullptr || !control->GetVisible()) return nullptr;
    if (control->GetID() == id && (!buttonsOnly || dynamic_cast<kxGUIButton*>(control) != nullptr))
      return control;
    for (uint64_t i = 0; i < control->GetChildCount(); ++i) {
      kxGUIObject* found = FindVisible(control->GetChild(i), id, buttonsOnly);
      if (found != nullptr) return found;
    }
    return nullptr;
  }

  // The choices last written (or read at start).
  vimraSettings saved;

  // A page has no close to wait for: a choice is written to the file, and
  // the page told to keep it, in the frame it was made.
  void KeepSettings() {
    vimraSettings now;
    GetSettings(&now);
    uint8_t a[vimraSettings::kFileSize], b[vimraSettings::kFileSize];
    now.Encode(a);
    saved.Encode(b);
    if (memcmp(a, b, sizeof a) == 0) return;
    saved = now;
    SaveSettings();
    vimraWebSettingsWritten();
  }
};

vimraWebProgram* running = nullptr;

bool StartGame(vimraWebProgram** game) {
  *game = new (std::nothrow) vimraWebProgram();
  if (*game == nullptr) return false;
  (*game)->SetWindowTitle("vimra");
  return (*game)->Init();
}

}  // namespace

extern "C" {
EMSCRIPTEN_KEEPALIVE int vimraWebState() {
  return running ? running->State() : -1;
}
// Frames since Run began (the frame rate is its pace).
EMSCRIPTEN_KEEPALIVE uint32_t vimraWebFrames() {
  return running ? running->Frames() : 0;
}
EMSCRIPTEN_KEEPALIVE intptr_t vimraWebCardInSlot(int slot) {
  return running ? running->CardInSlot(slot) : 0;
}
EMSCRIPTEN_KEEPALIVE int vimraWebRowOfCard(intptr_t card) {
  return running ? running->RowOfCard(card) : 0;
}
EMSCRIPTEN_KEEPALIVE intptr_t vimraWebLargestCard() {
  return running ? running->LargestCard() : 0;
}
EMSCRIPTEN_KEEPALIVE int vimraWebControlCentre(unsigned int id, int axis) {
  return running ? running->ControlCentre(id, axis) : -1;
}
EMSCRIPTEN_KEEPALIVE int vimraWebControlEdge(unsigned int id, int edge) {
  return running ? running->ControlEdge(id, edge) : -1;
}
// The drawable's size in pixels as the game has it (axis 0: width, 1:
// height), the GUI scale, and the logical size the controls are laid out in.
EMSCRIPTEN_KEEPALIVE int vimraWebWindowExtent(int axis) {
  return running ? running->WindowExtent(axis) : -1;
}
EMSCRIPTEN_KEEPALIVE float vimraWebGUIScale() {
  return running ? running->GUIScale() : 0.0f;
}
EMSCRIPTEN_KEEPALIVE int vimraWebGUIExtent(int axis) {
  return running ? running->GUIExtent(axis) : -1;
}
EMSCRIPTEN_KEEPALIVE int vimraWebRowClickY(int row) {
  return running ? running->RowClickY(row) : -1;
}
EMSCRIPTEN_KEEPALIVE int vimraWebSettingsByte(int index) {
  return running ? running->SettingsByte(index) : -1;
}
}

int main() {
  vimraWebProgram* game = nullptr;
  bool started = StartGame(&game);
  if (!started && game != nullptr && game->GetInitError() == ieAudio) {
    // A browser without sound: play on SDL's silent driver, as the desktop
    // program does without a sound card.
    delete game;
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    started = StartGame(&game);
  }
  if (!started) {
    std::string message = "vimra: out of memory";
    if (game != nullptr) {
      vimraStartupFacts_s facts;
      facts.frameError = game->GetInitError();
      facts.frameDetail = game->GetInitErrorDetail();
      facts.gameFailure = game->GetInitFailure();
      facts.fullscreen = false;
      message = vimraDescribeStartupError(facts);
    }
    delete game;
    vimraWebStartFailed(message.c_str());
    return 1;
  }
  running = game;
  game->Run(0, nullptr);
  running = nullptr;
  delete game;
  vimraWebEnded();
  return 0;
}
