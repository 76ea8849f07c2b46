#include "vpBitmapFont.h"

namespace {

bool IsControl(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

void PutInt(std::vector<uint8_t>* out, int32_t v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) out->push_back(uint8_t(u >> (8 * i)));
}

}  // namespace

bool vpBitmapFont::Build(const vpFontFace& face, int pixelSize, uint32_t lastCode) {
  glyphs.assign(size_t(lastCode) + 1, vpGlyph());
  for (uint32_t c = 0; c <= lastCode; ++c) {
    if (IsControl(c) || !face.HasGlyph(c)) continue;
    if (!face.Render(c, pixelSize, &glyphs[c])) return false;
  }
  return true;
}

std::vector<uint8_t> vpBitmapFont::Serialize() const {
  std::vector<uint8_t> out;
  for (const vpGlyph& g : glyphs) {
    PutInt(&out, g.width);
    PutInt(&out, g.height);
    PutInt(&out, g.advance);
    PutInt(&out, g.top);
    PutInt(&out, g.left);
    out.insert(out.end(), g.pixels.begin(), g.pixels.end());
  }
  return out;
}

bool vpBitmapFont::Prints(uint32_t code) const {
  if (code >= glyphs.size() || IsControl(code)) return false;
  const vpGlyph& g = glyphs[code];
  return (g.width > 0 && g.height > 0) || g.advance > 0;
}

int vpBitmapFont::TextWidth(const std::u16string& text) const {
  int w = 0;
  for (char16_t c : text)
    if (c < glyphs.size()) w += glyphs[c].advance;
  return w;
}

float vpBitmapFont::LineHeight() const {
  float h = 0.0f;
  for (const vpGlyph& g : glyphs)
    if (float(g.top) > h) h = float(g.height);
  return h;
}
