#include "motif/MotifResources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE and Q_CLEANUP_RESOURCE must be used outside any namespace. Qt ignores a tree that
// is already registered, and unregistering one that is absent finds nothing to remove.
void registerMotifResources() { Q_INIT_RESOURCE(motif); }

void unregisterMotifResources() { Q_CLEANUP_RESOURCE(motif); }
