// The engine's built-in logo: a crunched block (4-byte little-endian size,
// then a zlib stream) holding a 256 x 64, 32-bit, run-length encoded TGA.
// The bytes live in kxEngineLogoData.cpp, which tools/kxlogogen writes.
// Engine-internal; AppendEngineLogo is the public way to reach them.
#pragma once

#include <cstddef>

extern const unsigned char kxEngineLogoData[];
extern const size_t kxEngineLogoDataSize;
