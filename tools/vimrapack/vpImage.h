// vpImage: a floating-point RGBA canvas the pack generator paints its
// pictures on, with straight (not premultiplied) alpha and row 0 at the top.
// vpMask is a single-channel coverage map (0 empty .. 1 full) used for glyphs,
// shapes and shadows. Both own their pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct vpColor {
  float r, g, b, a;
};

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
vpColor vpMix(const vpColor& a, const vpColor& b, float t);
// Colour from 0xRRGGBB, opaque.
vpColor vpHex(uint32_t rgb);
// The same colour with every channel scaled by `factor` towards black (< 1)
// or towards white (> 1, as 2 - factor of the distance to white).
vpColor vpShade(const vpColor& c, float factor);

class vpMask {
 public:
  vpMask(int width = 0, int height = 0);
  int Width() const { return width; }
  int Height() const { return height; }
  float At(int x, int y) const;  // 0 outside
  float& Ref(int x, int y) { return v[size_t(y) * size_t(width) + size_t(x)]; }
  // Box blur of the given radius, run three times (close to a Gaussian).
  vpMask Blurred(int radius) const;
  // Area-averaged resize.
  vpMask Resized(int newWidth, int newHeight) const;
  // The mask inside an empty margin of `pad` pixels on every side.
  vpMask Padded(int pad) const;
  // Turned by half a turn (upside down and mirrored).
  vpMask Rotated180() const;

 private:
  int width, height;
  std::vector<float> v;
};

class vpImage {
 public:
  vpImage(int width = 0, int height = 0, vpColor fill = {0, 0, 0, 0});
  int Width() const { return width; }
  int Height() const { return height; }
  const vpColor& At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
  vpColor& Ref(int x, int y) { return px[size_t(y) * size_t(width) + size_t(x)]; }

  // Composites `c` over pixel (x, y) with its alpha times `coverage`;
  // pixels outside the canvas are ignored.
  void Blend(int x, int y, const vpColor& c, float coverage);
  // Paints the mask with its top-left corner at (x, y).
  void DrawMask(const vpMask& mask, int x, int y, const vpColor& c);
  // Composites another image with its top-left corner at (x, y).
  void DrawImage(const vpImage& src, int x, int y);
  // Area-averaged resize; colours are weighted by alpha so that transparent
  // pixels do not darken the edges of what is left.
  vpImage Resized(int newWidth, int newHeight) const;

 private:
  int width, height;
  std::vector<vpColor> px;
};
