/// \file
/// Declares kxGUIClickReceiver.

/// \class kxGUIClickReceiver
/// kxGUIClickReceiver: whoever takes the click events a kxGUIManager queues.
/// The application frame provides one; the GUI knows nothing else about it.
/// The manager only borrows the receiver, which must outlive it or be
/// replaced before it goes.
#pragma once

#include "kxExport.h"

class kxGUIObject;

class KX_API kxGUIClickReceiver {
 public:
  virtual ~kxGUIClickReceiver();
  /// One click on object, in the order the clicks were queued.
  virtual void OnGUIClick(kxGUIObject* object) = 0;
};
