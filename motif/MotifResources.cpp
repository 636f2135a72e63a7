#include "motif/MotifResources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace; Qt ignores a tree that is already registered.
void registerMotifResources()
{
    Q_INIT_RESOURCE(motif);
}
