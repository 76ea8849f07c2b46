/// \file
/// Declares kxFrameClickReceiver.

/// \class kxFrameClickReceiver
/// kxFrameClickReceiver: passes the GUI manager's clicks on to a frame's
/// virtual OnGUIClick. The frame holds one as a member instead of deriving
/// from kxGUIClickReceiver, which keeps the frame's own virtual slots in the
/// order applications are built against. Borrows the frame, its owner.
#pragma once

#include "gui/kxGUIClickReceiver.h"
#include "kxExport.h"

class kxSDLWrapper;

class KX_API kxFrameClickReceiver final : public kxGUIClickReceiver {
 public:
  /// Delivers to frame, which must outlive the receiver.
  explicit kxFrameClickReceiver(kxSDLWrapper* frame);
  void OnGUIClick(kxGUIObject* object) override;

 private:
  KX_NO_COPY(kxFrameClickReceiver);

  kxSDLWrapper* frame;
};
