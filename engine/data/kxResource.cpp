#include "data/kxResource.h"

#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxLittleEndian.h"
#include "data/kxPackCheck.h"
#include "data/kxPackInspect.h"

namespace {

char* CopyName(const char* name, size_t length) {
  char* copy = static_cast<char*>(kxMalloc(length + 1));
  if (!copy) return nullptr;
  memcpy(copy, name, length);
  copy[length] = 0;
  return copy;
}

bool SameName(const char* a, const char* b) {
  return b && strcmp(a, b) == 0;
}

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFull;

}  // namespace

kxResource::kxResource() : blocks(nullptr), count(0), names(nullptr) {}

kxResource::~kxResource() {
  Clear();
}

uint64_t kxResource::Append(const kxMemoryBlock* block, const char* name) {
  if (!name) name = "";
  kxMemoryBlock* copy = block ? kxCopyMemoryBlock(block) : kxAllocMemoryBlock(0);
  char* nameCopy = CopyName(name, strlen(name));
  // Both arrays must grow before the entry is stored; a grown array that is
  // not used yet is harmless, so a failure of the second realloc keeps the
  // invariant (both hold `count` valid pointers).
  kxMemoryBlock** grownBlocks =
      copy && nameCopy
          ? static_cast<kxMemoryBlock**>(kxRealloc(blocks, sizeof(kxMemoryBlock*) * (count + 1)))
          : nullptr;
  if (grownBlocks) blocks = grownBlocks;
  char** grownNames =
      grownBlocks ? static_cast<char**>(kxRealloc(names, sizeof(char*) * (count + 1))) : nullptr;
  if (!grownNames) {
    kxFreeMemoryBlock(copy);
    free(nameCopy);
    return UINT64_MAX;
  }
  names = grownNames;
  blocks[count] = copy;
  names[count] = nameCopy;
  return count++;
}

void kxResource::Change(const kxMemoryBlock* block, const char* name) {
  for (uint64_t i = 0; i < count; ++i) {
    if (!SameName(names[i], name)) continue;
    kxMemoryBlock* copy = block ? kxCopyMemoryBlock(block) : kxAllocMemoryBlock(0);
    if (!copy) continue;  // out of memory: the entry keeps its old block
    kxFreeMemoryBlock(blocks[i]);
    blocks[i] = copy;
  }
}

bool kxResource::Remove(const char* name) {
  for (uint64_t i = 0; i < count; ++i) {
    if (!SameName(names[i], name)) continue;
    kxFreeMemoryBlock(blocks[i]);
    free(names[i]);
    const uint64_t behind = count - i - 1;
    memmove(blocks + i, blocks + i + 1, sizeof(kxMemoryBlock*) * behind);
    memmove(names + i, names + i + 1, sizeof(char*) * behind);
    --count;
    if (count == 0) {
      free(blocks);
      free(names);
      blocks = nullptr;
      names = nullptr;
    }
    return true;
  }
  return false;
}

bool kxResource::ResourceExists(const char* name) const {
  return Get(name) != nullptr;
}

kxMemoryBlock* kxResource::Get(const char* name) const {
  for (uint64_t i = 0; i < count; ++i)
    if (SameName(names[i], name)) return blocks[i];
  return nullptr;
}

kxMemoryBlock* kxResource::Get(uint64_t index) const {
  return index < count ? blocks[index] : nullptr;
}

kxMemoryBlock* kxResource::GetMemoryBlock(uint64_t index) const {
  return Get(index);
}

const char* kxResource::GetName(uint64_t index) const {
  return index < count ? names[index] : nullptr;
}

uint64_t kxResource::Length() const {
  return count;
}

void kxResource::Clear() {
  for (uint64_t i = 0; i < count; ++i) {
    kxFreeMemoryBlock(blocks[i]);
    free(names[i]);
  }
  free(blocks);
  free(names);
  blocks = nullptr;
  names = nullptr;
  count = 0;
}

kxMemoryBlock* kxResource::WriteToMemoryBlock() const {
  // Everything that would not read back identically is refused up front.
  uint64_t dataSize = 0;
  for (uint64_t i = 0; i < count; ++i) {
    if (strlen(names[i]) > kMaxNameLength) return nullptr;
    if (blocks[i]->size > 0xFFFFFFFFull) return nullptr;
    dataSize += blocks[i]->size;
    if (dataSize > kMaxImageSize) return nullptr;
  }
  if (dataSize == 0) return nullptr;
  if (count > kMaxImageSize / kRecordSize) return nullptr;

  kxMemoryBlock* table = kxAllocMemoryBlock(count * kRecordSize);
  if (!table) return nullptr;
  memset(table->data, 0, size_t(table->size));
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t* record = table->data + i * kRecordSize;
    memcpy(record, names[i], strlen(names[i]));
    kxStoreLE32(record + kNameFieldSize, uint32_t(blocks[i]->size));
  }
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(table);
  kxFreeMemoryBlock(table);
  if (!crunched) return nullptr;

  const uint64_t imageSize = kHeaderSize + crunched->size + dataSize;
  kxMemoryBlock* image = imageSize <= kMaxImageSize ? kxAllocMemoryBlock(imageSize) : nullptr;
  if (!image) {
    kxFreeMemoryBlock(crunched);
    return nullptr;
  }
  uint8_t* out = image->data;
  out[0] = 'k';
  out[1] = 'x';
  kxStoreLE32(out + 2, 0);
  kxStoreLE32(out + 6, uint32_t(crunched->size));
  memcpy(out + kHeaderSize, crunched->data, size_t(crunched->size));
  uint8_t* cursor = out + kHeaderSize + crunched->size;
  kxFreeMemoryBlock(crunched);
  for (uint64_t i = 0; i < count; ++i) {
    if (blocks[i]->size) memcpy(cursor, blocks[i]->data, size_t(blocks[i]->size));
    cursor += blocks[i]->size;
  }
  kxStoreLE32(out + 2, kxCRC32(out, uint32_t(imageSize)));
  return image;
}

bool kxResource::ReadFromMemoryBlock(const kxMemoryBlock* image) {
#ifdef KX_FUZZING
  // Fuzzed images would almost never get past the CRC.
  return ReadImage(image, false);
#else
  return ReadImage(image, true);
#endif
}

bool kxResource::SalvageFromMemoryBlock(const kxMemoryBlock* image) {
  return ReadImage(image, false);
}

bool kxResource::ReadImage(const kxMemoryBlock* image, bool verifyChecksum) {
  kxMemoryBlock* table = nullptr;
  const TPackFault fault = kxInspectPack(image, verifyChecksum, nullptr, &table);
  if (kxPackFaultIsFatal(fault)) {
    kxFreeMemoryBlock(table);
    return false;
  }
  const uint8_t* in = image->data;
  const uint64_t entryCount = table->size / kRecordSize;
  const uint64_t dataStart = kHeaderSize + kxLoadLE32(in + 6);

  // Build the new entries aside, so that running out of memory half way also
  // leaves the collection as it was.
  kxMemoryBlock** newBlocks = nullptr;
  char** newNames = nullptr;
  uint64_t built = 0;
  bool valid = true;
  if (entryCount) {
    newBlocks = static_cast<kxMemoryBlock**>(kxCalloc(size_t(entryCount), sizeof(kxMemoryBlock*)));
    newNames = static_cast<char**>(kxCalloc(size_t(entryCount), sizeof(char*)));
    valid = newBlocks && newNames;
  }
  uint64_t cursor = dataStart;
  for (; valid && built < entryCount; ++built) {
    const uint8_t* record = table->data + built * kRecordSize;
    const uint32_t size = kxLoadLE32(record + kNameFieldSize);
    const void* nul = memchr(record, 0, kNameFieldSize);
    const size_t nameLength =
        nul ? size_t(static_cast<const uint8_t*>(nul) - record) : size_t(kNameFieldSize);
    newNames[built] = CopyName(reinterpret_cast<const char*>(record), nameLength);
    newBlocks[built] = kxAllocMemoryBlock(size);
    if (!newNames[built] || !newBlocks[built]) {
      valid = false;
      ++built;  // release this half-made entry too
      break;
    }
    if (size) memcpy(newBlocks[built]->data, in + cursor, size);
    cursor += size;
  }
  kxFreeMemoryBlock(table);

  if (!valid) {
    for (uint64_t i = 0; i < built; ++i) {
      kxFreeMemoryBlock(newBlocks[i]);
      free(newNames[i]);
    }
    free(newBlocks);
    free(newNames);
    return false;
  }
  Clear();
  blocks = newBlocks;
  names = newNames;
  count = entryCount;
  return true;
}

bool kxResource::WriteToFile(const char* fileName) const {
  return kxUseAndFree(WriteToMemoryBlock(), [fileName](kxMemoryBlock* image) {
    return kxWriteMemoryBlock(fileName, image);
  });
}

bool kxResource::ReadFromFile(const char* fileName) {
  return kxUseAndFree(kxReadMemoryBlock(fileName),
                      [this](kxMemoryBlock* image) { return ReadFromMemoryBlock(image); });
}
