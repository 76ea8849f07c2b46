// Engine-internal: the whole-pixel size of a text in a font, as the text
// controls lay themselves out. A control without a font measures 0.
#pragma once

#include "data/kxString.h"
#include "graphics/kxFont.h"

inline int kxTextWidth(kxFont* font, const kxString& text) {
  return font ? static_cast<int>(font->GetWidth(text.GetString())) : 0;
}

inline int kxFontHeight(kxFont* font) {
  return font ? static_cast<int>(font->GetHeight()) : 0;
}
