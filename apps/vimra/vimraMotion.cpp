#include "vimraMotion.h"

#include "graphics/kxTransform.h"

void vimraEase(float (*p)[3], const float (*q)[3], int n) {
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < 3; ++k) p[i][k] += (q[i][k] - p[i][k]) / 10.0f;
  }
}

void vimraSpinAbout(float (*p)[3], int n, float pivotZ, const vimraTurn_s* turns, int turnCount) {
  MoveMatrix(p, 0.0f, 0.0f, -pivotZ, size_t(n));
  for (int i = 0; i < turnCount; ++i) {
    if (turns[i].axis == 'x') RotateMatrixX(p, turns[i].degrees, size_t(n));
    if (turns[i].axis == 'y') RotateMatrixY(p, turns[i].degrees, size_t(n));
    if (turns[i].axis == 'z') RotateMatrixZ(p, turns[i].degrees, size_t(n));
  }
  MoveMatrix(p, 0.0f, 0.0f, pivotZ, size_t(n));
}
