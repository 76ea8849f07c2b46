/// \file
/// Declares kxGUIButtonStates.

/// \class kxGUIButtonStates
/// kxGUIButtonStates: the three looks of a button (passive, active, pushed),
/// each a crunched TGA block. The object only points at the blocks: their
/// owner keeps them alive as long as any button built from it may rebuild its
/// geometry. Many buttons share one.
#pragma once

#include "kxExport.h"

struct kxMemoryBlock;

class KX_API kxGUIButtonStates {
 public:
  kxGUIButtonStates(kxMemoryBlock* passive, kxMemoryBlock* active, kxMemoryBlock* pushed);
  /// Releases nothing: the blocks are not owned.
  ~kxGUIButtonStates();

  kxMemoryBlock* GetPassiveTexture();
  kxMemoryBlock* GetActiveTexture();
  kxMemoryBlock* GetPushedTexture();

 private:
  kxMemoryBlock* passive;
  kxMemoryBlock* active;
  kxMemoryBlock* pushed;
};
