#include "vpImage.h"

#include <algorithm>
#include <cmath>

namespace {

float Clamp01(float v) {
  return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Weights of the source cells [i, i+1) overlapping the destination cell
// [d * scale, (d + 1) * scale), for an area-averaging resize along one axis.
struct Span {
  int first;
  std::vector<float> weights;
};

std::vector<Span> Spans(int from, int to) {
  std::vector<Span> spans(size_t(to > 0 ? to : 0));
  const double scale = double(from) / double(to);
  for (int d = 0; d < to; ++d) {
    const double a = d * scale, b = (d + 1) * scale;
    int i0 = int(std::floor(a));
    int i1 = std::min(from, int(std::ceil(b)));
    Span& s = spans[size_t(d)];
    s.first = i0;
    for (int i = i0; i < i1; ++i) {
      double lo = std::max(a, double(i)), hi = std::min(b, double(i + 1));
      s.weights.push_back(float((hi - lo) / scale));
    }
  }
  return spans;
}

// One sliding-window pass of the box filter along a line of n cells: at(i)
// reads cell i (0 outside the line); the results gather in *line and are
// then written back with set(i, value).
template <typename At, typename Set>
void BoxFilterLine(int n, int radius, float norm, std::vector<float>* line, At at, Set set) {
  line->assign(size_t(n), 0.0f);
  float s = 0;
  for (int k = -radius; k <= radius; ++k) s += at(k);
  for (int i = 0; i < n; ++i) {
    // The running sum drifts by rounding; coverage never goes below 0.
    (*line)[size_t(i)] = std::max(0.0f, s * norm);
    s += at(i + radius + 1) - at(i - radius);
  }
  for (int i = 0; i < n; ++i) set(i, (*line)[size_t(i)]);
}

}  // namespace

vpColor vpMix(const vpColor& a, const vpColor& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

vpColor vpHex(uint32_t rgb) {
  return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f,
          float(rgb & 255) / 255.0f, 1.0f};
}

vpColor vpShade(const vpColor& c, float factor) {
  if (factor <= 1.0f) return {c.r * factor, c.g * factor, c.b * factor, c.a};
  const float t = factor - 1.0f;
  return {c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a};
}

vpMask::vpMask(int w, int h)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0), v(size_t(width) * size_t(height), 0.0f) {}

float vpMask::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
  return v[size_t(y) * size_t(width) + size_t(x)];
}

vpMask vpMask::Blurred(int radius) const {
  vpMask a = *this;
  if (radius <= 0 || width == 0 || height == 0) return a;
  // Three passes of a sliding-window box filter approximate a Gaussian.
  const float norm = 1.0f / float(2 * radius + 1);
  std::vector<float> line;
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < height; ++y) {
      BoxFilterLine(
          width, radius, norm, &line, [&](int x) { return a.At(x, y); },
          [&](int x, float c) { a.Ref(x, y) = c; });
    }
    for (int x = 0; x < width; ++x) {
      BoxFilterLine(
          height, radius, norm, &line, [&](int y) { return a.At(x, y); },
          [&](int y, float c) { a.Ref(x, y) = c; });
    }
  }
  return a;
}

vpMask vpMask::Resized(int newWidth, int newHeight) const {
  vpMask out(newWidth, newHeight);
  const std::vector<Span> sx = Spans(width, newWidth), sy = Spans(height, newHeight);
  for (int y = 0; y < newHeight; ++y)
    for (int x = 0; x < newWidth; ++x) {
      float s = 0;
      const Span& ry = sy[size_t(y)];
      const Span& rx = sx[size_t(x)];
      for (size_t j = 0; j < ry.weights.size(); ++j)
        for (size_t i = 0; i < rx.weights.size(); ++i)
          s += At(rx.first + int(i), ry.first + int(j)) * rx.weights[i] * ry.weights[j];
      out.Ref(x, y) = s;
    }
  return out;
}

vpMask vpMask::Padded(int pad) const {
  vpMask out(width + 2 * pad, height + 2 * pad);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.Ref(x + pad, y + pad) = At(x, y);
  return out;
}

vpMask vpMask::Rotated180() const {
  vpMask out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.Ref(width - 1 - x, height - 1 - y) = At(x, y);
  return out;
}

vpImage::vpImage(int w, int h, vpColor fill)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0), px(size_t(width) * size_t(height), fill) {}

void vpImage::Blend(int x, int y, const vpColor& c, float coverage) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  const float sa = Clamp01(c.a * coverage);
  if (sa <= 0.0f) return;
  vpColor& d = Ref(x, y);
  const float da = d.a * (1.0f - sa);
  const float oa = sa + da;
  if (oa <= 0.0f) return;
  d.r = (c.r * sa + d.r * da) / oa;
  d.g = (c.g * sa + d.g * da) / oa;
  d.b = (c.b * sa + d.b * da) / oa;
  d.a = oa;
}

void vpImage::DrawMask(const vpMask& mask, int x, int y, const vpColor& c) {
  for (int j = 0; j < mask.Height(); ++j)
    for (int i = 0; i < mask.Width(); ++i) {
      const float m = mask.At(i, j);
      if (m > 0.0f) Blend(x + i, y + j, c, m);
    }
}

void vpImage::DrawImage(const vpImage& src, int x, int y) {
  for (int j = 0; j < src.Height(); ++j)
    for (int i = 0; i < src.Width(); ++i) {
      const vpColor& s = src.At(i, j);
      if (s.a > 0.0f) Blend(x + i, y + j, s, 1.0f);
    }
}

vpImage vpImage::Resized(int newWidth, int newHeight) const {
  vpImage out(newWidth, newHeight);
  const std::vector<Span> sx = Spans(width, newWidth), sy = Spans(height, newHeight);
  for (int y = 0; y < newHeight; ++y)
    for (int x = 0; x < newWidth; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      const Span& ry = sy[size_t(y)];
      const Span& rx = sx[size_t(x)];
      for (size_t j = 0; j < ry.weights.size(); ++j)
        for (size_t i = 0; i < rx.weights.size(); ++i) {
          const vpColor& s = At(rx.first + int(i), ry.first + int(j));
          const float w = rx.weights[i] * ry.weights[j] * s.a;
          r += s.r * w;
          g += s.g * w;
          b += s.b * w;
          a += w;
        }
      vpColor& d = out.Ref(x, y);
      if (a > 0.0f) d = {r / a, g / a, b / a, Clamp01(a)};
    }
  return out;
}
