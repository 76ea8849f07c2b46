#include "data/kxPackCheck.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "data/kxChecksum.h"
#include "data/kxLittleEndian.h"
#include "data/kxPackInspect.h"
#include "data/kxResource.h"

namespace {

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFull;

}  // namespace

TPackFault kxInspectPack(const kxMemoryBlock* image, bool verifyChecksum, kxPackCheck_s* check,
                         kxMemoryBlock** table) {
  kxPackCheck_s found;
  memset(&found, 0, sizeof found);
  if (table) *table = nullptr;
  auto done = [&](TPackFault fault) {
    found.fault = fault;
    if (check) *check = found;
    return fault;
  };
  if (!image || !image->data) return done(pfTooShort);
  const uint64_t size = found.imageSize = image->size;
  if (size < kxResource::kHeaderSize) return done(pfTooShort);
  const uint8_t* in = image->data;
  if (in[0] != 'k' || in[1] != 'x') return done(pfBadMagic);
  if (size > kMaxImageSize) return done(pfTooLarge);

  found.storedCRC = kxLoadLE32(in + 2);
  if (verifyChecksum) {
    // The CRC was taken with its own field zeroed; four zero bytes are fed
    // in its place instead of zeroing the caller's bytes.
    static const uint8_t kZeros[4] = {0, 0, 0, 0};
    uint32_t crc = kxCRC32Update(0, in, 2);
    crc = kxCRC32Update(crc, kZeros, 4);
    found.computedCRC = kxCRC32Update(crc, in + 6, size - 6);
    found.checksumMatches = found.computedCRC == found.storedCRC;
  } else {
    found.computedCRC = found.storedCRC;
    found.checksumMatches = true;
  }

  // A cut image usually fails its CRC as well; the layout says more about
  // it than the CRC does, so it is looked at first.
  found.tableLength = kxLoadLE32(in + 6);
  if (found.tableLength > size - kxResource::kHeaderSize) return done(pfTableCut);
  kxMemoryBlock crunched = {const_cast<uint8_t*>(in + kxResource::kHeaderSize), found.tableLength};
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(&crunched);
  if (!expanded) return done(found.checksumMatches ? pfBadTable : pfChecksum);
  found.tableSize = expanded->size;
  found.entryCount = expanded->size / kxResource::kRecordSize;
  found.presentBytes = size - kxResource::kHeaderSize - found.tableLength;
  for (uint64_t i = 0; i < found.entryCount; ++i) {
    found.listedBytes +=
        kxLoadLE32(expanded->data + i * kxResource::kRecordSize + kxResource::kNameFieldSize);
  }
  if (table) {
    *table = expanded;
  } else {
    kxFreeMemoryBlock(expanded);
  }
  if (found.listedBytes > found.presentBytes) return done(pfEntriesCut);
  if (!found.checksumMatches) return done(pfChecksum);
  if (found.tableSize % kxResource::kRecordSize) return done(pfPartialRecord);
  if (found.listedBytes < found.presentBytes) return done(pfStrayBytes);
  return done(pfNone);
}

TPackFault kxCheckPack(const kxMemoryBlock* image, kxPackCheck_s* check) {
  return kxInspectPack(image, true, check, nullptr);
}

bool kxPackFaultIsFatal(TPackFault fault) {
  return fault != pfNone && fault != pfPartialRecord && fault != pfStrayBytes;
}

void kxDescribePackCheck(const kxPackCheck_s* check, char* text, size_t size) {
  if (!text || !size) return;
  if (!check) {
    text[0] = 0;
    return;
  }
  const kxPackCheck_s& c = *check;
  // A cut image that still has a whole header is called truncated when its
  // CRC disagrees too; with a matching CRC the header itself lies.
  const char* cut = c.checksumMatches ? "damaged" : "truncated";
  switch (c.fault) {
    case pfNone:
    case pfBadMagic:
    case pfTooLarge:
    case pfBadTable: {
      // The faults that need no figures.
      const char* plain = c.fault == pfNone       ? "ok"
                          : c.fault == pfBadMagic ? "not a pack (it does not start with \"kx\")"
                          : c.fault == pfTooLarge ? "too large to be a pack (4 GiB or more)"
                                                  : "the entry table is not a valid crunched block";
      snprintf(text, size, "%s", plain);
      break;
    }
    case pfTooShort:
    case pfPartialRecord:
    case pfStrayBytes: {
      // The faults told with one figure.
      const uint64_t figure = c.fault == pfTooShort        ? c.imageSize
                              : c.fault == pfPartialRecord ? c.tableSize
                                                           : c.presentBytes - c.listedBytes;
      if (c.fault == pfTooShort) {
        snprintf(text, size, "truncated: %" PRIu64 " bytes, fewer than a pack's 10-byte header",
                 figure);
      } else if (c.fault == pfPartialRecord) {
        snprintf(text, size, "the entry table length %" PRIu64 " is not a multiple of 36", figure);
      } else {
        snprintf(text, size, "%" PRIu64 " stray bytes after the last entry", figure);
      }
      break;
    }
    case pfTableCut:
    case pfEntriesCut:
      if (c.fault == pfTableCut) {
        snprintf(text, size,
                 "%s: the entry table of %" PRIu64 " bytes runs past the end (%" PRIu64
                 " bytes follow the header)",
                 cut, c.tableLength, c.imageSize - 10);
      } else {
        snprintf(text, size,
                 "%s: the table lists %" PRIu64 " bytes of entries, %" PRIu64 " are present", cut,
                 c.listedBytes, c.presentBytes);
      }
      break;
    case pfChecksum:
      snprintf(text, size, "CRC mismatch (stored %08" PRIX32 ", computed %08" PRIX32 ")",
               c.storedCRC, c.computedCRC);
      break;
  }
}
