// Checks of the OpenGL context the frame runs on: the version string and
// the buffer-object entry points every mesh, font and panel relies on.
#pragma once

#include "kxExport.h"

// True when a GL_VERSION string ("<major>.<minor>[.<release>] [vendor text]")
// names at least major.minor. Null, empty or non-numeric strings give false.
KX_API bool kxGLVersionAtLeast(const char* version, int major, int minor);

// True when the extension loader provides glGenBuffers, glBindBuffer,
// glBufferData, glBufferSubData and glDeleteBuffers. Needs a current context
// on which the loader was initialised.
KX_API bool kxGLHasBufferObjects();
