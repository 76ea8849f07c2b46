// The drawing paths built into this engine, each defined in its own file.
// Internal to the render folder.
#pragma once

#include "render/kxRenderer.h"

#ifdef KX_RENDER_FIXED
kxRenderer* kxFixedRenderer();
#endif
#ifdef KX_RENDER_ES2
kxRenderer* kxES2Renderer();
#endif
