#include "frame/kxGLVersion.h"

#include <GL/glew.h>

namespace {
// Reads a decimal number of at most six digits; false when none starts at p.
bool ReadNumber(const char*& p, int* value) {
  if (*p < '0' || *p > '9') return false;
  int v = 0;
  int digits = 0;
  while (*p >= '0' && *p <= '9') {
    if (digits < 6) v = v * 10 + (*p - '0');
    ++digits;
    ++p;
  }
  *value = v;
  return true;
}
}  // namespace

bool kxGLVersionAtLeast(const char* version, int major, int minor) {
  if (!version) return false;
  const char* p = version;
  int haveMajor = 0;
  int haveMinor = 0;
  if (!ReadNumber(p, &haveMajor)) return false;
  if (*p != '.') return false;
  ++p;
  if (!ReadNumber(p, &haveMinor)) return false;
  if (haveMajor != major) return haveMajor > major;
  return haveMinor >= minor;
}

bool kxGLHasBufferObjects() {
  return glGenBuffers && glBindBuffer && glBufferData && glBufferSubData && glDeleteBuffers;
}
