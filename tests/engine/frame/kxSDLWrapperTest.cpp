// Drives the real frame on a full-screen window (run under Xvfb): events are
// pushed with SDL_PushEvent and a recording subclass logs every callback with
// the frame counter at the time of the call, so "one event per frame" and
// the order of callbacks can both be checked.
#include "frame/kxSDLWrapper.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "frame/kxScreen.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"

namespace {

struct Call {
  std::string name;
  int a, b, c, d;
  uint32_t frame;  // frameCounter when the callback ran
};

class RecordingFrame : public kxSDLWrapper {
 public:
  RecordingFrame(int w, int h, bool fs, bool rs) : kxSDLWrapper(w, h, fs, rs) {}

  std::vector<Call> calls;
  int renders = 0;
  int stopAfterRenders = -1;
  bool beforeInitResult = true;
  bool afterInitResult = true;
  bool contextCurrentInBeforeInit = false;
  int beforeClose = 0;
  std::vector<kxGUIObject*> guiClicks;
  std::vector<uint32_t> guiClickFrames;

  void Log(const char* name, int a = 0, int b = 0, int c = 0, int d = 0) {
    calls.push_back({name, a, b, c, d, frameCounter});
  }
  // The calls named `name`, in order.
  std::vector<Call> Named(const std::string& name) const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.name == name) out.push_back(c);
    return out;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const Call& c : calls) out.push_back(c.name);
    return out;
  }

  void Render() override {
    ++renders;
    Log("Render");
    if (renders == stopAfterRenders) EndMainLoop();
    // A loop that never sees its quit event must not hang the suite.
    if (renders > 600) {
      ADD_FAILURE() << "loop did not end";
      EndMainLoop();
    }
  }
  bool OnBeforeInit() override {
    contextCurrentInBeforeInit = SDL_GL_GetCurrentContext() != nullptr;
    Log("BeforeInit");
    return beforeInitResult;
  }
  void OnBeforeClose() override {
    ++beforeClose;
    Log("BeforeClose");
  }
  bool OnAfterInit() override {
    Log("AfterInit");
    return afterInitResult;
  }
  void OnLMBUp(int x, int y) override { Log("LMBUp", x, y); }
  void OnMouseMotion(int x, int y, int dx, int dy) override { Log("Motion", x, y, dx, dy); }
  void OnKeyDown(unsigned int key) override { Log("KeyDown", static_cast<int>(key)); }
  void OnKeyUp(unsigned int key) override { Log("KeyUp", static_cast<int>(key)); }
  void OnDblClick() override { Log("DblClick"); }
  void OnLostFocus() override { Log("LostFocus"); }
  void OnSetFocus() override { Log("SetFocus"); }
  void OnGUIClick(kxGUIObject* object) override {
    Log("GUIClick");
    guiClicks.push_back(object);
    guiClickFrames.push_back(frameCounter);
  }

  uint32_t Frames() const { return frameCounter; }
  float CamZ() const { return camPosition[2]; }
  float Zoom() const { return zoomStep; }
  float DragX() const { return dragX; }
  float DragY() const { return dragY; }
  int MouseX() const { return mouseX; }
  int MouseY() const { return mouseY; }
  bool LeftDown() const { return leftButtonDown; }
  bool RightDown() const { return rightButtonDown; }
  SDL_Window* Window() const { return window; }
  using kxSDLWrapper::SetTickSource;
  using kxSDLWrapper::SetWindowCreator;
};

// A control that counts its mouse calls.
class CountingControl : public kxGUIObject {
 public:
  CountingControl(unsigned id, int l, int t, int w, int h) : kxGUIObject(id, l, t, w, h) {}
  int downs = 0, ups = 0, enters = 0, leaves = 0;
  void OnLMBDown() override { ++downs; }
  void OnLMBUp() override { ++ups; }
  void OnMouseEnter() override { ++enters; }
  void OnMouseLeave() override { ++leaves; }
};

// Only pushed events reach the loop: the real window's own events (exposure,
// focus, the X pointer) and device notices would otherwise take frames of
// their own and make the per-frame counts depend on the display server.
Uint32 gRealWindowID = 0;
int KeepPushedEvents(void*, SDL_Event* e) {
  switch (e->type) {
    case SDL_QUIT:
    case SDL_USEREVENT:
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      return 1;
    case SDL_WINDOWEVENT:
      return e->window.windowID != gRealWindowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return e->key.windowID != gRealWindowID;
    case SDL_MOUSEMOTION:
      return e->motion.windowID != gRealWindowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return e->button.windowID != gRealWindowID;
    case SDL_MOUSEWHEEL:
      return e->wheel.windowID != gRealWindowID;
    default:
      return 0;
  }
}

// Scripted clock: the reading while frame i runs its dispatch is times[i]
// (frameCounter is i then); the last entry holds once the script runs out.
std::vector<uint32_t> gTimes;
RecordingFrame* gClockFrame = nullptr;
uint32_t ScriptedTicks() {
  size_t i = gClockFrame ? gClockFrame->Frames() : 0;
  if (i >= gTimes.size()) i = gTimes.size() - 1;
  return gTimes[i];
}

// A clock that is always a little late, so the start-up splash inside Init
// runs its frames without sleeping.
uint32_t gFastNow = 1000;
uint32_t HurriedTicks() { return gFastNow += 20; }

void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }

SDL_Event Blank(Uint32 type) {
  SDL_Event e;
  SDL_zero(e);
  e.type = type;
  return e;
}

void PushKey(Uint32 type, SDL_Keycode sym, Uint8 repeat = 0) {
  SDL_Event e = Blank(type);
  e.key.keysym.sym = sym;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  Push(e);
}

void PushMotion(int x, int y, Uint32 which = 0) {
  SDL_Event e = Blank(SDL_MOUSEMOTION);
  e.motion.which = which;
  e.motion.x = x;
  e.motion.y = y;
  Push(e);
}

// The position in a button event is deliberately far from the pointer: the
// frame must use the stored pointer position instead.
void PushButton(Uint32 type, Uint8 button, Uint32 which = 0) {
  SDL_Event e = Blank(type);
  e.button.which = which;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = 9999;
  e.button.y = 9999;
  Push(e);
}

void PushWheel(int y) {
  SDL_Event e = Blank(SDL_MOUSEWHEEL);
  e.wheel.y = y;
  Push(e);
}

void PushFinger(Uint32 type, float x, float y) {
  SDL_Event e = Blank(type);
  e.tfinger.x = x;
  e.tfinger.y = y;
  Push(e);
}

void PushWindow(Uint8 event, int d1 = 0, int d2 = 0) {
  SDL_Event e = Blank(SDL_WINDOWEVENT);
  e.window.event = event;
  e.window.data1 = d1;
  e.window.data2 = d2;
  Push(e);
}

void PushQuit() { Push(Blank(SDL_QUIT)); }

// Every frame shuts SDL down, and with it the GL driver libraries are
// unloaded; whatever those libraries keep for the process then shows up in
// leak reports without a module name, beyond the reach of the suppressions.
// Pinning every library loaded so far keeps them mapped and named.
int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0]) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
void PinLoadedLibraries() { dl_iterate_phdr(PinLibrary, nullptr); }

class kxSDLWrapperTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SDL_SetEventFilter(nullptr, nullptr);
    gClockFrame = nullptr;
    frame.reset();
  }

  // Opens a full-screen frame (windowed when asked) and leaves it with an
  // empty event queue that only pushed events can enter.
  void Open(bool fullscreen = true, int w = 640, int h = 480) {
    frame.reset(new RecordingFrame(w, h, fullscreen, false));
    frame->SetTickSource(HurriedTicks);
    ASSERT_TRUE(frame->Init()) << SDL_GetError();
    frame->SetTickSource(nullptr);
    PinLoadedLibraries();
    gRealWindowID = SDL_GetWindowID(frame->Window());
    SDL_PumpEvents();
    SDL_SetEventFilter(KeepPushedEvents, nullptr);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    frame->calls.clear();
  }

  void UseScriptedClock(std::vector<uint32_t> times) {
    gTimes = std::move(times);
    gClockFrame = frame.get();
    frame->SetTickSource(ScriptedTicks);
  }

  int RunLoop() {
    char arg0[] = "test";
    char* argv[] = {arg0, nullptr};
    return frame->Run(1, argv);
  }

  std::unique_ptr<RecordingFrame> frame;
};

// ---- Init and GL state ----------------------------------------------------

TEST_F(kxSDLWrapperTest, FullScreenInitUsesDesktopModeAndSetsState) {
  ASSERT_NO_FATAL_FAILURE(Open(true, 640, 480));
  EXPECT_EQ(frame->GetWidth(), 1280);
  EXPECT_EQ(frame->GetHeight(), 720);
  EXPECT_EQ(kxGetScreenWidth(), 1280);
  EXPECT_EQ(kxGetScreenHeight(), 720);
  EXPECT_FLOAT_EQ(frame->GetAspect(), 1280.0f / 720.0f);
  EXPECT_TRUE(frame->contextCurrentInBeforeInit);

  kxGUIManager* gui = frame->GetGUIManager();
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(gui->GetWidth(), 1280);
  EXPECT_EQ(gui->GetHeight(), 720);
  EXPECT_EQ(gui->GetWrapperPtr(), frame.get());
  EXPECT_NE(engineResources, nullptr);

  // Init ends with the logo splash, which leaves a pixel projection behind;
  // InitGL brings back the frame's own state, which is what is checked here.
  frame->InitGL();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint mode = 0, src = 0, dst = 0, viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_EQ(viewport[2], 1280);
  EXPECT_EQ(viewport[3], 720);
  // A 60-degree vertical field of view: cot(30 deg) on the y axis.
  GLfloat p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[5], 1.7320508f, 1e-4f);
  EXPECT_NEAR(p[0], 1.7320508f / (1280.0f / 720.0f), 1e-4f);
  EXPECT_NEAR(p[11], -1.0f, 1e-6f);
}

TEST_F(kxSDLWrapperTest, WindowedInitKeepsRequestedSize) {
  ASSERT_NO_FATAL_FAILURE(Open(false, 320, 240));
  EXPECT_EQ(frame->GetWidth(), 320);
  EXPECT_EQ(frame->GetHeight(), 240);
  EXPECT_EQ(kxGetScreenWidth(), 320);
  EXPECT_FLOAT_EQ(frame->GetAspect(), 320.0f / 240.0f);
}

TEST_F(kxSDLWrapperTest, InitFailuresAndCallbackOrder) {
  // A false OnBeforeInit stops Init before the GUI exists.
  frame.reset(new RecordingFrame(320, 240, false, false));
  frame->beforeInitResult = false;
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetGUIManager(), nullptr);
  EXPECT_EQ(frame->Names(), (std::vector<std::string>{"BeforeInit"}));
  frame.reset();

  // OnAfterInit runs last and its result is Init's.
  frame.reset(new RecordingFrame(320, 240, false, false));
  frame->afterInitResult = false;
  frame->SetTickSource(HurriedTicks);
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_NE(frame->GetGUIManager(), nullptr);
  EXPECT_EQ(frame->Names(), (std::vector<std::string>{"BeforeInit", "AfterInit"}));
  frame.reset();

  // SDL itself cannot start.
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  frame.reset(new RecordingFrame(320, 240, false, false));
  bool ok = frame->Init();
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(ok);
  EXPECT_TRUE(frame->calls.empty());
}

int gAttempts = 0;
int gRefuseFirst = 0;
SDL_Window* RefuseFirstAttempts(const char* title, int x, int y, int w, int h, Uint32 flags) {
  if (++gAttempts <= gRefuseFirst) {
    SDL_SetError("no such visual");
    return nullptr;
  }
  return SDL_CreateWindow(title, x, y, w, h, flags);
}

// Opens a windowed frame whose first `refused` window attempts fail; the
// context's sample count tells which request succeeded.
bool InitRefusing(std::unique_ptr<RecordingFrame>& frame, int refused, GLint* samples) {
  gAttempts = 0;
  gRefuseFirst = refused;
  frame.reset(new RecordingFrame(320, 240, false, false));
  frame->SetWindowCreator(RefuseFirstAttempts);
  frame->SetTickSource(HurriedTicks);
  bool ok = frame->Init();
  PinLoadedLibraries();
  *samples = -1;
  if (ok) glGetIntegerv(GL_SAMPLES, samples);
  return ok;
}

TEST_F(kxSDLWrapperTest, WindowFallsBackToFewerSamplesThenFails) {
  GLint samples = -1;
  // Without 4x the next request still asks for multisampling (2x or more).
  EXPECT_TRUE(InitRefusing(frame, 1, &samples));
  EXPECT_EQ(gAttempts, 2);
  EXPECT_GE(samples, 2);
  // Without any multisampled visual the program runs single-sampled.
  EXPECT_TRUE(InitRefusing(frame, 2, &samples));
  EXPECT_EQ(gAttempts, 3);
  EXPECT_EQ(samples, 0);
  EXPECT_NE(frame->Window(), nullptr);
  // No window at all: Init fails before any callback.
  EXPECT_FALSE(InitRefusing(frame, 3, &samples));
  EXPECT_EQ(gAttempts, 3);
  EXPECT_EQ(frame->Window(), nullptr);
  EXPECT_TRUE(frame->calls.empty());
  frame.reset();
}

// ---- The loop --------------------------------------------------------------

TEST_F(kxSDLWrapperTest, QuitEndsLoopAfterCurrentIteration) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushQuit();
  PushKey(SDL_KEYDOWN, SDLK_a);  // behind the quit: never handled
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_EQ(frame->renders, 1);
  EXPECT_EQ(frame->Frames(), 1u);
  EXPECT_EQ(frame->beforeClose, 1);
  EXPECT_TRUE(frame->Named("KeyDown").empty());
  EXPECT_EQ(frame->Names().back(), "BeforeClose");
}

TEST_F(kxSDLWrapperTest, EndMainLoopFromRenderFinishesThatIteration) {
  ASSERT_NO_FATAL_FAILURE(Open());
  frame->stopAfterRenders = 3;
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_EQ(frame->renders, 3);
  EXPECT_EQ(frame->Frames(), 3u);
  EXPECT_EQ(frame->beforeClose, 1);
}

TEST_F(kxSDLWrapperTest, OneEventPerFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (SDL_Keycode k : {SDLK_a, SDLK_b, SDLK_c, SDLK_d, SDLK_e}) PushKey(SDL_KEYUP, k);
  PushQuit();
  RunLoop();
  std::vector<Call> ups = frame->Named("KeyUp");
  ASSERT_EQ(ups.size(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ups[i].frame, i);
    EXPECT_EQ(ups[i].a, static_cast<int>(SDLK_a + i));
  }
  EXPECT_EQ(frame->renders, 6);
}

TEST_F(kxSDLWrapperTest, KeyPressAlsoReleasesExceptEscapeAndBack) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushKey(SDL_KEYDOWN, SDLK_a);
  PushKey(SDL_KEYUP, SDLK_a);
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
  PushKey(SDL_KEYUP, SDLK_ESCAPE);
  PushKey(SDL_KEYDOWN, SDLK_AC_BACK);
  PushKey(SDL_KEYUP, SDLK_AC_BACK);
  PushKey(SDL_KEYDOWN, SDLK_PLUS, 1);  // auto-repeat behaves as a press
  PushQuit();
  RunLoop();
  std::vector<std::string> expected = {"KeyDown", "KeyUp", "KeyUp",   "KeyDown", "KeyUp",
                                       "KeyDown", "KeyUp", "KeyDown", "KeyUp"};
  std::vector<int> keys = {SDLK_a,       SDLK_a,       SDLK_a,    SDLK_ESCAPE, SDLK_ESCAPE,
                           SDLK_AC_BACK, SDLK_AC_BACK, SDLK_PLUS, SDLK_PLUS};
  std::vector<std::string> names;
  std::vector<int> codes;
  for (const Call& c : frame->calls) {
    if (c.name == "KeyDown" || c.name == "KeyUp") {
      names.push_back(c.name);
      codes.push_back(c.a);
    }
  }
  EXPECT_EQ(names, expected);
  EXPECT_EQ(codes, keys);
}

TEST_F(kxSDLWrapperTest, MinimiseAndFocusPauseAndResumeDrawing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushKey(SDL_KEYUP, SDLK_a);
  PushWindow(SDL_WINDOWEVENT_MINIMIZED);
  PushKey(SDL_KEYUP, SDLK_b);  // still handled while paused
  PushWindow(SDL_WINDOWEVENT_RESTORED);
  PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);  // resumes without a restore
  PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);  // not paused: nothing
  PushQuit();
  RunLoop();
  std::vector<std::string> expected = {"KeyUp",     "Render",   "LostFocus", "KeyUp",
                                       "SetFocus",  "Render",   "LostFocus", "SetFocus",
                                       "Render",    "Render",   "Render",    "BeforeClose"};
  EXPECT_EQ(frame->Names(), expected);
  // Pacing goes on while paused: every iteration is counted.
  EXPECT_EQ(frame->Frames(), 8u);
}

TEST_F(kxSDLWrapperTest, ResizeUpdatesSizesAndDrawsAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Open());
  float aspect = frame->GetAspect();
  PushWindow(SDL_WINDOWEVENT_RESIZED, 800, 600);
  PushQuit();
  RunLoop();
  EXPECT_EQ(frame->GetWidth(), 800);
  EXPECT_EQ(frame->GetHeight(), 600);
  EXPECT_EQ(kxGetScreenWidth(), 800);
  EXPECT_EQ(kxGetScreenHeight(), 600);
  EXPECT_EQ(frame->GetGUIManager()->GetWidth(), 800);
  EXPECT_EQ(frame->GetGUIManager()->GetHeight(), 600);
  EXPECT_EQ(frame->GetAspect(), aspect);
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  // The resize frame draws twice (resize, then the loop) and counts both.
  std::vector<Call> renders = frame->Named("Render");
  ASSERT_EQ(renders.size(), 3u);
  EXPECT_EQ(renders[0].frame, 0u);
  EXPECT_EQ(renders[1].frame, 1u);
  EXPECT_EQ(frame->Frames(), 3u);
}

TEST_F(kxSDLWrapperTest, RefreshDrawsOneFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // The splash of Init counted the first 180 frames.
  ASSERT_EQ(frame->Frames(), 180u);
  frame->Refresh();
  frame->Refresh();
  EXPECT_EQ(frame->renders, 2);
  EXPECT_EQ(frame->Frames(), 182u);
}

TEST_F(kxSDLWrapperTest, RunLeavesTheProcessRandomSequenceAlone) {
  ASSERT_NO_FATAL_FAILURE(Open());
  srand(1234);
  int first = rand();
  int second = rand();
  srand(1234);
  frame->stopAfterRenders = 1;
  RunLoop();
  EXPECT_EQ(rand(), first);
  EXPECT_EQ(rand(), second);
}

// ---- Pointer ---------------------------------------------------------------

TEST_F(kxSDLWrapperTest, MotionReportsPreviousMinusNewAndSkipsStillMoves) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushMotion(10, 10);
  PushKey(SDL_KEYUP, SDLK_a);
  PushMotion(15, 10);
  PushKey(SDL_KEYUP, SDLK_a);
  PushMotion(15, 10);  // same position: no callback
  PushQuit();
  RunLoop();
  std::vector<Call> moves = frame->Named("Motion");
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ((std::vector<int>{moves[0].a, moves[0].b, moves[0].c, moves[0].d}),
            (std::vector<int>{10, 10, -10, -10}));
  EXPECT_EQ((std::vector<int>{moves[1].a, moves[1].b, moves[1].c, moves[1].d}),
            (std::vector<int>{15, 10, -5, 0}));
  EXPECT_NEAR(frame->DragX(), -5.0f * 11.0f / 9.05f, 1e-5f);
  EXPECT_EQ(frame->DragY(), 0.0f);
}

TEST_F(kxSDLWrapperTest, MotionRunsCoalesceWithoutCrossingOtherEvents) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushMotion(10, 10);
  PushMotion(20, 20);
  PushKey(SDL_KEYUP, SDLK_x);
  PushMotion(30, 30);
  PushMotion(35, 30);
  PushMotion(40, 40);
  PushQuit();
  RunLoop();
  std::vector<std::string> expected = {"Motion", "Render", "KeyUp", "Render",
                                       "Motion", "Render", "Render", "BeforeClose"};
  EXPECT_EQ(frame->Names(), expected);
  std::vector<Call> moves = frame->Named("Motion");
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ((std::vector<int>{moves[0].a, moves[0].b, moves[0].c, moves[0].d}),
            (std::vector<int>{20, 20, -20, -20}));
  EXPECT_EQ((std::vector<int>{moves[1].a, moves[1].b, moves[1].c, moves[1].d}),
            (std::vector<int>{40, 40, -20, -20}));
  EXPECT_EQ(frame->Frames(), 4u);
}

TEST_F(kxSDLWrapperTest, ButtonsUseThePositionReachedBeforeThem) {
  ASSERT_NO_FATAL_FAILURE(Open());
  kxGUIManager* gui = frame->GetGUIManager();
  CountingControl* near = new CountingControl(1, 0, 0, 35, 35);
  CountingControl* far = new CountingControl(2, 36, 36, 100, 100);
  gui->AppendControl(near);
  gui->AppendControl(far);
  PushMotion(10, 10);
  PushMotion(20, 15);
  PushMotion(30, 20);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  PushMotion(50, 50);
  PushMotion(60, 60);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
  PushQuit();
  RunLoop();
  EXPECT_EQ(near->downs, 1);
  EXPECT_EQ(far->downs, 0);
  EXPECT_TRUE(near->GetPressed());
  EXPECT_EQ(far->ups, 1);
  EXPECT_TRUE(frame->guiClicks.empty());  // released over a control never pressed
  std::vector<Call> ups = frame->Named("LMBUp");
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].a, 60);
  EXPECT_EQ(ups[0].b, 60);
  EXPECT_EQ(ups[0].frame, 3u);
  EXPECT_EQ(frame->Named("Motion").size(), 2u);
}

TEST_F(kxSDLWrapperTest, RightButtonAndMouseLeaveFlags) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  PushQuit();
  RunLoop();
  EXPECT_TRUE(frame->RightDown());
  EXPECT_TRUE(frame->LeftDown());
  frame->OnMouseLeave();
  EXPECT_FALSE(frame->RightDown());
  EXPECT_FALSE(frame->LeftDown());
}

TEST_F(kxSDLWrapperTest, ClickQueuedInOneFrameReachesGameAtStartOfNext) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* button = new CountingControl(7, 100, 100, 50, 20);
  frame->GetGUIManager()->AppendControl(button);
  PushMotion(120, 110);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
  PushKey(SDL_KEYUP, SDLK_a);
  PushQuit();
  RunLoop();
  ASSERT_EQ(frame->guiClicks.size(), 1u);
  EXPECT_EQ(frame->guiClicks[0], button);
  EXPECT_EQ(frame->guiClickFrames[0], 3u);  // released in frame 2 (0-based)
  std::vector<std::string> names = frame->Names();
  auto click = std::find(names.begin(), names.end(), "GUIClick");
  ASSERT_NE(click, names.end());
  EXPECT_EQ(*(click + 1), "KeyUp");  // before that frame's input
}

TEST_F(kxSDLWrapperTest, DoubleClickWithinTwoHundredMilliseconds) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* target = new CountingControl(3, 0, 0, 500, 500);
  frame->GetGUIManager()->AppendControl(target);
  // Presses 150 ms apart, each released 50 ms later.
  UseScriptedClock({1000, 1100, 1150, 1250, 1300, 1400, 1450, 1500});
  PushMotion(100, 100);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1100: GUI press
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 1150: click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1250: double click
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 1300: nothing
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1400: GUI press again
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 1450: click
  PushQuit();
  RunLoop();
  std::vector<std::string> pointer;
  for (const std::string& n : frame->Names())
    if (n == "LMBUp" || n == "DblClick") pointer.push_back(n);
  EXPECT_EQ(pointer, (std::vector<std::string>{"LMBUp", "DblClick", "LMBUp"}));
  EXPECT_EQ(target->downs, 2);
  EXPECT_EQ(target->ups, 2);
  EXPECT_EQ(frame->guiClicks.size(), 2u);
}

TEST_F(kxSDLWrapperTest, DoubleClickWindowBoundaryAndZeroTicks) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* target = new CountingControl(3, 0, 0, 500, 500);
  frame->GetGUIManager()->AppendControl(target);
  // A tick reading of 0 counts as 1, so a click completed at "0" is still a
  // click; the press 150 ms later is a double click. Then: 200 ms after a
  // click is a new press, 199 ms is a double click.
  UseScriptedClock({0, 0, 0, 150, 160, 360, 400, 599, 650});
  PushMotion(5, 5);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 0: GUI press
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 0 (1): click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 150: double click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 160: GUI press (reset)
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 360: click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 400: double click
  PushQuit();
  RunLoop();
  std::vector<std::string> pointer;
  for (const std::string& n : frame->Names())
    if (n == "LMBUp" || n == "DblClick") pointer.push_back(n);
  EXPECT_EQ(pointer, (std::vector<std::string>{"LMBUp", "DblClick", "LMBUp", "DblClick"}));
  EXPECT_EQ(target->downs, 2);

  frame.reset();
  ASSERT_NO_FATAL_FAILURE(Open());
  target = new CountingControl(3, 0, 0, 500, 500);
  frame->GetGUIManager()->AppendControl(target);
  UseScriptedClock({1000, 1000, 1050, 1250, 1300, 1499, 1600});
  PushMotion(5, 5);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1000: press
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 1050: click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1250: exactly 200: press
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);    // t 1300: click
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // t 1499: 199: double click
  PushQuit();
  RunLoop();
  pointer.clear();
  for (const std::string& n : frame->Names())
    if (n == "LMBUp" || n == "DblClick") pointer.push_back(n);
  EXPECT_EQ(pointer, (std::vector<std::string>{"LMBUp", "LMBUp", "DblClick"}));
  EXPECT_EQ(target->downs, 2);
}

TEST_F(kxSDLWrapperTest, WheelMovesCameraByRecomputedSteps) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushWheel(1);
  PushQuit();
  RunLoop();
  EXPECT_FLOAT_EQ(frame->CamZ(), 9.0f);
  EXPECT_FLOAT_EQ(frame->Zoom(), 0.09f);

  frame.reset();
  ASSERT_NO_FATAL_FAILURE(Open());
  PushWheel(-1);
  PushWheel(0);  // no upward motion counts as down
  PushQuit();
  RunLoop();
  EXPECT_FLOAT_EQ(frame->CamZ(), 13.13f);
  EXPECT_FLOAT_EQ(frame->Zoom(), 0.1313f);
}

TEST_F(kxSDLWrapperTest, TouchIsConvertedAndNotCountedTwice) {
  ASSERT_NO_FATAL_FAILURE(Open());  // 1280 x 720
  CountingControl* target = new CountingControl(4, 0, 0, 1280, 720);
  frame->GetGUIManager()->AppendControl(target);
  // SDL's mouse copies of a tap, interleaved as SDL produces them.
  PushMotion(9, 9, SDL_TOUCH_MOUSEID);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
  PushFinger(SDL_FINGERDOWN, 0.5f, 0.25f);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
  PushFinger(SDL_FINGERUP, 0.5f, 0.25f);
  PushQuit();
  RunLoop();
  EXPECT_TRUE(frame->Named("DblClick").empty());
  std::vector<Call> ups = frame->Named("LMBUp");
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].a, 640);
  EXPECT_EQ(ups[0].b, 180);
  EXPECT_EQ(target->downs, 1);
  std::vector<Call> moves = frame->Named("Motion");
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].a, 640);
  ASSERT_EQ(frame->guiClicks.size(), 1u);
}

TEST_F(kxSDLWrapperTest, FingerMotionScalesAndClampsToTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Open());  // 1280 x 720
  PushFinger(SDL_FINGERMOTION, 0.1f, 0.9f);
  PushKey(SDL_KEYUP, SDLK_a);
  PushFinger(SDL_FINGERMOTION, 1.5f, -0.2f);
  PushKey(SDL_KEYUP, SDLK_a);
  PushFinger(SDL_FINGERMOTION, NAN, 1.0f);
  PushQuit();
  RunLoop();
  std::vector<Call> moves = frame->Named("Motion");
  ASSERT_EQ(moves.size(), 3u);
  // 0.1 -> 3276/32768 of 1280 = 127 (truncated); 0.9 -> 29491/32768 of 720.
  EXPECT_EQ(moves[0].a, 127);
  EXPECT_EQ(moves[0].b, 647);
  EXPECT_EQ(moves[1].a, 1280);
  EXPECT_EQ(moves[1].b, 0);
  EXPECT_EQ(moves[2].a, 0);
  EXPECT_EQ(moves[2].b, 720);
}

// ---- Camera and grid -------------------------------------------------------

void Transform(const GLfloat* m, const float* p, float* out) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

TEST_F(kxSDLWrapperTest, PilotViewTurnsBeforeAndAfterTheTilt) {
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Case {
    float angle[3];
    float offset[3];  // point relative to the camera position
    float expected[3];
  } cases[] = {
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {{0, 0, 90}, {0, 1, 0}, {0, 0, 1}},   // tilt about x
      {{90, 0, 90}, {1, 0, 0}, {0, 1, 0}},  // tilt, then the first z turn
      {{0, 90, 90}, {1, 0, 0}, {0, 0, 1}},  // second z turn, then the tilt
  };
  float position[3] = {1, 2, 3};
  for (const Case& c : cases) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    float angle[3] = {c.angle[0], c.angle[1], c.angle[2]};
    frame->PilotView(position, angle);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    float p[3] = {position[0] + c.offset[0], position[1] + c.offset[1],
                  position[2] + c.offset[2]};
    float out[3];
    Transform(m, p, out);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], c.expected[i], 1e-5f) << "axis " << i;
  }
}

// Lines the grid sends through the pipeline, counted with GL feedback.
int GridLines(kxSDLWrapper* frame, int w, int d, int n) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Scale every grid into the clip volume so nothing is clipped away.
  float extent = static_cast<float>(std::max(std::abs(w), std::abs(d))) + 1.0f;
  glScalef(1.0f / extent, 1.0f / extent, 1.0f);
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  frame->RenderGrid(w, d, n);
  GLint used = glRenderMode(GL_RENDER);
  if (used < 0) return -1;  // overflow
  int lines = 0;
  for (GLint i = 0; i < used;) {
    GLfloat token = buffer[i];
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      ++lines;
      i += 5;
    } else {
      return -2;
    }
  }
  return lines;
}

TEST_F(kxSDLWrapperTest, GridDrawsDivisionsAndNothingWithoutThem) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // 4 x 2 in 4 divisions: x = -2, -1, 0, 1 and y = -1, -0.5, 0, 0.5.
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 4), 8);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 1), 2);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 0), 0);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, -3), 0);
  // Steps far below the spacing of floats must not hang the loop.
  int lines = GridLines(frame.get(), 2000000000, 2, 2000000000);
  EXPECT_GE(lines, 1);
  EXPECT_LE(lines, 8);
}

}  // namespace
