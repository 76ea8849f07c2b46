#include "data/kxAlloc.h"

#include <cstdlib>

namespace {

// -1: no failures. Otherwise the number of allocations still granted.
int64_t gSpared = -1;
bool gOnce = false;
uint64_t gRefused = 0;

bool Refuse() {
  if (gSpared < 0) return false;
  if (gSpared > 0) {
    --gSpared;
    return false;
  }
  ++gRefused;
  if (gOnce) gSpared = -1;
  return true;
}

}  // namespace

void* kxMalloc(size_t size) {
  return Refuse() ? nullptr : malloc(size);
}

void* kxCalloc(size_t count, size_t size) {
  return Refuse() ? nullptr : calloc(count, size);
}

void* kxRealloc(void* block, size_t size) {
  return Refuse() ? nullptr : realloc(block, size);
}

void kxFailAllocationsAfter(int64_t spared, bool once) {
  gSpared = spared < 0 ? -1 : spared;
  gOnce = once;
  gRefused = 0;
}

uint64_t kxRefusedAllocations() {
  return gRefused;
}
