// kxcard: a window with a lit, textured, turning card, a label and a Quit
// button, drawn by kxEngine. The card's mesh and pictures, the font and the
// button faces come from a resource pack: the one vimra installs will do.
//
//   kxcard PACK [--frames N]
//
// --frames N ends the program by itself after N frames.
#include <new>

#include "data/kxResource.h"
#include "data/kxString.h"
#include "frame/kxSDLWrapper.h"
#include "graphics/kxFont.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "kxExampleMain.h"  // main(): the command line, start, run
#include "render/kxRenderer.h"

namespace {

const unsigned int kQuitId = 1;  // GUI controls are told apart by their ids

class CardApp : public kxSDLWrapper {
 public:
  CardApp(const char* packFile, unsigned long frames)
      : kxSDLWrapper(640, 480, false, false), packFile(packFile), frameLimit(frames) {}

  // Runs before the base destructor closes the GL context, also when Init
  // failed half way. The controls go first: they draw with the font.
  ~CardApp() override {
    if (GetGUIManager()) GetGUIManager()->Clear();
    delete card;
    delete font;
    delete quitLook;
  }

  // Called by Init once the window, the GL context and the GUI exist.
  bool OnAfterInit() override {
    if (!pack.ReadFromFile(packFile)) return false;
    // A card: mesh and texture (face and back) from the pack.
    card = kxVertexArray::Create(pmTriangles);
    if (!card || !card->LoadFromCrunchedMemoryBlock(pack.Get("box"))) return false;
    card->TextureFromCrunchedMemoryBlock(pack.Get("texture_0"));
    card->SetScale(5.0f);
    // The pack holds the blocks; the font and button faces are built from them.
    font = new (std::nothrow) kxFont(ftTopDown);
    if (!font || !font->LoadFromCrunchedMemoryBlock(pack.Get("arial"))) return false;
    quitLook = new (std::nothrow)
        kxGUIButtonStates(pack.Get("button_red_passive"), pack.Get("button_red_active"),
                          pack.Get("button_red_pushed"));
    // The GUI manager owns the controls handed to it.
    kxGUIManager* gui = GetGUIManager();
    gui->AppendControl(kxGIULabel::Create(0, font, 20, 20, kxString("A card, lit and turning")));
    gui->AppendControl(kxGUIButton::Create(kQuitId, font, quitLook, GetWidth() - 148,
                                           GetHeight() - 52, 128, 32, kxString("Quit")));
    // One white light from the viewer's side on a white card. Everything is
    // drawn through the engine's renderer, whichever path it takes.
    kxRenderer* r = kxGetRenderer();
    const kxLight_s light = {{0.0f, 0.0f, 0.0f, 1.0f},
                             {1.0f, 1.0f, 1.0f, 1.0f},
                             {1.0f, 1.0f, 1.0f, 1.0f},
                             {0.3f, 0.5f, 1.0f, 0.0f}};  // w = 0: a direction
    r->SetLight(light);
    const kxMaterial_s white = {{1.0f, 1.0f, 1.0f, 1.0f},
                                {1.0f, 1.0f, 1.0f, 1.0f},
                                {0.0f, 0.0f, 0.0f, 1.0f},
                                {0.0f, 0.0f, 0.0f, 1.0f},
                                0.0f};
    r->SetMaterial(white);
    r->Enable(rsNormalize);  // the card is scaled; keep its normals unit length
    return true;
  }

  // Once a frame, before the GUI is drawn on top.
  void Render() override {
    if (frameLimit && frameCounter >= frameLimit) EndMainLoop();
    kxRenderer* r = kxGetRenderer();
    r->SetClearColor(0.15f, 0.3f, 0.45f, 1.0f);
    r->Clear(true, true);
    InitGL();  // the GUI drew the last frame under its own projection
    r->LoadIdentity();
    r->Translate(0.0f, 0.0f, -5.0f);                            // the camera stays at the origin
    float angle[3] = {0.0f, 1.5f * float(frameCounter), 0.0f};  // degrees about x, y, z
    card->SetAngle(angle);
    r->Enable(rsLighting);
    card->Draw();
    r->Disable(rsLighting);
  }

  // Clicks on controls arrive here at the start of the next frame.
  void OnGUIClick(kxGUIObject* object) override {
    if (object->GetID() == kQuitId) EndMainLoop();
  }

  // Escape quits too.
  void OnKeyUp(unsigned int key) override {
    if (key == SDLK_ESCAPE) EndMainLoop();
  }

 private:
  const char* packFile;
  unsigned long frameLimit;
  kxResource pack;
  kxVertexArray* card = nullptr;
  kxFont* font = nullptr;
  kxGUIButtonStates* quitLook = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  return kxExampleMain<CardApp>(argc, argv, "kxcard", "no display, or %s is no usable pack");
}
