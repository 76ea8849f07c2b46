#include "data/kxMemoryBlock.h"

#include <SDL.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxChecksum.h"
#include "data/kxLittleEndian.h"
#include "data/kxStdioFile.h"

namespace {

// Deflate cannot expand by more than 1032:1; 1040 plus a constant leaves a
// margin for the zlib header and trailer. A stored size above this bound is a
// lie that would otherwise make us allocate up to 4 GiB for a few bytes.
constexpr uint64_t kMaxExpansionPerByte = 1040;
constexpr uint64_t kExpansionSlack = 1024;

constexpr uint64_t kMaxCrunchable = 0xFFFFFFFFull;

}  // namespace

kxMemoryBlock* kxAllocMemoryBlock(uint64_t size) {
  if (size > SIZE_MAX) return nullptr;
  kxMemoryBlock* block = static_cast<kxMemoryBlock*>(kxMalloc(sizeof(kxMemoryBlock)));
  if (!block) return nullptr;
  // One byte for empty blocks, so that `data` is never null for a live block.
  block->data = static_cast<uint8_t*>(kxMalloc(size ? size_t(size) : 1));
  if (!block->data) {
    free(block);
    return nullptr;
  }
  block->size = size;
  return block;
}

kxMemoryBlock* kxCopyMemoryBlock(const kxMemoryBlock* block) {
  if (!block) return nullptr;
  kxMemoryBlock* copy = kxAllocMemoryBlock(block->size);
  if (copy && block->size) memcpy(copy->data, block->data, size_t(block->size));
  return copy;
}

void kxFreeMemoryBlock(kxMemoryBlock* block) {
  if (!block) return;
  free(block->data);
  free(block);
}

kxMemoryBlock* kxCrunchMemoryBlock(const kxMemoryBlock* block) {
  if (!block || block->size > kMaxCrunchable) return nullptr;
  const uLong sourceSize = uLong(block->size);
  uLongf bound = compressBound(sourceSize);
  kxMemoryBlock* result = kxAllocMemoryBlock(uint64_t(bound) + 4);
  if (!result) return nullptr;
  // Compressing straight behind the size prefix saves a scratch copy.
  if (compress2(result->data + 4, &bound, block->data, sourceSize, 9) != Z_OK) {
    kxFreeMemoryBlock(result);
    return nullptr;
  }
  kxStoreLE32(result->data, uint32_t(block->size));
  result->size = uint64_t(bound) + 4;
  if (uint8_t* shrunk = static_cast<uint8_t*>(kxRealloc(result->data, size_t(result->size))))
    result->data = shrunk;
  return result;
}

kxMemoryBlock* kxDecrunchMemoryBlock(const kxMemoryBlock* block) {
  if (!block || block->size < 4 || !block->data) return nullptr;
  const uint8_t* p = block->data;
  const uint64_t stored = kxLoadLE32(p);
  const uint64_t streamLength = block->size - 4;
  if (stored > streamLength * kMaxExpansionPerByte + kExpansionSlack) return nullptr;

  kxMemoryBlock* result = kxAllocMemoryBlock(stored);
  if (!result) return nullptr;
  uLongf outLength = uLongf(stored);
  if (uncompress(result->data, &outLength, p + 4, uLong(streamLength)) != Z_OK) {
    kxFreeMemoryBlock(result);
    return nullptr;
  }
  result->size = outLength;
  if (outLength < stored && outLength > 0) {
    if (uint8_t* shrunk = static_cast<uint8_t*>(kxRealloc(result->data, size_t(outLength))))
      result->data = shrunk;
  }
  return result;
}

uint32_t kxMemoryBlockCRC32(const kxMemoryBlock* block) {
  if (!block) return 0;
  return kxCRC32(block->data, uint32_t(block->size));
}

uint32_t kxCRC32(const uint8_t* data, uint32_t length) {
  if (!data || length == 0) return 0;
  return kxCRC32Update(0, data, length);
}

bool kxWriteMemoryBlock(const char* fileName, const kxMemoryBlock* block) {
  if (!fileName || !block || (block->size && !block->data)) return false;
  SDL_RWops* stream = SDL_RWFromFile(fileName, "wb");
  if (!stream) return false;
  uint64_t written = 0;
  while (written < block->size) {
    const size_t n = SDL_RWwrite(stream, block->data + written, 1, size_t(block->size - written));
    if (n == 0) break;
    written += n;
  }
  const bool closed = SDL_RWclose(stream) == 0;
  return closed && written == block->size;
}

kxMemoryBlock* kxReadMemoryBlock(const char* fileName) {
  return kxReadStdioFile(fileName, UINT64_MAX);
}
