#include "graphics/kxTransform.h"

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

uint32_t randomState = 0;

inline float DegreesToRadians(float degrees) {
  return degrees * kPi / 180.0f;
}

// Turns every point by `degrees` in the plane of its coordinates i and j,
// from i toward j: (i, j) = (1, 2) about x, (2, 0) about y, (0, 1) about z.
void RotateInPlane(float (*p)[3], float degrees, size_t n, int i, int j) {
  const float a = DegreesToRadians(degrees);
  const float c = std::cos(a), s = std::sin(a);
  for (size_t k = 0; k < n; ++k) {
    const float u = p[k][i], v = p[k][j];
    p[k][i] = c * u - s * v;
    p[k][j] = s * u + c * v;
  }
}

inline float NextUnit() {
  return float(kxRandom()) * 3.0517578e-5f;
}

inline float Scaled(float r, float a, float b) {
  const float lo = a > b ? b : a;
  const float hi = a > b ? a : b;
  return r * (hi - lo) + lo;
}

}  // namespace

void kxSeedRandom(uint32_t seed) {
  randomState = seed;
}

int kxRandom() {
  randomState = randomState * 214013u + 2531011u;
  return int((randomState >> 16) & 0x7FFFu);
}

float ToRadf(float degrees) {
  return degrees * kPi / 180.0f;
}

float ToDegf(float radians) {
  return radians * 180.0f / kPi;
}

void InitVect(float* const v, float x, float y, float z) {
  v[0] = x;
  v[1] = y;
  v[2] = z;
}

void InitVect4(float* const v, float x, float y, float z, float w) {
  v[0] = x;
  v[1] = y;
  v[2] = z;
  v[3] = w;
}

void CopyVect(float* const dst, float* const src) {
  for (int i = 0; i < 3; ++i) dst[i] = src[i];
}

void CopyVect4(float* const dst, float* const src) {
  for (int i = 0; i < 4; ++i) dst[i] = src[i];
}

void ChangeVect(float* const a, float* const b) {
  for (int i = 0; i < 3; ++i) {
    const float t = a[i];
    a[i] = b[i];
    b[i] = t;
  }
}

void ScaleVect(float* const v, float k) {
  for (int i = 0; i < 3; ++i) v[i] *= k;
}

void ScaleVect3f(float* const v, float kx, float ky, float kz) {
  v[0] *= kx;
  v[1] *= ky;
  v[2] *= kz;
}

void TranslateVect3f(float* const v, float dx, float dy, float dz) {
  v[0] += dx;
  v[1] += dy;
  v[2] += dz;
}

void RotateVectX(float* const src, float* const dst, float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  dst[0] = src[0];
  dst[1] = c * src[1] - s * src[2];
  dst[2] = s * src[1] + c * src[2];
}

void RotateVectY(float* const src, float* const dst, float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  dst[0] = c * src[0] + s * src[2];
  dst[1] = src[1];
  dst[2] = c * src[2] - s * src[0];
}

void RotateVectZ(float* const src, float* const dst, float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  dst[0] = c * src[0] - s * src[1];
  dst[1] = s * src[0] + c * src[1];
  dst[2] = src[2];
}

void RotateVect4X(float* const src, float* const dst, float radians) {
  RotateVectX(src, dst, radians);
  dst[3] = src[3];
}

void ScaleMatrix(float (*p)[3], float k, size_t n) {
  for (size_t i = 0; i < n; ++i) ScaleVect(p[i], k);
}

void ScaleMatrix3f(float (*p)[3], float kx, float ky, float kz, size_t n) {
  for (size_t i = 0; i < n; ++i) ScaleVect3f(p[i], kx, ky, kz);
}

void TranslateMatrix3f(float (*p)[3], float dx, float dy, float dz, size_t n) {
  for (size_t i = 0; i < n; ++i) TranslateVect3f(p[i], dx, dy, dz);
}

void MoveMatrix(float (*p)[3], float dx, float dy, float dz, size_t n) {
  TranslateMatrix3f(p, dx, dy, dz, n);
}

void RotateMatrixX(float (*p)[3], float degrees, size_t n) {
  RotateInPlane(p, degrees, n, 1, 2);
}

void RotateMatrixY(float (*p)[3], float degrees, size_t n) {
  RotateInPlane(p, degrees, n, 2, 0);
}

void RotateMatrixZ(float (*p)[3], float degrees, size_t n) {
  RotateInPlane(p, degrees, n, 0, 1);
}

void RotateMatrixZ(float (*p)[3], float* degrees, size_t n) {
  for (size_t i = 0; i < n; ++i) RotateMatrixZ(p + i, degrees[i], 1);
}

void CopyMatrix(float (*dst)[3], float (*src)[3], size_t n) {
  for (size_t i = 0; i < n; ++i) CopyVect(dst[i], src[i]);
}

void RandomMatrix(float* out, float a, float b, size_t n) {
  for (size_t i = 0; i < n; ++i) out[i] = Scaled(NextUnit(), a, b);
}

float Randf(float a, float b) {
  return Scaled(NextUnit(), a, b);
}

float GetAngle(float x1, float y1, float x2, float y2) {
  const float dx = x2 - x1, dy = y2 - y1;
  if (dx == 0.0f) {
    if (dy > 0.0f) return 90.0f;
    if (dy < 0.0f) return 270.0f;
    return 0.0f;
  }
  float t = std::atan(dy / dx);
  if (dx < 0.0f) {
    t += kPi;  // dy == 0 lands on 180 as well
  } else if (dy < 0.0f) {
    t += kTwoPi;
  }
  return t * 180.0f / kPi;
}
