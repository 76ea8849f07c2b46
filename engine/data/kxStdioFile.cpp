#include "data/kxStdioFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data/kxAlloc.h"

kxMemoryBlock* kxReadStdioFile(const char* path) {
  if (!path) return nullptr;
  FILE* file = fopen(path, "rb");
  if (!file) return nullptr;
  long length = -1;
  if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
  kxMemoryBlock* block = nullptr;
  // The length is a signed 32-bit count in every file format that is read
  // this way; a directory or a stream reports no usable length at all.
  if (length >= 0 && length <= INT32_MAX && fseek(file, 0, SEEK_SET) == 0) {
    block = static_cast<kxMemoryBlock*>(kxMalloc(sizeof(kxMemoryBlock)));
    if (block) {
      block->size = uint64_t(length);
      block->data = static_cast<uint8_t*>(kxMalloc(length ? size_t(length) : 1));
      if (!block->data || fread(block->data, 1, size_t(length), file) != size_t(length)) {
        kxFreeMemoryBlock(block);
        block = nullptr;
      }
    }
  }
  fclose(file);
  return block;
}
