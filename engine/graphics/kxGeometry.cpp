#include "graphics/kxGeometry.h"

#include <cstdlib>

#include "data/kxAlloc.h"
#include "graphics/kxVertexArray.h"

kxGeometry::kxGeometry() : arrays(nullptr), count(0), clearOnDestroy(true) {}

kxGeometry::~kxGeometry() {
  if (clearOnDestroy) {
    for (uint64_t i = 0; i < count; ++i) delete arrays[i];
  }
  free(arrays);
}

kxVertexArray* kxGeometry::AppendVertexArray(unsigned int mode) {
  kxVertexArray* array = kxVertexArray::Create(mode);
  size_t before = size_t(count);
  AppendVertexArray(array);
  if (count == before) {  // no slot for it: do not leak it
    delete array;
    return nullptr;
  }
  return array;
}

void kxGeometry::AppendVertexArray(kxVertexArray* array) {
  kxVertexArray** grown =
      static_cast<kxVertexArray**>(kxRealloc(arrays, size_t(count + 1) * sizeof *arrays));
  if (!grown) return;
  arrays = grown;
  arrays[count++] = array;
}

void kxGeometry::InsertVertexArray(size_t index, kxVertexArray* array) {
  if (index < count) arrays[index] = array;
}

kxVertexArray* kxGeometry::GetVertexArray(size_t index) {
  return index < count ? arrays[index] : nullptr;
}

size_t kxGeometry::Length() {
  return size_t(count);
}

int kxGeometry::GetVertexArrayID(kxVertexArray* array) {
  int32_t n = int32_t(count);
  for (int32_t i = 0; i < n; ++i) {
    if (arrays[i] == array) return i;
  }
  return -1;
}

void kxGeometry::ChangeVertexArray(size_t a, size_t b) {
  if (a == b || a >= count || b >= count) return;
  kxVertexArray* t = arrays[a];
  arrays[a] = arrays[b];
  arrays[b] = t;
}

void kxGeometry::SetSize(size_t n) {
  if (n == count) return;
  if (n == 0) {
    free(arrays);
    arrays = nullptr;
    count = 0;
    return;
  }
  kxVertexArray** resized = static_cast<kxVertexArray**>(kxRealloc(arrays, n * sizeof *arrays));
  if (!resized) return;
  arrays = resized;
  count = n;
  for (size_t i = 0; i < n; ++i) arrays[i] = nullptr;
}

void kxGeometry::Clear(bool doClear) {
  if (!doClear) return;
  for (uint64_t i = 0; i < count; ++i) delete arrays[i];
  free(arrays);
  arrays = nullptr;
  count = 0;
}

void kxGeometry::SetClearOnDestroy(bool on) {
  clearOnDestroy = on;
}

void kxGeometry::Draw() {
  for (uint64_t i = 0; i < count; ++i) {
    if (arrays[i]) arrays[i]->Draw();
  }
}

void kxGeometry::SetPositions(float* xyz) {
  if (!xyz) return;
  for (uint64_t i = 0; i < count; ++i) {
    if (arrays[i]) arrays[i]->SetPosition(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
  }
}

void kxGeometry::SetPositions(float (*xyz)[3]) {
  if (!xyz) return;
  for (uint64_t i = 0; i < count; ++i) {
    if (arrays[i]) arrays[i]->SetPosition(xyz[i][0], xyz[i][1], xyz[i][2]);
  }
}
