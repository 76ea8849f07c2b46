#include "gui/kxGUIClickReceiver.h"

kxGUIClickReceiver::~kxGUIClickReceiver() {}
