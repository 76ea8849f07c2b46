/// \file
/// Declares kxMemoryBlock.

/// \class kxMemoryBlock
/// kxMemoryBlock: the unit in which every file, asset and pack entry travels,
/// plus the free functions that allocate, copy, crunch, checksum and move
/// blocks to and from files.
///
/// Ownership: the struct and its data are both malloc'ed inside the engine and
/// released with kxFreeMemoryBlock. Every function returning a block hands the
/// caller a new block; no function but kxFreeMemoryBlock changes or releases a
/// block it is given.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

struct kxMemoryBlock {
  uint8_t* data;  ///< the bytes, malloc'ed; may be null when size is 0
  uint64_t size;  ///< number of bytes at data
};

/// New block of `size` uninitialised bytes; null when memory runs out.
[[nodiscard]] KX_API kxMemoryBlock* kxAllocMemoryBlock(uint64_t size);
/// New block holding a copy of `block`; null when memory runs out or block is null.
[[nodiscard]] KX_API kxMemoryBlock* kxCopyMemoryBlock(const kxMemoryBlock* block);
/// Releases the bytes, then the struct. Null is ignored.
KX_API void kxFreeMemoryBlock(kxMemoryBlock* block);

/// Crunched block: 4-byte little-endian expanded size, then one zlib stream
/// made at level 9. Null on any failure, and for blocks of 4 GiB or more.
[[nodiscard]] KX_API kxMemoryBlock* kxCrunchMemoryBlock(const kxMemoryBlock* block);
/// Expands a crunched block. Null for blocks shorter than 4 bytes, for a stored
/// size no zlib stream of that length could reach, and on any zlib failure.
[[nodiscard]] KX_API kxMemoryBlock* kxDecrunchMemoryBlock(const kxMemoryBlock* block);

/// CRC-32 of the block's bytes (length taken as its low 32 bits).
KX_API uint32_t kxMemoryBlockCRC32(const kxMemoryBlock* block);
/// Standard reflected CRC-32, equal to zlib's crc32(0, data, length).
KX_API uint32_t kxCRC32(const uint8_t* data, uint32_t length);

/// Writes the whole block; true only when every byte was written.
[[nodiscard]] KX_API bool kxWriteMemoryBlock(const char* fileName, const kxMemoryBlock* block);
/// New block holding the whole file, or null when it cannot be read whole.
[[nodiscard]] KX_API kxMemoryBlock* kxReadMemoryBlock(const char* fileName);
