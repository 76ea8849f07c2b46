/// \file
/// Declares kxGUIWheelTarget.

/// \class kxGUIWheelTarget
/// kxGUIWheelTarget: a control that takes mouse wheel notches. A control
/// derives from it besides kxGUIObject; the manager finds it by a cast, so
/// adding the wheel left the virtual slots of kxGUIObject and of every
/// control as they were.
#pragma once

#include "kxExport.h"

class KX_API kxGUIWheelTarget {
 public:
  virtual ~kxGUIWheelTarget();
  /// notches > 0: the wheel turned away from the user (towards the top of a
  /// text); < 0 towards the user. True when the control took the notches,
  /// false leaves them to whatever the frame does with an unused wheel.
  virtual bool OnMouseWheel(int notches) = 0;
};
