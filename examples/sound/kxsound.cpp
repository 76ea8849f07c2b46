// kxsound: everything from one resource pack. A textured cube turns in the
// middle of the window while a tune loops; Space, or every two seconds, plays
// a ping. The pack, sound.bin, is made at build time by kxpack from the files
// in assets/ (see CMakeLists.txt).
//
//   kxsound PACK [--frames N]
//
// --frames N ends the program by itself after N frames.
#include <cstdio>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxResource.h"
#include "frame/kxSDLWrapper.h"
#include "graphics/kxVertexArray.h"
#include "kxExampleMain.h"  // main(): the command line, start, run
#include "render/kxRenderer.h"

namespace {

class SoundApp : public kxSDLWrapper {
 public:
  SoundApp(const char* packFile, unsigned long frames)
      : kxSDLWrapper(640, 480, false, false), packFile(packFile), frameLimit(frames) {}

  // The cube's buffers and texture need the GL context, and the music and
  // the samples the audio device: all go before the base destructor closes
  // them (members are destroyed before the base).
  ~SoundApp() override { delete cube; }

  bool OnAfterInit() override {
    // The pack reads its table; each Get returns a crunched block the pack
    // keeps owning, and every loader below expands its own copy.
    if (!pack.ReadFromFile(packFile)) return Fail("is no resource pack");
    cube = kxVertexArray::Create(pmTriangles);
    if (!cube || !cube->LoadFromCrunchedMemoryBlock(pack.Get("cube"))) return Fail("has no mesh");
    cube->TextureFromCrunchedMemoryBlock(pack.Get("crate"));
    if (!cube->GetTextureID()) return Fail("has no texture");
    // Music: false only when the block does not expand; a piece the mixer
    // cannot decode loads but IsLoaded stays false.
    if (!music.LoadFromCrunchedMemoryBlock(pack.Get("tune")) || !music.IsLoaded())
      return Fail("has no music");
    // Samples are numbered in the order they are appended: ping is 0.
    if (!samples.AppendSampleFromCrunchedMemoryBlock(pack.Get("ping")))
      return Fail("has no sample");
    music.SetVolume(48);
    music.Play();
    samples.PlaySample(kPing);
    return true;
  }

  void Render() override {
    if (frameLimit && frameCounter >= frameLimit) EndMainLoop();
    if (frameCounter > 0 && frameCounter % 120 == 0) samples.PlaySample(kPing);
    // All drawing goes through the engine's renderer, whichever path it takes.
    kxRenderer* r = kxGetRenderer();
    r->SetClearColor(0.15f, 0.3f, 0.45f, 1.0f);
    r->Clear(true, true);
    InitGL();  // projection and depth test; the GUI changed them last frame
    r->LoadIdentity();
    r->Translate(0.0f, 0.0f, -6.0f);
    float angle[3] = {20.0f, float(frameCounter), 0.0f};  // degrees about x, y, z
    cube->SetAngle(angle);
    cube->Draw();
  }

  void OnKeyUp(unsigned int key) override {
    if (key == SDLK_SPACE) samples.PlaySample(kPing);
    if (key == SDLK_ESCAPE) EndMainLoop();
  }

 private:
  static constexpr uint64_t kPing = 0;

  bool Fail(const char* what) {
    std::fprintf(stderr, "kxsound: %s %s\n", packFile, what);
    return false;
  }

  const char* packFile;
  unsigned long frameLimit;
  kxResource pack;
  kxVertexArray* cube = nullptr;
  kxMusic music;
  kxSampler samples;
};

}  // namespace

int main(int argc, char** argv) {
  return kxExampleMain<SoundApp>(argc, argv, "kxsound", nullptr);  // OnAfterInit says why
}
