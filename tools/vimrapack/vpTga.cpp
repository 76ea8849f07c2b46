#include "vpTga.h"

#include <cmath>

namespace {

uint8_t ToByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return uint8_t(std::lround(v * 255.0f));
}

}  // namespace

std::vector<uint8_t> vpEncodeTGA(const vpImage& image, bool withAlpha) {
  const int w = image.Width(), h = image.Height();
  const size_t bpp = withAlpha ? 4 : 3;
  std::vector<uint8_t> out(18 + size_t(w) * size_t(h) * bpp, 0);
  out[2] = 2;
  out[12] = uint8_t(w & 255);
  out[13] = uint8_t(w >> 8);
  out[14] = uint8_t(h & 255);
  out[15] = uint8_t(h >> 8);
  out[16] = uint8_t(bpp * 8);
  out[17] = withAlpha ? 8 : 0;  // alpha bits; origin bottom-left
  size_t o = 18;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const vpColor& c = image.At(x, y);
      out[o++] = ToByte(c.b);
      out[o++] = ToByte(c.g);
      out[o++] = ToByte(c.r);
      if (withAlpha) out[o++] = ToByte(c.a);
    }
  return out;
}
