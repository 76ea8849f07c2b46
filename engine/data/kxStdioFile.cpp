#include "data/kxStdioFile.h"

#include <cstdio>
#include <cstdlib>

#include "data/kxAlloc.h"

namespace {

// Reads to the end of the stream into `*data` (grown as needed); false on a
// read error, when more than `limit` bytes come, or when memory runs out.
bool ReadToEnd(FILE* file, uint64_t limit, uint8_t** data, uint64_t* capacity, uint64_t* size) {
  for (;;) {
    if (*size == *capacity) {
      if (*capacity > limit || *capacity > SIZE_MAX / 2) return false;
      uint8_t* grown = static_cast<uint8_t*>(kxRealloc(*data, size_t(*capacity * 2)));
      if (!grown) return false;
      *data = grown;
      *capacity *= 2;
    }
    const size_t wanted = size_t(*capacity - *size);
    const size_t got = fread(*data + *size, 1, wanted, file);
    *size += got;
    if (got < wanted) return !ferror(file) && *size <= limit;
  }
}

}  // namespace

kxMemoryBlock* kxReadStdioFile(const char* path, uint64_t limit) {
  if (!path) return nullptr;
  FILE* file = fopen(path, "rb");
  if (!file) return nullptr;
  // The length found by seeking is only a first guess at the room needed: a
  // stream reports none and a directory an absurd one. One byte more lets
  // the read meet the end without growing the buffer.
  long guess = -1;
  if (fseek(file, 0, SEEK_END) == 0) guess = ftell(file);
  if (fseek(file, 0, SEEK_SET) != 0) clearerr(file);
  uint64_t capacity = 4096;
  if (guess >= 0 && uint64_t(guess) <= limit) capacity = uint64_t(guess) + 1;
  uint64_t size = 0;
  uint8_t* data = static_cast<uint8_t*>(kxMalloc(size_t(capacity)));
  kxMemoryBlock* block = nullptr;
  if (data && ReadToEnd(file, limit, &data, &capacity, &size)) {
    block = static_cast<kxMemoryBlock*>(kxMalloc(sizeof(kxMemoryBlock)));
  }
  fclose(file);
  if (!block) {
    free(data);
    return nullptr;
  }
  if (size && size < capacity) {
    if (uint8_t* shrunk = static_cast<uint8_t*>(kxRealloc(data, size_t(size)))) data = shrunk;
  }
  block->data = data;
  block->size = size;
  return block;
}
