// The ES 2.0 path against the fixed-function path: the same scenes, drawn
// through the engine's classes with each renderer in its own context, must
// give the same pixels within a small tolerance. Pictures of a failing
// scene are kept in the working folder as <scene>-fixed.ppm, -es2.ppm.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxString.h"
#include "frame/kxLogoSplash.h"
#include "graphics/kxFont.h"
#include "graphics/kxScreen.h"
#include "graphics/kxTexturedBox.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxEngineLogo.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "render/kxRenderer.h"
#include "support/kxPictureCompare.h"

namespace {

const int kWidth = 160, kHeight = 120;

struct Path {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool started = false;
};
Path paths[2];

bool StartPath(TRendererKind kind) {
  Path& p = paths[kind];
  if (p.started) return true;
  if (p.window) return false;  // tried before and failed
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_ResetAttributes();
  kxSetContextAttributes(kind, 0);
  p.window = SDL_CreateWindow("kxRenderTest", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64,
                              64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!p.window) return false;
  p.context = SDL_GL_CreateContext(p.window);
  if (!p.context || SDL_GL_MakeCurrent(p.window, p.context) != 0) return false;
  if (!kxSelectRenderer(kind)) return false;
  char detail[256] = "";
  p.started = kxGetRenderer()->Start(detail, sizeof detail) == rfNone;
  if (!p.started) fprintf(stderr, "%s: %s\n", kxRendererName(kind), detail);
  return p.started;
}

// A 4 x 4 picture: opaque colours, a transparent corner.
unsigned int Checker(kxRenderer* r) {
  uint8_t texels[4 * 4 * 4];
  for (int i = 0; i < 16; ++i) {
    const bool odd = ((i % 4) + (i / 4)) % 2;
    texels[i * 4 + 0] = odd ? 230 : 40;
    texels[i * 4 + 1] = uint8_t(60 + i * 10);
    texels[i * 4 + 2] = odd ? 30 : 200;
    texels[i * 4 + 3] = i == 0 ? 0 : 255;
  }
  return r->CreateTexture(4, 4, pfRGBA, texels, false);
}

// A font of two glyphs (a block and a ring) for GUI text.
bool MakeFont(kxFont* font) {
  uint8_t block[8 * 10], ring[8 * 10];
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 8; ++x) {
      block[y * 8 + x] = uint8_t(x * 30 + y * 3);
      const float dx = x - 3.5f, dy = y - 4.5f, d = std::sqrt(dx * dx + dy * dy);
      ring[y * 8 + x] = d > 2.0f && d < 4.0f ? 255 : 0;
    }
  }
  TGlyph_s a = {block, 8, 10, 9, 10, 0}, b = {ring, 8, 10, 10, 8, 1};
  font->AppendGlyph(&a);
  font->AppendGlyph(&b);
  uint64_t size = 0;
  uint8_t* bytes = font->SaveToMemory(&size);
  kxMemoryBlock block_ = {bytes, size};
  const bool loaded = bytes && font->LoadFromMemory(&block_);
  free(bytes);
  return loaded;
}

void ResetState(kxRenderer* r) {
  for (int s = 0; s < rsStateCount; ++s) r->Disable(TRenderState(s));
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  r->SetMatrixMode(mmModelView);
  r->LoadIdentity();
  r->SetColor(1, 1, 1, 1);
  r->SetAlphaBlending();
  r->SetLineWidth(1);
}

void Perspective(kxRenderer* r) {
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  const float top = std::tan(0.5235988f) * 0.1f, right = float(kWidth) / kHeight * top;
  r->Frustum(-right, right, -top, top, 0.1, 100.0);
  r->SetMatrixMode(mmModelView);
  r->LoadIdentity();
}

// A lit, textured, turned card-like slab with the game's light and
// material, depth-tested and culled, normals normalised.
void LitMesh(kxRenderer* r) {
  Perspective(r);
  r->Translate(0, 0, -6);
  const kxLight_s light = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0.3f, 0.4f, 20, 0}};
  r->SetLight(light);
  const kxMaterial_s material = {
      {0.1f, 0, 0, 1}, {0.9f, 0.8f, 0.7f, 1}, {0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.2f, 0.2f, 0}, 8};
  r->SetMaterial(material);
  r->Enable(rsLighting);
  r->Enable(rsDepthTest);
  r->Enable(rsCullFace);
  r->Enable(rsNormalize);
  kxVertexArray mesh(pmTriangles);
  // Two faces of a box, front and top, each two triangles.
  const float v[12][3] = {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1},  {-1, -1, 1},
                          {1, 1, 1},   {-1, 1, 1}, {-1, 1, 1}, {1, 1, 1},
                          {1, 1, -1},  {-1, 1, 1}, {1, 1, -1}, {-1, 1, -1}};
  const float st[6][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 0}, {2, 2}, {0, 2}};
  for (int i = 0; i < 12; ++i) {
    mesh.AppendVertex(v[i][0], v[i][1], v[i][2]);
    mesh.AppendTexCoord(st[i % 6][0], st[i % 6][1]);
    if (i < 6)
      mesh.AppendNormal(0, 0, 2);  // not unit length: normalising matters
    else
      mesh.AppendNormal(0, 1, 0);
  }
  mesh.CreateVBO();
  mesh.SetTextureID(Checker(r));
  float angle[3] = {25, -35, 10};
  mesh.SetAngle(angle);
  mesh.SetScale(1.3f);
  mesh.Draw();
  unsigned int texture = mesh.GetTextureID();
  r->DeleteTextures(1, &texture);
}

// Vertex colours blended over a depth-tested backdrop, a grid of lines, a
// rectangle under a scissor and a billboard facing a camera.
void ColoursLinesBillboard(kxRenderer* r) {
  Perspective(r);
  r->Translate(0, 0, -8);
  kxVertexArray shade(pmTriangles);
  const float corners[6][3] = {{-4, -3, -1}, {4, -3, -1}, {4, 3, -1},
                               {-4, -3, -1}, {4, 3, -1},  {-4, 3, -1}};
  const float colours[6][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1},
                               {1, 0, 0, 1}, {0, 0, 1, 1}, {1, 1, 0, 0.5f}};
  for (int i = 0; i < 6; ++i) {
    shade.AppendVertex(corners[i][0], corners[i][1], corners[i][2]);
    shade.AppendColor(colours[i][0], colours[i][1], colours[i][2], colours[i][3]);
  }
  shade.CreateVBO();
  r->Enable(rsBlend);
  shade.DrawColor();
  r->SetColor(1, 1, 1, 0.6f);
  r->PushMatrix();
  r->Rotate(60, 1, 0, 0);
  // A grid as the frame draws it: lines in the z = 0 plane.
  for (int i = -4; i <= 4; ++i) {
    const float line[6] = {float(i), -4, 0, float(i), 4, 0};
    r->DrawVertices(pmLines, line, nullptr, nullptr, 2);
  }
  r->PopMatrix();
  r->Enable(rsScissorTest);
  r->SetScissor(20, 10, 60, 40);
  r->SetColor(0.2f, 0.9f, 0.4f, 0.7f);
  r->FillRect(-3, -2, 1, 1);
  r->Disable(rsScissorTest);
  kxTexturedBox* box = kxTexturedBox::Create(2, 1.5f, false, tbpNormal);
  ASSERT_NE(box, nullptr);
  box->SetTextureID(Checker(r));
  box->SetPosition(1, 0.5f, 0);
  box->SetColor(1, 0.9f, 0.8f, 0.8f);
  float camera[3] = {3, 2, 6};
  box->Draw2(camera, 20);
  unsigned int texture = box->GetTextureID();
  r->DeleteTextures(1, &texture);
  delete box;
}

// The GUI: the manager's projection, a panel with rounded corners and
// labels drawn with a font, translucent.
void Gui(kxRenderer* r) {
  kxSetScreenSize(kWidth, kHeight);
  kxGUIManager* manager = kxGUIManager::Create(kWidth, kHeight);
  ASSERT_NE(manager, nullptr);
  kxFont font(ftTopDown);
  ASSERT_TRUE(MakeFont(&font));
  kxGUIPanel* panel = kxGUIPanel::Create(1, 10, 12, 120, 70);
  ASSERT_NE(panel, nullptr);
  manager->AppendControl(panel);
  const kxWChar text[] = {0, 1, 0, 1, 1, 0, 0};
  kxGIULabel* label = kxGIULabel::Create(2, &font, 20, 30, kxString(text));
  ASSERT_NE(label, nullptr);
  label->SetColor(1, 0.8f, 0.2f, 0.9f);
  manager->AppendControl(label);
  r->SetClearColor(0.1f, 0.2f, 0.3f, 1);
  r->Clear(true, true);
  manager->Draw();
  delete manager;
}

// The scene drawn by one path into a target of width x height pixels, read
// back RGBA, the bottom row first.
kxTest::Picture Draw(TRendererKind kind, const std::function<void(kxRenderer*)>& scene,
                     int width = kWidth, int height = kHeight) {
  Path& p = paths[kind];
  SDL_GL_MakeCurrent(p.window, p.context);
  kxSelectRenderer(kind);
  kxRenderer* r = kxGetRenderer();
  kxTest::Picture pixels;
  pixels.width = width;
  pixels.height = height;
  pixels.channels = 4;
  pixels.bytes.resize(size_t(width) * height * 4);
  const unsigned int target = r->CreateTarget(width, height);
  EXPECT_NE(target, 0u) << kxRendererName(kind);
  if (!target) return pixels;
  ResetState(r);
  r->SetClearColor(0, 0, 0, 1);
  r->Clear(true, true);
  scene(r);
  r->Finish();
  r->ReadPixels(0, 0, width, height, pixels.bytes.data());
  r->BindTarget(0);
  r->DeleteTarget(target);
  return pixels;
}

// A draw from client memory right after a buffer is made: the new buffer
// is still bound, and the draw must not read its vertices from it.
void QuadAfterBuffer(kxRenderer* r) {
  const float unrelated[9] = {};
  const unsigned int buffer = r->CreateBuffer(unrelated, sizeof unrelated);
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  r->Ortho(0, 1, 0, 1, -1, 1);
  r->SetMatrixMode(mmModelView);
  r->LoadIdentity();
  r->SetColor(0.2f, 0.6f, 0.9f, 1);
  r->FillRect(0.1f, 0.1f, 0.9f, 0.9f);
  r->DeleteBuffer(buffer);
}

// Both pictures (RGBA, same size) cut to the smallest rectangle holding
// every pixel that is not black in either: a small picture on a large black
// screen is then judged by its own pixels, not diluted by the screen's.
void CropToLit(kxTest::Picture* a, kxTest::Picture* b) {
  int x0 = a->width, y0 = a->height, x1 = -1, y1 = -1;
  for (int y = 0; y < a->height; ++y) {
    for (int x = 0; x < a->width; ++x) {
      const size_t i = (size_t(y) * a->width + x) * 4;
      const uint8_t* p = &a->bytes[i];
      const uint8_t* q = &b->bytes[i];
      if (p[0] || p[1] || p[2] || q[0] || q[1] || q[2]) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
    }
  }
  if (x1 < 0) return;  // all black: nothing to cut to
  for (kxTest::Picture* p : {a, b}) {
    kxTest::Picture cut;
    cut.width = x1 - x0 + 1;
    cut.height = y1 - y0 + 1;
    cut.channels = 4;
    for (int y = y0; y <= y1; ++y) {
      const auto row = p->bytes.begin() + long((size_t(y) * p->width + x0) * 4);
      cut.bytes.insert(cut.bytes.end(), row, row + cut.width * 4);
    }
    *p = std::move(cut);
  }
}

// The engine's start-up splash with its built-in logo: its last frame, which
// stays in the bound target after the swap of the (hidden) window.
std::function<void(kxRenderer*)> LogoSplash(int width, int height) {
  return [width, height](kxRenderer*) {
    kxResource resources;
    ASSERT_TRUE(AppendEngineLogo(&resources));
    uint32_t counter = kxLogoSplash::frameLimit - 1;
    kxLogoSplash splash(SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext(), width, height);
    splash.Run(&resources, &counter);
    EXPECT_EQ(splash.GetPicturesShown(), 1);
  };
}

class kxRendererPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartPath(rkFixed)) << "no OpenGL context (run under xvfb-run)";
    ASSERT_TRUE(StartPath(rkES2)) << "no OpenGL ES 2.0 context";
  }
  void TearDown() override { kxSelectRenderer(rkFixed); }

  // Draws the scene with both paths and compares them; a failing pair is
  // kept as <name>-fixed.ppm and <name>-es2.ppm. A tenth of the pixels at
  // least must be coloured, so that a scene drawing nothing cannot pass by
  // matching.
  // With `cropToLit`, the pictures are judged on the part CropToLit keeps.
  void Compare(const char* name, const std::function<void(kxRenderer*)>& scene, int width = kWidth,
               int height = kHeight, bool cropToLit = false) {
    kxTest::Picture fixed = Draw(rkFixed, scene, width, height);
    kxTest::Picture es2 = Draw(rkES2, scene, width, height);
    if (cropToLit) CropToLit(&fixed, &es2);
    const kxTest::PictureDifference d = kxTest::ComparePictures(fixed, es2);
    printf("%s (%dx%d): %s; %.1f %% lit\n", name, fixed.width, fixed.height, d.Describe().c_str(),
           d.LitShare() * 100.0);
    EXPECT_GT(d.LitShare(), 0.1) << name << " draws almost nothing";
    EXPECT_TRUE(d.Passes()) << name << ": " << d.Describe();
    if (!d.Passes() || HasFailure()) {
      kxTest::WritePPM(std::string(name) + "-fixed.ppm", fixed);
      kxTest::WritePPM(std::string(name) + "-es2.ppm", es2);
    }
  }
};

TEST_F(kxRendererPaths, LitTexturedMeshMatchesTheFixedPipeline) {
  Compare("lit_mesh", LitMesh);
}

TEST_F(kxRendererPaths, ColoursLinesScissorAndBillboardMatch) {
  Compare("colours_lines_billboard", ColoursLinesBillboard);
}

TEST_F(kxRendererPaths, GuiPanelAndFontTextMatch) {
  Compare("gui", Gui);
}

TEST_F(kxRendererPaths, ClientVerticesDrawWhileABufferIsBound) {
  Compare("quad_after_buffer", QuadAfterBuffer);
}

TEST_F(kxRendererPaths, LogoSplashMatchesOnSmallAndLargeScreens) {
  // The logo covers little of a large black screen: it is judged on the
  // rectangle it covers.
  Compare("logo_320x180", LogoSplash(320, 180), 320, 180, true);
  Compare("logo_1280x720", LogoSplash(1280, 720), 1280, 720, true);
}

TEST_F(kxRendererPaths, MatricesAndTextureQueriesAgree) {
  float m[2][16];
  int size[2][2] = {};
  uint8_t alpha[2][16] = {};
  for (TRendererKind kind : {rkFixed, rkES2}) {
    Draw(kind, [&](kxRenderer* r) {
      Perspective(r);
      r->Translate(1, 2, -3);
      r->Rotate(30, 1, 1, 0);
      r->Scale(2, 0.5f, 1);
      r->GetMatrix(mmModelView, m[kind]);
      const unsigned int t = Checker(r);
      EXPECT_TRUE(r->GetTextureSize(t, &size[kind][0], &size[kind][1]));
      EXPECT_TRUE(r->ReadTextureAlpha(t, alpha[kind]));
      r->DeleteTextures(1, &t);
      EXPECT_FALSE(r->GetTextureSize(t, nullptr, nullptr)) << "a deleted texture is unknown";
    });
  }
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[rkFixed][i], m[rkES2][i], 1e-5f) << i;
  EXPECT_EQ(size[rkES2][0], 4);
  EXPECT_EQ(size[rkES2][1], 4);
  EXPECT_EQ(size[rkFixed][0], 4);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(alpha[rkES2][i], i == 0 ? 0 : 255) << i;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(alpha[rkFixed][i], alpha[rkES2][i]) << i;
}

}  // namespace
