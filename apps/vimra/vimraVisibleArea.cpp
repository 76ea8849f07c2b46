#include "vimraVisibleArea.h"

#include <cstdlib>

#include "graphics/kxTexturedBox.h"
#include "graphics/kxVertexArray.h"
#include "render/kxRenderer.h"

bool vimraVisibleTexels(const uint8_t* alpha, int width, int height, vimraTexelRect_s* out) {
  if (alpha == nullptr || out == nullptr || width <= 0 || height <= 0) return false;
  vimraTexelRect_s r = {width, height, -1, -1};
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = alpha + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x) {
      if (row[x] == 0) continue;
      if (x < r.x0) r.x0 = x;
      if (x > r.x1) r.x1 = x;
      if (y < r.y0) r.y0 = y;
      r.y1 = y;
    }
  }
  if (r.x1 < 0) return false;
  *out = r;
  return true;
}

bool vimraTrimBoxToTexels(kxTexturedBox* box, const vimraTexelRect_s& visible, int width,
                          int height) {
  if (box == nullptr || width <= 0 || height <= 0) return false;
  if (visible.x0 < 0 || visible.y0 < 0 || visible.x0 > visible.x1 || visible.y0 > visible.y1 ||
      visible.x1 >= width || visible.y1 >= height) {
    return false;
  }
  float(*points)[3] = box->GetVertexArray();
  float(*coords)[2] = box->GetTexCoordArray();
  const float w = box->GetWidth(), h = box->GetHeight();
  if (points == nullptr || coords == nullptr || box->GetVertexArraySize() != 6) return false;
  // Only the untrimmed quad of the normal projection, whose corners carry
  // texture coordinates 0 and 1 on the matching edges.
  for (int i = 0; i < 6; ++i) {
    const bool right = points[i][0] == w, up = points[i][1] == h;
    if (!(right || points[i][0] == 0.0f) || !(up || points[i][1] == 0.0f)) return false;
    if (coords[i][0] != (right ? 1.0f : 0.0f) || coords[i][1] != (up ? 1.0f : 0.0f)) return false;
  }
  // Linear filtering at a point reads the two texels around it, so a point
  // can pick up a visible texel only within one texel of the bounds.
  const float s0 = float(visible.x0 > 0 ? visible.x0 - 1 : 0) / float(width);
  const float s1 = float(visible.x1 + 2 < width ? visible.x1 + 2 : width) / float(width);
  const float t0 = float(visible.y0 > 0 ? visible.y0 - 1 : 0) / float(height);
  const float t1 = float(visible.y1 + 2 < height ? visible.y1 + 2 : height) / float(height);
  for (int i = 0; i < 6; ++i) {
    coords[i][0] = coords[i][0] == 1.0f ? s1 : s0;
    coords[i][1] = coords[i][1] == 1.0f ? t1 : t0;
    points[i][0] = coords[i][0] * w;
    points[i][1] = coords[i][1] * h;
  }
  box->CreateVBO();
  return true;
}

bool vimraTrimBoxToPicture(kxTexturedBox* box) {
  if (box == nullptr || box->GetTextureID() == 0) return false;
  kxRenderer* r = kxGetRenderer();
  int width = 0, height = 0;
  if (!r->GetTextureSize(box->GetTextureID(), &width, &height)) return false;
  bool trimmed = false;
  uint8_t* alpha = width > 0 && height > 0
                       ? static_cast<uint8_t*>(malloc(size_t(width) * size_t(height)))
                       : nullptr;
  if (alpha != nullptr) {
    vimraTexelRect_s visible;
    trimmed = r->ReadTextureAlpha(box->GetTextureID(), alpha) &&
              vimraVisibleTexels(alpha, width, height, &visible) &&
              vimraTrimBoxToTexels(box, visible, width, height);
    free(alpha);
  }
  return trimmed;
}

bool vimraQuadCoversViewport(const float projection[16], const float modelview[16],
                             const float corners[4][3], float margin) {
  if (projection == nullptr || modelview == nullptr || corners == nullptr) return false;
  float toClip[16];
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelview[c * 4 + k];
      toClip[c * 4 + r] = sum;
    }
  }
  float x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    const float* c = corners[i];
    float clip[4];
    for (int r = 0; r < 4; ++r) {
      clip[r] = toClip[r] * c[0] + toClip[4 + r] * c[1] + toClip[8 + r] * c[2] + toClip[12 + r];
    }
    if (!(clip[3] > 1e-6f)) return false;
    x[i] = clip[0] / clip[3];
    y[i] = clip[1] / clip[3];
  }
  // Twice the signed area gives the winding; every corner of the enlarged
  // viewport must lie strictly inside every edge.
  float area = 0.0f;
  for (int i = 0; i < 4; ++i) area += x[i] * y[(i + 1) % 4] - x[(i + 1) % 4] * y[i];
  if (area == 0.0f) return false;
  const float sign = area > 0.0f ? 1.0f : -1.0f;
  const float e = 1.0f + margin;
  const float px[4] = {-e, e, e, -e}, py[4] = {-e, -e, e, e};
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    for (int k = 0; k < 4; ++k) {
      const float cross = (x[j] - x[i]) * (py[k] - y[i]) - (y[j] - y[i]) * (px[k] - x[i]);
      if (!(cross * sign > 0.0f)) return false;
    }
  }
  return true;
}

bool vimraFacesPointOutward(kxVertexArray* mesh) {
  if (mesh == nullptr) return false;
  const float(*p)[3] = mesh->GetVertexArray();
  const float(*n)[3] = mesh->GetNormalArray();
  const unsigned long long count = mesh->GetVertexArraySize();
  if (p == nullptr || n == nullptr || count < 3) return false;
  for (unsigned long long i = 0; i + 2 < count; i += 3) {
    float e1[3], e2[3], normal[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      e1[k] = p[i + 1][k] - p[i][k];
      e2[k] = p[i + 2][k] - p[i][k];
      normal[k] = n[i][k] + n[i + 1][k] + n[i + 2][k];
    }
    const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                           e1[0] * e2[1] - e1[1] * e2[0]};
    if (face[0] == 0.0f && face[1] == 0.0f && face[2] == 0.0f) continue;
    const float agree = face[0] * normal[0] + face[1] * normal[1] + face[2] * normal[2];
    if (!(agree > 0.0f)) return false;
  }
  return true;
}
