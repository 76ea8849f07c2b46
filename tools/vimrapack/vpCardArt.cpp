#include "vpCardArt.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "vpShapes.h"
#include "vpText.h"

namespace {

// The card in square pixels: 0.32 x 0.46 units at 2225 pixels per unit.
constexpr int kCanvasW = 712, kCanvasH = 1024;
constexpr float kRadius = 66.8f;  // the mesh's 0.03-unit corner
constexpr float kBorder = 40.0f;
const vpColor kBorderColor = vpHex(0xF8F4E9);
const vpColor kEdgeColor = vpHex(0xB9B09C);
constexpr uint32_t kBackEmblem = 0x2726;  // four-pointed star

bool ParseHexColor(const std::string& s, vpColor* c) {
  if (s.size() != 7 || s[0] != '#') return false;
  char* end = nullptr;
  const unsigned long v = std::strtoul(s.c_str() + 1, &end, 16);
  if (*end != '\0') return false;
  *c = vpHex(uint32_t(v));
  return true;
}

vpRect Inner() {
  return {kBorder, kBorder, kCanvasW - kBorder, kCanvasH - kBorder};
}

void DrawFrame(vpImage* img) {
  const vpRect all{0, 0, float(kCanvasW), float(kCanvasH)};
  vpStrokeRoundRect(img, all, kRadius, 4.0f, kEdgeColor);
}

// Places a mask centred on (cx, cy) with a soft drop shadow below right.
void DrawWithShadow(vpImage* img, const vpMask& m, float cx, float cy, const vpColor& ink, int blur,
                    int offset, float shadowAlpha) {
  const int x = int(std::lround(cx - m.Width() * 0.5f));
  const int y = int(std::lround(cy - m.Height() * 0.5f));
  if (shadowAlpha > 0) {
    const vpMask shadow = m.Padded(blur * 3).Blurred(blur);
    img->DrawMask(shadow, x - blur * 3 + offset, y - blur * 3 + offset,
                  {0.0f, 0.0f, 0.0f, shadowAlpha});
  }
  img->DrawMask(m, x, y, ink);
}

bool DrawFront(const vpFontFace& face, const vpCardDef& card, vpImage* img) {
  DrawFrame(img);
  const vpRect in = Inner();
  const float r = kRadius - kBorder * 0.5f;
  vpFillRoundRect(img, in, r, vpShade(card.background, 1.18f), vpShade(card.background, 0.82f));
  vpStrokeRoundRect(img, in, r, 5.0f, vpShade(card.background, 0.55f));

  const float iw = in.x1 - in.x0, ih = in.y1 - in.y0;
  const float cx = (in.x0 + in.x1) * 0.5f, cy = (in.y0 + in.y1) * 0.5f;
  // A soft light behind the picture lifts it off the colour.
  const vpMask glow = vpEllipseMask(kCanvasW, kCanvasH, cx, cy, iw * 0.36f, iw * 0.36f).Blurred(40);
  img->DrawMask(glow, 0, 0, {1.0f, 1.0f, 1.0f, 0.22f});

  vpMask symbol;
  if (!face.RenderFitted(card.symbol, int(iw * 0.74f), int(ih * 0.52f), &symbol)) return false;
  DrawWithShadow(img, symbol, cx, cy, card.ink, 10, 9, 0.35f);

  // Small indices in two corners, the lower one upside down.
  vpMask small;
  if (!face.RenderFitted(card.symbol, 74, 74, &small)) return false;
  const float ix = in.x0 + 62, iy = in.y0 + 62;
  DrawWithShadow(img, small, ix, iy, card.ink, 3, 3, 0.25f);
  DrawWithShadow(img, small.Rotated180(), in.x1 - 62, in.y1 - 62, card.ink, 3, -3, 0.0f);
  return true;
}

bool DrawBack(const vpFontFace& face, vpImage* img) {
  DrawFrame(img);
  const vpRect in = Inner();
  const float r = kRadius - kBorder * 0.5f;
  const vpColor navy = vpHex(0x1C2D5A), gold = vpHex(0xD9B44A);
  vpFillRoundRect(img, in, r, vpShade(navy, 1.25f), vpShade(navy, 0.8f));

  // Diamond lattice, clipped to the panel.
  const float spacing = 56.0f, half = 1.6f;
  for (int y = 0; y < kCanvasH; ++y)
    for (int x = 0; x < kCanvasW; ++x) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      const float inside = vpCoverage(vpRoundRectDistance(px, py, in, r) + 14.0f);
      if (inside <= 0) continue;
      float cov = 0;
      for (float u : {px + py, px - py + 4096.0f}) {
        const float f = u / spacing - std::floor(u / spacing);
        const float dist = std::fmin(f, 1.0f - f) * spacing * 0.70710678f;
        cov = std::fmax(cov, vpCoverage(dist - half));
      }
      if (cov > 0) img->Blend(x, y, gold, cov * inside * 0.45f);
    }
  const vpRect frame{in.x0 + 22, in.y0 + 22, in.x1 - 22, in.y1 - 22};
  vpStrokeRoundRect(img, frame, r * 0.6f, 5.0f, gold);

  const float cx = (in.x0 + in.x1) * 0.5f, cy = (in.y0 + in.y1) * 0.5f;
  const vpMask disc = vpEllipseMask(kCanvasW, kCanvasH, cx, cy, 150, 150);
  img->DrawMask(disc, 0, 0, vpShade(navy, 0.9f));
  const vpMask ring = vpEllipseMask(kCanvasW, kCanvasH, cx, cy, 150, 150);
  const vpMask hole = vpEllipseMask(kCanvasW, kCanvasH, cx, cy, 142, 142);
  vpMask band(kCanvasW, kCanvasH);
  for (int y = 0; y < kCanvasH; ++y)
    for (int x = 0; x < kCanvasW; ++x)
      band.Ref(x, y) = std::fmax(0.0f, ring.At(x, y) - hole.At(x, y));
  img->DrawMask(band, 0, 0, gold);
  vpMask emblem;
  if (!face.RenderFitted(kBackEmblem, 200, 200, &emblem)) return false;
  DrawWithShadow(img, emblem, cx, cy, gold, 6, 5, 0.4f);
  return true;
}

}  // namespace

bool vpParseCardList(const std::string& text, std::vector<vpCardDef>* cards, std::string* error) {
  cards->clear();
  return vpForEachSourceLine(text, [&](int number, const std::string& line) {
    std::istringstream fields(line);
    std::string code, bg, ink, name;
    fields >> code >> bg >> ink;
    std::getline(fields >> std::ws, name);
    vpCardDef card;
    char* end = nullptr;
    const bool codeOk = code.size() > 2 && code[0] == 'U' && code[1] == '+';
    card.symbol = codeOk ? uint32_t(std::strtoul(code.c_str() + 2, &end, 16)) : 0;
    if (!codeOk || *end != '\0' || card.symbol == 0 || !ParseHexColor(bg, &card.background) ||
        !ParseHexColor(ink, &card.ink) || name.empty()) {
      *error =
          "card list line " + std::to_string(number) + ": expected U+XXXX #RRGGBB #RRGGBB name";
      return false;
    }
    card.name = name;
    cards->push_back(card);
    return true;
  });
}

bool vpDrawCardTexture(const vpFontFace& face, const vpCardDef& card, vpImage* texture) {
  vpImage front(kCanvasW, kCanvasH, kBorderColor), back(kCanvasW, kCanvasH, kBorderColor);
  if (!DrawFront(face, card, &front) || !DrawBack(face, &back)) return false;
  const int half = kCardTextureSize / 2;
  *texture = vpImage(kCardTextureSize, kCardTextureSize);
  texture->DrawImage(front.Resized(half, kCardTextureSize), 0, 0);
  texture->DrawImage(back.Resized(half, kCardTextureSize), half, 0);
  return true;
}
