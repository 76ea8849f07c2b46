#include "vpTga.h"

#include <cmath>
#include <utility>

#include "graphics/kxTGA.h"

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

bool vpDecodeTGA(const uint8_t* data, size_t size, vpImage* image) {
  kxTGAImage t{};
  if (!kxDecodeTGA(data, size, &t)) return false;
  vpImage out(int(t.width), int(t.height));
  for (uint32_t y = 0; y < t.height; ++y)
    for (uint32_t x = 0; x < t.width; ++x) {
      const uint8_t* p = t.pixels + (size_t(y) * t.width + x) * t.bytesPerPixel;
      out.Ref(int(x), int(t.height - 1 - y)) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f,
                                                t.bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
    }
  kxFreeTGAImage(&t);
  *image = std::move(out);
  return true;
}
