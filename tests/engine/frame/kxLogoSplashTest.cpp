// The start-up splash: the picture centred and drawn on every one of its
// frames (with or without events), one event taken per frame, the frame
// count, a black screen when there is no picture, and the state it leaves.

#include "frame/kxLogoSplash.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <vector>

#include "data/kxResource.h"
#include "frame/kxSDLWrapper.h"
#include "engine/gui/kxGUITestKit.h"
#include "gui/kxGUIManager.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

const RGBA kOpaqueBlack{0, 0, 0, 255};

struct Probe {
  int x, y;  // window pixels, y down
  RGBA expected;
};

// Checks the probes on every frame, after drawing and before the swap.
class ProbingSplash : public kxLogoSplash {
 public:
  ProbingSplash(int width, int height, std::vector<Probe> probes)
      : kxLogoSplash(SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext(), width, height),
        height(height),
        probes(probes),
        matches(probes.size(), 0) {}

  int height;
  std::vector<Probe> probes;
  std::vector<int> matches;
  int frames = 0;
  int framesWithPicture = 0;
  int cursorHidden = 0;

 protected:
  void OnFrameDrawn(bool pictureShown) override {
    ++frames;
    if (pictureShown) ++framesWithPicture;
    if (SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE) ++cursorHidden;
    for (size_t i = 0; i < probes.size(); ++i) {
      RGBA p;
      glReadPixels(probes[i].x, height - 1 - probes[i].y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
      if (p == probes[i].expected) ++matches[i];
    }
  }
};

class LogoSplashTest : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    if (HasFatalFailure()) return;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }

  // A red picture registered as the logo.
  void RegisterRedLogo(kxResource& resources) {
    Block red = MakeSolidTGA(256, 64, kRed);
    ASSERT_TRUE(red);
    resources.Append(red.get(), "kxEngineLogo");
  }

  // The picture's four corners and the pixels just outside them.
  static std::vector<Probe> CornerProbes(int x, int y) {
    return {{x, y, kRed},
            {x + 255, y, kRed},
            {x, y + 63, kRed},
            {x + 255, y + 63, kRed},
            {x - 1, y, kOpaqueBlack},
            {x, y - 1, kOpaqueBlack},
            {x + 256, y + 63, kOpaqueBlack},
            {x + 255, y + 64, kOpaqueBlack}};
  }

  void ExpectEveryProbeOnEveryFrame(const ProbingSplash& splash, int frames) {
    for (size_t i = 0; i < splash.probes.size(); ++i) {
      EXPECT_EQ(frames, splash.matches[i])
          << "probe " << i << " at " << splash.probes[i].x << "," << splash.probes[i].y;
    }
  }
};

TEST_F(LogoSplashTest, PictureCornerIsCentredByIntegerHalves) {
  int x = -1, y = -1;
  kxLogoSplash::GetLogoPosition(1024, 768, &x, &y);
  EXPECT_EQ(384, x);
  EXPECT_EQ(352, y);
  kxLogoSplash::GetLogoPosition(1023, 767, &x, &y);
  EXPECT_EQ(383, x);
  EXPECT_EQ(351, y);
  kxLogoSplash::GetLogoPosition(200, 50, &x, &y);
  EXPECT_EQ(-28, x) << "towards zero on a window smaller than the picture";
  EXPECT_EQ(-7, y);
}

TEST_F(LogoSplashTest, DrawsThePictureCentredOnEveryFrameWithoutAnyEvent1024x768) {
  kxTest::Framebuffer fb(1024, 768);
  ASSERT_TRUE(fb.IsComplete());
  kxResource resources;
  RegisterRedLogo(resources);
  ProbingSplash splash(1024, 768, CornerProbes(384, 352));
  uint32_t counter = 0;
  splash.Run(&resources, &counter);
  EXPECT_EQ(180u, counter);
  EXPECT_EQ(180, splash.frames);
  EXPECT_EQ(180, splash.GetFramesShown());
  EXPECT_EQ(180, splash.GetPicturesShown());
  EXPECT_EQ(180, splash.framesWithPicture);
  ExpectEveryProbeOnEveryFrame(splash, 180);
}

TEST_F(LogoSplashTest, DrawsThePictureCentredOnAnOddSizedWindow1023x767) {
  kxTest::Framebuffer fb(1023, 767);
  ASSERT_TRUE(fb.IsComplete());
  kxResource resources;
  RegisterRedLogo(resources);
  ProbingSplash splash(1023, 767, CornerProbes(383, 351));
  uint32_t counter = 0;
  splash.Run(&resources, &counter);
  EXPECT_EQ(180u, counter);
  ExpectEveryProbeOnEveryFrame(splash, 180);
}

TEST_F(LogoSplashTest, TakesOneEventPerFrameAndIgnoresAQuitRequest) {
  kxTest::Framebuffer fb(320, 200);
  kxResource resources;
  RegisterRedLogo(resources);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(1, SDL_PushEvent(&quit));
  for (int i = 0; i < 199; ++i) {
    SDL_Event user{};
    user.type = SDL_USEREVENT;
    user.user.code = i;
    ASSERT_EQ(1, SDL_PushEvent(&user));
  }
  ProbingSplash splash(320, 200, CornerProbes(32, 68));
  uint32_t counter = 0;
  splash.Run(&resources, &counter);
  EXPECT_EQ(180u, counter) << "the quit request does not end the splash";
  ExpectEveryProbeOnEveryFrame(splash, 180);

  EXPECT_EQ(0, SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT));
  // 199 user events, 179 frames left after the quit: 20 stay queued (a
  // system event slipping in would leave one more).
  int left = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_USEREVENT);
  EXPECT_GE(left, 20);
  EXPECT_LE(left, 24);
  SDL_Event next;
  ASSERT_EQ(1, SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_USEREVENT, SDL_USEREVENT));
  EXPECT_GE(next.user.code, 175) << "events are taken in order";
}

TEST_F(LogoSplashTest, CountsOnFromTheFrameCounterItIsGiven) {
  kxTest::Framebuffer fb(320, 200);
  kxResource resources;
  RegisterRedLogo(resources);
  uint32_t counter = 100;
  ProbingSplash later(320, 200, {});
  later.Run(&resources, &counter);
  EXPECT_EQ(180u, counter);
  EXPECT_EQ(80, later.frames);

  // At or past the end already: one frame all the same.
  counter = 180;
  ProbingSplash past(320, 200, {});
  past.Run(&resources, &counter);
  EXPECT_EQ(181u, counter);
  EXPECT_EQ(1, past.frames);
}

TEST_F(LogoSplashTest, WithoutALogoEntryPacesTheFramesOverBlack) {
  kxTest::Framebuffer fb(320, 200);
  kxResource resources;
  uint8_t bytes[3] = {1, 2, 3};
  kxMemoryBlock other{bytes, 3};
  resources.Append(&other, "kxEngineLogoX");
  std::vector<Probe> probes = {{160, 100, kOpaqueBlack}, {32, 68, kOpaqueBlack}};
  ProbingSplash splash(320, 200, probes);
  uint32_t counter = 0;
  splash.Run(&resources, &counter);
  EXPECT_EQ(180u, counter);
  EXPECT_EQ(0, splash.GetPicturesShown());
  ExpectEveryProbeOnEveryFrame(splash, 180);

  // No collection at all.
  ProbingSplash bare(320, 200, probes);
  counter = 120;
  bare.Run(nullptr, &counter);
  EXPECT_EQ(180u, counter);
  ExpectEveryProbeOnEveryFrame(bare, 60);
}

TEST_F(LogoSplashTest, APictureThatCannotBeMadeLeavesTheScreenBlack) {
  kxTest::Framebuffer fb(320, 200);
  kxResource resources;
  Block junk = MakeGarbageBlock();
  resources.Append(junk.get(), "kxEngineLogo");
  ProbingSplash splash(320, 200, {{160, 100, kOpaqueBlack}, {32, 68, kOpaqueBlack}});
  uint32_t counter = 0;
  splash.Run(&resources, &counter);
  EXPECT_EQ(180u, counter);
  EXPECT_EQ(0, splash.framesWithPicture);
  ExpectEveryProbeOnEveryFrame(splash, 180);
}

TEST_F(LogoSplashTest, HidesTheCursorMeanwhileAndLeavesTheDocumentedState) {
  kxTest::Framebuffer fb(400, 300);
  kxResource resources;
  RegisterRedLogo(resources);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5.0f, 6.0f, 7.0f);
  SDL_ShowCursor(SDL_ENABLE);

  ProbingSplash splash(400, 300, {});
  uint32_t counter = 170;
  splash.Run(&resources, &counter);
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
  const float ortho[16] = {2.0f / 400, 0, 0, 0, 0, -2.0f / 300, 0, 0,
                           0,          0, -2, 0, -1, 1,         -1, 1};
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(ortho[i], projection[i], 1e-6) << "projection " << i;
    EXPECT_FLOAT_EQ(i % 5 == 0 ? 1.0f : 0.0f, modelview[i]) << "modelview " << i;
  }
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(LogoSplashTest, TheBuiltInLogoShowsBrightLettersBlendedOverBlack) {
  kxTest::Framebuffer fb(640, 480);
  kxGUIManager* manager = kxGUIManager::Create(640, 480);
  ASSERT_NE(nullptr, manager);
  ASSERT_NE(nullptr, engineResources);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as the frame sets it

  // Counts, on the last frame, the bright pixels inside the picture and any
  // pixel outside it that is not opaque black.
  struct Survey : ProbingSplash {
    using ProbingSplash::ProbingSplash;
    int bright = 0, partlyLit = 0, litOutside = 0;
    void OnFrameDrawn(bool shown) override {
      ProbingSplash::OnFrameDrawn(shown);
      if (frames != 180) return;
      std::vector<RGBA> pixels(640 * 480);
      glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
          const RGBA& p = pixels[(479 - y) * 640 + x];
          bool inside = x >= 192 && x < 448 && y >= 208 && y < 272;
          int sum = p.r + p.g + p.b;
          if (!inside && !(p == kOpaqueBlack)) ++litOutside;
          if (inside && sum > 3 * 200) ++bright;
          if (inside && sum > 30 && sum < 3 * 150) ++partlyLit;
        }
      }
    }
  } splash(640, 480, {{192, 208, kOpaqueBlack}, {447, 271, kOpaqueBlack}});

  uint32_t counter = 0;
  splash.Run(engineResources, &counter);
  EXPECT_EQ(180, splash.GetPicturesShown());
  ExpectEveryProbeOnEveryFrame(splash, 180);  // transparent corners show black
  EXPECT_GT(splash.bright, 1000);
  EXPECT_GT(splash.partlyLit, 300) << "soft edges";
  EXPECT_EQ(0, splash.litOutside);
  delete manager;
}

// Init runs the splash between the GUI manager and OnAfterInit.
class SplashWatchingFrame : public kxSDLWrapper {
 public:
  SplashWatchingFrame() : kxSDLWrapper(640, 480, false, false) {}
  bool OnAfterInit() override {
    framesAtAfterInit = frameCounter;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    blend = glIsEnabled(GL_BLEND);
    depth = glIsEnabled(GL_DEPTH_TEST);
    cursor = SDL_ShowCursor(SDL_QUERY);
    logoRegistered = engineResources && engineResources->ResourceExists("kxEngineLogo");
    return true;
  }
  uint32_t framesAtAfterInit = 0;
  GLint matrixMode = 0;
  bool blend = true, depth = true;
  int cursor = -1;
  bool logoRegistered = false;
};

// The frame shuts SDL down and with it unloads the GL driver, whose
// process-long allocations would then show in leak reports without a module
// name the suppressions could match. Pinning the loaded libraries keeps them.
int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0])
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

TEST(LogoSplashInit, InitShowsTheLogoFor180FramesBeforeOnAfterInit) {
  std::unique_ptr<SplashWatchingFrame> frame(new SplashWatchingFrame());
  ASSERT_TRUE(frame->Init()) << SDL_GetError();
  dl_iterate_phdr(PinLibrary, nullptr);
  EXPECT_EQ(180u, frame->framesAtAfterInit);
  EXPECT_EQ(GL_PROJECTION, frame->matrixMode);
  EXPECT_FALSE(frame->blend);
  EXPECT_FALSE(frame->depth);
  EXPECT_EQ(SDL_ENABLE, frame->cursor);
  EXPECT_TRUE(frame->logoRegistered);
}

}  // namespace
