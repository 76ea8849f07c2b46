#include "vimraLayout.h"

#include <cmath>

#include "graphics/kxScreen.h"
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
  // The engine's rule was made for this game's layout; its splash follows it too.
  return kxChooseGUIScale(width, height);
}

float vimraChooseGUIScale(int width, int height, float density) {
  return kxChooseGUIScale(width, height, density);
}

float vimraTableCameraDepth(float aspect) {
  if (!(aspect > 0.0f)) return vimraTableDepth;
  // The same single-precision product as the flights that target it.
  const float depth = (1.0f / aspect) * vimraTableDepth;
  return depth < vimraTableMinDepth ? vimraTableMinDepth : depth;
}

vimraPose_s vimraMenuPoseFor(float aspect, float ringZ) {
  vimraPose_s pose = vimraMenuPose;
  // Not below the fit aspect (nor a size not known yet): the view as made.
  if (!(aspect > 0.0f) || aspect >= vimraRingFitAspect) return pose;
  // The line of sight of PilotView's turns (about z by angle[1], then
  // about x by angle[2]; angle[0] only rolls the picture about it).
  const double toRadians = 3.14159265358979323846 / 180.0;
  const double ay = pose.angle[1] * toRadians, az = pose.angle[2] * toRadians;
  const double ahead[3] = {-std::sin(az) * std::sin(ay), -std::sin(az) * std::cos(ay),
                           -std::cos(az)};
  // The ring centre's distance along it, stretched in proportion.
  const double toRing[3] = {0.0 - pose.position[0], 0.0 - pose.position[1],
                            double(ringZ) - pose.position[2]};
  const double depth = toRing[0] * ahead[0] + toRing[1] * ahead[1] + toRing[2] * ahead[2];
  const double back = depth * (double(vimraRingFitAspect) / aspect - 1.0);
  for (int k = 0; k < 3; ++k) pose.position[k] = float(pose.position[k] - back * ahead[k]);
  return pose;
}
