// Feeds arbitrary images to kxResource::ReadFromMemoryBlock (built with the
// CRC check off, so the table is reached). A failed read must keep the
// previous entries; a successful one must survive a write and a second read.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/kxResource.h"

namespace {

using Bytes = std::vector<uint8_t>;

bool SameEntries(const kxResource& a, const kxResource& b) {
  if (a.Length() != b.Length()) return false;
  for (uint64_t i = 0; i < a.Length(); ++i) {
    const kxMemoryBlock* x = a.Get(i);
    const kxMemoryBlock* y = b.Get(i);
    if (strcmp(a.GetName(i), b.GetName(i)) != 0 || x->size != y->size) return false;
    if (x->size && memcmp(x->data, y->data, x->size) != 0) return false;
  }
  return true;
}

// Second input form, so that mutations reach the records themselves rather
// than dying in the zlib checks of the crunched table: "T", one byte giving
// the raw table length, the raw table, then the data area. The harness
// crunches the table and puts the image together.
kxMemoryBlock* ImageFromRawTable(const uint8_t* data, size_t size) {
  if (size < 2) return nullptr;
  const size_t tableLength = std::min<size_t>(data[1], size - 2);
  kxMemoryBlock raw = {const_cast<uint8_t*>(data + 2), tableLength};
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(&raw);
  if (!crunched) return nullptr;
  const size_t dataLength = size - 2 - tableLength;
  kxMemoryBlock* image = kxAllocMemoryBlock(10 + crunched->size + dataLength);
  if (image) {
    image->data[0] = 'k';
    image->data[1] = 'x';
    memset(image->data + 2, 0, 4);
    for (int i = 0; i < 4; ++i) image->data[6 + i] = uint8_t(crunched->size >> (8 * i));
    memcpy(image->data + 10, crunched->data, crunched->size);
    if (dataLength) memcpy(image->data + 10 + crunched->size, data + 2 + tableLength, dataLength);
  }
  kxFreeMemoryBlock(crunched);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool rawTable = size && data[0] == 'T';
  kxMemoryBlock* image = rawTable ? ImageFromRawTable(data, size) : kxAllocMemoryBlock(size);
  if (!image) return 0;
  if (!rawTable && size) memcpy(image->data, data, size);
  const Bytes before(image->data, image->data + image->size);

  kxResource pack;
  const uint8_t marker[2] = {0x5A, 0xA5};
  kxMemoryBlock markerBlock = {const_cast<uint8_t*>(marker), 2};
  pack.Append(&markerBlock, "previous");
  const bool read = pack.ReadFromMemoryBlock(image);
  if (Bytes(image->data, image->data + image->size) != before) abort();  // input changed
  if (!read) {
    if (pack.Length() != 1 || strcmp(pack.GetName(0), "previous") != 0) abort();
  } else if (kxMemoryBlock* written = pack.WriteToMemoryBlock()) {
    kxResource again;
    if (!again.ReadFromMemoryBlock(written) || !SameEntries(pack, again)) abort();
    kxFreeMemoryBlock(written);
  }
  kxFreeMemoryBlock(image);
  return 0;
}
