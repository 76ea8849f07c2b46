// vimrasheet: draws a contact sheet of a resource pack for a quick look at
// everything the player sees: the card faces and back, star, clouds, logo,
// the nine buttons with captions, and a line in each font and language.
//   vimrasheet PACK OUTPUT.ppm
// The sheet is built only from the pack's entries, decoded the way the
// engine decodes them. Errors go to stderr with a non-zero exit status.
#include <cstdio>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxString.h"
#include "data/kxStringArray.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxTGA.h"
#include "vimraPackKeys.h"
#include "vpImage.h"

namespace {

std::vector<uint8_t> Expand(const kxResource& pack, const std::string& key) {
  std::vector<uint8_t> out;
  kxMemoryBlock* raw = kxDecrunchMemoryBlock(pack.Get(key.c_str()));
  if (raw) {
    out.assign(raw->data, raw->data + raw->size);
    kxFreeMemoryBlock(raw);
  }
  return out;
}

// The picture upright: the first stored row is the bottom one.
bool Picture(const kxResource& pack, const std::string& key, vpImage* img) {
  const std::vector<uint8_t> bytes = Expand(pack, key);
  kxTGAImage t{};
  if (bytes.empty() || !kxDecodeTGA(bytes.data(), bytes.size(), &t)) return false;
  *img = vpImage(int(t.width), int(t.height));
  for (uint32_t y = 0; y < t.height; ++y)
    for (uint32_t x = 0; x < t.width; ++x) {
      const uint8_t* p = t.pixels + (size_t(y) * t.width + x) * t.bytesPerPixel;
      img->Ref(int(x), int(t.height - 1 - y)) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f,
                                                 t.bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
    }
  kxFreeTGAImage(&t);
  return true;
}

struct Font {
  TGlyph_s* glyphs = nullptr;
  uint64_t count = 0;
  ~Font() { kxFreeFontGlyphs(glyphs, count); }
  bool Load(const kxResource& pack, const char* key) {
    const std::vector<uint8_t> bytes = Expand(pack, key);
    return !bytes.empty() && kxReadFontGlyphs(bytes.data(), bytes.size(), &glyphs, &count) &&
           count > 0;
  }
  // Pen at (x, baseline), rows top first, as the game's top-down fonts draw.
  int Print(vpImage* img, int x, int baseline, const kxWChar* text, const vpColor& c) const {
    for (; text && *text; ++text) {
      if (*text >= count) continue;
      const TGlyph_s& g = glyphs[*text];
      for (int r = 0; r < g.height; ++r)
        for (int col = 0; col < g.width; ++col)
          img->Blend(x + g.left + col, baseline - g.top + r, c,
                     g.pixels[r * g.width + col] / 255.0f);
      x += g.advance;
    }
    return x;
  }
  int Width(const kxWChar* text) const {
    int w = 0;
    for (; text && *text; ++text)
      if (*text < count) w += glyphs[*text].advance;
    return w;
  }
};

std::u16string Line(const kxResource& pack, const std::string& key, uint64_t index) {
  kxStringArray lines;
  if (!lines.LoadFromCrunchedMemoryBlock(pack.Get(key.c_str()))) return u"";
  if (index >= lines.GetLinesCounf() || !lines.GetLine(index).GetString()) return u"";
  return lines.GetLine(index).GetString();
}

bool WritePPM(const vpImage& img, const char* path) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", img.Width(), img.Height());
  std::vector<uint8_t> row;
  for (int y = 0; y < img.Height(); ++y) {
    row.clear();
    for (int x = 0; x < img.Width(); ++x) {
      const vpColor& c = img.At(x, y);
      for (float v : {c.r, c.g, c.b})
        row.push_back(uint8_t(v <= 0 ? 0 : v >= 1 ? 255 : int(v * 255 + 0.5f)));
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vimrasheet PACK OUTPUT.ppm\n");
    return 2;
  }
  kxResource pack;
  if (!pack.ReadFromFile(argv[1])) {
    std::fprintf(stderr, "vimrasheet: %s: not a readable pack\n", argv[1]);
    return 1;
  }
  const int W = 1480, H = 1240;
  // The game's backdrop colours, blue above, amber below.
  vpImage sheet(W, H);
  const vpColor top = {0.0849f, 0.4049f, 0.7286f, 1}, bottom = {0.8891f, 0.6295f, 0.1346f, 1};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) sheet.Ref(x, y) = vpMix(top, bottom, float(y) / float(H - 1));

  std::string missing;
  vpImage img;
  // Card faces at about the size they have on a 1280 x 720 table.
  const int last = vimraCardPictureCount - 1;
  for (int i = 0; i <= last; ++i) {
    if (!Picture(pack, vimraCardPictureKey(i), &img)) {
      missing += " " + vimraCardPictureKey(i);
      continue;
    }
    vpImage face(img.Width() / 2, img.Height());
    for (int y = 0; y < face.Height(); ++y)
      for (int x = 0; x < face.Width(); ++x) face.Ref(x, y) = img.At(x, y);
    const vpImage small = face.Resized(90, 129);
    sheet.DrawImage(small, 20 + (i % 11) * 100, 20 + (i / 11) * 140);
    if (i == 0) {
      vpImage back(img.Width() / 2, img.Height());
      for (int y = 0; y < back.Height(); ++y)
        for (int x = 0; x < back.Width(); ++x) back.Ref(x, y) = img.At(x + img.Width() / 2, y);
      sheet.DrawImage(back.Resized(90, 129), 20 + 10 * 100, 160);
    }
    if (i == last && Picture(pack, vimraLowKey(vimraCardPictureKey(i)), &img)) {
      vpImage low(img.Width() / 2, img.Height());
      for (int y = 0; y < low.Height(); ++y)
        for (int x = 0; x < low.Width(); ++x) low.Ref(x, y) = img.At(x, y);
      sheet.DrawImage(low.Resized(90, 129), 20 + 11 * 100 + 20, 20);
    }
  }
  // Card 0 as large as the reveal shows it.
  if (Picture(pack, vimraCardPictureKey(0), &img)) {
    vpImage face(img.Width() / 2, img.Height());
    for (int y = 0; y < face.Height(); ++y)
      for (int x = 0; x < face.Width(); ++x) face.Ref(x, y) = img.At(x, y);
    sheet.DrawImage(face, 1200, 300);
  }
  int x = 20;
  for (const char* c : vimraKeyClouds) {
    if (!Picture(pack, c, &img)) {
      missing += std::string(" ") + c;
      continue;
    }
    sheet.DrawImage(img.Resized(360, 180), x, 300);
    x += 370;
  }
  const std::string logoLow = vimraLowKey(vimraKeyLogo);
  if (Picture(pack, vimraKeyStar, &img))
    sheet.DrawImage(img, 20, 500);
  else
    missing += std::string(" ") + vimraKeyStar;
  if (Picture(pack, vimraKeyLogo, &img))
    sheet.DrawImage(img, 170, 490);
  else
    missing += std::string(" ") + vimraKeyLogo;
  if (Picture(pack, logoLow, &img))
    sheet.DrawImage(img, 700, 490);
  else
    missing += " " + logoLow;

  Font large, small;
  if (!large.Load(pack, vimraKeyLargeFont) || !small.Load(pack, vimraKeySmallFont)) {
    std::fprintf(stderr, "vimrasheet: %s: the fonts do not load\n", argv[1]);
    return 1;
  }
  // Buttons with their captions, placed as the GUI places them.
  const std::string english = std::string(vimraKeyMessagesPrefix) + vimraPackLanguages[0];
  const std::string polski = std::string(vimraKeyMessagesPrefix) + vimraPackLanguages[1];
  const std::u16string captions[3] = {Line(pack, english, 8), Line(pack, english, 1),
                                      Line(pack, polski, 2)};
  for (int c = 0; c < 3; ++c)
    for (int s = 0; s < 3; ++s) {
      const std::string key = vimraButtonKey(vimraButtonColours[c], vimraButtonStates[s]);
      if (!Picture(pack, key, &img)) {
        missing += " " + key;
        continue;
      }
      const int bx = 700 + s * 140, by = 780 + c * 44;
      sheet.DrawImage(img, bx, by);
      const kxWChar* t = captions[c].c_str();
      const int tx = bx + (128 - large.Width(t)) / 2, ty = by + 22;
      large.Print(&sheet, tx + 1, ty + 1, t, {0, 0, 0, 1});
      large.Print(&sheet, tx, ty, t, {1, 1, 1, 1});
    }
  // A white panel with text in both fonts and languages.
  for (int y = 930; y < 1220; ++y)
    for (int px = 20; px < 1460; ++px) sheet.Blend(px, y, {1, 1, 1, 1}, 0.8f);
  int y = 956;
  for (const char* lang : vimraPackLanguages) {
    const std::string msg = std::string(vimraKeyMessagesPrefix) + lang;
    large.Print(&sheet, 30, y, Line(pack, msg, 0).c_str(), {0.04f, 0.04f, 0.25f, 1});
    y += 24;
    large.Print(&sheet, 30, y, Line(pack, msg, 19).c_str(), {0.04f, 0.04f, 0.25f, 1});
    y += 24;
    const std::u16string about = Line(pack, msg, 5) + u", " + Line(pack, msg, 4) + u"1.1.209, " +
                                 Line(pack, msg, 10) + u"Linux";
    small.Print(&sheet, 30, y, about.c_str(), {0, 0, 0, 1});
    y += 18;
    for (uint64_t i = 0; i < 3; ++i, y += 18)
      small.Print(&sheet, 30, y, Line(pack, std::string(vimraKeyHowToPlayPrefix) + lang, i).c_str(),
                  {0, 0, 0, 1});
    y += 12;
  }
  if (!missing.empty()) {
    std::fprintf(stderr, "vimrasheet: %s: missing or undecodable:%s\n", argv[1], missing.c_str());
    return 1;
  }
  if (!WritePPM(sheet, argv[2])) {
    std::fprintf(stderr, "vimrasheet: %s: cannot write\n", argv[2]);
    return 1;
  }
  return 0;
}
