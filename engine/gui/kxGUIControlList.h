// Engine-internal: the owned control arrays of kxGUIManager (top-level
// controls) and kxGUIObject (children) grow and empty the same way; these
// two functions are that way, written once.
#pragma once

#include "kxTypes.h"

class kxGUIObject;

// Appends control, growing *list by exactly one slot. False, leaving the
// array and the control untouched, when the array cannot grow.
bool kxAppendControlTo(kxGUIObject*** list, uint64_t* count, kxGUIObject* control);

// Deletes every control of the array through its virtual destructor and frees
// the array. The owner's array is emptied before the first delete, so a
// destructor that reaches back into the owner (a control dropping its queued
// events, a child asking its parent) finds a consistent, empty owner.
void kxDeleteControlsOf(kxGUIObject*** list, uint64_t* count);
