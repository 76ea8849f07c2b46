// vpBitmapFont: the glyph records of one engine font file (character code i
// is record i; five little-endian int32 metrics, then the coverage bytes,
// top row first), rendered from an outline font. Also measures text the way
// the engine's font does, so that texts can be wrapped to a viewer's width.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vpFontFace.h"

class vpBitmapFont {
 public:
  // Renders codes 0 to lastCode at `pixelSize` pixels per em. Control codes
  // and codes the face lacks get empty records that do not move the pen.
  // False when the face cannot render a glyph it claims to hold.
  bool Build(const vpFontFace& face, int pixelSize, uint32_t lastCode);
  // The font file: every record in code order.
  std::vector<uint8_t> Serialize() const;

  uint32_t Count() const { return uint32_t(glyphs.size()); }
  const vpGlyph& Glyph(uint32_t code) const { return glyphs[code]; }
  // True when the code has a record that draws something, or is a
  // non-control character that only advances (a space).
  bool Prints(uint32_t code) const;
  // Sum of the advances, as the engine measures a text; codes beyond the
  // font count nothing.
  int TextWidth(const std::u16string& text) const;
  // The engine's line height: walking the records in order, a glyph whose
  // top exceeds the height so far sets it to that glyph's bitmap height.
  float LineHeight() const;

 private:
  std::vector<vpGlyph> glyphs;
};
