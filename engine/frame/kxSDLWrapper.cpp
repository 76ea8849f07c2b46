#include "frame/kxSDLWrapper.h"

#include <SDL_mixer.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "frame/kxFrameWait.h"
#include "frame/kxLogoSplash.h"
#include "frame/kxPixelDensity.h"
#include "graphics/kxScreen.h"
#include "graphics/kxTransform.h"
#include "gui/kxGUIManager.h"
#include "kxSaturate.h"
#include "render/kxGLVersion.h"
#include "render/kxRenderer.h"

namespace {
const uint32_t doubleClickMs = 200;
const double dragDivisor = 9.05;
// Touch positions arrive as fractions of the window; the pointer code works
// on a 16-bit scale where 32768 stands for the whole width or height.
const int touchScale = 32768;

bool IsTouchMouse(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      return event.motion.which == SDL_TOUCH_MOUSEID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return event.button.which == SDL_TOUCH_MOUSEID;
    default:
      return false;
  }
}

bool IsMotion(const SDL_Event& event) {
  return event.type == SDL_MOUSEMOTION || event.type == SDL_FINGERMOTION;
}

// Copies a C string into a fixed buffer, cutting it short when needed.
void CopyText(char* out, size_t size, const char* text) {
  snprintf(out, size, "%s", text ? text : "");
}
}  // namespace

kxSDLWrapper::kxSDLWrapper(int width, int height, bool fullscreen, bool resizable)
    : width(width),
      height(height),
      aspect(0.0f),
      frameCounter(0),
      window(nullptr),
      glContext(nullptr),
      fullscreen(fullscreen),
      resizable(resizable),
      camPosition{0.0f, 0.0f, 11.0f},
      camAngle{0.0f, 0.0f, 0.0f},
      mouseX(0),
      mouseY(0),
      prevMouseX(0),
      prevMouseY(0),
      dragX(0.0f),
      dragY(0.0f),
      rightButtonDown(false),
      leftButtonDown(false),
      zoomStep(2.0f),
      lastClickTicks(0),
      quitRequested(false),
      guiManager(nullptr),
      paused(false),
      tickSource(nullptr),
      windowCreator(nullptr),
      sdlStarted(false),
      quitBeforeRun(false),
      initError(ieNone),
      initErrorDetail{},
      windowTitle{},
      multisampling(kxMultisampleAuto),
      samples(0),
      rendererName{},
      softwareRenderer(false),
      clickReceiver(this),
      windowedWidth(width),
      windowedHeight(height) {}

kxSDLWrapper::~kxSDLWrapper() {
  delete guiManager;
  guiManager = nullptr;
  DestroyWindowAndContext();
  // Only a frame whose Init started SDL shuts it down: a frame that never ran
  // Init must not close a device or a library someone else opened.
  if (sdlStarted) {
    Mix_CloseAudio();
    SDL_CloseAudio();
    SDL_Quit();
  }
}

void kxSDLWrapper::Render() {}
bool kxSDLWrapper::OnBeforeInit() {
  return true;
}
void kxSDLWrapper::OnBeforeClose() {}
bool kxSDLWrapper::OnAfterInit() {
  return true;
}
void kxSDLWrapper::OnLMBUp(int, int) {}
void kxSDLWrapper::OnMouseMotion(int, int, int, int) {}
void kxSDLWrapper::OnKeyDown(unsigned int) {}
void kxSDLWrapper::OnKeyUp(unsigned int) {}

void kxSDLWrapper::OnResizeWindow(int width, int height) {
  ApplyWindowSize(width, height);
  Refresh();
}

void kxSDLWrapper::ApplyWindowSize(int width, int height) {
  this->width = width;
  this->height = height;
  kxSetScreenSize(width, height);
  if (window) kxGetRenderer()->SetViewport(0, 0, width, height);
  if (guiManager) guiManager->SetSize(width, height);
}

int kxSDLWrapper::GetWidth() {
  return width;
}

int kxSDLWrapper::GetHeight() {
  return height;
}

bool kxSDLWrapper::ToggleFullscreen() {
  if (!window) return false;
  if (fullscreen) {
    if (SDL_SetWindowFullscreen(window, 0) != 0) return false;
    SDL_SetWindowSize(window, windowedWidth, windowedHeight);
    fullscreen = false;
  } else {
    // Remember the window as the player left it, to come back to it.
    SDL_GetWindowSize(window, &windowedWidth, &windowedHeight);
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    fullscreen = true;
  }
  return true;
}

bool kxSDLWrapper::IsFullscreen() const {
  return fullscreen;
}

void kxSDLWrapper::SetWindowSize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  this->width = width;
  this->height = height;
  windowedWidth = width;
  windowedHeight = height;
}

void kxSDLWrapper::SetResizable(bool resizable) {
  this->resizable = resizable;
}

void kxSDLWrapper::DrawableSize(int* w, int* h) const {
  *w = width;
  *h = height;
  if (!window) return;
  SDL_GetWindowSize(window, w, h);
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(window, &dw, &dh);
  if (dw > 0 && dh > 0) {
    *w = dw;
    *h = dh;
  }
}

float kxSDLWrapper::GetPixelDensity() const {
  return kxWindowPixelDensity(window);
}

void kxSDLWrapper::PointerToPixels(int* x, int* y, bool current) const {
  if (!window) return;
  int ww = 0, wh = 0, dw = width, dh = height;
  SDL_GetWindowSize(window, &ww, &wh);
  // A size change compares the window with its drawable as they are now,
  // not with the size stored before the change.
  if (current) DrawableSize(&dw, &dh);
  // Scaled only where the drawable differs from the window's coordinates.
  if (ww > 0 && ww != dw) *x = kxSaturateToInt(static_cast<int64_t>(*x) * dw / ww);
  if (wh > 0 && wh != dh) *y = kxSaturateToInt(static_cast<int64_t>(*y) * dh / wh);
}

void kxSDLWrapper::OnMouseLeave() {
  rightButtonDown = false;
  leftButtonDown = false;
}

void kxSDLWrapper::OnDblClick() {}
void kxSDLWrapper::OnLostFocus() {}
void kxSDLWrapper::OnSetFocus() {}
void kxSDLWrapper::OnGUIClick(kxGUIObject*) {}

bool kxSDLWrapper::FailInit(TInitError error, const char* detail) {
  initError = error;
  CopyText(initErrorDetail, sizeof initErrorDetail, detail);
  // One line, whatever the library put into its message.
  for (char* c = initErrorDetail; *c; ++c)
    if (*c == '\n' || *c == '\r' || *c == '\t') *c = ' ';
  return false;
}

TInitError kxSDLWrapper::GetInitError() const {
  return initError;
}
const char* kxSDLWrapper::GetInitErrorDetail() const {
  return initErrorDetail;
}
void kxSDLWrapper::SetFullscreen(bool on) {
  fullscreen = on;
}
void kxSDLWrapper::SetWindowTitle(const char* title) {
  CopyText(windowTitle, sizeof windowTitle, title);
}
void kxSDLWrapper::SetMultisampling(int count) {
  multisampling = count;
}
int kxSDLWrapper::GetMultisampling() const {
  return multisampling;
}
bool kxSDLWrapper::SetRenderer(TRendererKind kind) {
  return kxSelectRenderer(kind);
}
TRendererKind kxSDLWrapper::GetRenderer() const {
  return kxGetRenderer()->GetKind();
}
int kxSDLWrapper::GetSamples() const {
  return samples;
}
const char* kxSDLWrapper::GetRendererName() const {
  return rendererName;
}
bool kxSDLWrapper::IsSoftwareRenderer() const {
  return softwareRenderer;
}

void kxSDLWrapper::DestroyWindowAndContext() {
  if (glContext) SDL_GL_DeleteContext(glContext);
  glContext = nullptr;
  if (window) SDL_DestroyWindow(window);
  window = nullptr;
}

bool kxSDLWrapper::CreateWindowAndContext(Uint32 flags, int firstSamples) {
  kxWindowCreator create = windowCreator ? windowCreator : SDL_CreateWindow;
  // Machines without multisampled visuals still run the program, with fewer
  // samples or none.
  static const int sampleCounts[] = {4, 2, 0};
  bool madeWindow = false;
  for (int count : sampleCounts) {
    if (count > firstSamples) continue;
    kxSetContextAttributes(kxGetRenderer()->GetKind(), count);
    window = create(windowTitle[0] ? windowTitle : nullptr, SDL_WINDOWPOS_UNDEFINED,
                    SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (!window) {
      // Keep the window's refusal unless a later window made it further.
      if (!madeWindow) FailInit(ieWindow, SDL_GetError());
      continue;
    }
    madeWindow = true;
    glContext = SDL_GL_CreateContext(window);
    if (glContext) {
      // What the refused attempts recorded was no failure of Init.
      initError = ieNone;
      initErrorDetail[0] = '\0';
      return true;
    }
    FailInit(ieContext, SDL_GetError());
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  return false;
}

bool kxSDLWrapper::Init() {
  initError = ieNone;
  initErrorDetail[0] = '\0';
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return FailInit(ieVideo, SDL_GetError());
  sdlStarted = true;
  if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) == -1) return FailInit(ieAudio, Mix_GetError());

  // On a high-density display the drawable gets every pixel the screen has.
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
  if (resizable) flags |= SDL_WINDOW_RESIZABLE;
  if (fullscreen) {
    int displays = SDL_GetNumVideoDisplays();
    if (displays < 1) return FailInit(ieDisplay, SDL_GetError());
    bool found = false;
    for (int i = 0; i < displays && !found; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetCurrentDisplayMode(i, &mode) == 0) {
        width = mode.w;
        height = mode.h;
        found = true;
      }
    }
    if (!found) return FailInit(ieDisplayMode, SDL_GetError());
    flags = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    // Leaving full screen later opens a resizable window.
    if (resizable) flags |= SDL_WINDOW_RESIZABLE;
  }

  const int firstSamples = kxGLChooseSamples(multisampling, nullptr);
  if (!CreateWindowAndContext(flags, firstSamples)) return false;
  if (SDL_GL_MakeCurrent(window, glContext) != 0) return FailInit(ieContext, SDL_GetError());

  // The renderer is known only once a context exists. A software rasteriser
  // pays for every sample on the CPU, so under the automatic choice the
  // window and context are made again without multisampling, before anything
  // has been loaded into them.
  kxRenderer* renderer = kxGetRenderer();
  CopyText(rendererName, sizeof rendererName, renderer->GetRendererName());
  softwareRenderer = kxGLIsSoftwareRenderer(rendererName);
  int wanted = kxGLChooseSamples(multisampling, rendererName);
  int have = renderer->GetSamples();
  if (wanted < firstSamples && have > wanted) {
    DestroyWindowAndContext();
    if (!CreateWindowAndContext(flags, wanted)) return false;
    if (SDL_GL_MakeCurrent(window, glContext) != 0) return FailInit(ieContext, SDL_GetError());
    have = renderer->GetSamples();
  }
  samples = have;

  DrawableSize(&width, &height);
  kxSetScreenSize(width, height);

  char detail[256];
  switch (renderer->Start(detail, sizeof detail)) {
    case rfNone:
      break;
    case rfFunctions:
      return FailInit(ieGLFunctions, detail);
    case rfVersion:
      return FailInit(ieGLVersion, detail);
  }

  if (!OnBeforeInit()) return FailInit(ieBeforeInit, nullptr);
  InitGL();

  guiManager = kxGUIManager::Create(width, height);
  if (!guiManager) return FailInit(ieGUI, "out of memory");
  guiManager->SetWrapperPtr(&clickReceiver);

  DrawEngineLogo();
  if (!OnAfterInit()) return FailInit(ieAfterInit, nullptr);
  return true;
}

void kxSDLWrapper::InitGL() {
  kxRenderer* r = kxGetRenderer();
  r->SetViewport(0, 0, width, height);
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  aspect = static_cast<float>(width) / static_cast<float>(height);
  float top = tanf(0.5235988f) * 0.1f;
  float right = aspect * top;
  r->Frustum(-right, right, -top, top, 0.1f, 100.0);
  r->SetAlphaBlending();
  r->Enable(rsDepthTest);
  r->SetMatrixMode(mmModelView);
}

float kxSDLWrapper::GetAspect() {
  return aspect;
}

int kxSDLWrapper::Run(int, char**) {
  // A request to leave made while the logo was up ends the loop after its
  // first frame, as one made during that frame would.
  quitRequested = quitBeforeRun;
  quitBeforeRun = false;
  kxFramePacer pacer(tickSource);
  pacer.Start();
  kxSeedRandom(static_cast<uint32_t>(time(nullptr)));
  paused = false;
  frameCounter = 0;
  do {
    if (guiManager) guiManager->HandleEvents();
    SDL_Event event;
    if (SDL_PollEvent(&event)) DispatchEvent(event);
    if (!paused && window) {
      SDL_GL_MakeCurrent(window, glContext);
      Render();
      if (guiManager) guiManager->Draw();
      SDL_GL_SwapWindow(window);
    }
    ++frameCounter;
    kxFrameWait(pacer.EndFrame());
  } while (!quitRequested);
  OnBeforeClose();
  return 0;
}

void kxSDLWrapper::EndMainLoop() {
  quitRequested = true;
}

void kxSDLWrapper::Refresh() {
  Render();
  if (guiManager) guiManager->Draw();
  if (window) SDL_GL_SwapWindow(window);
  ++frameCounter;
}

kxGUIManager* kxSDLWrapper::GetGUIManager() {
  return guiManager;
}

void kxSDLWrapper::SetCamPosition(float* const position) {
  for (int i = 0; i < 3; ++i) camPosition[i] = position[i];
}
void kxSDLWrapper::GetCamPosition(float* const out) {
  for (int i = 0; i < 3; ++i) out[i] = camPosition[i];
}
void kxSDLWrapper::SetCamAngle(float* const angle) {
  for (int i = 0; i < 3; ++i) camAngle[i] = angle[i];
}
void kxSDLWrapper::GetCamAngle(float* const out) {
  for (int i = 0; i < 3; ++i) out[i] = camAngle[i];
}

void kxSDLWrapper::SetTickSource(kxTickSource source) {
  tickSource = source;
}
kxTickSource kxSDLWrapper::GetTickSource() const {
  return tickSource;
}
void kxSDLWrapper::SetWindowCreator(kxWindowCreator creator) {
  windowCreator = creator;
}

void kxSDLWrapper::HandleWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_RESIZED: {
      // The event gives the window's coordinates; the viewport wants pixels.
      int w = event.data1, h = event.data2;
      PointerToPixels(&w, &h, true);
      OnResizeWindow(w, h);
      break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      // Some size changes (full screen on and off) come without RESIZED.
      if (!window) break;
      int w = 0, h = 0;
      DrawableSize(&w, &h);
      if (w != width || h != height) OnResizeWindow(w, h);
      break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      OnLostFocus();
      paused = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
      OnSetFocus();
      paused = false;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      // A window that lost focus without being minimised gets no restore
      // event; regaining focus must resume drawing as well.
      if (paused) {
        OnSetFocus();
        paused = false;
      }
      break;
    default:
      break;
  }
}

void kxSDLWrapper::TouchToPixels(float tx, float ty, int* x, int* y) const {
  auto scale = [](float fraction) {
    if (!(fraction > 0.0f)) return 0;  // also catches NaN
    if (fraction >= 1.0f) return touchScale;
    return static_cast<int>(fraction * touchScale);
  };
  *x = kxSaturateToInt(static_cast<int64_t>(width) * scale(tx) / touchScale);
  *y = kxSaturateToInt(static_cast<int64_t>(height) * scale(ty) / touchScale);
}

void kxSDLWrapper::DispatchEvent(const SDL_Event& event) {
  // SDL repeats every touch as a mouse event; fingers are handled directly,
  // so the copies would count each tap twice.
  if (IsTouchMouse(event)) return;

  switch (event.type) {
    case SDL_QUIT:
      quitRequested = true;
      break;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(event.window);
      break;
    case SDL_KEYDOWN: {
      unsigned int key = static_cast<unsigned int>(event.key.keysym.sym);
      OnKeyDown(key);
      if (event.key.keysym.sym != SDLK_ESCAPE && event.key.keysym.sym != SDLK_AC_BACK) OnKeyUp(key);
      break;
    }
    case SDL_KEYUP:
      OnKeyUp(static_cast<unsigned int>(event.key.keysym.sym));
      break;
    case SDL_MOUSEMOTION:
    case SDL_FINGERMOTION: {
      // The motion events directly behind this one are taken as well and
      // only the last position is applied: one MouseXY per frame carrying the
      // whole movement. Anything else in the queue stops the run, so a button
      // is never handled at a position that came after it.
      bool havePosition = false;
      int x = 0, y = 0;
      SDL_Event current = event;
      for (;;) {
        if (current.type == SDL_MOUSEMOTION && !IsTouchMouse(current)) {
          x = current.motion.x;
          y = current.motion.y;
          PointerToPixels(&x, &y);
          havePosition = true;
        } else if (current.type == SDL_FINGERMOTION) {
          TouchToPixels(current.tfinger.x, current.tfinger.y, &x, &y);
          havePosition = true;
        }
        SDL_Event next;
        if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) break;
        if (!IsMotion(next)) break;
        if (SDL_PeepEvents(&current, 1, SDL_GETEVENT, next.type, next.type) != 1) break;
      }
      if (havePosition) MouseXY(x, y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      if (event.button.button == SDL_BUTTON_LEFT) {
        down ? LMBDown() : LMBUp();
      } else if (event.button.button == SDL_BUTTON_RIGHT) {
        down ? RMBDown() : RMBUp();
      }
      break;
    }
    case SDL_MOUSEWHEEL:
      MouseWheel(event.wheel.y);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP: {
      // A touch is a left click where the finger is.
      int x, y;
      TouchToPixels(event.tfinger.x, event.tfinger.y, &x, &y);
      MouseXY(x, y);
      event.type == SDL_FINGERDOWN ? LMBDown() : LMBUp();
      break;
    }
    default:
      break;
  }
}

void kxSDLWrapper::MouseXY(int x, int y) {
  // Pointer positions pushed by other code need not be sane; the difference
  // is formed wide and saturated rather than overflowing.
  int dx = kxSaturatedDifference(prevMouseX, x);
  int dy = kxSaturatedDifference(prevMouseY, y);
  mouseX = x;
  mouseY = y;
  if (dx == 0 && dy == 0) {
    prevMouseX = x;
    prevMouseY = y;
    return;
  }
  if (guiManager) guiManager->OnMouse(x, y);
  dragX = static_cast<float>(static_cast<float>(dx) * camPosition[2] / dragDivisor);
  dragY = static_cast<float>(static_cast<float>(dy) * camPosition[2] / dragDivisor);
  OnMouseMotion(x, y, dx, dy);
  prevMouseX = x;
  prevMouseY = y;
}

void kxSDLWrapper::MouseMotion() {
  float dx = static_cast<float>(kxSaturatedDifference(prevMouseX, mouseX));
  float dy = static_cast<float>(kxSaturatedDifference(prevMouseY, mouseY));
  dragX = static_cast<float>(dx * camPosition[2] / dragDivisor);
  dragY = static_cast<float>(dy * camPosition[2] / dragDivisor);
}

void kxSDLWrapper::LMBDown() {
  uint32_t now = kxFramePacer(tickSource).Ticks();
  // lastClickTicks of 0 means no completed click yet; tick readings are never
  // 0, so a real click always leaves a nonzero value.
  if (lastClickTicks == 0 || now - lastClickTicks >= doubleClickMs) {
    if (guiManager) guiManager->OnLMBDown(mouseX, mouseY);
    leftButtonDown = true;
  } else {
    OnDblClick();
    lastClickTicks = 0;
  }
}

void kxSDLWrapper::LMBUp() {
  if (!leftButtonDown) return;
  lastClickTicks = kxFramePacer(tickSource).Ticks();
  if (guiManager) guiManager->OnLMBUp(mouseX, mouseY);
  leftButtonDown = false;
  OnLMBUp(mouseX, mouseY);
}

void kxSDLWrapper::RMBDown() {
  rightButtonDown = true;
}
void kxSDLWrapper::RMBUp() {
  rightButtonDown = false;
}

void kxSDLWrapper::MouseWheel(int notches) {
  // Like the buttons, the wheel acts at the position MouseXY stored last.
  if (guiManager && guiManager->OnMouseWheel(mouseX, mouseY, notches)) return;
  if (notches > 0)
    MouseWheelUp();
  else
    MouseWheelDown();
}

void kxSDLWrapper::MouseWheelUp() {
  camPosition[2] -= zoomStep;
  zoomStep = camPosition[2] / 100.0f;
}

void kxSDLWrapper::MouseWheelDown() {
  camPosition[2] += zoomStep;
  zoomStep = camPosition[2] / 100.0f;
}

void kxSDLWrapper::PilotView(float* const position, float* const angle) {
  kxRenderer* r = kxGetRenderer();
  r->Rotate(angle[0], 0.0f, 0.0f, 1.0f);
  r->Rotate(angle[2], 1.0f, 0.0f, 0.0f);
  r->Rotate(angle[1], 0.0f, 0.0f, 1.0f);
  r->Translate(-position[0], -position[1], -position[2]);
}

namespace {
// Line ends gathered for one draw; a grid of many divisions goes out in
// several batches, so its size bounds no allocation.
class LineBatch {
 public:
  ~LineBatch() { Flush(); }
  void Add(float x1, float y1, float x2, float y2) {
    float* at = ends + used * 3;
    at[0] = x1, at[1] = y1, at[2] = 0.0f, at[3] = x2, at[4] = y2, at[5] = 0.0f;
    used += 2;
    if (used == kEnds) Flush();
  }
  void Flush() {
    if (used) kxGetRenderer()->DrawVertices(pmLines, ends, nullptr, nullptr, used);
    used = 0;
  }

 private:
  static const int kEnds = 512;
  float ends[kEnds * 3];
  int used = 0;
};
}  // namespace

void kxSDLWrapper::RenderGrid(int width, int depth, int divisions) {
  if (divisions <= 0) return;
  float w = static_cast<float>(width);
  float d = static_cast<float>(depth);
  float n = static_cast<float>(divisions);
  LineBatch lines;
  float stepX = w / n;
  for (float x = -w / 2; x < w / 2;) {
    lines.Add(x, -d / 2, x, d / 2);
    // With huge sizes a step below the spacing of floats would leave x where
    // it is and the loop would never reach the far edge.
    float next = x + stepX;
    if (!(next > x)) break;
    x = next;
  }
  float stepY = d / n;
  for (float y = -d / 2; y < d / 2;) {
    lines.Add(-w / 2, y, w / 2, y);
    float next = y + stepY;
    if (!(next > y)) break;
    y = next;
  }
}

void kxSDLWrapper::DrawEngineLogo() {
  // The logo the GUI manager just registered; the splash copes without it.
  kxLogoSplash splash(window, glContext, width, height, tickSource);
  splash.Run(engineResources, &frameCounter);
  if (splash.GetQuitRequested()) quitBeforeRun = true;
}
