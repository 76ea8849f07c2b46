#include "graphics/kxTexturedBox.h"

#include <cmath>
#include <new>

#include "render/kxRenderer.h"

kxTexturedBox::kxTexturedBox(float width, float height, bool flag, TTextureBoxProjection projection)
    : kxVertexArray(pmTriangles),
      width(width),
      height(height),
      userFlag(flag),
      projection(projection) {
  // The rectangle shows its image exactly once: a repeating texture would
  // bleed each edge into the opposite one (button frames, the logo, sprites).
  clampTexture = true;
  const float w = width, h = height;
  AppendVertex(w, 0, 0);
  AppendVertex(0, 0, 0);
  AppendVertex(0, h, 0);
  AppendVertex(0, h, 0);
  AppendVertex(w, h, 0);
  AppendVertex(w, 0, 0);
  if (projection == tbpNormal) {
    const float st[6][2] = {{1, 0}, {0, 0}, {0, 1}, {0, 1}, {1, 1}, {1, 0}};
    for (const auto& c : st) AppendTexCoord(c[0], c[1]);
  } else if (projection == tbpFlipped) {
    const float st[6][2] = {{1, 1}, {0, 1}, {0, 0}, {0, 0}, {1, 0}, {1, 1}};
    for (const auto& c : st) AppendTexCoord(c[0], c[1]);
  }
  for (int i = 0; i < 6; ++i) AppendNormal(1, 1, 1);
  CalculateBB();
  CreateVBO();
}

kxTexturedBox* kxTexturedBox::Create(float width, float height, bool flag,
                                     TTextureBoxProjection projection) {
  return new (std::nothrow) kxTexturedBox(width, height, flag, projection);
}

kxTexturedBox::~kxTexturedBox() {
  Clear();
}

float kxTexturedBox::GetWidth() {
  return width;
}
float kxTexturedBox::GetHeight() {
  return height;
}

void kxTexturedBox::Draw2(float* const cameraPosition, float angle) {
  if (!vertexBuffer || !cameraPosition) return;
  kxRenderer* r = kxGetRenderer();
  r->BindTexture(textureId);
  r->Enable(rsTexture);
  r->PushMatrix();
  r->Translate(position[0], position[1], position[2]);
  r->Scale(scale, scale, scale);
  r->SetColor(color.r, color.g, color.b, color.a);

  const double toCamera[3] = {double(cameraPosition[0]) - position[0],
                              double(cameraPosition[1]) - position[1],
                              double(cameraPosition[2]) - position[2]};
  const double flat = std::sqrt(toCamera[0] * toCamera[0] + toCamera[2] * toCamera[2]);
  // A camera straight above or below (or at) the box gives no horizontal
  // direction to turn towards: both facing turns are skipped.
  if (flat > 0) {
    const double u[3] = {toCamera[0] / flat, 0, toCamera[2] / flat};
    double k = u[2];
    if (k > -0.9999 && k < 0.9999) {
      r->Rotate(float(std::acos(k) * 180 / 3.14), float(-u[1]), float(u[0]), 0);
    }
    const double full = std::sqrt(toCamera[0] * toCamera[0] + toCamera[1] * toCamera[1] +
                                  toCamera[2] * toCamera[2]);
    const double e[3] = {toCamera[0] / full, toCamera[1] / full, toCamera[2] / full};
    k = e[0] * u[0] + e[1] * u[1] + e[2] * u[2];
    if (k > -0.9999 && k < 0.9999) {
      r->Rotate(float(std::acos(k) * 180 / 3.14), e[1] < 0 ? 1.0f : -1.0f, 0, 0);
    }
  }
  r->Rotate(angle, 0, 0, 1);
  r->DrawArrays(pmTriangles, TexturedBuffers(), 0, int(vertexCount));
  r->PopMatrix();
  r->Disable(rsTexture);
}
