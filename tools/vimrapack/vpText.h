// Text sources of the pack: strict UTF-8 decoding, the message list format,
// word wrapping by a bitmap font's advances, the check that every character
// prints in the pack's fonts, and the CR LF text the game reads.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "vpBitmapFont.h"

// Calls use(number, line) for each line of an asset source that is neither
// empty nor a '#' comment: its 1-based number and the line without a CR.
// Stops at the first call that returns false and returns false then.
template <class Use>
bool vpForEachSourceLine(const std::string& source, Use use) {
  std::istringstream in(source);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!use(number, line)) return false;
  }
  return true;
}

// Decodes well-formed UTF-8 (no overlong forms, surrogates or bytes past
// U+10FFFF); false on anything else.
bool vpDecodeUTF8(const std::string& bytes, std::u32string* text);
std::string vpEncodeUTF8(const std::u32string& text);

// Message list: one message a line written as "NN|text|", NN counting up
// from 00 without gaps; the bars keep leading and trailing spaces visible.
// Blank lines and lines starting with '#' are skipped. False with a message
// naming the line when the form or the numbering is wrong.
bool vpParseMessages(const std::string& source, std::vector<std::u32string>* messages,
                     std::string* error);

// Lays out a text: each source line is a paragraph wrapped to `maxWidth`
// pixels of `font`; blank lines stay blank; continuation lines keep the
// paragraph's indentation, plus two spaces after a "- " or "* " bullet. A
// word wider than the line is cut between characters.
std::vector<std::u32string> vpWrapText(const std::u32string& source, const vpBitmapFont& font,
                                       int maxWidth);

// True when every character is a printable code of at most U+017F that
// every given font draws (or, for spaces, advances over); otherwise false
// with the first offending character named in *error.
bool vpCheckPrintable(const std::u32string& line, const std::vector<const vpBitmapFont*>& fonts,
                      std::string* error);

// Width of the text in the font, as the engine measures it.
int vpTextWidth(const std::u32string& text, const vpBitmapFont& font);

// The lines as UTF-8, each ended by CR LF.
std::vector<uint8_t> vpJoinLines(const std::vector<std::u32string>& lines);
