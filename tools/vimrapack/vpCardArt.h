// Card pictures: each card texture holds the face (left half) and the back
// (right half), both 256 x 512 texels covering the whole card, drawn at a
// larger square-pixel size in the card's proportions and scaled down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vpFontFace.h"
#include "vpImage.h"

struct vpCardDef {
  uint32_t symbol;     // code point of the picture's glyph
  vpColor background;  // the card's own colour
  vpColor ink;         // colour of the symbol
  std::string name;
};

// Reads the card list: one card a line, "<U+XXXX> <#RRGGBB> <#RRGGBB> <name>";
// '#' at the start of a line makes it a comment. False with a message naming
// the line on any malformed line.
bool vpParseCardList(const std::string& text, std::vector<vpCardDef>* cards, std::string* error);

constexpr int kCardTextureSize = 512;

// The full texture of one card; false when the face lacks a glyph it needs.
bool vpDrawCardTexture(const vpFontFace& face, const vpCardDef& card, vpImage* texture);
