#include "FilesPane.h"

#include "Confirm.h"
#include "FileList.h"
#include "InstrumentLink.h"
#include "TaskProgress.h"
#include "core/UserInterface.h"
#include "motif/Motif.h"
#include "motif/librarian/Backup.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFetch.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <span>

namespace {
using Continuation = InstrumentLink::Continuation;

// "12 patches saved, 3 failed" and, when the run ended early, why and how to go on.
QString summary(const QString& what, const Backup::Result& result)
{
    QString text = QObject::tr("%1: %2 patches, %3 failed.")
                       .arg(what)
                       .arg(result.entries.size())
                       .arg(result.failures.size());
    if (result.cancelled) text += QObject::tr("\nCancelled before the end.");
    if (!result.stopped.isEmpty()) text += QObject::tr("\nStopped: %1").arg(result.stopped);
    if (!result.failures.isEmpty()) text += '\n' + result.failures.mid(0, 8).join('\n');
    return text;
}

// Fetches one location into a file; answers what failed, empty on success.
QString fetchInto(Motif& device, const PatchLocation& location, const QString& path)
{
    BulkDump bulk;
    QString note;
    QString failure = PatchFetch::fetch(device, location, bulk, &note);
    if (failure.isEmpty()) PatchFile::write(path, bulk, &failure, note);
    return failure;
}
} // namespace

FilesPane::FilesPane(InstrumentLink& link, Motif& tables, QWidget* parent)
    : QWidget(parent), link_(link), reader_(tables), folderLabel_(new QLabel(tr("No folder"), this)),
      open_(new QPushButton(tr("&Open folder…"), this)), backup_(new QPushButton(tr("&Backup…"), this)),
      resume_(new QPushButton(tr("Res&ume backup"), this)),
      restore_(new QPushButton(tr("Res&tore… (verified)"), this)), list_(new FileList(this))
{
    open_->setAccessibleName(tr("Open a folder of patch files"));
    backup_->setAccessibleName(tr("Back up the instrument's user memory into a folder"));
    resume_->setAccessibleName(tr("Fetch what a stopped backup is missing"));
    restore_->setAccessibleName(tr("Send this backup folder to the instrument, verified"));
    folderLabel_->setAccessibleName(tr("Folder shown"));
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(open_);
    buttons->addWidget(backup_);
    buttons->addWidget(resume_);
    buttons->addWidget(restore_);
    buttons->addStretch(1);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(buttons);
    rows->addWidget(folderLabel_);
    rows->addWidget(list_, 1);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(open_, &QPushButton::clicked, this, &FilesPane::chooseFolder);
    connect(backup_, &QPushButton::clicked, this, &FilesPane::chooseBackupFolder);
    connect(resume_, &QPushButton::clicked, this, [this] { resume(); });
    connect(restore_, &QPushButton::clicked, this, [this] { restore(); });
    connect(list_, &FileList::locationsDropped, this,
            [this](const QStringList& locations) { fetch(locations); });
    connect(list_, &FileList::filesDropped, this, &FilesPane::copyIn);
    setButtons();
}

FilesPane::~FilesPane() = default;

void FilesPane::chooseFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Open a folder of patch files"), folder_);
    if (!dir.isEmpty()) openFolder(dir);
}

void FilesPane::chooseBackupFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Back up into a folder"), folder_);
    if (!dir.isEmpty()) backup(dir);
}

void FilesPane::openFolder(const QString& dir)
{
    folder_ = QDir(dir).absolutePath();
    refresh();
    emit folderChanged(folder_);
}

void FilesPane::setButtons()
{
    QString error;
    bool missing = false;
    for (const auto& entry : Backup::readIndex(folder_, &error))
        missing = missing || entry.toObject()["missing"].toBool();
    resume_->setEnabled(missing);
    restore_->setEnabled(!folder_.isEmpty() && QFileInfo::exists(folder_ + QStringLiteral("/index.json")));
}

void FilesPane::refresh()
{
    list_->clear();
    folderLabel_->setText(folder_.isEmpty() ? tr("No folder") : folder_);
    QString error;
    QHash<QString, QString> locations;
    for (const auto& value : Backup::readIndex(folder_, &error)) {
        const QJsonObject entry = value.toObject();
        locations.insert(entry["file"].toString(), entry["location"].toString());
    }
    Librarian librarian(reader_);
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QStringLiteral("*.syx"), QStringLiteral("*.SYX")}, QDir::Files);
    for (const QFileInfo& file : files) {
        auto* item = new QTreeWidgetItem(list_, {file.fileName()});
        item->setData(0, FileList::PathRole, file.absoluteFilePath());
        item->setText(4, locations.value(file.fileName()));
        QString failure;
        const LoadedPatch loaded = PatchFile::read(file.absoluteFilePath(), reader_, &failure);
        if (!loaded.dump) {
            item->setText(1, tr("(not a patch)"));
            item->setToolTip(1, failure);
            continue;
        }
        const QJsonObject described = librarian.describe(*loaded.dump);
        item->setText(1, described["name"].toString().trimmed());
        item->setText(2, described["type"].toString());
        item->setText(3, described["category"].toString());
    }
    setButtons();
}

bool FilesPane::needsInstrument(const QString& title)
{
    if (link_.isOpen()) return true;
    error(this, tr("Connect to the instrument first (Connect in the instrument pane)."), title);
    return false;
}

void FilesPane::backup(const QString& dir, std::function<void()> done)
{
    const QString title = tr("Backup");
    if (!needsInstrument(title)) return;
    // A backup writes index.json and one file per location under a fixed name: whatever of them
    // the folder holds already is replaced only after asking.
    Librarian names(reader_);
    int replaced = QFileInfo::exists(dir + QStringLiteral("/index.json")) ? 1 : 0;
    for (const PatchLocation& location : names.userLocations(names.installedPlgSlots()))
        replaced +=
            QFileInfo::exists(dir + '/' + Backup::fileNameOf(PatchNotation::print(location, reader_)));
    if (replaced > 0 &&
        !confirm(this, title,
                 tr("%1 holds %2 files that a backup writes (of an earlier backup or fetch). Replace them?")
                     .arg(dir)
                     .arg(replaced)))
        return;
    if (!QDir().mkpath(dir))
        return error(this, tr("Cannot create the folder %1; choose another one.").arg(dir), title);
    auto* progress = new TaskProgress(link_, this, tr("Backing up into %1").arg(dir));
    link_.run(
        [=, this](Session& session, const InstrumentLink::Progress& report) -> Continuation {
            Motif& device = session.device();
            Librarian librarian(device);
            const auto result =
                Backup(device).save(dir, librarian.userLocations(librarian.installedPlgSlots()), report);
            return [=, this] {
                delete progress;
                openFolder(dir);
                if (result.cancelled || !result.stopped.isEmpty() || !result.failures.isEmpty())
                    warning(this, summary(title, result) + tr("\nResume backup fetches what is missing."),
                            title);
                if (done) done();
            };
        },
        this);
}

void FilesPane::resume(std::function<void()> done)
{
    const QString title = tr("Resume backup");
    if (!needsInstrument(title)) return;
    QString failure;
    if (Backup::readIndex(folder_, &failure).isEmpty())
        return error(this, failure + tr("\nOpen the folder of a backup first."), title);
    auto* progress = new TaskProgress(link_, this, tr("Resuming the backup in %1").arg(folder_));
    const QString dir = folder_;
    link_.run(
        [=, this](Session& session, const InstrumentLink::Progress& report) -> Continuation {
            const auto result = Backup(session.device()).resume(dir, report);
            return [=, this] {
                delete progress;
                refresh();
                if (result.cancelled || !result.stopped.isEmpty() || !result.failures.isEmpty())
                    warning(this, summary(title, result), title);
                if (done) done();
            };
        },
        this);
}

void FilesPane::restore(std::function<void()> done)
{
    const QString title = tr("Restore");
    if (!needsInstrument(title)) return;
    QString failure;
    const QJsonArray entries = Backup::readIndex(folder_, &failure);
    if (entries.isEmpty()) return error(this, failure, title);
    if (!confirm(
            this, title,
            tr("Send the %1 patches of %2 to the instrument, replacing what its user memory holds there?")
                .arg(entries.size())
                .arg(folder_)))
        return;
    auto* progress = new TaskProgress(link_, this, tr("Restoring %1").arg(folder_));
    const QString dir = folder_;
    link_.run(
        [=, this](Session& session, const InstrumentLink::Progress& report) -> Continuation {
            const auto result = Backup(session.device()).restore(dir, entries, true, report);
            return [=, this] {
                delete progress;
                if (result.cancelled || !result.stopped.isEmpty() || !result.failures.isEmpty())
                    warning(this, summary(tr("Restore (verified)"), result), title);
                if (done) done();
            };
        },
        this);
}

void FilesPane::fetch(const QStringList& locations, std::function<void()> done)
{
    const QString title = tr("Fetch into the folder");
    if (folder_.isEmpty())
        return error(this, tr("Open a folder first: the patches are saved into it."), title);
    if (!needsInstrument(title)) return;
    QStringList existing;
    for (const QString& location : locations)
        if (QFileInfo::exists(folder_ + '/' + Backup::fileNameOf(location)))
            existing << Backup::fileNameOf(location);
    if (!existing.isEmpty() && !confirm(this, title, tr("Replace these files?\n%1").arg(existing.join('\n'))))
        return;
    auto* progress = new TaskProgress(link_, this, title);
    const QString dir = folder_;
    link_.run(
        [=, this](Session& session, const InstrumentLink::Progress& report) -> Continuation {
            Motif& device = session.device();
            QStringList failures;
            for (int i = 0; i < locations.size(); ++i) {
                if (!report(locations[i], i, int(locations.size()))) break;
                QString failure;
                const auto location = PatchNotation::parseLocation(locations[i], device, &failure);
                if (location)
                    failure = fetchInto(device, *location, dir + '/' + Backup::fileNameOf(locations[i]));
                if (!failure.isEmpty()) failures << failure;
            }
            return [=, this] {
                delete progress;
                refresh();
                if (!failures.isEmpty()) error(this, failures.join('\n'), title);
                if (done) done();
            };
        },
        this);
}

void FilesPane::copyIn(const QStringList& paths)
{
    const QString title = tr("Copy into the folder");
    if (folder_.isEmpty())
        return error(this, tr("Open a folder first: the files are copied into it."), title);
    QStringList failures, existing;
    std::vector<std::pair<QString, QByteArray>> patches;
    for (const QString& path : paths) {
        QString failure;
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto span =
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
        if (!PatchFile::parse(span, path, reader_, &failure).dump) {
            failures << tr("%1\nOnly .syx files of Motif ES patches are copied in.").arg(failure);
            continue;
        }
        const QString target = folder_ + '/' + QFileInfo(path).fileName();
        if (QFileInfo(target) == QFileInfo(path)) continue;
        if (QFileInfo::exists(target)) existing << QFileInfo(path).fileName();
        patches.emplace_back(target, bytes);
    }
    if (!existing.isEmpty() && !confirm(this, title, tr("Replace these files?\n%1").arg(existing.join('\n'))))
        patches.clear();
    for (const auto& [target, bytes] : patches) {
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            failures << tr("cannot write %1: %2; check that the folder is writable")
                            .arg(target, file.errorString());
    }
    refresh();
    if (!failures.isEmpty()) error(this, failures.join('\n'), title);
}
