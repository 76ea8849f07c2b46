#include "vimraLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "vimraMotion.h"

vimraMainMenuLayout_s vimraMainMenuLayout(int width, int height) {
  vimraMainMenuLayout_s m;
  int w = 512;
  int h = 256;
  int x = (width - 512) / 2;
  if (height - 192 < 256) {
    h = height - 192;
    w = 2 * h;
    x = (width - w) / 2;
  }
  m.logo = {x, 0, w, h};
  int tickerWidth = int(float(width) * 0.7f);
  m.ticker = {(width - tickerWidth) / 2, h, tickerWidth, 0};
  m.start = {width / 2 - 138, h + 30, 128, 32};
  m.quit = {width / 2 + 10, h + 30, 128, 32};
  m.about = {width / 2 - 64, h + 70, 128, 32};
  m.howToPlay = {width / 2 - 138, h + 110, 128, 32};
  m.settings = {width / 2 + 10, h + 110, 128, 32};
  return m;
}

vimraRect_s vimraBoxPanel(int width, int height, int boxWidth, int boxHeight) {
  return {(width - boxWidth) / 2, (height - boxHeight) / 3, boxWidth, boxHeight};
}

vimraRect_s vimraBoxOkButton(int boxWidth, int boxHeight) {
  return {boxWidth / 2 - 64, boxHeight - 40, 128, 32};
}

vimraHintBarLayout_s vimraHintBarLayout(int width) {
  int hw = width < 620 ? width - 4 : 620;
  int x = (width - hw) / 2;
  vimraHintBarLayout_s l;
  l.panel = {x, 10, hw, 30};
  l.scroll = {x, 14, hw, 0};
  return l;
}

bool vimraIsCornerClick(int width, int height, int x, int y) {
  return x > width - width / 10 && y < height / 10;
}

int vimraRowFromClick(int height, int y, float camZ, float* rowY) {
  // A click's height from the window's middle, in half window heights,
  // times the camera's depth over kDepthPerTableHeight is the height on the
  // table it points at (close to 1 / tan 30 degrees, the half field of
  // view). Clicks within kMiddleRowReach of the table's middle answer the
  // middle row; rows lie kRowPitch apart, and a row's stars go
  // kStarsBelowRow below its middle.
  const float kDepthPerTableHeight = 1.72f, kMiddleRowReach = 1.2f;
  const float kRowPitch = 2.5f, kStarsBelowRow = 0.3f;
  int half = height / 2;
  float v = half > 0 ? float(height - half - y) / float(half) : 0.0f;
  float d = camZ * v / kDepthPerTableHeight;
  int row;
  float ry;
  if (-kMiddleRowReach < d && d < kMiddleRowReach) {
    row = 2;
    ry = 0.0f;
  } else if (d > 0.0f) {
    row = 1;
    ry = kRowPitch;
  } else {
    row = 3;
    ry = -kRowPitch;
  }
  ry -= kStarsBelowRow;
  if (rowY != nullptr) *rowY = ry;
  return row;
}

float vimraChooseGUIScale(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0f;
  const double byHeight = height / 720.0;
  const double byWidth = width / 640.0;
  const double fit = std::min(byHeight, byWidth);
  return std::max(1.0f, float(std::floor(fit * 4.0) / 4.0));
}

float vimraChooseGUIScale(int width, int height, float density) {
  if (!(density > 0.0f) || !std::isfinite(density) || density == 1.0f || width <= 0 || height <= 0)
    return vimraChooseGUIScale(width, height);
  const double w = std::round(width / double(density));
  const double h = std::round(height / double(density));
  if (!(w <= INT_MAX && h <= INT_MAX)) return vimraChooseGUIScale(width, height);
  return vimraChooseGUIScale(int(w), int(h)) * density;
}

float vimraTableCameraDepth(float aspect) {
  if (!(aspect > 0.0f)) return vimraTableDepth;
  // The same single-precision product as the flights that target it.
  const float depth = (1.0f / aspect) * vimraTableDepth;
  return depth < vimraTableMinDepth ? vimraTableMinDepth : depth;
}
