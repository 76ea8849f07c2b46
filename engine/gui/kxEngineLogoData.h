// The engine's built-in logo: a crunched block (4-byte little-endian size,
// then a zlib stream) holding a 256 x 64, 32-bit, run-length encoded TGA,
// and the same picture rendered larger for large screens, each a crunched
// TGA of its own. The bytes live in kxEngineLogoData.cpp, which
// tools/kxlogogen writes. Engine-internal; AppendEngineLogo and
// AppendEngineLogoRenderings are the public way to reach them.
#pragma once

#include <cstddef>

extern const unsigned char kxEngineLogoData[];
extern const size_t kxEngineLogoDataSize;

// One larger rendering: registered as "kxEngineLogo" followed by suffix
// ("@2x"), `density` times the plain picture's width and height.
struct kxEngineLogoRendering_s {
  const char* suffix;
  float density;
  const unsigned char* data;
  size_t size;
};
// In ascending density.
extern const kxEngineLogoRendering_s kxEngineLogoRenderings[];
extern const int kxEngineLogoRenderingCount;
