// The walk behind kxCheckPack, shared by the checker and the pack reader.
// Internal to the engine: not exported, not installed.
#pragma once

#include "data/kxPackCheck.h"

// With `verifyChecksum` false the CRC is not compared (fuzzing, salvage).
// When `table` is given and the walk got as far as expanding the table, the
// expanded table is handed over there (the caller frees it), else null.
TPackFault kxInspectPack(const kxMemoryBlock* image, bool verifyChecksum, kxPackCheck_s* check,
                         kxMemoryBlock** table);
