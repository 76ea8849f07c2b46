// kxgui: a window of GUI controls and nothing else. A panel holds a label
// counting clicks, a Count and a Quit button, and a text viewer to drag or
// wheel through. The font and the button faces come from a resource pack:
// the one vimra installs will do.
//
//   kxgui PACK [--frames N]
//
// --frames N ends the program by itself after N frames.
#include <new>

#include "data/kxResource.h"
#include "data/kxString.h"
#include "data/kxStringArray.h"
#include "frame/kxSDLWrapper.h"
#include "graphics/kxFont.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUITextViewer.h"
#include "kxExampleMain.h"  // main(): the command line, start, run

namespace {

// Controls are told apart by their ids. 0 means "takes no input": only
// controls with another id, and their children, receive the pointer.
enum : unsigned int { kPanelId = 1, kCountId, kQuitId, kLabelId, kViewerId };

class GuiApp : public kxSDLWrapper {
 public:
  GuiApp(const char* packFile, unsigned long frames)
      : kxSDLWrapper(640, 480, false, false), packFile(packFile), frameLimit(frames) {}

  // The controls draw with the font and the button faces: they go first.
  ~GuiApp() override {
    if (GetGUIManager()) GetGUIManager()->Clear();
    delete font;
    delete countLook;
    delete quitLook;
  }

  bool OnAfterInit() override {
    if (!pack.ReadFromFile(packFile)) return false;
    font = new (std::nothrow) kxFont(ftTopDown);
    if (!font || !font->LoadFromCrunchedMemoryBlock(pack.Get("arial"))) return false;
    // A button's three faces: under no pointer, under the pointer, pressed.
    countLook = new (std::nothrow)
        kxGUIButtonStates(pack.Get("button_green_passive"), pack.Get("button_green_active"),
                          pack.Get("button_green_pushed"));
    quitLook = new (std::nothrow)
        kxGUIButtonStates(pack.Get("button_red_passive"), pack.Get("button_red_active"),
                          pack.Get("button_red_pushed"));
    if (!countLook || !quitLook) return false;
    for (int i = 1; i <= 40; ++i) {  // the viewer borrows the lines
      char line[64];
      std::snprintf(line, sizeof line, "Line %d of the text viewer", i);
      lines.AppendLine(kxString(line).GetString());
    }

    // The manager owns its top-level controls, each control its children.
    // Controls appended to a panel are placed relative to it.
    kxGUIManager* gui = GetGUIManager();
    kxGUIPanel* backdrop = kxGUIPanel::Create(0, 0, 0, GetWidth(), GetHeight());
    kxGUIPanel* panel = kxGUIPanel::Create(kPanelId, 20, 20, 600, 440);
    if (!backdrop || !gui->AppendControl(backdrop)) return false;
    if (!panel || !gui->AppendControl(panel)) return false;
    backdrop->SetBackgroundColor(0.15f, 0.3f, 0.45f, 1.0f);
    panel->SetBackgroundColor(0.0f, 0.0f, 0.0f, 0.5f);
    kxGUIObject* controls[] = {
        kxGIULabel::Create(kLabelId, font, 20, 20, kxString("Clicks: 0   ")),
        kxGUIButton::Create(kCountId, font, countLook, 20, 70, 128, 32, kxString("Count")),
        kxGUIButton::Create(kQuitId, font, quitLook, 452, 388, 128, 32, kxString("Quit")),
        kxGUITextViewer::Create(kViewerId, &lines, font, 200, 70, 380, 300),
    };
    for (kxGUIObject* control : controls) {
      if (!control) return false;
      if (!panel->AppendChild(control)) {
        delete control;
        return false;
      }
    }
    return true;
  }

  // Clicks on buttons arrive here at the start of the frame after the click.
  void OnGUIClick(kxGUIObject* object) override {
    if (object->GetID() == kQuitId) EndMainLoop();
    if (object->GetID() == kCountId) {
      char text[32];
      std::snprintf(text, sizeof text, "Clicks: %d", ++clicks);
      kxString value(text);
      GetGUIManager()->SetValueByID(kLabelId, value);  // reaches the label
    }
  }

  // Nothing of its own to draw: the GUI covers the window every frame.
  void Render() override {
    if (frameLimit && frameCounter >= frameLimit) EndMainLoop();
  }

  void OnKeyUp(unsigned int key) override {
    if (key == SDLK_ESCAPE) EndMainLoop();
  }

 private:
  const char* packFile;
  unsigned long frameLimit;
  int clicks = 0;
  kxResource pack;
  kxStringArray lines;
  kxFont* font = nullptr;
  kxGUIButtonStates* countLook = nullptr;
  kxGUIButtonStates* quitLook = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  return kxExampleMain<GuiApp>(argc, argv, "kxgui", "no display, or %s is no usable pack");
}
