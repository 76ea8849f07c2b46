/// \file
/// The context checks moved below the frame, to the render folder, where the
/// drawing paths use them; this header keeps its old include path working.
#pragma once

#include "render/kxGLVersion.h"
