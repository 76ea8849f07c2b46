#include "data/kxStdioFile.h"

#include <cstdio>
#include <cstdlib>

#include "data/kxAlloc.h"

namespace {

// Reads `wanted` more bytes into data + *size; false when they do not come.
bool ReadExactly(FILE* file, uint8_t* data, uint64_t wanted, uint64_t* size) {
  while (wanted) {
    const size_t got = fread(data + *size, 1, size_t(wanted), file);
    if (got == 0) return false;
    *size += got;
    wanted -= got;
  }
  return true;
}

// Reads a stream that has no length (a pipe) to its end into `*data`, grown
// as needed; false on a read error, past `limit` bytes, or out of memory.
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
  // A file that can seek is read for the length it reports, no more: a
  // device such as /dev/zero reports 0 and would never end. A directory
  // reports an absurd length, so a first byte must come before anything is
  // allocated for it. A stream without a length is read to its end.
  long length = -1;
  if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
  if (fseek(file, 0, SEEK_SET) != 0) clearerr(file);
  const int first = length != 0 ? fgetc(file) : EOF;
  const bool readable = !ferror(file) && (length < 0 || uint64_t(length) <= limit);
  uint64_t capacity = length > 0 ? uint64_t(length) : 4096;
  uint8_t* data = readable ? static_cast<uint8_t*>(kxMalloc(size_t(capacity))) : nullptr;
  uint64_t size = 0;
  bool read = data != nullptr;
  if (read && first != EOF) data[size++] = uint8_t(first);
  if (read && length > 0) read = first != EOF && ReadExactly(file, data, capacity - 1, &size);
  if (read && length < 0 && first != EOF) read = ReadToEnd(file, limit, &data, &capacity, &size);
  fclose(file);
  kxMemoryBlock* block =
      read ? static_cast<kxMemoryBlock*>(kxMalloc(sizeof(kxMemoryBlock))) : nullptr;
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
