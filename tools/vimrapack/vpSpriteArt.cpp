#include "vpSpriteArt.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "vpShapes.h"

namespace {

// Small deterministic generator (xorshift32), independent of the C library.
class Random {
 public:
  explicit Random(uint32_t seed) : s(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  float Uniform(float a, float b) { return a + (b - a) * float(Next() >> 8) / 16777216.0f; }

 private:
  uint32_t s;
};

// Smooth value noise on a lattice hashed from integer coordinates.
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float ValueNoise(float x, float y, uint32_t seed) {
  const int xi = int(std::floor(x)), yi = int(std::floor(y));
  const float fx = x - float(xi), fy = y - float(yi);
  const float ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
  const float a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
  const float c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
  return (a + (b - a) * ux) + ((c + (d - c) * ux) - (a + (b - a) * ux)) * uy;
}

float Fractal(float x, float y, uint32_t seed) {
  float sum = 0, amp = 0.5f, freq = 1;
  for (int o = 0; o < 4; ++o) {
    sum += amp * ValueNoise(x * freq, y * freq, seed + uint32_t(o) * 101u);
    amp *= 0.5f;
    freq *= 2.03f;
  }
  return sum;
}

float SmoothStep(float e0, float e1, float x) {
  const float t = std::min(1.0f, std::max(0.0f, (x - e0) / (e1 - e0)));
  return t * t * (3 - 2 * t);
}

vpColor Bilinear(const vpImage& src, float u, float v) {
  // u, v in texels; outside the image counts as transparent.
  const float x = u - 0.5f, y = v - 0.5f;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = x - float(x0), fy = y - float(y0);
  float r = 0, g = 0, b = 0, a = 0;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      const int sx = x0 + i, sy = y0 + j;
      if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
      const float w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
      const vpColor& c = src.At(sx, sy);
      r += c.r * c.a * w;
      g += c.g * c.a * w;
      b += c.b * c.a * w;
      a += c.a * w;
    }
  if (a <= 0) return {0, 0, 0, 0};
  return {r / a, g / a, b / a, a};
}

void DrawMaskGradient(vpImage* img, const vpMask& m, int x, int y, const vpColor& top,
                      const vpColor& bottom, int gradientTop, int gradientBottom) {
  for (int j = 0; j < m.Height(); ++j) {
    const float t = SmoothStep(float(gradientTop), float(gradientBottom), float(y + j));
    const vpColor c = vpMix(top, bottom, t);
    for (int i = 0; i < m.Width(); ++i)
      if (m.At(i, j) > 0) img->Blend(x + i, y + j, c, m.At(i, j));
  }
}

}  // namespace

void vpDrawTransformed(vpImage* dst, const vpImage& src, float cx, float cy, float sx, float sy,
                       float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  const float hw = src.Width() * sx * 0.5f, hh = src.Height() * sy * 0.5f;
  const float extent = std::sqrt(hw * hw + hh * hh) + 2;
  const int x0 = std::max(0, int(cx - extent)), x1 = std::min(dst->Width(), int(cx + extent) + 1);
  const int y0 = std::max(0, int(cy - extent)), y1 = std::min(dst->Height(), int(cy + extent) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
      // Inverse rotation, then inverse scale, into source texels.
      const float rx = c * dx + s * dy, ry = -s * dx + c * dy;
      const float u = rx / sx + src.Width() * 0.5f, v = ry / sy + src.Height() * 0.5f;
      if (u < -1 || v < -1 || u > src.Width() + 1 || v > src.Height() + 1) continue;
      const vpColor p = Bilinear(src, u, v);
      if (p.a > 0) dst->Blend(x, y, p, 1.0f);
    }
}

vpImage vpDrawCloud(int w, int h, float boxWidth, float boxHeight, uint32_t seed) {
  // Work in a canvas of the box's proportions, then fit it to the texture.
  const int cw = 640, ch = std::max(16, int(std::lround(640.0f * boxHeight / boxWidth)));
  Random rnd(seed);
  struct Puff {
    float x, y, r;
  };
  std::vector<Puff> puffs;
  const int count = 9;
  for (int i = 0; i < count; ++i) {
    const float t = (float(i) + 0.5f) / float(count);
    const float bulge = std::sin(t * 3.14159265f);  // taller in the middle
    const float r = ch * (0.16f + 0.15f * bulge) * rnd.Uniform(0.85f, 1.15f);
    const float x = cw * (0.14f + 0.72f * t) + rnd.Uniform(-0.03f, 0.03f) * cw;
    const float y = ch * 0.66f - r * rnd.Uniform(0.25f, 0.55f);
    puffs.push_back({x, y, r});
  }
  vpImage canvas(cw, ch);
  const vpColor top = {1.0f, 1.0f, 1.0f, 1.0f}, bottom = {0.80f, 0.84f, 0.92f, 1.0f};
  const float floorY = ch * 0.74f;
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      float density = 0;
      for (const Puff& p : puffs) {
        const float dx = (px - p.x) / p.r, dy = (py - p.y) / p.r;
        density += std::exp(-(dx * dx + dy * dy) * 1.6f);
      }
      // Flatter underside, ragged soft rims.
      density *= 1.0f - SmoothStep(floorY - ch * 0.12f, floorY + ch * 0.06f, py);
      const float n = Fractal(px / 38.0f, py / 38.0f, seed);
      const float edge = density + (n - 0.5f) * 0.55f;
      float alpha = SmoothStep(0.35f, 1.05f, edge);
      // Keep the texture's own border clear.
      const float fx = std::min(px, cw - px) / (cw * 0.05f),
                  fy = std::min(py, ch - py) / (ch * 0.08f);
      alpha *= std::min(1.0f, std::min(fx, fy));
      if (alpha <= 0) continue;
      const float shade = SmoothStep(ch * 0.15f, floorY, py) * 0.8f + (0.5f - n) * 0.25f;
      vpColor c = vpMix(top, bottom, std::min(1.0f, std::max(0.0f, shade)));
      c.a = alpha * 0.92f;
      canvas.Ref(x, y) = c;
    }
  return canvas.Resized(w, h);
}

vpImage vpDrawStar(int size) {
  vpImage img(size, size);
  const float c = size * 0.5f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = (float(x) + 0.5f - c) / c, dy = (float(y) + 0.5f - c) / c;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float core = std::exp(-r * r * 40.0f);
      const float halo = std::exp(-r * r * 6.0f) * 0.35f;
      // Long rays along the axes, shorter ones on the diagonals.
      const float ax = std::fabs(dx), ay = std::fabs(dy);
      const float d1 = (ax + ay) * 0.70710678f, d2 = std::fabs(ax - ay) * 0.70710678f;
      const float rays = std::exp(-ax * ax * 900.0f) * std::max(0.0f, 1 - ay) +
                         std::exp(-ay * ay * 900.0f) * std::max(0.0f, 1 - ax);
      const float diag = (std::exp(-d2 * d2 * 1200.0f) * std::max(0.0f, 1 - d1 * 1.6f)) * 0.6f;
      float a = core + halo + rays * 0.9f + diag;
      // Fade to nothing before the texture's edge.
      a *= 1.0f - SmoothStep(0.82f, 1.0f, r);
      a = std::min(1.0f, a);
      if (a <= 0) continue;
      const float warm = std::exp(-r * r * 12.0f);
      img.Ref(x, y) = {1.0f, 1.0f - 0.05f * (1 - warm), 0.92f + 0.08f * warm, a};
    }
  return img;
}

vpImage vpDrawButton(const vpColor& base, vpButtonState state, int density) {
  // Drawn at four times the size asked for and scaled down: smooth edges.
  const int k = 4 * (density > 1 ? density : 1), w = 128 * k, h = 32 * k;
  vpImage img(w, h);
  const vpRect rc{0, 0, float(w), float(h)};
  const float r = 8.0f * k;
  vpColor face = base;
  if (state == vpButtonState::active) face = vpShade(base, 1.12f);
  if (state == vpButtonState::pushed) face = vpShade(base, 0.72f);
  const bool pushed = state == vpButtonState::pushed;
  // Pressed buttons light from below, raised ones from above.
  const vpColor top = pushed ? vpShade(face, 0.8f) : vpShade(face, 1.2f);
  const vpColor bottom = pushed ? vpShade(face, 1.08f) : vpShade(face, 0.78f);
  vpFillRoundRect(&img, rc, r, top, bottom);
  if (!pushed) {
    // Gloss over the upper half.
    const vpRect gloss{float(2 * k), float(2 * k), float(w - 2 * k), float(h) * 0.5f};
    vpFillRoundRect(&img, gloss, r - 2 * k, {1, 1, 1, 0.28f}, {1, 1, 1, 0.06f});
  } else {
    // Inner shadow along the top edge: the face sits lower than the rim.
    const vpRect inner{float(k), float(k), float(w - k), float(h - k)};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const float d = vpRoundRectDistance(float(x) + 0.5f, float(y) + 0.5f, inner, r - k);
        if (d > 0) continue;
        const float depth = std::max(0.0f, 1.0f - (float(y) - k) / (5.0f * k));
        const float edge = std::max(0.0f, 1.0f + d / (3.0f * k));
        const float a = std::max(depth * 0.45f, edge * 0.3f);
        if (a > 0) img.Blend(x, y, {0, 0, 0, 1}, a);
      }
  }
  vpStrokeRoundRect(&img, rc, r, 1.2f * k, vpShade(face, 0.45f));
  if (!pushed) {
    const vpRect inner{float(k) * 1.2f, float(k) * 1.2f, float(w) - k * 1.2f, float(h) - k * 1.2f};
    vpStrokeRoundRect(&img, inner, r - k, 0.8f * k, {1, 1, 1, 0.25f});
  }
  return img.Resized(128 * (density > 1 ? density : 1), 32 * (density > 1 ? density : 1));
}

bool vpDrawLogoAt(const vpFontFace& bold, const std::vector<vpImage>& faces, float f,
                  vpImage* logo) {
  // Every length of the drawing is given for f = 1, a 1024 x 512 picture.
  auto L = [f](float v) { return v * f; };
  auto Li = [f](int v) { return int(std::lround(float(v) * f)); };
  const int w = Li(1024), h = Li(512);
  vpImage img(w, h);
  // A soft glow so the title reads over any part of the sky.
  const vpMask glow = vpEllipseMask(w, h, w * 0.5f, h * 0.56f, w * 0.38f, h * 0.3f).Blurred(Li(36));
  img.DrawMask(glow, 0, 0, {1.0f, 1.0f, 0.95f, 0.35f});

  // Three cards fanned above the name; each gets a soft shadow first.
  const float cardH = L(300.0f);
  const float angles[3] = {-0.36f, 0.0f, 0.36f};
  const float pivotX = w * 0.5f, pivotY = L(450.0f);
  for (size_t i = 0; i < faces.size() && i < 3; ++i) {
    const vpImage& f = faces[i];
    const float sy = cardH / float(f.Height());
    const float sx = cardH * (0.32f / 0.46f) / float(f.Width());
    const float a = angles[i];
    const float dist = L(240.0f);  // from pivot to card centre
    const float cx = pivotX + std::sin(a) * dist, cy = pivotY - std::cos(a) * dist;
    vpImage shadow(f.Width(), f.Height());
    for (int y = 0; y < f.Height(); ++y)
      for (int x = 0; x < f.Width(); ++x) shadow.Ref(x, y) = {0, 0, 0, f.At(x, y).a * 0.3f};
    vpDrawTransformed(&img, shadow, cx + L(8), cy + L(10), sx, sy, a);
    vpDrawTransformed(&img, f, cx, cy, sx, sy, a);
  }

  vpMask name;
  int baseline = 0;
  if (!bold.RenderLine(U"vimra", Li(250), &name, &baseline)) return false;
  const int nx = (w - name.Width()) / 2, ny = Li(455) - baseline;
  const int pad = Li(24);
  const vpMask padded = name.Padded(pad);
  vpMask outline = padded.Blurred(Li(5));
  for (int y = 0; y < outline.Height(); ++y)
    for (int x = 0; x < outline.Width(); ++x)
      outline.Ref(x, y) = std::min(1.0f, outline.At(x, y) * 4.0f);
  img.DrawMask(padded.Blurred(Li(10)), nx - pad + Li(10), ny - pad + Li(14), {0, 0, 0, 0.45f});
  img.DrawMask(outline, nx - pad, ny - pad, vpHex(0x3A1A05));
  DrawMaskGradient(&img, name, nx, ny, vpHex(0xFFF1A8), vpHex(0xF08A24), ny + baseline - Li(180),
                   ny + baseline);
  // A thin highlight along the upper edges of the letters.
  vpMask lit(name.Width(), name.Height());
  for (int y = 0; y < name.Height(); ++y)
    for (int x = 0; x < name.Width(); ++x)
      lit.Ref(x, y) = std::max(0.0f, name.At(x, y) - name.At(x, y - Li(5))) * 0.6f;
  img.DrawMask(lit, nx, ny, {1, 1, 1, 1});
  // Keep a clear margin, two texels even at the low size: the texture
  // repeats under linear filtering.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x < Li(16) || y < Li(16) || x >= w - Li(16) || y >= h - Li(16))
        img.Ref(x, y) = {0, 0, 0, 0};
  *logo = std::move(img);
  return true;
}

bool vpDrawLogo(const vpFontFace& bold, const std::vector<vpImage>& faces, vpImage* logo) {
  vpImage big;
  if (!vpDrawLogoAt(bold, faces, 1.0f, &big)) return false;
  *logo = big.Resized(512, 256);
  return true;
}
