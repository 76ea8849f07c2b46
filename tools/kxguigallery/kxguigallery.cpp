// kxguigallery: draws one screen of every GUI control through a GUI manager
// into an off-screen 800 x 600 picture and writes it as an uncompressed
// 32-bit TGA, for looking at the controls without a game. It draws through
// the engine's renderer, like everything else, with either path.
//
//   kxguigallery [--font FILE.ttf] [--frames N] [--renderer fixed|es2] OUTPUT.tga
//
// The screen: a panel holding a title label, buttons in their three states
// (one created narrower than the minimum), two tickers (one part way
// through its text, one fading to a new text), a text viewer with more and
// longer lines than fit, dragged a little so that its first line is cut at
// the top, and the engine logo as a top-level picture. N frames are drawn
// (default 30) so the tickers move.
//
// Exit status: 0 on success, 1 on a usage error, 2 when no context of the
// path, off-screen target or font can be made, 3 when the output cannot be
// written.

#include <SDL.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxStringArray.h"
#include "graphics/kxFont.h"
#include "graphics/kxScreen.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUIPicture.h"
#include "gui/kxGUITextScroll.h"
#include "gui/kxGUITextViewer.h"
#include "render/kxRenderer.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const char* const kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct BlockDeleter {
  void operator()(kxMemoryBlock* b) const { kxFreeMemoryBlock(b); }
};
using Block = std::unique_ptr<kxMemoryBlock, BlockDeleter>;

// A button face: rounded rectangle with a vertical gradient and a light rim,
// as a crunched bottom-up 32-bit TGA.
Block MakeButtonImage(const float top[3], const float bottom[3]) {
  const int w = 64, h = 32;
  std::vector<uint8_t> tga(18, 0);
  tga[2] = 2;
  tga[12] = w;
  tga[14] = h;
  tga[16] = 32;
  tga[17] = 0x08;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      float t = static_cast<float>(y) / (h - 1);
      float c[3];
      for (int k = 0; k < 3; ++k) c[k] = top[k] + (bottom[k] - top[k]) * t;
      // Distance outside a rounded rectangle of radius 8, for soft corners.
      float px = x + 0.5f, py = y + 0.5f, r = 8.0f;
      float cx = std::fmin(std::fmax(px, r), w - r), cy = std::fmin(std::fmax(py, r), h - r);
      float d = std::hypot(px - cx, py - cy) - r;
      float alpha = d < -1.0f ? 1.0f : (d > 0.0f ? 0.0f : -d);
      if (d > -2.5f && d <= -1.0f) {
        for (float& v : c) v = v * 0.5f + 0.5f;  // rim
      }
      tga.push_back(static_cast<uint8_t>(c[2] * 255));
      tga.push_back(static_cast<uint8_t>(c[1] * 255));
      tga.push_back(static_cast<uint8_t>(c[0] * 255));
      tga.push_back(static_cast<uint8_t>(alpha * 255));
    }
  }
  kxMemoryBlock raw{tga.data(), tga.size()};
  return Block(kxCrunchMemoryBlock(&raw));
}

// Glyphs 0..255 of a TrueType face, rendered by FreeType, as a loaded font.
std::unique_ptr<kxFont> MakeFont(const char* path, int pixels) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face;
  if (FT_New_Face(library, path, 0, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, pixels) != 0) {
    FT_Done_FreeType(library);
    return nullptr;
  }
  kxFont source(ftTopDown);
  std::vector<uint8_t> bitmap;
  for (int c = 0; c < 256; ++c) {
    TGlyph_s glyph{nullptr, 0, 0, 0, 0, 0};
    if (c >= 32 && FT_Load_Char(face, c, FT_LOAD_RENDER) == 0) {
      FT_GlyphSlot slot = face->glyph;
      glyph.width = static_cast<int32_t>(slot->bitmap.width);
      glyph.height = static_cast<int32_t>(slot->bitmap.rows);
      glyph.advance = static_cast<int32_t>(slot->advance.x >> 6);
      glyph.top = slot->bitmap_top;
      glyph.left = slot->bitmap_left;
      bitmap.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
      for (int y = 0; y < glyph.height; ++y)
        std::memcpy(&bitmap[static_cast<size_t>(y) * glyph.width],
                    slot->bitmap.buffer + static_cast<long>(y) * slot->bitmap.pitch, glyph.width);
      glyph.pixels = bitmap.empty() ? nullptr : bitmap.data();
    }
    source.AppendGlyph(&glyph);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  uint64_t size = 0;
  uint8_t* file = source.SaveToMemory(&size);
  std::unique_ptr<kxFont> font(new kxFont(ftTopDown));
  kxMemoryBlock block{file, size};
  bool ok = file && font->LoadFromMemory(&block);
  std::free(file);
  return ok ? std::move(font) : nullptr;
}

void DrawBackdrop(kxRenderer* r) {
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  r->Ortho(0, kWidth, kHeight, 0, 0, 1);
  r->SetMatrixMode(mmModelView);
  r->LoadIdentity();
  r->Disable(rsDepthTest);
  const float w = kWidth, h = kHeight;
  const float corners[4 * 3] = {0, 0, 0, w, 0, 0, w, h, 0, 0, h, 0};
  const float top[4] = {0.10f, 0.16f, 0.30f, 1.0f}, bottom[4] = {0.35f, 0.22f, 0.12f, 1.0f};
  float colours[4 * 4];
  for (int v = 0; v < 4; ++v)
    for (int c = 0; c < 4; ++c) colours[v * 4 + c] = v < 2 ? top[c] : bottom[c];
  r->DrawVertices(pmTriangleFan, corners, colours, nullptr, 4);
  // A checker strip so that translucency shows.
  for (int x = 0; x < kWidth; x += 40) {
    const float v = (x / 40) % 2 ? 0.55f : 0.25f;
    r->SetColor(v, v, v, 1.0f);
    r->FillRect(float(x), 300, float(x + 40), 340);
  }
}

// Rows go out top row first with the descriptor's top-left origin bit set.
// Viewers that honour the bit and readers that ignore it and take the first
// stored row as the top one (ImageMagick 6 among them) then agree on which way
// up the picture is.
bool WriteTGA(const char* path, const std::vector<uint8_t>& rgbaBottomUp) {
  uint8_t header[18] = {0};
  header[2] = 2;
  header[12] = kWidth & 0xff;
  header[13] = kWidth >> 8;
  header[14] = kHeight & 0xff;
  header[15] = kHeight >> 8;
  header[16] = 32;
  header[17] = 0x28;  // 8 alpha bits, origin top-left
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
  std::vector<uint8_t> bgra(rgbaBottomUp.size());
  const size_t row = static_cast<size_t>(kWidth) * 4;
  for (size_t i = 0; i < bgra.size(); i += 4) {
    // ReadPixels gives the bottom row first.
    const size_t y = i / row, x = i % row;
    const uint8_t* from = &rgbaBottomUp[(kHeight - 1 - y) * row + x];
    bgra[i] = from[2];
    bgra[i + 1] = from[1];
    bgra[i + 2] = from[0];
    bgra[i + 3] = 255;
  }
  ok = ok && std::fwrite(bgra.data(), 1, bgra.size(), f) == bgra.size();
  return std::fclose(f) == 0 && ok;
}

const char* const kViewerText[] = {
    "The text viewer shows a list of lines on a white panel.",
    "Drag it up and down with the left button; after release",
    "the last drag step keeps it moving until an end is reached.",
    "Lines longer than the viewer are cut five pixels short of",
    "its right edge, and lines below it are not drawn at all.",
    "",
    "Line 7: the quick brown fox jumps over the lazy dog, and this line runs on past the edge.",
    "Line 8: pack my box with five dozen liquor jugs.",
    "Line 9: how vexingly quick daft zebras jump!",
    "Line 10: sphinx of black quartz, judge my vow.",
    "Line 11: the five boxing wizards jump quickly.",
    "Line 12: this line is already below the view.",
};

}  // namespace

int main(int argc, char** argv) {
  const char* fontPath = kDefaultFont;
  const char* output = nullptr;
  int frames = 30;
  TRendererKind kind = rkFixed;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--renderer") == 0 && i + 1 < argc) {
      if (!kxRendererFromName(argv[++i], &kind) || !kxHasRenderer(kind)) {
        output = nullptr;
        break;
      }
    } else if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc) {
      fontPath = argv[++i];
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (!output && argv[i][0] != '-') {
      output = argv[i];
    } else {
      output = nullptr;
      break;
    }
  }
  if (!output || frames < 1) {
    std::fprintf(stderr,
                 "usage: kxguigallery [--font FILE.ttf] [--frames N] [--renderer fixed|es2] "
                 "OUTPUT.tga\n");
    return 1;
  }

  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 2;
  kxSetContextAttributes(kind, 0);
  SDL_Window* window =
      SDL_CreateWindow("kxguigallery", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  char detail[256] = "";
  if (context) {
    SDL_GL_MakeCurrent(window, context);
    kxSelectRenderer(kind);
  }
  if (!context || kxGetRenderer()->Start(detail, sizeof detail) != rfNone) {
    std::fprintf(stderr, "kxguigallery: no %s context %s\n", kxRendererName(kind), detail);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return 2;
  }
  kxRenderer* r = kxGetRenderer();
  int status = 0;
  {
    const unsigned int target = r->CreateTarget(kWidth, kHeight);
    kxSetScreenSize(kWidth, kHeight);

    std::unique_ptr<kxFont> font = MakeFont(fontPath, 18);
    std::unique_ptr<kxFont> small = MakeFont(fontPath, 14);
    if (!target) {
      std::fprintf(stderr, "kxguigallery: no off-screen target\n");
      status = 2;
    } else if (!font || !small) {
      std::fprintf(stderr, "kxguigallery: cannot make a font from %s\n", fontPath);
      status = 2;
    } else {
      const float slate[2][3] = {{0.42f, 0.46f, 0.52f}, {0.20f, 0.23f, 0.28f}};
      const float blue[2][3] = {{0.35f, 0.60f, 0.95f}, {0.10f, 0.28f, 0.65f}};
      const float amber[2][3] = {{0.98f, 0.70f, 0.25f}, {0.75f, 0.35f, 0.05f}};
      Block passive = MakeButtonImage(slate[0], slate[1]);
      Block active = MakeButtonImage(blue[0], blue[1]);
      Block pushed = MakeButtonImage(amber[0], amber[1]);
      kxGUIButtonStates states(passive.get(), active.get(), pushed.get());
      kxStringArray lines;
      for (const char* line : kViewerText) {
        kxString text(line);
        lines.AppendLine(text.GetString());
      }

      kxGUIManager* manager = kxGUIManager::Create(kWidth, kHeight);
      kxGUIPanel* panel = kxGUIPanel::Create(1, 40, 30, 720, 540);
      manager->AppendControl(panel);
      kxGIULabel* title =
          kxGIULabel::Create(0, font.get(), 20, 12, kxString(u"kxEngine GUI controls"));
      title->SetColor(1.0f, 0.85f, 0.3f, 1.0f);
      panel->AppendChild(title);

      kxGUIButton* buttons[4] = {
          kxGUIButton::Create(10, font.get(), &states, 20, 50, 150, 40, kxString(u"Passive")),
          kxGUIButton::Create(11, font.get(), &states, 190, 50, 150, 40, kxString(u"Active")),
          kxGUIButton::Create(12, font.get(), &states, 360, 50, 150, 40, kxString(u"Pushed")),
          kxGUIButton::Create(13, font.get(), &states, 530, 50, 30, 40, kxString(u"OK")),
      };
      for (kxGUIButton* b : buttons) panel->AppendChild(b);
      buttons[1]->OnMouseEnter();
      buttons[2]->OnLMBDown();

      kxGUITextScroll* ticker = kxGUITextScroll::Create(
          20, font.get(), 20, 110, 680,
          kxString(u"The ticker runs right to left, one pixel per frame, clipped at "
                   u"both edges of its control ... and starts again at the right."));
      panel->AppendChild(ticker);
      ticker->SetVx(420);
      kxGUITextScroll* fader = kxGUITextScroll::Create(21, small.get(), 20, 140, 400,
                                                       kxString(u"This text is fading out ..."));
      fader->SetColor(0.6f, 1.0f, 0.6f, 1.0f);
      panel->AppendChild(fader);
      fader->SetVx(380);
      kxString next(u"... and this one fades in.");
      fader->SetValue(next);

      kxGUITextViewer* viewer = kxGUITextViewer::Create(30, &lines, small.get(), 20, 190, 420, 200);
      panel->AppendChild(viewer);
      viewer->OnLMBDown();
      viewer->OnMouseMove(0, -9);
      viewer->OnLMBUp();
      viewer->OnLMBDown();  // stops the coasting where the drag left it

      kxGUIPicture* logo = kxGUIPicture::Create(
          0, 480, 250, 256, 64, engineResources ? engineResources->Get("kxEngineLogo") : nullptr);
      manager->AppendControl(logo);
      kxGUIPanel* dark = kxGUIPanel::Create(0, 480, 340, 256, 120);
      dark->SetBackgroundColor(0.0f, 0.0f, 0.0f, 0.6f);
      manager->AppendControl(dark);
      kxGIULabel* note =
          kxGIULabel::Create(0, small.get(), 15, 12, kxString(u"A nested panel at 60 % black"));
      dark->AppendChild(note);

      for (int i = 0; i < frames; ++i) {
        DrawBackdrop(r);
        manager->Draw();
      }
      r->Finish();
      std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
      r->ReadPixels(0, 0, kWidth, kHeight, pixels.data());
      if (!WriteTGA(output, pixels)) {
        std::fprintf(stderr, "kxguigallery: cannot write %s\n", output);
        status = 3;
      }
      delete manager;
    }
    r->DeleteTarget(target);
  }
  // The window and context go with the process: destroying them unloads the
  // GL driver, after which a leak checker can no longer tell the driver's
  // own process-long allocations from ours.
  return status;
}
