// Anti-aliased shape painting for the pack generator's pictures. Shapes are
// described by signed distances in pixels (negative inside) and painted with
// one pixel of soft edge, so pictures drawn large and scaled down are smooth.
#pragma once

#include "vpImage.h"

struct vpRect {
  float x0, y0, x1, y1;  // left, top, right, bottom in pixels
};

// Signed distance from (x, y) to a rectangle with corners rounded by r.
float vpRoundRectDistance(float x, float y, const vpRect& rect, float r);
// Coverage of a pixel whose centre lies at signed distance d.
float vpCoverage(float d);

// Fills the rounded rectangle with a vertical gradient from `top` to
// `bottom`.
void vpFillRoundRect(vpImage* image, const vpRect& rect, float r, const vpColor& top,
                     const vpColor& bottom);
// Paints a band of `width` pixels just inside the rounded rectangle's edge.
void vpStrokeRoundRect(vpImage* image, const vpRect& rect, float r, float width,
                       const vpColor& color);
// Mask of a filled ellipse centred at (cx, cy) in a canvas of w x h.
vpMask vpEllipseMask(int w, int h, float cx, float cy, float rx, float ry);
