/// \file
/// The engine's built-in logo: a 256 x 64 picture compiled into the library
/// as a crunched TGA block, registered in a resource collection under
/// "kxEngineLogo" for the start-up splash.
#pragma once

#include "kxExport.h"

class kxResource;

/// Appends a copy of the built-in logo block to `resources` under the name
/// "kxEngineLogo" (the collection owns the copy). False, adding nothing, for a
/// null collection or when memory runs out.
KX_API bool AppendEngineLogo(kxResource* resources);
