#include "vpText.h"

#include <cstdio>
#include <sstream>

bool vpDecodeUTF8(const std::string& bytes, std::u32string* text) {
  text->clear();
  size_t i = 0;
  while (i < bytes.size()) {
    const uint8_t b = uint8_t(bytes[i]);
    int extra;
    char32_t c, min;
    if (b < 0x80) {
      extra = 0, c = b, min = 0;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, c = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (bytes.size() - i <= size_t(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const uint8_t n = uint8_t(bytes[i + size_t(k)]);
      if ((n & 0xC0) != 0x80) return false;
      c = (c << 6) | (n & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    text->push_back(c);
    i += size_t(extra) + 1;
  }
  return true;
}

std::string vpEncodeUTF8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool vpParseMessages(const std::string& source, std::vector<std::u32string>* messages,
                     std::string* error) {
  messages->clear();
  return vpForEachSourceLine(source, [&](int number, const std::string& line) {
    const std::string where = "message line " + std::to_string(number);
    const size_t bar = line.find('|');
    if (bar == std::string::npos || line.size() < bar + 2 || line.back() != '|') {
      *error = where + ": expected NN|text|";
      return false;
    }
    const std::string index = line.substr(0, bar);
    const std::string expected =
        (messages->size() < 10 ? "0" : "") + std::to_string(messages->size());
    if (index != expected) {
      *error = where + ": expected message " + expected + ", found \"" + index + "\"";
      return false;
    }
    std::u32string text;
    if (!vpDecodeUTF8(line.substr(bar + 1, line.size() - bar - 2), &text)) {
      *error = where + ": not valid UTF-8";
      return false;
    }
    messages->push_back(text);
    return true;
  });
}

int vpTextWidth(const std::u32string& text, const vpBitmapFont& font) {
  int w = 0;
  for (char32_t c : text)
    if (c < font.Count()) w += font.Glyph(uint32_t(c)).advance;
  return w;
}

namespace {

void WrapParagraph(const std::u32string& para, const vpBitmapFont& font, int maxWidth,
                   std::vector<std::u32string>* out) {
  size_t start = para.find_first_not_of(U' ');
  if (start == std::u32string::npos) {
    out->push_back(U"");
    return;
  }
  std::u32string indent = para.substr(0, start);
  std::u32string hanging = indent;
  if (para.compare(start, 2, U"- ") == 0 || para.compare(start, 2, U"* ") == 0) hanging += U"  ";

  std::vector<std::u32string> words;
  std::u32string word;
  for (size_t i = start; i < para.size(); ++i) {
    if (para[i] == U' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += para[i];
    }
  }
  if (!word.empty()) words.push_back(word);

  std::u32string line = indent;
  bool lineHasWord = false;
  for (std::u32string w : words) {
    std::u32string candidate = line + (lineHasWord ? U" " : U"") + w;
    if (vpTextWidth(candidate, font) <= maxWidth) {
      line = candidate;
      lineHasWord = true;
      continue;
    }
    if (lineHasWord) {
      out->push_back(line);
      line = hanging;
      lineHasWord = false;
    }
    // Cut a word that does not fit even on a line of its own.
    while (vpTextWidth(line + w, font) > maxWidth && w.size() > 1) {
      size_t n = 1;
      while (n < w.size() && vpTextWidth(line + w.substr(0, n + 1), font) <= maxWidth) ++n;
      out->push_back(line + w.substr(0, n));
      w = w.substr(n);
      line = hanging;
    }
    line += w;
    lineHasWord = true;
  }
  if (lineHasWord) out->push_back(line);
}

}  // namespace

std::vector<std::u32string> vpWrapText(const std::u32string& source, const vpBitmapFont& font,
                                       int maxWidth) {
  std::vector<std::u32string> out;
  size_t pos = 0;
  while (pos <= source.size()) {
    size_t end = source.find(U'\n', pos);
    if (end == std::u32string::npos) end = source.size();
    std::u32string para = source.substr(pos, end - pos);
    if (!para.empty() && para.back() == U'\r') para.pop_back();
    if (end == source.size() && para.empty()) break;  // nothing after the last line end
    WrapParagraph(para, font, maxWidth, &out);
    pos = end + 1;
  }
  return out;
}

bool vpCheckPrintable(const std::u32string& line, const std::vector<const vpBitmapFont*>& fonts,
                      std::string* error) {
  for (char32_t c : line) {
    bool ok = c <= 0x17F;
    for (const vpBitmapFont* f : fonts) ok = ok && f->Prints(uint32_t(c));
    if (!ok) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
      *error = std::string("character ") + code + " cannot be printed with the pack's fonts in \"" +
               vpEncodeUTF8(line) + "\"";
      return false;
    }
  }
  return true;
}

std::vector<uint8_t> vpJoinLines(const std::vector<std::u32string>& lines) {
  std::vector<uint8_t> out;
  for (const std::u32string& l : lines) {
    const std::string s = vpEncodeUTF8(l);
    out.insert(out.end(), s.begin(), s.end());
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}
