#include "frame/kxLogoSplash.h"

#include <cmath>
#include <string>

#include "data/kxResource.h"
#include "frame/kxFrameWait.h"
#include "frame/kxPixelDensity.h"
#include "graphics/kxScreen.h"
#include "gui/kxEngineLogoData.h"
#include "gui/kxGUIPicture.h"
#include "render/kxRenderer.h"

kxLogoSplash::kxLogoSplash(SDL_Window* window, SDL_GLContext context, int width, int height,
                           kxTickSource ticks)
    : window(window),
      context(context),
      width(width),
      height(height),
      ticks(ticks),
      framesShown(0),
      picturesShown(0),
      quitRequested(false) {}

kxLogoSplash::~kxLogoSplash() {}

void kxLogoSplash::GetLogoPosition(int width, int height, int* x, int* y) {
  GetLogoRect(width, height, x, y, nullptr, nullptr);
}

void kxLogoSplash::GetLogoRect(int width, int height, int* x, int* y, int* w, int* h,
                               float density) {
  const float scale = kxChooseGUIScale(width, height, density);
  const int pictureWidth = static_cast<int>(std::lround(logoWidth * scale));
  const int pictureHeight = static_cast<int>(std::lround(logoHeight * scale));
  if (x) *x = (width - pictureWidth) / 2;
  if (y) *y = (height - pictureHeight) / 2;
  if (w) *w = pictureWidth;
  if (h) *h = pictureHeight;
}

kxMemoryBlock* kxLogoSplash::ChooseLogo(const kxResource* resources, float scale) {
  const std::string plain = "kxEngineLogo";
  kxMemoryBlock* chosen = resources ? resources->Get(plain.c_str()) : nullptr;
  if (!chosen) return nullptr;
  for (int i = 0; i < kxEngineLogoRenderingCount && scale > 1.25f; ++i) {
    kxMemoryBlock* rendering = resources->Get((plain + kxEngineLogoRenderings[i].suffix).c_str());
    if (!rendering) continue;
    chosen = rendering;
    if (kxEngineLogoRenderings[i].density * 1.25f >= scale) break;
  }
  return chosen;
}

void kxLogoSplash::OnFrameDrawn(bool) {}

bool kxLogoSplash::IsQuitRequest(const SDL_Event& event) {
  if (event.type == SDL_QUIT) return true;
  if (event.type != SDL_KEYDOWN) return false;
  return event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_AC_BACK;
}

void kxLogoSplash::Run(kxResource* resources, uint32_t* frameCounter) {
  framesShown = 0;
  picturesShown = 0;
  quitRequested = false;
  if (!frameCounter) return;

  SDL_ShowCursor(SDL_DISABLE);
  kxRenderer* r = kxGetRenderer();
  r->LoadIdentity();
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  r->Ortho(0.0, width, height, 0.0, 0.0, 1.0);
  r->Enable(rsBlend);
  r->Disable(rsDepthTest);

  // On a large or dense screen the picture grows as the GUI does, drawn from
  // the rendering made for about that size, so that it stays sharp.
  const float density = kxWindowPixelDensity(window);
  kxMemoryBlock* logo = ChooseLogo(resources, kxChooseGUIScale(width, height, density));
  int x = 0, y = 0, w = 0, h = 0;
  GetLogoRect(width, height, &x, &y, &w, &h, density);
  kxGUIPicture* picture = logo ? kxGUIPicture::Create(1, x, y, w, h, logo) : nullptr;
  // A box without texture would show as a white rectangle: keep it black.
  const bool showPicture = picture && picture->HasTexture();

  kxFramePacer pacer(ticks);
  pacer.Start();
  do {
    // One event per frame, so the queue does not pile up. Only a request to
    // leave is kept: losing it would leave the program running against the
    // user's wish until it were asked again.
    SDL_Event event;
    if (SDL_PollEvent(&event) && IsQuitRequest(event)) quitRequested = true;

    // Every frame is drawn: a frame left undrawn would show whatever the
    // back buffer held.
    r->SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    r->Clear(true, false);
    if (showPicture) {
      picture->Draw();
      ++picturesShown;
    }
    ++framesShown;
    OnFrameDrawn(showPicture);
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SwapWindow(window);

    ++*frameCounter;
    kxFrameWait(pacer.EndFrame());
  } while (static_cast<int32_t>(*frameCounter) < frameLimit);

  r->Disable(rsBlend);
  SDL_ShowCursor(SDL_ENABLE);
  delete picture;
}
