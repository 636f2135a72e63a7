#pragma once

#include "motif/MotifExport.h"

// The module's resource tree (":/motif/...") registers itself when the library is loaded and
// unregisters itself when the library is unloaded. A program that reads the tree without calling
// into the module may have had the library dropped by the linker; calling this keeps the library
// linked and loaded, and puts the tree back after unregisterMotifResources(). Calling it again is
// harmless.
MOTIF_EXPORT void registerMotifResources();

// Takes the tree out of the resource system ahead of the library's own unload, for a host that
// unloads modules while its other code may still look up resources: from then on no ":/motif/..."
// path opens. Files opened earlier read from the library's memory, so close them before the library
// goes. Calling it when the tree is not registered is harmless.
MOTIF_EXPORT void unregisterMotifResources();
