#include "gui/kxGUIButtonStates.h"

kxGUIButtonStates::kxGUIButtonStates(kxMemoryBlock* passive, kxMemoryBlock* active,
                                     kxMemoryBlock* pushed)
    : passive(passive), active(active), pushed(pushed) {}

kxGUIButtonStates::~kxGUIButtonStates() {}

kxMemoryBlock* kxGUIButtonStates::GetPassiveTexture() {
  return passive;
}
kxMemoryBlock* kxGUIButtonStates::GetActiveTexture() {
  return active;
}
kxMemoryBlock* kxGUIButtonStates::GetPushedTexture() {
  return pushed;
}
