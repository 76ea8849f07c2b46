// Loads and stores of the little-endian integers and floats that every file
// format of the system uses (crunched blocks, packs, meshes, fonts,
// settings). Byte by byte, so they work at any alignment and on any host.
// Header-only and not exported: the engine, its tools and the game each
// compile their own copy.
#pragma once

#include <cstdint>
#include <cstring>

inline uint16_t kxLoadLE16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t kxLoadLE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void kxStoreLE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

// Two's complement, as every format stores its signed numbers.
inline int32_t kxLoadLEI32(const uint8_t* p) {
  const uint32_t u = kxLoadLE32(p);
  int32_t v;
  memcpy(&v, &u, sizeof v);
  return v;
}

inline void kxStoreLEI32(uint8_t* p, int32_t v) {
  uint32_t u;
  memcpy(&u, &v, sizeof u);
  kxStoreLE32(p, u);
}

// IEEE 754 single precision.
inline float kxLoadLEF32(const uint8_t* p) {
  const uint32_t bits = kxLoadLE32(p);
  float f;
  memcpy(&f, &bits, sizeof f);
  return f;
}

inline void kxStoreLEF32(uint8_t* p, float f) {
  uint32_t bits;
  memcpy(&bits, &f, sizeof bits);
  kxStoreLE32(p, bits);
}
