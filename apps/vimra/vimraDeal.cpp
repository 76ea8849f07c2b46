#include "vimraDeal.h"

#include <cstdlib>

void vimraGatherOrder(int row, int order[vimraCardCount]) {
  // First slot of each row as it goes onto the pile; the answered row always
  // goes second, so it fills pile positions 7 to 13.
  int firstRows[3];
  if (row == 1) {
    firstRows[0] = 0;
    firstRows[1] = 14;
    firstRows[2] = 7;
  } else if (row == 3) {
    firstRows[0] = 14;
    firstRows[1] = 0;
    firstRows[2] = 7;
  } else {
    firstRows[0] = 0;
    firstRows[1] = 7;
    firstRows[2] = 14;
  }
  int pile[vimraCardCount];
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 7; ++k) pile[7 * r + k] = firstRows[r] + k;
  }
  for (int i = 0; i < 7; ++i) {
    order[i] = pile[3 * i];
    order[i + 7] = pile[3 * i + 1];
    order[i + 14] = pile[3 * i + 2];
  }
}

void vimraPictureOrder(int picture[vimraCardCount]) {
  for (int i = 0; i < vimraCardCount; ++i) picture[i] = i;
  for (int i = 0; i < vimraCardCount; ++i) {
    int r = rand() % vimraCardCount;
    int t = picture[i];
    picture[i] = picture[r];
    picture[r] = t;
  }
}
