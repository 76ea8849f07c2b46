#include "data/kxChecksum.h"

namespace {

// Sixteen tables, so that sixteen input bytes are folded per step; table 0 is
// the classic byte-wise table, table k advances a byte through k more zero
// bytes. Built at compile time, so there is no first-call race.
struct CRCTables {
  uint32_t t[16][256];
};

constexpr CRCTables MakeTables() {
  CRCTables tables{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    tables.t[0][n] = c;
  }
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = tables.t[0][n];
    for (int k = 1; k < 16; ++k) {
      c = tables.t[0][c & 0xFFu] ^ (c >> 8);
      tables.t[k][n] = c;
    }
  }
  return tables;
}

constexpr CRCTables kTables = MakeTables();

inline uint32_t LoadLE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

uint32_t kxCRC32Update(uint32_t crc, const uint8_t* data, uint64_t length) {
  const auto& t = kTables.t;
  uint32_t c = ~crc;
  while (length >= 16) {
    const uint32_t a = LoadLE32(data) ^ c;
    const uint32_t b = LoadLE32(data + 4);
    const uint32_t d = LoadLE32(data + 8);
    const uint32_t e = LoadLE32(data + 12);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
        t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
        t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
        t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    data += 16;
    length -= 16;
  }
  while (length--) c = t[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
  return ~c;
}
