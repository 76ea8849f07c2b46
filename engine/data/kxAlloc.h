// The engine's heap allocation. The data, graphics and audio code allocate
// through these three functions instead of malloc, calloc and realloc, so
// that tests can make a chosen allocation fail and check what each class
// promises for the case that memory runs out. Outside such a test they are
// exactly malloc, calloc and realloc; what they return is released with free.
// Internal to the engine, apart from the test hook.
#pragma once

#include <cstddef>

#include "kxExport.h"
#include "kxTypes.h"

void* kxMalloc(size_t size);
void* kxCalloc(size_t count, size_t size);
void* kxRealloc(void* block, size_t size);

// Grows a malloc'ed list of `count` elements by exactly one; false (list
// unchanged) when memory runs out.
template <typename T>
bool kxGrowByOne(T** list, uint64_t count) {
  T* grown = static_cast<T*>(kxRealloc(*list, (count + 1) * sizeof(T)));
  if (!grown) return false;
  *list = grown;
  return true;
}

// Appends one element of N floats (a point, a normal, a colour) to a list of
// *count elements, growing it by one; false (list unchanged) when memory
// runs out.
template <size_t N>
bool kxAppendFloats(float (**list)[N], uint64_t* count, const float (&values)[N]) {
  if (!kxGrowByOne(list, *count)) return false;
  for (size_t k = 0; k < N; ++k) (*list)[*count][k] = values[k];
  ++*count;
  return true;
}

// Test hook, main thread only. After `spared` more successful allocations,
// every allocation through the functions above fails (returns null, leaving
// a realloc'ed block as it was) until the hook is called again, or only the
// next one fails when `once` is set; a negative `spared` ends the failures.
// kxRefusedAllocations tells how many were refused since the last call,
// which is how a test knows that an operation never met the failure.
KX_API void kxFailAllocationsAfter(int64_t spared, bool once = false);
KX_API uint64_t kxRefusedAllocations();
