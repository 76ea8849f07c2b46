#include "render/kxGLVersion.h"

#include <cctype>
#include <cstring>

#include "render/kxRenderer.h"

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

// Case-insensitive search for an ASCII word.
bool Contains(const char* text, const char* word) {
  size_t n = strlen(word);
  for (const char* p = text; *p; ++p) {
    size_t i = 0;
    while (i < n && p[i] &&
           tolower(static_cast<unsigned char>(p[i])) ==
               tolower(static_cast<unsigned char>(word[i])))
      ++i;
    if (i == n) return true;
  }
  return false;
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
  return kxGetRenderer()->HasBuffers();
}

bool kxGLIsSoftwareRenderer(const char* renderer) {
  if (!renderer) return false;
  // Mesa's CPU drivers and the fallbacks other systems ship.
  static const char* const names[] = {
      "llvmpipe",          "softpipe",    "swrast",      "software rasterizer",
      "software renderer", "gdi generic", "basic render"};
  for (const char* name : names)
    if (Contains(renderer, name)) return true;
  return false;
}

int kxGLChooseSamples(int request, const char* renderer) {
  if (request == kxMultisampleAuto) return kxGLIsSoftwareRenderer(renderer) ? 0 : 4;
  if (request >= 4) return 4;
  if (request >= 2) return 2;
  return 0;
}
