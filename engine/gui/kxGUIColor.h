// The colour the label, ticker, text viewer and panel keep: a float[4], red,
// green, blue, alpha, as the renderer's SetColor takes them. Internal;
// header-only.
#pragma once

// Stores one colour into a control's float[4].
inline void kxStoreColor(float color[4], float r, float g, float b, float a) {
  color[0] = r;
  color[1] = g;
  color[2] = b;
  color[3] = a;
}
