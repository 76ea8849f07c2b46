/// \file
/// Checks of the OpenGL context the frame runs on: the version string, the
/// buffer-object entry points every mesh, font and panel relies on, and the
/// renderer, which decides how many samples per pixel are worth asking for.
#pragma once

#include "kxExport.h"

/// A multisampling request that leaves the choice to the renderer found.
const int kxMultisampleAuto = -1;

/// True when a GL_VERSION string ("<major>.<minor>[.<release>] [vendor text]")
/// names at least major.minor. Null, empty or non-numeric strings give false.
KX_API bool kxGLVersionAtLeast(const char* version, int major, int minor);

/// True when the current renderer can make buffer objects: for the
/// fixed-function path, when the extension loader provides glGenBuffers,
/// glBindBuffer, glBufferData, glBufferSubData and glDeleteBuffers. Needs a
/// current context on which the renderer was started.
KX_API bool kxGLHasBufferObjects();

/// True when a GL_RENDERER string names a rasteriser that runs on the CPU
/// (llvmpipe, softpipe, swrast and the like). Null gives false.
KX_API bool kxGLIsSoftwareRenderer(const char* renderer);

/// Samples per pixel to ask for. `request` is 0, 2 or 4 (other counts round
/// down to one of those, negative ones other than the automatic choice to 0),
/// or kxMultisampleAuto (-1): 4, but none on a software renderer. A null
/// renderer (not known yet) counts as hardware.
KX_API int kxGLChooseSamples(int request, const char* renderer);
