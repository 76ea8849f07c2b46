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

// A 32-bit value of another type, bit for bit (two's complement integers,
// IEEE 754 single-precision floats: the forms every format stores).
template <class T>
inline T kxLoadLEAs(const uint8_t* p) {
  static_assert(sizeof(T) == 4, "32-bit types only");
  const uint32_t bits = kxLoadLE32(p);
  T value;
  memcpy(&value, &bits, sizeof value);
  return value;
}

template <class T>
inline void kxStoreLEAs(uint8_t* p, T value) {
  static_assert(sizeof(T) == 4, "32-bit types only");
  uint32_t bits;
  memcpy(&bits, &value, sizeof bits);
  kxStoreLE32(p, bits);
}

inline int32_t kxLoadLEI32(const uint8_t* p) {
  return kxLoadLEAs<int32_t>(p);
}
inline void kxStoreLEI32(uint8_t* p, int32_t v) {
  kxStoreLEAs(p, v);
}
inline float kxLoadLEF32(const uint8_t* p) {
  return kxLoadLEAs<float>(p);
}
inline void kxStoreLEF32(uint8_t* p, float f) {
  kxStoreLEAs(p, f);
}
