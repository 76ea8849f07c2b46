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
  /// Keeps the three pointers (null allowed: that look has no texture).
  kxGUIButtonStates(kxMemoryBlock* passive, kxMemoryBlock* active, kxMemoryBlock* pushed);
  /// Releases nothing: the blocks are not owned.
  ~kxGUIButtonStates();

  /// The block of the look at rest, as given; not owned.
  kxMemoryBlock* GetPassiveTexture();
  /// The block of the look under the pointer, as given; not owned.
  kxMemoryBlock* GetActiveTexture();
  /// The block of the look while pressed, as given; not owned.
  kxMemoryBlock* GetPushedTexture();

 private:
  kxMemoryBlock* passive;
  kxMemoryBlock* active;
  kxMemoryBlock* pushed;
};
