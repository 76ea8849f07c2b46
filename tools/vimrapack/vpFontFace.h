// vpFontFace: one outline font opened with FreeType, rendered either as the
// hinted small glyphs of a bitmap font or as large unhinted shapes fitted to
// a box (card symbols, the title). Owns its FreeType library and face.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vpImage.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct vpGlyph {
  int width = 0, height = 0;    // bitmap size in pixels
  int advance = 0;              // pen movement, whole pixels
  int top = 0;                  // baseline to the first (top) bitmap row
  int left = 0;                 // pen to the bitmap's left column
  std::vector<uint8_t> pixels;  // width x height coverage, top row first
};

class vpFontFace {
 public:
  vpFontFace();
  ~vpFontFace();
  vpFontFace(const vpFontFace&) = delete;
  vpFontFace& operator=(const vpFontFace&) = delete;

  // False when the file cannot be opened as a font.
  bool Open(const std::string& path);
  // True when the font maps the code point to a glyph of its own.
  bool HasGlyph(uint32_t codePoint) const;
  // Hinted glyph at `pixelSize` pixels per em; false when it cannot be
  // loaded. A code point the font lacks gives false too.
  bool Render(uint32_t codePoint, int pixelSize, vpGlyph* glyph) const;
  // The glyph's outline scaled to fit maxWidth x maxHeight as closely as
  // possible, unhinted, as a mask as large as the rendered bitmap.
  bool RenderFitted(uint32_t codePoint, int maxWidth, int maxHeight, vpMask* mask) const;
  // A line of text at `pixelSize` (unhinted, with the font's kerning) as a
  // mask; *baseline receives the baseline's row in the mask.
  bool RenderLine(const std::u32string& text, int pixelSize, vpMask* mask, int* baseline) const;

 private:
  FT_LibraryRec_* library = nullptr;
  FT_FaceRec_* face = nullptr;
};
