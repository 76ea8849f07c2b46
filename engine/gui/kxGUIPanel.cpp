#include "gui/kxGUIPanel.h"

#include <cmath>
#include <new>

#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIColor.h"
#include "render/kxRenderer.h"

namespace {
// Single-precision angles of the corner fans.
const float kPi = 3.1415927f;
const float kThreePiHalves = 4.712389f;
const float kPiHalf = 1.5707964f;
const float kTwoPi = 6.2831855f;
}  // namespace

kxGUIPanel* kxGUIPanel::Create(unsigned int id, int left, int top, int width, int height) {
  return new (std::nothrow) kxGUIPanel(id, left, top, width, height);
}

kxGUIPanel::kxGUIPanel(unsigned int id, int left, int top, int width, int height)
    : kxGUIObject(id, left, top, width, height),
      geometry(nullptr),
      round(10),
      color{0.0f, 0.0f, 0.0f, 0.8f} {
  CreatePanelGeometry();
}

kxGUIPanel::~kxGUIPanel() {
  delete geometry;
}

void kxGUIPanel::Draw() {
  if (!geometry) return;
  for (size_t i = 0; i < geometry->Length(); ++i) {
    kxVertexArray* array = geometry->GetVertexArray(i);
    if (array) array->DrawColor();
  }
}

void kxGUIPanel::SetBackgroundColor(float r, float g, float b, float a) {
  if (geometry) {
    for (size_t i = 0; i < geometry->Length(); ++i) {
      kxVertexArray* array = geometry->GetVertexArray(i);
      if (array) array->SetColor(r, g, b, a);
    }
  }
  kxStoreColor(color, r, g, b, a);
}

int kxGUIPanel::GetRound() {
  return round;
}

void kxGUIPanel::OnAfterSetParent(kxGUIObject*) {
  CreatePanelGeometry();
}

kxGeometry* kxGUIPanel::GetGeometry() {
  return geometry;
}

const float* kxGUIPanel::GetBackgroundColor() {
  return color;
}

void kxGUIPanel::CreatePanelGeometry() {
  delete geometry;
  geometry = new (std::nothrow) kxGeometry();
  if (!geometry) return;
  kxVertexArray* array = kxVertexArray::Create(pmTriangles);
  if (!array) return;
  CreateRoundedBox(array, Left, Top, Width, Height, round, &color);
  geometry->AppendVertexArray(array);
}

void kxGUIPanel::CreateRoundedBox(kxVertexArray* array, int left, int top, int width, int height,
                                  int radius, float (*fill)[4]) {
  const float r = static_cast<float>(radius);
  const float L = static_cast<float>(left);
  const float T = static_cast<float>(top);
  // Summed wide: a panel near the end of int must not overflow.
  const float R = static_cast<float>(static_cast<int64_t>(left) + width);
  const float B = static_cast<float>(static_cast<int64_t>(top) + height);
  const float x1 = L + r, x2 = R - r, y1 = T + r, y2 = B - r;

  // Middle band, full width.
  array->AppendVertex(L, y1, 0.0f);
  array->AppendVertex(R, y2, 0.0f);
  array->AppendVertex(L, y2, 0.0f);
  array->AppendVertex(L, y1, 0.0f);
  array->AppendVertex(R, y1, 0.0f);
  array->AppendVertex(R, y2, 0.0f);
  // Top band between the corners.
  array->AppendVertex(x1, T, 0.0f);
  array->AppendVertex(x2, y1, 0.0f);
  array->AppendVertex(x1, y1, 0.0f);
  array->AppendVertex(x1, T, 0.0f);
  array->AppendVertex(x2, T, 0.0f);
  array->AppendVertex(x2, y1, 0.0f);
  // Bottom band between the corners.
  array->AppendVertex(x1, y2, 0.0f);
  array->AppendVertex(x2, B, 0.0f);
  array->AppendVertex(x1, B, 0.0f);
  array->AppendVertex(x1, y2, 0.0f);
  array->AppendVertex(x2, y2, 0.0f);
  array->AppendVertex(x2, B, 0.0f);

  // With y pointing down, pi..3pi/2 is the upper-left quarter, and so on.
  const int segments = static_cast<int>(radius * 0.5);
  CreateCorner(array, x1, y1, r, kPi, kThreePiHalves, segments);
  CreateCorner(array, x2, y1, r, kThreePiHalves, kTwoPi, segments);
  CreateCorner(array, x2, y2, r, 0.0f, kPiHalf, segments);
  CreateCorner(array, x1, y2, r, kPiHalf, kPi, segments);

  const unsigned long long count = array->GetVertexArraySize();
  for (unsigned long long i = 0; i < count; ++i) array->AppendColor(*fill);
  array->CreateVBO();
}

void kxGUIPanel::CreateCorner(kxVertexArray* array, float cx, float cy, float radius, float a0,
                              float a1, int segments) {
  if (segments < 1 || !(a1 > a0)) return;
  const float step = std::fabs(a0 - a1) / static_cast<float>(segments);
  float a = a0;
  float px = std::cos(a0) * radius + cx;
  float py = std::sin(a0) * radius + cy;
  do {
    array->AppendVertex(cx, cy, 0.0f);
    array->AppendVertex(px, py, 0.0f);
    a += step;
    px = std::cos(a) * radius + cx;
    py = std::sin(a) * radius + cy;
    array->AppendVertex(px, py, 0.0f);
  } while (a1 > a);
}
