// Incremental CRC-32 used inside the engine where the checksummed bytes are
// not one contiguous run (the pack's CRC skips its own field). Not exported:
// outside the library kxCRC32 is the interface.
#pragma once

#include "kxTypes.h"

// Continues a standard reflected CRC-32 (polynomial 0xEDB88320). `crc` is the
// value returned so far (0 to start); the result equals zlib's
// crc32(crc, data, length).
uint32_t kxCRC32Update(uint32_t crc, const uint8_t* data, uint64_t length);
