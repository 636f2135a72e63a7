#pragma once

#include "motif/MotifExport.h"

// The module's resource tree (":/motif/...") registers itself when the library is loaded. A
// program that reads the tree without calling into the module may have had the library dropped
// by the linker; calling this keeps the library linked and loaded. Calling it again is harmless.
MOTIF_EXPORT void registerMotifResources();
