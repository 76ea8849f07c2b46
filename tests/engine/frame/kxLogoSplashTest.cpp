// The start-up splash: the picture centred and drawn on every frame whether
// or not an event came, one event taken per frame, black when there is no
// picture, a request to leave kept for the caller, and the state it leaves
// behind.
#include <GL/glew.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cmath>
#include <vector>

#include "data/kxResource.h"
#include "engine/gui/kxGUITestKit.h"
#include "frame/kxLogoSplash.h"
#include "frame/kxSDLWrapper.h"
#include "graphics/kxScreen.h"
#include "graphics/kxTGA.h"
#include "gui/kxEngineLogo.h"
#include "gui/kxGUIManager.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

const RGBA kOpaqueBlack{0, 0, 0, 255};

uint32_t gNow = 1000;
uint32_t HurriedTicks() {
  return gNow += 20;
}  // always late: no sleeping

struct Probe {
  int x, y;  // window pixels, y down
  RGBA expected;
};

// Counts, per probe, the frames on which it matched (read before the swap).
class ProbingSplash : public kxLogoSplash {
 public:
  ProbingSplash(int width, int height, std::vector<Probe> probes, kxTickSource ticks = nullptr)
      : kxLogoSplash(SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext(), width, height, ticks),
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

TEST(LogoSplashScale, TheLogoGrowsWithTheScreenAsTheGUIDoes) {
  // The GUI's rule: height over 720 or width over 640, whichever is less, in
  // quarters, at least 1; at 1280 x 720 the picture is as it always was.
  const struct {
    int w, h;
    float scale;
    int x, y, pw, ph;
  } rows[] = {{1280, 720, 1.0f, 512, 328, 256, 64},    {800, 600, 1.0f, 272, 268, 256, 64},
              {1920, 1080, 1.5f, 768, 492, 384, 96},   {2560, 1080, 1.5f, 1088, 492, 384, 96},
              {3840, 2160, 3.0f, 1536, 984, 768, 192}, {1080, 1920, 1.5f, 348, 912, 384, 96},
              {2000, 1000, 1.25f, 840, 460, 320, 80},  {5120, 2880, 4.0f, 2048, 1312, 1024, 256},
              {1279, 719, 1.0f, 511, 327, 256, 64},    {0, 0, 1.0f, -128, -32, 256, 64},
              {1919, 1079, 1.25f, 799, 499, 320, 80}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h));
    EXPECT_EQ(r.scale, kxChooseGUIScale(r.w, r.h));
    int x = 0, y = 0, w = 0, h = 0;
    kxLogoSplash::GetLogoRect(r.w, r.h, &x, &y, &w, &h);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.pw, r.ph}), (std::vector<int>{x, y, w, h}));
    kxLogoSplash::GetLogoPosition(r.w, r.h, &x, &y);
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
  }
  kxLogoSplash::GetLogoRect(1280, 720, nullptr, nullptr, nullptr, nullptr);  // outputs optional
}

TEST(LogoSplashScale, OnADenseScreenTheLogoKeepsItsSizeToTheEye) {
  // A phone of 390 x 844 units at three pixels a unit shows the logo as large
  // as one pixel a unit does, with three times the pixels: 768 x 192, not
  // the 448 x 112 its 1170 x 2532 pixels alone would give.
  int x = 0, y = 0, w = 0, h = 0;
  kxLogoSplash::GetLogoRect(1170, 2532, &x, &y, &w, &h, 3.0f);
  EXPECT_EQ((std::vector<int>{201, 1170, 768, 192}), (std::vector<int>{x, y, w, h}));
  kxLogoSplash::GetLogoRect(1170, 2532, &x, &y, &w, &h);
  EXPECT_EQ((std::vector<int>{361, 1210, 448, 112}), (std::vector<int>{x, y, w, h}));
  // 4K at density 2 is a 1920 x 1080 screen drawn with every pixel.
  EXPECT_EQ(3.0f, kxChooseGUIScale(3840, 2160, 2.0f));
  kxLogoSplash::GetLogoRect(3840, 2160, &x, &y, &w, &h, 2.0f);
  EXPECT_EQ((std::vector<int>{1536, 984, 768, 192}), (std::vector<int>{x, y, w, h}));
  // Densities that mean nothing are one pixel a unit.
  for (float bad : {0.0f, -1.0f, std::nanf(""), HUGE_VALF}) {
    kxLogoSplash::GetLogoRect(1920, 1080, &x, &y, &w, &h, bad);
    EXPECT_EQ((std::vector<int>{768, 492, 384, 96}), (std::vector<int>{x, y, w, h})) << bad;
  }
}

TEST(LogoSplashScale, DrawsFromTheRenderingThatSuitsTheScale) {
  // Blocks told apart by their first byte.
  uint8_t bytes[5] = {1, 2, 3, 4, 5};
  const char* names[5] = {"kxEngineLogo", "kxEngineLogo@1.5x", "kxEngineLogo@2x", "kxEngineLogo@3x",
                          "kxEngineLogo@4x"};
  auto chosen = [](const kxResource& r, float scale) {
    kxMemoryBlock* b = kxLogoSplash::ChooseLogo(&r, scale);
    return b && b->size == 1 ? int(b->data[0]) : 0;
  };
  kxResource all;
  // Appended largest first: the choice goes by density, not by order.
  for (int i = 4; i >= 0; --i) {
    kxMemoryBlock b{&bytes[i], 1};
    all.Append(&b, names[i]);
  }
  // Magnified by at most 1.25, else from the largest there is.
  const struct {
    float scale;
    int block;
  } rows[] = {{1.0f, 1}, {1.25f, 1}, {1.5f, 2}, {1.75f, 2}, {2.0f, 3}, {2.5f, 3}, {2.75f, 4},
              {3.0f, 4}, {3.75f, 4}, {4.0f, 5}, {5.0f, 5},  {8.0f, 5}, {0.5f, 1}};
  for (const auto& r : rows) EXPECT_EQ(r.block, chosen(all, r.scale)) << r.scale;

  // Renderings missing: the next larger one held, or the largest, or the
  // plain picture magnified.
  kxResource some;
  for (int i : {0, 3}) {
    kxMemoryBlock b{&bytes[i], 1};
    some.Append(&b, names[i]);
  }
  EXPECT_EQ(1, chosen(some, 1.25f));
  EXPECT_EQ(4, chosen(some, 1.5f));
  EXPECT_EQ(4, chosen(some, 6.0f));
  kxResource plainOnly, renderingOnly;
  kxMemoryBlock b0{&bytes[0], 1}, b2{&bytes[2], 1};
  plainOnly.Append(&b0, names[0]);
  renderingOnly.Append(&b2, names[2]);
  EXPECT_EQ(1, chosen(plainOnly, 3.0f));
  EXPECT_EQ(nullptr, kxLogoSplash::ChooseLogo(&renderingOnly, 2.0f)) << "no plain logo, no splash";
  EXPECT_EQ(nullptr, kxLogoSplash::ChooseLogo(nullptr, 2.0f));
}

TEST_F(LogoSplashTest, ScaledUpItDrawsTheLargerRenderingAtItsOwnSize) {
  // 2560 x 1440 is scale 2: the green @2x picture fills 512 x 128 at
  // (1024, 656), not the red plain one magnified.
  Block green = MakeSolidTGA(512, 128, kGreen);
  ASSERT_TRUE(green);
  redLogo.Append(green.get(), "kxEngineLogo@2x");
  kxTest::Framebuffer fb(2560, 1440);
  ASSERT_TRUE(fb.IsComplete());
  const int x = 1024, y = 656;
  ProbingSplash splash(2560, 1440,
                       {{x, y, kGreen},
                        {x + 511, y + 127, kGreen},
                        {x + 256, y + 64, kGreen},
                        {x - 1, y, kOpaqueBlack},
                        {x, y - 1, kOpaqueBlack},
                        {x + 512, y + 127, kOpaqueBlack},
                        {x + 511, y + 128, kOpaqueBlack}},
                       HurriedTicks);
  uint32_t counter = 0;
  splash.Run(&redLogo, &counter);
  EXPECT_EQ(180, splash.GetPicturesShown());
  ExpectEveryProbeOn(splash, 180);
}

TEST_F(LogoSplashTest, TheBuiltInLogoAtScale3IsItsOwnRenderingPixelForPixel) {
  // 1920 x 2160 is scale 3: the built-in @3x picture, 768 x 192 at
  // (576, 984), blended over black texel for pixel, as sharp as it was made.
  kxResource builtIn;
  ASSERT_TRUE(AppendEngineLogo(&builtIn));
  ASSERT_TRUE(AppendEngineLogoRenderings(&builtIn));
  std::unique_ptr<kxMemoryBlock, void (*)(kxMemoryBlock*)> tga(
      kxDecrunchMemoryBlock(builtIn.Get("kxEngineLogo@3x")), kxFreeMemoryBlock);
  ASSERT_TRUE(tga);
  kxTGAImage image{};
  ASSERT_TRUE(kxDecodeTGA(tga->data, tga->size, &image));
  ASSERT_EQ(768u, image.width);
  ASSERT_EQ(192u, image.height);
  ASSERT_EQ(4u, image.bytesPerPixel);
  kxTest::Framebuffer fb(1920, 2160);
  ASSERT_TRUE(fb.IsComplete());
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as the frame sets it
  struct Capture : ProbingSplash {
    using ProbingSplash::ProbingSplash;
    std::vector<RGBA> last = std::vector<RGBA>(768 * 192);
    void OnFrameDrawn(bool shown) override {
      ProbingSplash::OnFrameDrawn(shown);
      if (frames == 180)
        glReadPixels(576, 2160 - 984 - 192, 768, 192, GL_RGBA, GL_UNSIGNED_BYTE, last.data());
    }
  } splash(1920, 2160, {{575, 984, kOpaqueBlack}, {576 + 768, 984 + 191, kOpaqueBlack}},
           HurriedTicks);
  uint32_t counter = 0;
  splash.Run(&builtIn, &counter);
  ASSERT_EQ(180, splash.GetPicturesShown());
  ExpectEveryProbeOn(splash, 180);
  // The decoded image's rows run as the framebuffer's: bottom row first.
  int worst = 0, lit = 0;
  for (int i = 0; i < 768 * 192; ++i) {
    const uint8_t* t = &image.pixels[size_t(i) * 4];
    const uint8_t drawn[3] = {splash.last[i].r, splash.last[i].g, splash.last[i].b};
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(drawn[c] - t[c] * t[3] / 255));
    lit += drawn[0] + drawn[1] + drawn[2] > 450;
  }
  kxFreeTGAImage(&image);
  EXPECT_LE(worst, 3) << "the picture is resampled, not shown as made";
  EXPECT_GT(lit, 9 * 1000) << "bright letters, nine times the plain picture's";
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
