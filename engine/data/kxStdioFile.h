// Whole-file reads through the standard I/O functions, for the loaders that
// read their files that way (textures, crunched meshes, fonts). Internal to
// the engine; not exported.
#pragma once

#include "data/kxMemoryBlock.h"

// New block holding the whole file (the caller releases it with
// kxFreeMemoryBlock); an empty file gives a block of size 0. Null when the
// file cannot be opened, its length cannot be taken or is 2 GiB or more, or it
// cannot be read whole.
kxMemoryBlock* kxReadStdioFile(const char* path);
