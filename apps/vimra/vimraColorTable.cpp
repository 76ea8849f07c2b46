#include "vimraColorTable.h"

namespace {

const float kBuiltIn[2][3] = {
    {0.889129638671875f, 0.629486083984375f, 0.13458251953125f},
    {0.084930419921875f, 0.404876708984375f, 0.7286376953125f},
};

float table[2][3] = {
    {kBuiltIn[0][0], kBuiltIn[0][1], kBuiltIn[0][2]},
    {kBuiltIn[1][0], kBuiltIn[1][1], kBuiltIn[1][2]},
};

}  // namespace

float* vimraBackdropColor(TBackdropColor which) {
  return table[which == bcTop ? 1 : 0];
}

const float* vimraBuiltInBackdropColor(TBackdropColor which) {
  return kBuiltIn[which == bcTop ? 1 : 0];
}

void vimraResetBackdropColors() {
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < 3; ++k) table[c][k] = kBuiltIn[c][k];
  }
}
