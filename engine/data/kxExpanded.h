// "Expand a crunched block, use the bytes, release them": the one way the
// engine's loaders take a crunched pack entry apart; and its sibling for a
// block just read from a file. Internal; header-only.
#pragma once

#include "data/kxMemoryBlock.h"

// Expands `crunched` and returns use(expanded), releasing the expanded block
// afterwards; returns `failed` when the block is null or does not expand.
// `use` only reads the block and must not keep it.
template <class Result, class Use>
Result kxUseExpanded(const kxMemoryBlock* crunched, Result failed, Use use) {
  kxMemoryBlock* expanded = crunched ? kxDecrunchMemoryBlock(crunched) : nullptr;
  if (!expanded) return failed;
  const Result result = use(expanded);
  kxFreeMemoryBlock(expanded);
  return result;
}

// Returns use(block) and releases `block`, a block the caller owns (just
// read, say); returns false without calling `use` when it is null.
template <class Use>
bool kxUseAndFree(kxMemoryBlock* block, Use use) {
  if (!block) return false;
  const bool result = use(block);
  kxFreeMemoryBlock(block);
  return result;
}
