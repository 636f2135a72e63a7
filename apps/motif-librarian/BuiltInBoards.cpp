#include "BuiltInBoards.h"

#include "core/Application.h"
#include "motif/Motif.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The prompt's remembered folders live in this profile section, under the prompt's key.
const QString FolderSection = QStringLiteral("Folders");
const QString PromptKey = QStringLiteral("PLG");
} // namespace

QString BuiltInBoards::offer(const QString& deviceFolder, QString* error)
{
    const QString folder = deviceFolder + QStringLiteral("/boards");
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1; check that the folder is writable").arg(folder);
        return QString();
    }
    for (const QString& resource : Motif::plgBoardFiles()) {
        const QString target = folder + '/' + QFileInfo(resource).fileName();
        if (QFileInfo::exists(target)) continue;
        if (!QFile::copy(resource, target)) {
            *error = QStringLiteral("cannot write %1; check that the folder is writable").arg(target);
            return QString();
        }
        // A copy of a resource is read-only; the user may edit their copy.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
    if (Application::readProfileText(FolderSection, PromptKey, QString()).isEmpty())
        Application::writeProfileText(FolderSection, PromptKey, folder);
    return folder;
}
