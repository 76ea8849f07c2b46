#include "graphics/kxScreen.h"

namespace {
int screenWidth = 0;
int screenHeight = 0;
}  // namespace

void kxSetScreenSize(int width, int height) {
  screenWidth = width;
  screenHeight = height;
}

int kxGetScreenWidth() { return screenWidth; }

int kxGetScreenHeight() { return screenHeight; }
