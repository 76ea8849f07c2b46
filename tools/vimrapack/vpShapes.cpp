#include "vpShapes.h"

#include <algorithm>
#include <cmath>

float vpRoundRectDistance(float x, float y, const vpRect& rc, float r) {
  const float cx = (rc.x0 + rc.x1) * 0.5f, cy = (rc.y0 + rc.y1) * 0.5f;
  const float hx = (rc.x1 - rc.x0) * 0.5f - r, hy = (rc.y1 - rc.y0) * 0.5f - r;
  const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float vpCoverage(float d) {
  return std::min(1.0f, std::max(0.0f, 0.5f - d));
}

void vpFillRoundRect(vpImage* image, const vpRect& rc, float r, const vpColor& top,
                     const vpColor& bottom) {
  const int x0 = std::max(0, int(std::floor(rc.x0)) - 1);
  const int x1 = std::min(image->Width(), int(std::ceil(rc.x1)) + 1);
  const int y0 = std::max(0, int(std::floor(rc.y0)) - 1);
  const int y1 = std::min(image->Height(), int(std::ceil(rc.y1)) + 1);
  const float span = std::max(1.0f, rc.y1 - rc.y0);
  for (int y = y0; y < y1; ++y) {
    const float t = std::min(1.0f, std::max(0.0f, (float(y) + 0.5f - rc.y0) / span));
    const vpColor c = vpMix(top, bottom, t);
    for (int x = x0; x < x1; ++x) {
      const float cov = vpCoverage(vpRoundRectDistance(float(x) + 0.5f, float(y) + 0.5f, rc, r));
      if (cov > 0) image->Blend(x, y, c, cov);
    }
  }
}

void vpStrokeRoundRect(vpImage* image, const vpRect& rc, float r, float width,
                       const vpColor& color) {
  const int x0 = std::max(0, int(std::floor(rc.x0)) - 1);
  const int x1 = std::min(image->Width(), int(std::ceil(rc.x1)) + 1);
  const int y0 = std::max(0, int(std::floor(rc.y0)) - 1);
  const int y1 = std::min(image->Height(), int(std::ceil(rc.y1)) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float d = vpRoundRectDistance(float(x) + 0.5f, float(y) + 0.5f, rc, r);
      const float cov = vpCoverage(d) - vpCoverage(d + width);
      if (cov > 0) image->Blend(x, y, color, cov);
    }
}

vpMask vpEllipseMask(int w, int h, float cx, float cy, float rx, float ry) {
  vpMask m(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float dx = (float(x) + 0.5f - cx) / rx, dy = (float(y) + 0.5f - cy) / ry;
      const float dist = (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
      m.Ref(x, y) = vpCoverage(dist);
    }
  return m;
}
