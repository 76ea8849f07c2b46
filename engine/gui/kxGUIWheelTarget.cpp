#include "gui/kxGUIWheelTarget.h"

kxGUIWheelTarget::~kxGUIWheelTarget() {}
