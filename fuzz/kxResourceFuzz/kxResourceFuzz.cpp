// Feeds arbitrary images to kxResource::ReadFromMemoryBlock (built with the
// CRC check off, so the table is reached). A failed read must keep the
// previous entries; a successful one must survive a write and a second read.
#include <cstdlib>
#include <cstring>

#include "data/kxResource.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kxMemoryBlock* image = kxAllocMemoryBlock(size);
  if (!image) return 0;
  if (size) memcpy(image->data, data, size);

  kxResource pack;
  const uint8_t marker[2] = {0x5A, 0xA5};
  kxMemoryBlock markerBlock = {const_cast<uint8_t*>(marker), 2};
  pack.Append(&markerBlock, "previous");
  const bool read = pack.ReadFromMemoryBlock(image);
  if (size && memcmp(image->data, data, size) != 0) abort();  // input changed
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
