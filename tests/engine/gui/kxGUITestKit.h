// Shared fixtures of the GUI control tests (also used by the splash tests):
// solid test pictures as crunched TGA blocks, a font of solid block glyphs
// with known metrics, and a y-down pixel view of a test framebuffer.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "graphics/kxFont.h"
#include "graphics/kxScreen.h"
#include "render/kxRenderer.h"
#include "support/kxGLTestContext.h"

namespace kxGUITest {

struct BlockDeleter {
  void operator()(kxMemoryBlock* block) const { kxFreeMemoryBlock(block); }
};
using Block = std::unique_ptr<kxMemoryBlock, BlockDeleter>;

// Colour of the picture pixel at column x, row y counted from the top.
using PixelFn = std::function<kxTest::RGBA(int x, int y)>;

// An uncompressed 32-bit TGA (rows stored bottom-up, as the engine's images
// are), crunched.
inline Block MakeCrunchedTGA(int width, int height, const PixelFn& pixel) {
  std::vector<uint8_t> tga(18, 0);
  tga[2] = 2;
  tga[12] = static_cast<uint8_t>(width);
  tga[13] = static_cast<uint8_t>(width >> 8);
  tga[14] = static_cast<uint8_t>(height);
  tga[15] = static_cast<uint8_t>(height >> 8);
  tga[16] = 32;
  tga[17] = 0x08;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      kxTest::RGBA c = pixel(x, y);
      tga.push_back(c.b);
      tga.push_back(c.g);
      tga.push_back(c.r);
      tga.push_back(c.a);
    }
  }
  kxMemoryBlock raw{tga.data(), tga.size()};
  return Block(kxCrunchMemoryBlock(&raw));
}

inline Block MakeSolidTGA(int width, int height, kxTest::RGBA colour) {
  return MakeCrunchedTGA(width, height, [colour](int, int) { return colour; });
}

// A crunched block that expands but is no picture.
inline Block MakeGarbageBlock() {
  uint8_t junk[40];
  for (int i = 0; i < 40; ++i) junk[i] = static_cast<uint8_t>(200 + i);
  kxMemoryBlock raw{junk, sizeof junk};
  return Block(kxCrunchMemoryBlock(&raw));
}

// Font metrics of MakeBlockFont: every character 0..127 is a solid
// 8-pixel-wide box drawn from 12 above the pen to (height - 12) below it,
// one pixel right of the pen, and advances 10.
const int kGlyphAdvance = 10;
const int kGlyphLeft = 1;
const int kGlyphWidth = 8;
const int kGlyphTop = 12;

// Needs the GL context. The font's height is glyphHeight.
inline std::unique_ptr<kxFont> MakeBlockFont(int glyphHeight = 16) {
  kxFont source(ftTopDown);
  size_t rows = glyphHeight > 0 ? static_cast<size_t>(glyphHeight) : 1;
  std::vector<uint8_t> pixels(static_cast<size_t>(kGlyphWidth) * rows, 255);
  for (int c = 0; c < 128; ++c) {
    TGlyph_s glyph{pixels.data(), kGlyphWidth, glyphHeight, kGlyphAdvance, kGlyphTop, kGlyphLeft};
    source.AppendGlyph(&glyph);
  }
  uint64_t size = 0;
  uint8_t* file = source.SaveToMemory(&size);
  std::unique_ptr<kxFont> font(new kxFont(ftTopDown));
  kxMemoryBlock block{file, size};
  bool loaded = file && font->LoadFromMemory(&block);
  free(file);
  if (!loaded) return nullptr;
  return font;
}

// Framebuffer pixel in window coordinates (row 0 at the top).
inline kxTest::RGBA At(kxTest::Framebuffer& fb, int x, int y) {
  return fb.Pixel(x, fb.Height() - 1 - y);
}

// Sets up GUI drawing into fb by hand: pixel projection with y down,
// blending as the frame sets it, no depth test.
inline void BeginGUIDrawing(kxTest::Framebuffer& fb) {
  kxTest::SetOrtho(0.0f, static_cast<float>(fb.Width()), static_cast<float>(fb.Height()), 0.0f);
  kxGetRenderer()->Enable(rsBlend);
  kxGetRenderer()->SetAlphaBlending();
}

// A GL test with the 16-pixel block font, and for the tests that draw, a
// framebuffer of the screen's size set up for GUI drawing (DrawInto).
class FontTest : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    if (HasFatalFailure()) return;
    font = MakeBlockFont(16);
    ASSERT_TRUE(font);
  }
  // Draws into a new width x height framebuffer, which becomes the screen.
  void DrawInto(int width, int height) {
    fb.reset(new kxTest::Framebuffer(width, height));
    kxSetScreenSize(width, height);
    BeginGUIDrawing(*fb);
  }
  std::unique_ptr<kxFont> font;
  std::unique_ptr<kxTest::Framebuffer> fb;
};

const kxTest::RGBA kBlack{0, 0, 0, 0};
const kxTest::RGBA kRed{255, 0, 0, 255};
const kxTest::RGBA kGreen{0, 255, 0, 255};
const kxTest::RGBA kBlue{0, 0, 255, 255};
const kxTest::RGBA kWhite{255, 255, 255, 255};

}  // namespace kxGUITest
