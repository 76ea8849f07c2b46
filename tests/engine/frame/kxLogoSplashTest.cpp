// The start-up splash: the picture centred and drawn on every frame whether
// or not an event came, one event taken per frame, black when there is no
// picture, a request to leave kept for the caller, and the state it leaves
// behind.
#include <GL/glew.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <vector>

#include "data/kxResource.h"
#include "engine/gui/kxGUITestKit.h"
#include "frame/kxLogoSplash.h"
#include "frame/kxSDLWrapper.h"
#include "gui/kxGUIManager.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

const RGBA kOpaqueBlack{0, 0, 0, 255};

struct Probe {
  int x, y;  // window pixels, y down
  RGBA expected;
};

// Counts, per probe, the frames on which it matched (read before the swap).
class ProbingSplash : public kxLogoSplash {
 public:
  ProbingSplash(int width, int height, std::vector<Probe> probes)
      : kxLogoSplash(SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext(), width, height),
        height(height),
        probes(probes),
        matches(probes.size(), 0) {}
  int height, frames = 0, withPicture = 0, cursorHidden = 0;
  std::vector<Probe> probes;
  std::vector<int> matches;

 protected:
  void OnFrameDrawn(bool pictureShown) override {
    ++frames;
    withPicture += pictureShown;
    cursorHidden += SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE;
    for (size_t i = 0; i < probes.size(); ++i) {
      RGBA p;
      glReadPixels(probes[i].x, height - 1 - probes[i].y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
      matches[i] += p == probes[i].expected;
    }
  }
};

void ExpectEveryProbeOn(const ProbingSplash& splash, int frames) {
  for (size_t i = 0; i < splash.probes.size(); ++i)
    EXPECT_EQ(frames, splash.matches[i])
        << "probe at " << splash.probes[i].x << "," << splash.probes[i].y;
}

class LogoSplashTest : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    if (HasFatalFailure()) return;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Block red = MakeSolidTGA(256, 64, kRed);
    ASSERT_TRUE(red);
    redLogo.Append(red.get(), "kxEngineLogo");
  }
  // The picture's corners and the pixels just outside them.
  static std::vector<Probe> Corners(int x, int y) {
    return {{x, y, kRed},
            {x + 255, y, kRed},
            {x, y + 63, kRed},
            {x + 255, y + 63, kRed},
            {x - 1, y, kOpaqueBlack},
            {x, y - 1, kOpaqueBlack},
            {x + 256, y + 63, kOpaqueBlack},
            {x + 255, y + 64, kOpaqueBlack}};
  }
  kxResource redLogo;
};

TEST_F(LogoSplashTest, DrawsTheCentredPictureOnEveryFrameWithoutEvents) {
  // Integer halves, towards zero on a window smaller than the picture.
  struct {
    int w, h, x, y;
  } sizes[] = {{1024, 768, 384, 352}, {1023, 767, 383, 351}, {200, 50, -28, -7}};
  for (auto& s : sizes) {
    SCOPED_TRACE(s.w);
    int x = 0, y = 0;
    kxLogoSplash::GetLogoPosition(s.w, s.h, &x, &y);
    EXPECT_EQ(s.x, x);
    EXPECT_EQ(s.y, y);
    if (s.w < 256) continue;
    kxTest::Framebuffer fb(s.w, s.h);
    ASSERT_TRUE(fb.IsComplete());
    ProbingSplash splash(s.w, s.h, Corners(s.x, s.y));
    uint32_t counter = 0;
    splash.Run(&redLogo, &counter);
    EXPECT_EQ(180u, counter);
    EXPECT_EQ(180, splash.frames);
    EXPECT_EQ(180, splash.GetPicturesShown());
    EXPECT_EQ(180, splash.withPicture);
    ExpectEveryProbeOn(splash, 180);
  }
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  return e;
}

TEST_F(LogoSplashTest, TakesOneEventPerFrameAndRemembersAQuitRequest) {
  kxTest::Framebuffer fb(320, 200);
  SDL_Event e{};
  e.type = SDL_QUIT;
  ASSERT_EQ(1, SDL_PushEvent(&e));
  e.type = SDL_USEREVENT;
  for (e.user.code = 0; e.user.code < 199; ++e.user.code) ASSERT_EQ(1, SDL_PushEvent(&e));
  ProbingSplash splash(320, 200, Corners(32, 68));
  uint32_t counter = 0;
  splash.Run(&redLogo, &counter);
  EXPECT_EQ(180u, counter) << "the quit request does not cut the splash short";
  EXPECT_TRUE(splash.GetQuitRequested()) << "but it is kept for the caller";
  ExpectEveryProbeOn(splash, 180);
  EXPECT_EQ(0, SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT));
  // 179 frames after the quit leave 20 of 199 (more if a system event slipped in).
  int left = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_USEREVENT);
  EXPECT_GE(left, 20);
  EXPECT_LE(left, 24);
  ASSERT_EQ(1, SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_USEREVENT, SDL_USEREVENT));
  EXPECT_GE(e.user.code, 175) << "taken in order";

  // The next run starts without a request; the remaining events ask nothing.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  counter = 100;
  splash.Run(&redLogo, &counter);
  EXPECT_FALSE(splash.GetQuitRequested());
}

TEST(LogoSplashQuit, EscapeOrBackPressedOrTheWindowClosedAskToLeave) {
  EXPECT_TRUE(kxLogoSplash::IsQuitRequest(KeyEvent(SDL_KEYDOWN, SDLK_ESCAPE)));
  EXPECT_TRUE(kxLogoSplash::IsQuitRequest(KeyEvent(SDL_KEYDOWN, SDLK_AC_BACK)));
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_TRUE(kxLogoSplash::IsQuitRequest(quit));
  // Only the press counts; other keys, clicks and window events do not.
  EXPECT_FALSE(kxLogoSplash::IsQuitRequest(KeyEvent(SDL_KEYUP, SDLK_ESCAPE)));
  EXPECT_FALSE(kxLogoSplash::IsQuitRequest(KeyEvent(SDL_KEYDOWN, SDLK_q)));
  EXPECT_FALSE(kxLogoSplash::IsQuitRequest(KeyEvent(SDL_KEYDOWN, SDLK_SPACE)));
  SDL_Event other{};
  other.type = SDL_MOUSEBUTTONDOWN;
  EXPECT_FALSE(kxLogoSplash::IsQuitRequest(other));
  other.type = SDL_WINDOWEVENT;
  other.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_FALSE(kxLogoSplash::IsQuitRequest(other)) << "SDL follows a close with SDL_QUIT";
}

TEST_F(LogoSplashTest, WithoutAPicturePacesItsFramesOverBlack) {
  kxTest::Framebuffer fb(320, 200);
  kxResource misnamed, junk;
  uint8_t bytes[3] = {1, 2, 3};
  kxMemoryBlock other{bytes, 3};
  misnamed.Append(&other, "kxEngineLogoX");
  Block garbage = MakeGarbageBlock();
  junk.Append(garbage.get(), "kxEngineLogo");
  // From the counter given, and one frame even when already at the end.
  struct {
    kxResource* resources;
    uint32_t start, end;
  } rows[] = {{&misnamed, 0, 180}, {nullptr, 120, 180}, {&junk, 0, 180}, {&junk, 180, 181}};
  for (auto& row : rows) {
    SCOPED_TRACE(row.start);
    ProbingSplash splash(320, 200, {{160, 100, kOpaqueBlack}, {32, 68, kOpaqueBlack}});
    uint32_t counter = row.start;
    splash.Run(row.resources, &counter);
    EXPECT_EQ(row.end, counter);
    EXPECT_EQ(0, splash.withPicture);
    EXPECT_EQ(0, splash.GetPicturesShown());
    ExpectEveryProbeOn(splash, static_cast<int>(row.end - row.start));
  }
}

TEST_F(LogoSplashTest, HidesTheCursorMeanwhileAndLeavesAPixelProjection) {
  kxTest::Framebuffer fb(400, 300);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5.0f, 6.0f, 7.0f);
  SDL_ShowCursor(SDL_ENABLE);
  ProbingSplash splash(400, 300, {});
  uint32_t counter = 170;
  splash.Run(&redLogo, &counter);
  EXPECT_EQ(10, splash.cursorHidden);
  EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(GL_PROJECTION, mode);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  float projection[16], modelview[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  // glOrtho(0, 400, 300, 0, 0, 1): pixels, origin top-left, y down.
  const float ortho[16] = {2.0f / 400, 0, 0, 0, 0, -2.0f / 300, 0, 0, 0, 0, -2, 0, -1, 1, -1, 1};
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(ortho[i], projection[i], 1e-6) << "projection " << i;
    EXPECT_FLOAT_EQ(i % 5 == 0 ? 1.0f : 0.0f, modelview[i]) << "modelview " << i;
  }
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(LogoSplashTest, TheBuiltInLogoShowsBrightLettersBlendedOverBlack) {
  kxTest::Framebuffer fb(640, 480);
  std::unique_ptr<kxGUIManager> manager(kxGUIManager::Create(640, 480));
  ASSERT_NE(nullptr, engineResources);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as the frame sets it
  // On the last frame: bright and soft-edged pixels inside the picture, and
  // anything but opaque black outside it.
  struct Survey : ProbingSplash {
    using ProbingSplash::ProbingSplash;
    int bright = 0, partlyLit = 0, litOutside = 0;
    void OnFrameDrawn(bool shown) override {
      ProbingSplash::OnFrameDrawn(shown);
      if (frames != 180) return;
      std::vector<RGBA> pixels(640 * 480);
      glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
      for (int i = 0; i < 640 * 480; ++i) {
        int x = i % 640, y = 479 - i / 640, sum = pixels[i].r + pixels[i].g + pixels[i].b;
        bool inside = x >= 192 && x < 448 && y >= 208 && y < 272;
        litOutside += !inside && !(pixels[i] == kOpaqueBlack);
        bright += inside && sum > 600;
        partlyLit += inside && sum > 30 && sum < 450;
      }
    }
  } splash(640, 480, {{192, 208, kOpaqueBlack}, {447, 271, kOpaqueBlack}});
  uint32_t counter = 0;
  splash.Run(engineResources, &counter);
  EXPECT_EQ(180, splash.GetPicturesShown());
  ExpectEveryProbeOn(splash, 180);  // transparent corners show black
  EXPECT_GT(splash.bright, 1000);
  EXPECT_GT(splash.partlyLit, 300) << "soft edges";
  EXPECT_EQ(0, splash.litOutside);
}

// Init runs the splash between the GUI manager and OnAfterInit.
class SplashWatchingFrame : public kxSDLWrapper {
 public:
  SplashWatchingFrame() : kxSDLWrapper(640, 480, false, false) {}
  bool OnAfterInit() override {
    framesAtAfterInit = frameCounter;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    blendOrDepth = glIsEnabled(GL_BLEND) || glIsEnabled(GL_DEPTH_TEST);
    cursor = SDL_ShowCursor(SDL_QUERY);
    logoRegistered = engineResources && engineResources->ResourceExists("kxEngineLogo");
    return true;
  }
  using kxSDLWrapper::SetTickSource;
  uint32_t framesAtAfterInit = 0;
  GLint matrixMode = 0;
  bool blendOrDepth = true, logoRegistered = false;
  int cursor = -1;
};

uint32_t gNow = 1000;
uint32_t HurriedTicks() {
  return gNow += 20;
}  // always late: no sleeping

// SDL_Quit unloads the GL driver; pinned, its allocations stay named for
// the leak suppressions.
int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0])
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

TEST(LogoSplashInit, InitShowsTheLogoFor180FramesBeforeOnAfterInit) {
  std::unique_ptr<SplashWatchingFrame> frame(new SplashWatchingFrame());
  frame->SetTickSource(HurriedTicks);
  ASSERT_TRUE(frame->Init()) << SDL_GetError();
  dl_iterate_phdr(PinLibrary, nullptr);
  EXPECT_EQ(180u, frame->framesAtAfterInit);
  EXPECT_EQ(GL_PROJECTION, frame->matrixMode);
  EXPECT_FALSE(frame->blendOrDepth);
  EXPECT_EQ(SDL_ENABLE, frame->cursor);
  EXPECT_TRUE(frame->logoRegistered);
}

}  // namespace
