#include "frame/kxFrameClickReceiver.h"

#include "frame/kxSDLWrapper.h"

kxFrameClickReceiver::kxFrameClickReceiver(kxSDLWrapper* frame) : frame(frame) {}

void kxFrameClickReceiver::OnGUIClick(kxGUIObject* object) {
  if (frame) frame->OnGUIClick(object);
}
