#pragma once

// The module is a shared library; only what carries this macro is visible to the host.
#if defined(MOTIF_BUILD_LIBRARY)
#define MOTIF_EXPORT __attribute__((visibility("default")))
#else
#define MOTIF_EXPORT
#endif
