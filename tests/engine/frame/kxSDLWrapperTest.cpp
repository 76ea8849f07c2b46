// Drives the real frame under Xvfb with pushed events; a recording subclass
// logs each callback as "Name args@frame", so one event per frame and the
// order of callbacks are checked at once. One Init per test: they are slow.
#include <GL/glew.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "frame/kxSDLWrapper.h"
#include "graphics/kxScreen.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "gui/kxGUIWheelTarget.h"

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
  // Pushed once SDL runs, so the logo splash is what takes them.
  std::vector<SDL_Event> pushDuringSplash;

  bool OnBeforeInit() override {
    contextInBeforeInit = SDL_GL_GetCurrentContext() != nullptr;
    for (SDL_Event e : pushDuringSplash) SDL_PushEvent(&e);
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
  void OnGUIClick(kxGUIObject* object) override {
    Log("Click", {static_cast<int>(object->GetID())});
  }

  uint32_t Frames() const { return frameCounter; }
  void ZeroFrames() { frameCounter = 0; }
  SDL_Window* Window() const { return window; }
  std::vector<float> Camera() const { return {camPosition[2], zoomStep, dragX}; }
  std::vector<bool> Buttons() const { return {leftButtonDown, rightButtonDown}; }
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

// Takes every wheel notch routed to it.
class WheelControl : public kxGUIObject, public kxGUIWheelTarget {
 public:
  WheelControl(unsigned id, int l, int t, int w, int h) : kxGUIObject(id, l, t, w, h) {}
  std::vector<int> notches;
  bool OnMouseWheel(int n) override {
    notches.push_back(n);
    return true;
  }
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
    case SDL_FINGERMOTION:
      return 1;
    case SDL_WINDOWEVENT:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      return e->window.windowID != gRealWindowID;  // the same field in each
    default:
      return 0;
  }
}

// Scripted clock: frame i reads times[i]; the last entry holds afterwards.
std::vector<uint32_t> gTimes;
RecordingFrame* gClockFrame = nullptr;
uint32_t ScriptedTicks() {
  return gTimes[std::min<size_t>(gClockFrame ? gClockFrame->Frames() : 0, gTimes.size() - 1)];
}
// Always a little late, so the splash inside Init runs without sleeping.
uint32_t gFastNow = 1000;
uint32_t HurriedTicks() {
  return gFastNow += 20;
}

// An event of `type`: key (sym, repeat), motion (x, y, which), button
// (button or left, which), wheel (y) or window (event, data1, data2).
SDL_Event Ev(Uint32 type, int a = 0, int b = 0, int c = 0) {
  SDL_Event e;
  SDL_zero(e);
  e.type = type;
  if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
    e.key.keysym.sym = a, e.key.repeat = static_cast<Uint8>(b);
  } else if (type == SDL_MOUSEMOTION) {
    e.motion.x = a, e.motion.y = b, e.motion.which = static_cast<Uint32>(c);
  } else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) {
    e.button.button = static_cast<Uint8>(a ? a : SDL_BUTTON_LEFT);
    e.button.which = static_cast<Uint32>(b);
    e.button.x = e.button.y = 9999;  // far away: the frame must use the stored position
  } else if (type == SDL_MOUSEWHEEL) {
    e.wheel.y = a;
  } else if (type == SDL_WINDOWEVENT) {
    e.window.event = static_cast<Uint8>(a), e.window.data1 = b, e.window.data2 = c;
  }
  return e;
}
SDL_Event Finger(Uint32 type, float x, float y) {
  SDL_Event e = Ev(type);
  e.tfinger.x = x, e.tfinger.y = y;
  return e;
}
SDL_Event Move(int x, int y, int which = 0) {
  return Ev(SDL_MOUSEMOTION, x, y, which);
}
SDL_Event Win(int event, int d1 = 0, int d2 = 0) {
  return Ev(SDL_WINDOWEVENT, event, d1, d2);
}
const SDL_Event kDown = Ev(SDL_MOUSEBUTTONDOWN), kUp = Ev(SDL_MOUSEBUTTONUP);
const SDL_Event kQuit = Ev(SDL_QUIT);
void Push(std::initializer_list<SDL_Event> events) {
  for (SDL_Event e : events) ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

// SDL_Quit unloads the GL driver, whose process-long allocations would then
// show in leak reports without a module name; pinning keeps them named.
int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0])
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
void PinLoadedLibraries() {
  dl_iterate_phdr(PinLibrary, nullptr);
}

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
  kxGUIManager* gui = frame->GetGUIManager();
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ((std::vector<int>{frame->GetWidth(), frame->GetHeight(), kxGetScreenWidth(),
                              kxGetScreenHeight(), gui->GetWidth(), gui->GetHeight()}),
            (std::vector<int>{1280, 720, 1280, 720, 1280, 720}));
  EXPECT_FLOAT_EQ(frame->GetAspect(), 1280.0f / 720.0f);
  EXPECT_TRUE(frame->contextInBeforeInit);
  EXPECT_NE(engineResources, nullptr);
  EXPECT_EQ(frame->Frames(), 180u) << "the splash counted its frames";
  // The manager delivers its clicks to the frame's own OnGUIClick.
  ASSERT_NE(gui->GetWrapperPtr(), nullptr);
  kxGUIObject clicked(42, 0, 0, 1, 1);
  gui->AppendEvent(kxGUIEventClick, &clicked);
  gui->HandleEvents();
  EXPECT_EQ(frame->Trace(), "Click 42@180");
  frame->log.clear();

  frame->InitGL();  // the splash left its own state; this is the frame's
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint state[4] = {0, 0, 0, 0}, viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_MATRIX_MODE, &state[0]);
  glGetIntegerv(GL_BLEND_SRC, &state[1]);
  glGetIntegerv(GL_BLEND_DST, &state[2]);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(std::vector<GLint>(state, state + 3),
            (std::vector<GLint>{GL_MODELVIEW, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
  EXPECT_EQ(std::vector<GLint>(viewport + 2, viewport + 4), (std::vector<GLint>{1280, 720}));
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
    float at[3], out[3];
    for (int i = 0; i < 3; ++i) at[i] = position[i] + v.offset[i];
    Transform(m, at, out);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], v.expected[i], 1e-5f) << v.angle[0];
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

int gAttempts = 0, gRefuseFirst = 0;
SDL_Window* RefuseFirstAttempts(const char* title, int x, int y, int w, int h, Uint32 flags) {
  if (++gAttempts > gRefuseFirst) return SDL_CreateWindow(title, x, y, w, h, flags);
  SDL_SetError("no such visual");
  return nullptr;
}

TEST_F(kxSDLWrapperTest, InitFailuresFallbacksAndCallbackOrder) {
  // Refused 4x: 2x (or more) next; refused 2x too: single-sampled; no window
  // at all: Init fails before any callback. The window keeps its asked size.
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
    frame->SetMultisampling(4);  // the ladder from 4x; the automatic choice is tested below
    frame->SetTickSource(HurriedTicks);
    ASSERT_EQ(frame->Init(), row.ok);
    PinLoadedLibraries();
    EXPECT_EQ(gAttempts, row.attempts);
    GLint samples = -1;
    if (row.ok) glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_GE(samples, row.minSamples);
    EXPECT_LE(samples, row.maxSamples);
    EXPECT_EQ(frame->Window() != nullptr, row.ok);
    EXPECT_EQ(frame->GetInitError(), row.ok ? ieNone : ieWindow) << "a refusal survived";
    EXPECT_STREQ(frame->GetInitErrorDetail(), row.ok ? "" : "no such visual");
    EXPECT_EQ(kxGetScreenWidth(), 320);
    EXPECT_EQ(frame->Trace(), row.ok ? "BeforeInit@0 AfterInit@180" : "");
  }
  // A false OnBeforeInit stops Init before the GUI exists; OnAfterInit's
  // result is Init's; SDL itself may not start.
  frame.reset(new RecordingFrame(320, 240, false));
  frame->beforeInitResult = false;
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetGUIManager(), nullptr);
  EXPECT_EQ(frame->Trace(), "BeforeInit@0");
  frame.reset(new RecordingFrame(320, 240, false));
  frame->afterInitResult = false;
  frame->SetTickSource(HurriedTicks);
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_NE(frame->GetGUIManager(), nullptr);
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  frame.reset(new RecordingFrame(320, 240, false));
  bool ok = frame->Init();
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(ok);
  EXPECT_TRUE(frame->log.empty());
  frame.reset();
}

// Runs Init on a fresh 320 x 240 window with `variable` set to `value` for
// the call (null: nothing set), and restores the test environment after.
void InitWith(std::unique_ptr<RecordingFrame>& frame, const char* variable, const char* value,
              bool* ok) {
  std::string saved = variable && getenv(variable) ? getenv(variable) : "";
  bool had = variable && getenv(variable);
  frame.reset(new RecordingFrame(320, 240, false));
  frame->SetTickSource(HurriedTicks);
  if (variable) setenv(variable, value, 1);
  *ok = frame->Init();
  if (variable && had) setenv(variable, saved.c_str(), 1);
  if (variable && !had) unsetenv(variable);
  PinLoadedLibraries();
}

TEST_F(kxSDLWrapperTest, InitNamesTheFailingStepWithTheLibrarysMessage) {
  frame.reset(new RecordingFrame(320, 240, false));
  EXPECT_EQ(frame->GetInitError(), ieNone);
  EXPECT_STREQ(frame->GetInitErrorDetail(), "");

  struct {
    const char *variable, *value;
    TInitError error;
    const char* inDetail;  // a piece the library's message holds
  } rows[] = {{"SDL_VIDEODRIVER", "no-such-video", ieVideo, "no-such-video"},
              {"SDL_AUDIODRIVER", "no-such-audio", ieAudio, "no-such-audio"}};
  // An OpenGL below 1.5 is the program test's: the GL driver reads its
  // version override once per process.
  for (auto& row : rows) {
    SCOPED_TRACE(row.variable);
    bool ok = true;
    InitWith(frame, row.variable, row.value, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(frame->GetInitError(), row.error);
    EXPECT_NE(std::string(frame->GetInitErrorDetail()).find(row.inDetail), std::string::npos)
        << frame->GetInitErrorDetail();
    EXPECT_EQ(frame->Trace(), "") << "no callback before the failing step";
  }
  // Another library's later error does not replace the one recorded.
  SDL_SetError("something else");
  EXPECT_NE(std::string(frame->GetInitErrorDetail()).find("no-such-audio"), std::string::npos);

  // No window at all: the window creator's message.
  gAttempts = 0;
  gRefuseFirst = 3;
  frame.reset(new RecordingFrame(320, 240, false));
  frame->SetWindowCreator(RefuseFirstAttempts);
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetInitError(), ieWindow);
  EXPECT_STREQ(frame->GetInitErrorDetail(), "no such visual");

  // The callbacks' own refusals, and a success after them.
  frame.reset(new RecordingFrame(320, 240, false));
  frame->beforeInitResult = false;
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetInitError(), ieBeforeInit);
  EXPECT_STREQ(frame->GetInitErrorDetail(), "");
  frame.reset(new RecordingFrame(320, 240, false));
  frame->afterInitResult = false;
  frame->SetTickSource(HurriedTicks);
  EXPECT_FALSE(frame->Init());
  PinLoadedLibraries();
  EXPECT_EQ(frame->GetInitError(), ieAfterInit);
  bool ok = false;
  InitWith(frame, nullptr, nullptr, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(frame->GetInitError(), ieNone);
  EXPECT_STREQ(frame->GetInitErrorDetail(), "");
}

TEST_F(kxSDLWrapperTest, TitleWindowModeAndMultisamplingFollowTheSettings) {
  // Automatic: 4x first; on a software rasteriser the window is made again
  // without samples before any callback runs.
  gAttempts = 0;
  gRefuseFirst = 0;
  frame.reset(new RecordingFrame(320, 240, true));
  frame->SetFullscreen(false);
  frame->SetWindowTitle("kx test");
  frame->SetWindowCreator(RefuseFirstAttempts);
  frame->SetTickSource(HurriedTicks);
  EXPECT_EQ(frame->GetMultisampling(), kxMultisampleAuto);
  ASSERT_TRUE(frame->Init());
  PinLoadedLibraries();
  EXPECT_STREQ(SDL_GetWindowTitle(frame->Window()), "kx test");
  EXPECT_EQ(frame->GetWidth(), 320) << "a window, not the desktop mode";
  std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  EXPECT_EQ(renderer, frame->GetRendererName());
  EXPECT_EQ(frame->IsSoftwareRenderer(), kxGLIsSoftwareRenderer(renderer.c_str()));
  GLint samples = -1;
  glGetIntegerv(GL_SAMPLES, &samples);
  EXPECT_EQ(samples, frame->GetSamples());
  if (frame->IsSoftwareRenderer()) {
    EXPECT_EQ(samples, 0);
    EXPECT_EQ(gAttempts, 2);
  } else {
    EXPECT_GE(samples, 2);
    EXPECT_EQ(gAttempts, 1);
  }
  EXPECT_EQ(frame->Trace(), "BeforeInit@0 AfterInit@180");

  // Asked for explicitly, a count holds on any renderer; no title by default.
  for (int asked : {4, 2, 0}) {
    SCOPED_TRACE(asked);
    gAttempts = 0;
    frame.reset(new RecordingFrame(320, 240, false));
    frame->SetMultisampling(asked);
    frame->SetWindowCreator(RefuseFirstAttempts);
    frame->SetTickSource(HurriedTicks);
    ASSERT_TRUE(frame->Init());
    PinLoadedLibraries();
    EXPECT_EQ(gAttempts, 1);
    EXPECT_STREQ(SDL_GetWindowTitle(frame->Window()), "");
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, frame->GetSamples());
    if (asked == 0)
      EXPECT_EQ(samples, 0);
    else
      EXPECT_GE(samples, asked);
  }
}

TEST_F(kxSDLWrapperTest, ARequestToLeaveDuringTheLogoEndsRunAfterItsFirstFrame) {
  SDL_Event quit = Ev(SDL_QUIT), other = Ev(SDL_KEYDOWN, SDLK_a);
  struct {
    SDL_Event event;
    bool leaves;
  } rows[] = {{quit, true},
              {Ev(SDL_KEYDOWN, SDLK_ESCAPE), true},
              {Ev(SDL_KEYDOWN, SDLK_AC_BACK), true},
              {other, false}};
  for (auto& row : rows) {
    SCOPED_TRACE(row.event.type);
    frame.reset(new RecordingFrame(320, 240, false));
    frame->SetTickSource(HurriedTicks);
    frame->pushDuringSplash = {row.event};
    ASSERT_TRUE(frame->Init());
    PinLoadedLibraries();
    // The request is held by the frame, not the queue: the queue may go.
    gRealWindowID = SDL_GetWindowID(frame->Window());
    SDL_PumpEvents();
    SDL_SetEventFilter(KeepPushedEvents, nullptr);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    frame->stopAfterRenders = 5;
    EXPECT_EQ(RunLoop(), 0);
    // Without waiting for another request: the first frame is the last.
    EXPECT_EQ(frame->Trace(), row.leaves ? "BeforeInit@0 AfterInit@180 BeforeClose@1"
                                         : "BeforeInit@0 AfterInit@180 BeforeClose@5");
    // The request was for that run only.
    frame->log.clear();
    frame->renders = 0;
    frame->stopAfterRenders = 2;
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_EQ(frame->Trace(), "BeforeClose@2");
    SDL_SetEventFilter(nullptr, nullptr);
  }
}

TEST_F(kxSDLWrapperTest, KeysFocusPauseAndQuitOneEventPerFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // A press also releases, except Escape and Back; auto-repeat is a press.
  Push({Ev(SDL_KEYDOWN, SDLK_a), Ev(SDL_KEYUP, SDLK_a), Ev(SDL_KEYDOWN, SDLK_ESCAPE),
        Ev(SDL_KEYUP, SDLK_ESCAPE), Ev(SDL_KEYDOWN, SDLK_AC_BACK), Ev(SDL_KEYUP, SDLK_AC_BACK),
        Ev(SDL_KEYDOWN, SDLK_PLUS, 1)});
  // Minimised: events are handled but nothing is drawn until a restore, or
  // a focus gain while paused; the quit frame finishes, events behind it wait.
  Push({Win(SDL_WINDOWEVENT_MINIMIZED), Ev(SDL_KEYUP, SDLK_b), Win(SDL_WINDOWEVENT_RESTORED),
        Win(SDL_WINDOWEVENT_FOCUS_LOST), Win(SDL_WINDOWEVENT_FOCUS_GAINED),
        Win(SDL_WINDOWEVENT_FOCUS_GAINED), kQuit, Ev(SDL_KEYDOWN, SDLK_c)});
  EXPECT_EQ(RunLoop(), 0);
  const std::string back = std::to_string(SDLK_AC_BACK);
  EXPECT_EQ(frame->Trace(true),
            "KeyDown 97@0 KeyUp 97@0 Render@0 KeyUp 97@1 Render@1 KeyDown 27@2 Render@2 "
            "KeyUp 27@3 Render@3 KeyDown " +
                back + "@4 Render@4 KeyUp " + back +
                "@5 Render@5 "
                "KeyDown 43@6 KeyUp 43@6 Render@6 LostFocus@7 KeyUp 98@8 SetFocus@9 Render@9 "
                "LostFocus@10 SetFocus@11 Render@11 Render@12 Render@13 BeforeClose@14");
}

TEST_F(kxSDLWrapperTest, ResizeEndMainLoopAndTheProcessRandomSequence) {
  ASSERT_NO_FATAL_FAILURE(Open());
  float aspect = frame->GetAspect();
  srand(1234);
  int first = rand(), second = rand();
  srand(1234);
  Push({Win(SDL_WINDOWEVENT_RESIZED, 800, 600)});
  frame->stopAfterRenders = 3;
  EXPECT_EQ(RunLoop(), 0);
  // The resize draws at once and counts a frame; EndMainLoop finishes the
  // iteration it is called in.
  EXPECT_EQ(frame->Trace(true), "Render@0 Render@1 Render@2 BeforeClose@3");
  EXPECT_EQ(rand(), first) << "the engine must not reseed the process";
  EXPECT_EQ(rand(), second);
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  kxGUIManager* gui = frame->GetGUIManager();
  EXPECT_EQ((std::vector<int>{frame->GetWidth(), frame->GetHeight(), kxGetScreenWidth(),
                              kxGetScreenHeight(), gui->GetWidth(), gui->GetHeight(), viewport[2],
                              viewport[3]}),
            (std::vector<int>{800, 600, 800, 600, 800, 600, 800, 600}));
  EXPECT_EQ(frame->GetAspect(), aspect);
  // The density is the screen's, not a ratio to the size delivered: the X
  // server has one pixel per unit of the window's size.
  EXPECT_EQ(frame->GetPixelDensity(), 1.0f);
}

TEST_F(kxSDLWrapperTest, MotionCoalescesUpToButtonsAndClicksArriveNextFrame) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* near = Control(1, 0, 0, 35, 35);
  CountingControl* far = Control(2, 36, 36, 100, 100);
  CountingControl* button = Control(7, 200, 200, 50, 20);
  std::vector<uint32_t> times;  // a second apart: no double clicks
  for (uint32_t i = 1; i <= 20; ++i) times.push_back(1000 * i);
  UseScriptedClock(times);
  // Frame 0 takes the three moves as one; the press (1) is at 30,20; the
  // release (3) at 60,60 lands on a control never pressed; 5 and 6 click the
  // button, whose click comes before frame 7's input; 8 does not move.
  Push({Move(10, 10), Move(20, 15), Move(30, 20), kDown, Move(50, 50), Move(60, 60), kUp,
        Move(220, 210), kDown, kUp, Ev(SDL_KEYUP, SDLK_a), Move(220, 210),
        Ev(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), kDown, kQuit});
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 30 20 -30 -20@0 Motion 60 60 -30 -40@2 LMBUp 60 60@3 "
            "Motion 220 210 -160 -150@4 LMBUp 220 210@6 Click 7@7 KeyUp 97@7 BeforeClose@12");
  EXPECT_EQ((std::vector<int>{near->downs, far->downs, far->ups, button->downs, button->ups}),
            (std::vector<int>{1, 0, 1, 2, 1}));
  EXPECT_TRUE(near->GetPressed());
  EXPECT_NEAR(frame->Camera()[2], -160.0f * 11.0f / 9.05f, 1e-3f) << "drag of the last move";
  EXPECT_EQ(frame->Buttons(), (std::vector<bool>{true, true}));
  frame->OnMouseLeave();
  EXPECT_EQ(frame->Buttons(), (std::vector<bool>{false, false}));
}

TEST_F(kxSDLWrapperTest, DoubleClickWithinTwoHundredMilliseconds) {
  ASSERT_NO_FATAL_FAILURE(Open());
  CountingControl* target = Control(3, 0, 0, 500, 500);
  // A reading of 0 counts as 1, so a click at "0" is still a click; a press
  // 199 ms after a click is a double click, 200 ms a new press; the release
  // of a double click is ignored and the next press starts afresh.
  UseScriptedClock({0, 0, 0, 150, 160, 360, 400, 500, 700, 750, 950, 1000, 1199, 1300});
  Push({Move(5, 5), kDown, kUp, kDown, kDown, kUp, kDown, kUp, kDown, kUp, kDown, kUp, kDown,
        kQuit});
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 5 5 -5 -5@0 LMBUp 5 5@2 Click 3@3 DblClick@3 LMBUp 5 5@5 Click 3@6 "
            "DblClick@6 LMBUp 5 5@9 Click 3@10 LMBUp 5 5@11 Click 3@12 DblClick@12 BeforeClose@14");
  EXPECT_EQ(target->downs, 4);
  EXPECT_EQ(target->ups, 4);
}

TEST_F(kxSDLWrapperTest, TouchIsConvertedClampedAndNotCountedTwice) {
  ASSERT_NO_FATAL_FAILURE(Open());  // 1280 x 720
  CountingControl* target = Control(4, 0, 0, 1280, 720);
  // SDL's mouse copies of a tap, interleaved as SDL produces them.
  Push({Move(9, 9, SDL_TOUCH_MOUSEID), Ev(SDL_MOUSEBUTTONDOWN, 0, SDL_TOUCH_MOUSEID),
        Finger(SDL_FINGERDOWN, 0.5f, 0.25f), Ev(SDL_MOUSEBUTTONUP, 0, SDL_TOUCH_MOUSEID),
        Finger(SDL_FINGERUP, 0.5f, 0.25f)});
  // 0.1 -> 3276/32768 of 1280 = 127 (truncated), 0.9 -> 29491/32768 of 720 =
  // 647; off the window or NaN clamps. The wheel (11 - 2 = 9, then + 1 %
  // twice: 0 counts as down) keeps the finger motions apart.
  Push({Finger(SDL_FINGERMOTION, 0.1f, 0.9f), Ev(SDL_MOUSEWHEEL, 1),
        Finger(SDL_FINGERMOTION, 1.5f, -0.2f), Ev(SDL_MOUSEWHEEL, -1),
        Finger(SDL_FINGERMOTION, NAN, 1.0f), Ev(SDL_MOUSEWHEEL, 0), kQuit});
  RunLoop();
  EXPECT_EQ(frame->Trace(),
            "Motion 640 180 -640 -180@2 LMBUp 640 180@4 Click 4@5 Motion 127 647 513 -467@5 "
            "Motion 1280 0 -1153 647@7 Motion 0 720 1280 -720@9 BeforeClose@12");
  EXPECT_EQ(target->downs, 1);
  EXPECT_FLOAT_EQ(frame->Camera()[0], 9.0f * 1.01f * 1.01f);
  EXPECT_FLOAT_EQ(frame->Camera()[1], 9.0f * 1.01f * 1.01f / 100.0f);
}

TEST_F(kxSDLWrapperTest, TheWheelGoesToAControlUnderThePointerAndElseToTheCamera) {
  ASSERT_NO_FATAL_FAILURE(Open());
  WheelControl* list = new WheelControl(9, 100, 100, 200, 200);
  ASSERT_TRUE(frame->GetGUIManager()->AppendControl(list));
  // Two notches over the control, then one beside it: 11 - 2 = 9, step 0.09.
  Push({Move(150, 150), Ev(SDL_MOUSEWHEEL, -2), Ev(SDL_MOUSEWHEEL, 1), Move(50, 50),
        Ev(SDL_MOUSEWHEEL, 1), kQuit});
  RunLoop();
  EXPECT_EQ(list->notches, (std::vector<int>{-2, 1}));
  EXPECT_FLOAT_EQ(frame->Camera()[0], 9.0f);
  EXPECT_FLOAT_EQ(frame->Camera()[1], 0.09f);
}

}  // namespace
