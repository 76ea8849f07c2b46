#include "data/kxChecksum.h"

#include "data/kxLittleEndian.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KX_CRC_CLMUL 1
#endif

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

// Table-driven core: sixteen bytes per step, then byte by byte. Works on the
// inverted running value.
uint32_t UpdateTables(uint32_t c, const uint8_t* data, uint64_t length) {
  const auto& t = kTables.t;
  while (length >= 16) {
    const uint32_t a = kxLoadLE32(data) ^ c;
    const uint32_t b = kxLoadLE32(data + 4);
    const uint32_t d = kxLoadLE32(data + 8);
    const uint32_t e = kxLoadLE32(data + 12);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
        t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
        t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
        t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    data += 16;
    length -= 16;
  }
  while (length--) c = t[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
  return c;
}

#ifdef KX_CRC_CLMUL
// One lane moved 128 bits forward (times k) and the next 16 bytes added.
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Carry-less multiplication folding: four 128-bit lanes are folded forward
// 64 bytes at a time, then into one lane, then reduced to 32 bits with a
// Barrett step. The constants are powers of x modulo the bit-reflected
// polynomial. Takes the inverted running value and a length that is a
// multiple of 16 and at least 64.
__attribute__((target("pclmul,sse4.1"))) uint32_t UpdateFolding(uint32_t c, const uint8_t* data,
                                                                uint64_t length) {
  const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596ll, 0x154442bd4ll);
  const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009ell, 0x1751997d0ll);
  const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124ll);
  const __m128i poly = _mm_set_epi64x(0x1f7011641ll, 0x1db710641ll);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
  const __m128i* p = reinterpret_cast<const __m128i*>(data);

  __m128i x0 = _mm_xor_si128(_mm_loadu_si128(p), _mm_cvtsi32_si128(int(c)));
  __m128i x1 = _mm_loadu_si128(p + 1);
  __m128i x2 = _mm_loadu_si128(p + 2);
  __m128i x3 = _mm_loadu_si128(p + 3);
  p += 4;
  length -= 64;

  while (length >= 64) {
    x0 = Fold(x0, k1k2, _mm_loadu_si128(p));
    x1 = Fold(x1, k1k2, _mm_loadu_si128(p + 1));
    x2 = Fold(x2, k1k2, _mm_loadu_si128(p + 2));
    x3 = Fold(x3, k1k2, _mm_loadu_si128(p + 3));
    p += 4;
    length -= 64;
  }
  __m128i x = Fold(x0, k3k4, x1);
  x = Fold(x, k3k4, x2);
  x = Fold(x, k3k4, x3);
  while (length >= 16) {
    x = Fold(x, k3k4, _mm_loadu_si128(p));
    ++p;
    length -= 16;
  }

  // 128 to 64 bits, then 64 to 32, then the Barrett reduction.
  x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(k3k4, x, 0x01));
  x = _mm_xor_si128(_mm_srli_si128(x, 4), _mm_clmulepi64_si128(_mm_and_si128(x, mask32), k5, 0x00));
  __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x, mask32), poly, 0x10), mask32);
  t = _mm_clmulepi64_si128(t, poly, 0x00);
  x = _mm_xor_si128(x, t);
  return uint32_t(_mm_extract_epi32(x, 1));
}

bool HasFolding() {
  static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return has;
}
#endif

}  // namespace

uint32_t kxCRC32Update(uint32_t crc, const uint8_t* data, uint64_t length) {
  uint32_t c = ~crc;
#ifdef KX_CRC_CLMUL
  if (length >= 64 && HasFolding()) {
    const uint64_t folded = length & ~uint64_t(15);
    c = UpdateFolding(c, data, folded);
    data += folded;
    length -= folded;
  }
#endif
  return ~UpdateTables(c, data, length);
}
