#include "graphics/kxScreen.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "kxSaturate.h"

namespace {
int screenWidth = 0;
int screenHeight = 0;
float guiScale = 1.0f;

// One logical coordinate in window pixels, rounded to the nearest.
int64_t ToPixels(int64_t logical, float scale) {
  return static_cast<int64_t>(std::llround(static_cast<double>(logical) * scale));
}
}  // namespace

void kxSetScreenSize(int width, int height) {
  screenWidth = width;
  screenHeight = height;
}

int kxGetScreenWidth() {
  return screenWidth;
}

int kxGetScreenHeight() {
  return screenHeight;
}

void kxSetGUIScale(float scale) {
  guiScale = (scale > 0.0f && std::isfinite(scale)) ? scale : 1.0f;
}

float kxGetGUIScale() {
  return guiScale;
}

float kxChooseGUIScale(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0f;
  const double fit = std::min(height / 720.0, width / 640.0);
  return std::max(1.0f, float(std::floor(fit * 4.0) / 4.0));
}

float kxChooseGUIScale(int width, int height, float density) {
  if (!(density > 0.0f) || !std::isfinite(density) || density == 1.0f || width <= 0 || height <= 0)
    return kxChooseGUIScale(width, height);
  const double w = std::round(width / double(density));
  const double h = std::round(height / double(density));
  if (!(w <= INT_MAX && h <= INT_MAX)) return kxChooseGUIScale(width, height);
  return kxChooseGUIScale(int(w), int(h)) * density;
}

kxScreenRect_s kxGUIRectToScreen(int left, int top, int width, int height) {
  const float s = guiScale;
  // Both edges are rounded, not the size, so that neighbouring rectangles
  // stay edge to edge at any scale.
  const int64_t x0 = ToPixels(left, s);
  const int64_t x1 = ToPixels(static_cast<int64_t>(left) + (width > 0 ? width : 0), s);
  const int64_t y0 = ToPixels(top, s);
  const int64_t y1 = ToPixels(static_cast<int64_t>(top) + (height > 0 ? height : 0), s);
  kxScreenRect_s r;
  r.x = kxSaturateToInt(x0);
  r.y = kxSaturateToInt(static_cast<int64_t>(screenHeight) - y1);
  r.width = kxSaturateToInt(x1 - x0);
  r.height = kxSaturateToInt(y1 - y0);
  return r;
}
