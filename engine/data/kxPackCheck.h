/// \file
/// The one validator of pack images: walks an image the way kxResource reads
/// it and says what is wrong with it, for the reader (which refuses what is
/// fatal) and for tools that inspect packs (which show the description).
#pragma once

#include "data/kxMemoryBlock.h"
#include "kxExport.h"
#include "kxTypes.h"

/// Faults in the order the walk meets them. The reader refuses every fault
/// but the last two, which a tool may still point out.
enum TPackFault : int32_t {
  pfNone = 0,
  pfTooShort,       ///< fewer bytes than the 10-byte header
  pfBadMagic,       ///< does not start with "kx"
  pfTooLarge,       ///< 4 GiB or more: no writer makes such an image
  pfTableCut,       ///< the crunched table runs past the end of the image
  pfEntriesCut,     ///< the table lists more entry bytes than follow it
  pfChecksum,       ///< the stored CRC-32 differs from the image's
  pfBadTable,       ///< the table is not a crunched block
  pfPartialRecord,  ///< tolerated: the table ends inside a 36-byte record
  pfStrayBytes,     ///< tolerated: bytes after the last entry
};

/// What the walk found; the numbers past `fault` are filled as far as the
/// walk got.
struct kxPackCheck_s {
  TPackFault fault;       ///< the first fault met, pfNone when there is none
  bool checksumMatches;   ///< false also when the walk stopped before the CRC
  uint32_t storedCRC;     ///< CRC-32 the header gives
  uint32_t computedCRC;   ///< CRC-32 of the image (storedCRC when not verified)
  uint64_t imageSize;     ///< bytes in the image
  uint64_t tableLength;   ///< crunched table length from the header
  uint64_t tableSize;     ///< expanded table length
  uint64_t entryCount;    ///< whole records in the expanded table
  uint64_t listedBytes;   ///< sum of the entry sizes the table gives
  uint64_t presentBytes;  ///< bytes behind the table
};

/// Checks the image; returns check->fault. A null image is too short.
KX_API TPackFault kxCheckPack(const kxMemoryBlock* image, kxPackCheck_s* check);
/// True for the faults the reader refuses.
KX_API bool kxPackFaultIsFatal(TPackFault fault);
/// One line of English, without a newline, saying what the check found
/// ("ok" for none); cut to fit `size` bytes with its NUL.
KX_API void kxDescribePackCheck(const kxPackCheck_s* check, char* text, size_t size);
