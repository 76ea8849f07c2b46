/// \file
/// The engine's built-in logo: a 256 x 64 picture compiled into the library
/// as a crunched TGA block, registered in a resource collection under
/// "kxEngineLogo" for the start-up splash, and the same picture rendered at
/// 1.5, 2, 3 and 4 times that size ("kxEngineLogo@1.5x" to "kxEngineLogo@4x"),
/// so that a splash scaled up for a large screen stays sharp.
#pragma once

#include "kxExport.h"

class kxResource;

/// Appends a copy of the built-in logo block to `resources` under the name
/// "kxEngineLogo" (the collection owns the copy). False, adding nothing, for a
/// null collection or when memory runs out.
KX_API bool AppendEngineLogo(kxResource* resources);

/// Appends copies of the larger renderings of the logo to `resources`, each
/// under "kxEngineLogo" and its suffix ("@1.5x", "@2x", "@3x", "@4x"), in
/// ascending size (the collection owns the copies). False for a null
/// collection or when memory runs out; the renderings appended by then stay,
/// each whole.
KX_API bool AppendEngineLogoRenderings(kxResource* resources);
