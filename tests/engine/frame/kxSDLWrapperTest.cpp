// Drives the real frame on a window under Xvfb: events are pushed with
// SDL_PushEvent and a recording subclass logs every callback as
// "Name args@frame", so one event per frame and callback order are checked
// together. Each test is one Init (they are slow), with one scripted run.
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

class RecordingFrame : public kxSDLWrapper {
 public:
  RecordingFrame(int w, int h, bool fs) : kxSDLWrapper(w, h, fs, false) {}

  std::vector<std::string> log;
  int renders = 0, stopAfterRenders = -1;
  bool beforeInitResult = true, afterInitResult = true, contextInBeforeInit = false;

  void Log(std::string entry, std::initializer_list<int> args = {}) {
    for (int a : args) entry += " " + std::to_string(a);
    log.push_back(entry + "@" + std::to_string(frameCounter));
  }
  // The log on one line; Render entries only when asked for.
  std::string Trace(bool withRenders = false) const {
    std::string out;
    for (const std::string& e : log)
      if (withRenders || e.rfind("Render@", 0) != 0) out += (out.empty() ? "" : " ") + e;
    return out;
  }

  void Render() override {
    Log("Render");
    if (++renders == stopAfterRenders) EndMainLoop();
    if (renders > 600) {  // a lost quit event must not hang the suite
      ADD_FAILURE() << "loop did not end";
      EndMainLoop();
    }
  }
  bool OnBeforeInit() override {
    contextInBeforeInit = SDL_GL_GetCurrentContext() != nullptr;
    Log("BeforeInit");
    return beforeInitResult;
  }
  bool OnAfterInit() override {
    Log("AfterInit");
    return afterInitResult;
  }
  void OnBeforeClose() override { Log("BeforeClose"); }
  void OnLMBUp(int x, int y) override { Log("LMBUp", {x, y}); }
  void OnMouseMotion(int x, int y, int dx, int dy) override { Log("Motion", {x, y, dx, dy}); }
  void OnKeyDown(unsigned int key) override { Log("KeyDown", {static_cast<int>(key)}); }
  void OnKeyUp(unsigned int key) override { Log("KeyUp", {static_cast<int>(key)}); }
  void OnDblClick() override { Log("DblClick"); }
  void OnLostFocus() override { Log("LostFocus"); }
  void OnSetFocus() override { Log("SetFocus"); }
  // Reads the control, so a freed one is caught by the address sanitizer.
  void OnGUIClick(kxGUIObject* object) override { Log("Click", {static_cast<int>(object->GetID())}); }

  uint32_t Frames() const { return frameCounter; }
  void ZeroFrames() { frameCounter = 0; }
  float CamZ() const { return camPosition[2]; }
  float Zoom() const { return zoomStep; }
  float DragX() const { return dragX; }
  bool LeftDown() const { return leftButtonDown; }
  bool RightDown() const { return rightButtonDown; }
  SDL_Window* Window() const { return window; }
  using kxSDLWrapper::SetTickSource;
  using kxSDLWrapper::SetWindowCreator;
};

class CountingControl : public kxGUIObject {
 public:
  CountingControl(unsigned id, int l, int t, int w, int h) : kxGUIObject(id, l, t, w, h) {}
  int downs = 0, ups = 0;
  void OnLMBDown() override { ++downs; }
  void OnLMBUp() override { ++ups; }
};

// Only pushed events reach the loop: the real window's own events would take
// frames of their own and make the counts depend on the display server.
Uint32 gRealWindowID = 0;
int KeepPushedEvents(void*, SDL_Event* e) {
  switch (e->type) {
    case SDL_QUIT:
    case SDL_USEREVENT:
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION: return 1;
    case SDL_WINDOWEVENT: return e->window.windowID != gRealWindowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return e->key.windowID != gRealWindowID;
    case SDL_MOUSEMOTION: return e->motion.windowID != gRealWindowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e->button.windowID != gRealWindowID;
    case SDL_MOUSEWHEEL: return e->wheel.windowID != gRealWindowID;
    default: return 0;
  }
}

// Scripted clock: frame i reads times[i]; the last entry holds afterwards.
std::vector<uint32_t> gTimes;
RecordingFrame* gClockFrame = nullptr;
uint32_t ScriptedTicks() {
  size_t i = std::min<size_t>(gClockFrame ? gClockFrame->Frames() : 0, gTimes.size() - 1);
  return gTimes[i];
}
// Always a little late, so the splash inside Init runs without sleeping.
uint32_t gFastNow = 1000;
uint32_t HurriedTicks() { return gFastNow += 20; }

SDL_Event Blank(Uint32 type) {
  SDL_Event e;
  SDL_zero(e);
  e.type = type;
  return e;
}
void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
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
// The event's own position is far away: the frame must use the stored one.
void PushButton(Uint32 type, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0) {
  SDL_Event e = Blank(type);
  e.button.which = which;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = e.button.y = 9999;
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

// SDL_Quit unloads the GL driver, whose process-long allocations would then
// show in leak reports without a module name; pinning keeps them named.
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
  // Opens a frame and leaves it with an empty queue only pushed events enter.
  void Open(bool fullscreen = true, int w = 640, int h = 480) {
    frame.reset(new RecordingFrame(w, h, fullscreen));
    frame->SetTickSource(HurriedTicks);
    ASSERT_TRUE(frame->Init()) << SDL_GetError();
    frame->SetTickSource(nullptr);
    PinLoadedLibraries();
    gRealWindowID = SDL_GetWindowID(frame->Window());
    SDL_PumpEvents();
    SDL_SetEventFilter(KeepPushedEvents, nullptr);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    frame->log.clear();
  }
  // Run's pacer reads the clock before it zeroes the counter the splash
  // left at 180, so the counter is zeroed here for that reading to be times[0].
  void UseScriptedClock(std::vector<uint32_t> times) {
    gTimes = std::move(times);
    frame->ZeroFrames();
    gClockFrame = frame.get();
    frame->SetTickSource(ScriptedTicks);
  }
  int RunLoop() {
    char arg0[] = "test";
    char* argv[] = {arg0, nullptr};
    return frame->Run(1, argv);
  }
  CountingControl* Control(unsigned id, int l, int t, int w, int h) {
    CountingControl* c = new CountingControl(id, l, t, w, h);
    frame->GetGUIManager()->AppendControl(c);
    return c;
  }
  std::unique_ptr<RecordingFrame> frame;
};

// Object-space point transformed by a column-major GL matrix.
void Transform(const GLfloat* m, const float* p, float* out) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

// Lines RenderGrid sends down the pipeline, counted with GL feedback.
int GridLines(kxSDLWrapper* frame, int w, int d, int n) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  float extent = static_cast<float>(std::max(std::abs(w), std::abs(d))) + 1.0f;
  glScalef(1.0f / extent, 1.0f / extent, 1.0f);
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  frame->RenderGrid(w, d, n);
  GLint used = glRenderMode(GL_RENDER);
  int lines = 0;
  for (GLint i = 0; i < used; i += 5) {
    if (buffer[i] != GL_LINE_TOKEN && buffer[i] != GL_LINE_RESET_TOKEN) return -2;
    ++lines;
  }
  return used < 0 ? -1 : lines;
}

TEST_F(kxSDLWrapperTest, FullScreenInitStateCameraGridAndRefresh) {
  ASSERT_NO_FATAL_FAILURE(Open(true, 640, 480));
  // The desktop mode wins over the requested size, everywhere.
  EXPECT_EQ(frame->GetWidth(), 1280);
  EXPECT_EQ(frame->GetHeight(), 720);
  EXPECT_EQ(kxGetScreenWidth(), 1280);
  EXPECT_EQ(kxGetScreenHeight(), 720);
  EXPECT_FLOAT_EQ(frame->GetAspect(), 1280.0f / 720.0f);
  EXPECT_TRUE(frame->contextInBeforeInit);
  kxGUIManager* gui = frame->GetGUIManager();
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(gui->GetWidth(), 1280);
  EXPECT_EQ(gui->GetWrapperPtr(), frame.get());
  EXPECT_NE(engineResources, nullptr);
  EXPECT_EQ(frame->Frames(), 180u) << "the splash counted its frames";

  frame->InitGL();  // the splash left its own state; this is the frame's
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
  GLfloat p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[5], 1.7320508f, 1e-4f);  // 60-degree vertical field: cot 30
  EXPECT_NEAR(p[0], 1.7320508f / (1280.0f / 720.0f), 1e-4f);
  EXPECT_NEAR(p[11], -1.0f, 1e-6f);

  // PilotView: the tilt about x sits between the two turns about z.
  struct {
    float angle[3], offset[3], expected[3];
  } views[] = {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
               {{0, 0, 90}, {0, 1, 0}, {0, 0, 1}},
               {{90, 0, 90}, {1, 0, 0}, {0, 1, 0}},
               {{0, 90, 90}, {1, 0, 0}, {0, 0, 1}}};
  float position[3] = {1, 2, 3};
  for (auto& v : views) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    frame->PilotView(position, v.angle);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    float at[3] = {position[0] + v.offset[0], position[1] + v.offset[1], position[2] + v.offset[2]}, out[3];
    Transform(m, at, out);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], v.expected[i], 1e-5f) << "angle z " << v.angle[2];
  }

  // Grid: n lines each way, none without divisions, and no endless loop
  // when the step falls below the spacing of floats.
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 4), 8);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 1), 2);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, 0), 0);
  EXPECT_EQ(GridLines(frame.get(), 4, 2, -3), 0);
  int lines = GridLines(frame.get(), 2000000000, 2, 2000000000);
  EXPECT_GE(lines, 1);
  EXPECT_LE(lines, 8);

  frame->Refresh();
  frame->Refresh();
  EXPECT_EQ(frame->Trace(true), "Render@180 Render@181");
  EXPECT_EQ(frame->Frames(), 182u);
}

TEST_F(kxSDLWrapperTest, InitFailuresAndCallbackOrder) {
  frame.reset(new RecordingFrame(320, 240, false));
  frame->beforeInitResult = false;
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetGUIManager(), nullptr);
  EXPECT_EQ(frame->Trace(), "BeforeInit@0");

  // OnAfterInit runs last, after the splash, and its result is Init's.
  frame.reset(new RecordingFrame(320, 240, false));
  frame->afterInitResult = false;
  frame->SetTickSource(HurriedTicks);
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_NE(frame->GetGUIManager(), nullptr);
  EXPECT_EQ(frame->Trace(), "BeforeInit@0 AfterInit@180");

  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  frame.reset(new RecordingFrame(320, 240, false));
  bool ok = frame->Init();
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(ok);
  EXPECT_TRUE(frame->log.empty());
}

int gAttempts = 0, gRefuseFirst = 0;
SDL_Window* RefuseFirstAttempts(const char* title, int x, int y, int w, int h, Uint32 flags) {
  if (++gAttempts <= gRefuseFirst) {
    SDL_SetError("no such visual");
    return nullptr;
  }
  return SDL_CreateWindow(title, x, y, w, h, flags);
}

TEST_F(kxSDLWrapperTest, WindowedInitFallsBackToFewerSamplesThenFails) {
  struct {
    int refused, attempts;
    bool ok;
    GLint minSamples, maxSamples;
  } rows[] = {{1, 2, true, 2, 64}, {2, 3, true, 0, 0}, {3, 3, false, -1, -1}};
  for (auto& row : rows) {
    SCOPED_TRACE(row.refused);
    gAttempts = 0;
    gRefuseFirst = row.refused;
    frame.reset(new RecordingFrame(320, 240, false));
    frame->SetWindowCreator(RefuseFirstAttempts);
    frame->SetTickSource(HurriedTicks);
    ASSERT_EQ(frame->Init(), row.ok);
    PinLoadedLibraries();
    EXPECT_EQ(gAttempts, row.attempts);
    GLint samples = -1;
    if (row.ok) {
      glGetIntegerv(GL_SAMPLES, &samples);
      EXPECT_EQ(frame->GetWidth(), 320);  // windowed: the requested size
      EXPECT_EQ(kxGetScreenHeight(), 240);
    } else {
      EXPECT_EQ(frame->Window(), nullptr);
      EXPECT_TRUE(frame->log.empty());
    }
    EXPECT_GE(samples, row.minSamples);
    EXPECT_LE(samples, row.maxSamples);
  }
  frame.reset();
}

TEST_F(kxSDLWrapperTest, KeysFocusPauseAndQuitOneEventPerFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PushKey(SDL_KEYDOWN, SDLK_a);  // a press also releases
  PushKey(SDL_KEYUP, SDLK_a);
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE);  // except Escape and Back
  PushKey(SDL_KEYUP, SDLK_ESCAPE);
  PushKey(SDL_KEYDOWN, SDLK_AC_BACK);
  PushKey(SDL_KEYUP, SDLK_AC_BACK);
  PushKey(SDL_KEYDOWN, SDLK_PLUS, 1);  // auto-repeat is a press
  PushWindow(SDL_WINDOWEVENT_MINIMIZED);
  PushKey(SDL_KEYUP, SDLK_b);  // handled while paused, not drawn
  PushWindow(SDL_WINDOWEVENT_RESTORED);
  PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);  // resumes without a restore
  PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);  // not paused: nothing
  PushQuit();
  PushKey(SDL_KEYDOWN, SDLK_c);  // behind the quit: never handled
  EXPECT_EQ(RunLoop(), 0);
  const std::string back = std::to_string(SDLK_AC_BACK);
  EXPECT_EQ(frame->Trace(true),
            "KeyDown 97@0 KeyUp 97@0 Render@0 KeyUp 97@1 Render@1 KeyDown 27@2 Render@2 "
            "KeyUp 27@3 Render@3 KeyDown " + back + "@4 Render@4 KeyUp " + back + "@5 Render@5 "
            "KeyDown 43@6 KeyUp 43@6 Render@6 LostFocus@7 KeyUp 98@8 SetFocus@9 Render@9 "
            "LostFocus@10 SetFocus@11 Render@11 Render@12 Render@13 BeforeClose@14");
}

TEST_F(kxSDLWrapperTest, ResizeEndMainLoopAndTheProcessRandomSequence) {
  ASSERT_NO_FATAL_FAILURE(Open());
  float aspect = frame->GetAspect();
  srand(1234);
  int first = rand(), second = rand();
  srand(1234);
  PushWindow(SDL_WINDOWEVENT_RESIZED, 800, 600);
  frame->stopAfterRenders = 3;
  EXPECT_EQ(RunLoop(), 0);
  // The resize draws at once and counts a frame; EndMainLoop finishes the
  // iteration it is called in.
  EXPECT_EQ(frame->Trace(true), "Render@0 Render@1 Render@2 BeforeClose@3");
  EXPECT_EQ(rand(), first) << "the engine must not reseed the process";
  EXPECT_EQ(rand(), second);
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
}

TEST_F(kxSDLWrapperTest, MotionCoalescesUpToButtonsAndClicksArriveNextFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* near = Control(1, 0, 0, 35, 35);
  CountingControl* far = Control(2, 36, 36, 100, 100);
  CountingControl* button = Control(7, 200, 200, 50, 20);
  std::vector<uint32_t> times;  // a second apart: no double clicks
  for (uint32_t i = 1; i <= 20; ++i) times.push_back(1000 * i);
  UseScriptedClock(times);
  PushMotion(10, 10);  // frame 0: one callback with the summed movement
  PushMotion(20, 15);
  PushMotion(30, 20);
  PushButton(SDL_MOUSEBUTTONDOWN);  // 1: at 30,20, never past the motion
  PushMotion(50, 50);               // 2
  PushMotion(60, 60);
  PushButton(SDL_MOUSEBUTTONUP);    // 3: at 60,60 over a control never pressed
  PushMotion(220, 210);             // 4
  PushButton(SDL_MOUSEBUTTONDOWN);  // 5
  PushButton(SDL_MOUSEBUTTONUP);    // 6: queues the click
  PushKey(SDL_KEYUP, SDLK_a);       // 7: the click comes before this input
  PushMotion(220, 210);             // 8: no movement, no callback
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
  PushButton(SDL_MOUSEBUTTONDOWN);
  PushQuit();
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 30 20 -30 -20@0 Motion 60 60 -30 -40@2 LMBUp 60 60@3 "
            "Motion 220 210 -160 -150@4 LMBUp 220 210@6 Click 7@7 KeyUp 97@7 BeforeClose@12");
  EXPECT_EQ(near->downs, 1);
  EXPECT_TRUE(near->GetPressed());
  EXPECT_EQ(far->downs, 0);
  EXPECT_EQ(far->ups, 1);
  EXPECT_EQ(button->downs, 2);
  EXPECT_EQ(button->ups, 1);
  EXPECT_NEAR(frame->DragX(), -160.0f * 11.0f / 9.05f, 1e-3f);
  EXPECT_TRUE(frame->RightDown());
  EXPECT_TRUE(frame->LeftDown());
  frame->OnMouseLeave();
  EXPECT_FALSE(frame->RightDown());
  EXPECT_FALSE(frame->LeftDown());
}

TEST_F(kxSDLWrapperTest, DoubleClickWithinTwoHundredMilliseconds) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* target = Control(3, 0, 0, 500, 500);
  // A reading of 0 counts as 1, so a click at "0" is still a click; a press
  // 199 ms after a click is a double click, 200 ms is a new press; the
  // release of a double click is ignored, and the next press starts afresh.
  UseScriptedClock({0, 0, 0, 150, 160, 360, 400, 500, 700, 750, 950, 1000, 1199, 1300});
  PushMotion(5, 5);
  PushButton(SDL_MOUSEBUTTONDOWN);  // 1 at 0: press
  PushButton(SDL_MOUSEBUTTONUP);    // 2 at 0: click
  PushButton(SDL_MOUSEBUTTONDOWN);  // 3 at 150: double click
  PushButton(SDL_MOUSEBUTTONDOWN);  // 4 at 160: press
  PushButton(SDL_MOUSEBUTTONUP);    // 5 at 360: click
  PushButton(SDL_MOUSEBUTTONDOWN);  // 6 at 400: double click
  PushButton(SDL_MOUSEBUTTONUP);    // 7 at 500: ignored
  PushButton(SDL_MOUSEBUTTONDOWN);  // 8 at 700: press
  PushButton(SDL_MOUSEBUTTONUP);    // 9 at 750: click
  PushButton(SDL_MOUSEBUTTONDOWN);  // 10 at 950, 200 later: press
  PushButton(SDL_MOUSEBUTTONUP);    // 11 at 1000: click
  PushButton(SDL_MOUSEBUTTONDOWN);  // 12 at 1199: double click
  PushQuit();
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 5 5 -5 -5@0 LMBUp 5 5@2 Click 3@3 DblClick@3 LMBUp 5 5@5 Click 3@6 DblClick@6 "
            "LMBUp 5 5@9 Click 3@10 LMBUp 5 5@11 Click 3@12 DblClick@12 BeforeClose@14");
  EXPECT_EQ(target->downs, 4);
  EXPECT_EQ(target->ups, 4);
}

TEST_F(kxSDLWrapperTest, TouchIsConvertedClampedAndNotCountedTwice) {
  ASSERT_NO_FATAL_FAILURE(Open());  // 1280 x 720
  CountingControl* target = Control(4, 0, 0, 1280, 720);
  // SDL's mouse copies of a tap, interleaved as SDL produces them.
  PushMotion(9, 9, SDL_TOUCH_MOUSEID);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
  PushFinger(SDL_FINGERDOWN, 0.5f, 0.25f);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
  PushFinger(SDL_FINGERUP, 0.5f, 0.25f);
  // Finger motion: 0.1 -> 3276/32768 of 1280 = 127 (truncated), 0.9 ->
  // 29491/32768 of 720 = 647; outside the window or NaN clamps. Wheel steps
  // in between keep the motions apart.
  PushFinger(SDL_FINGERMOTION, 0.1f, 0.9f);
  PushWheel(1);  // 11 - 2 = 9, step 9 / 100
  PushFinger(SDL_FINGERMOTION, 1.5f, -0.2f);
  PushWheel(-1);  // + 1 %
  PushFinger(SDL_FINGERMOTION, NAN, 1.0f);
  PushWheel(0);  // no upward motion counts as down: + 1 %
  PushQuit();
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 640 180 -640 -180@2 LMBUp 640 180@4 Click 4@5 Motion 127 647 513 -467@5 "
            "Motion 1280 0 -1153 647@7 Motion 0 720 1280 -720@9 BeforeClose@12");
  EXPECT_EQ(target->downs, 1);
  EXPECT_FLOAT_EQ(frame->CamZ(), 9.0f * 1.01f * 1.01f);
  EXPECT_FLOAT_EQ(frame->Zoom(), 9.0f * 1.01f * 1.01f / 100.0f);
}

}  // namespace
