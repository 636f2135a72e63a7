#include "core/CoreResources.h"

#include <QDir>
#include <QtGlobal>

// Q_INIT_RESOURCE must be called outside any namespace.
static void initCoreQrc() { Q_INIT_RESOURCE(core); }

void registerCoreResources()
{
    static const bool done = [] {
        initCoreQrc();
        QDir::addSearchPath(QStringLiteral("core"), QStringLiteral(":/core/images"));
        return true;
    }();
    (void)done;
}
