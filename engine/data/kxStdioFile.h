// The engine's one whole-file reader, used by kxReadMemoryBlock, the string
// array, and the loaders of textures, crunched meshes and fonts. Internal to
// the engine; not exported.
#pragma once

#include <cstdint>

#include "data/kxMemoryBlock.h"

// New block holding the whole file (the caller releases it with
// kxFreeMemoryBlock): as many bytes as the file reports when it can seek
// (devices report 0), else everything up to the end of the stream. An empty
// file gives a block of size 0. Null when the file cannot be opened or read
// whole (a directory cannot), when it holds more than `limit` bytes, or when
// memory runs out; errno then tells the system's reason where there is one.
[[nodiscard]] kxMemoryBlock* kxReadStdioFile(const char* path, uint64_t limit = INT32_MAX);
