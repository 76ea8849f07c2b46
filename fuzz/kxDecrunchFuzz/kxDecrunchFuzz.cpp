// Feeds arbitrary bytes to kxDecrunchMemoryBlock. Whatever expands must come
// back unchanged through another crunch and decrunch.
#include <cstdlib>
#include <cstring>

#include "data/kxMemoryBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so reads past the input are caught.
  kxMemoryBlock* input = kxAllocMemoryBlock(size);
  if (!input) return 0;
  if (size) memcpy(input->data, data, size);
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(input);
  if (expanded) {
    const uint32_t stored = size >= 4 ? uint32_t(data[0]) | uint32_t(data[1]) << 8 |
                                            uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24
                                      : 0;
    if (size < 4 || expanded->size > stored) abort();
    kxMemoryBlock* again = kxCrunchMemoryBlock(expanded);
    if (!again) abort();
    kxMemoryBlock* back = kxDecrunchMemoryBlock(again);
    if (!back || back->size != expanded->size ||
        (back->size && memcmp(back->data, expanded->data, back->size) != 0))
      abort();
    kxFreeMemoryBlock(back);
    kxFreeMemoryBlock(again);
    kxFreeMemoryBlock(expanded);
  }
  kxFreeMemoryBlock(input);
  return 0;
}
