// The instrument pane's commands on one patch: select it, send files to it, copy it into a
// performance part, initialise it, and go to it.
#include "InstrumentPane.h"

#include "BankTree.h"
#include "Confirm.h"
#include "InstrumentLink.h"
#include "NameCache.h"
#include "TaskProgress.h"
#include "core/UserInterface.h"
#include "motif/Motif.h"
#include "motif/VoiceCopierDlg.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFetch.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {
using Continuation = InstrumentLink::Continuation;
} // namespace

void InstrumentPane::selectOnInstrument(QTreeWidgetItem* item)
{
    if (!item->data(0, BankTree::ProgramRole).isValid()) return;
    const Patch patch(static_cast<unsigned short>(item->data(0, BankTree::BankRole).toInt()),
                      item->data(0, BankTree::ProgramRole).toInt());
    // The instrument takes a program change only on its receive channel, asked once per
    // connection; masters are selected by SysEx.
    const bool askChannel = !channelKnown_ && patch.bank() != Motif::MasterBank;
    link_.run(
        [this, patch, askChannel](Session& session, const InstrumentLink::Progress&) -> Continuation {
            Motif& device = session.device();
            if (askChannel) {
                const int channel = device.syncGetRcvChannel(PatchFetch::ChannelWaitMs);
                if (channel < 0 || channel > 15)
                    return [this, channel] {
                        error(this,
                              channel < 0 ? tr("The instrument did not report its receive channel; check the "
                                               "MIDI cables and its device number.")
                                          : tr("The instrument receives on omni or off; set its receive "
                                               "channel to 1-16 (UTILITY MIDI) to select patches from here."),
                              tr("Select"));
                    };
                device.setReceiveChannel(channel);
            }
            // The instrument selects a patch only in the mode that plays it.
            device.setModeByBank(patch.bank());
            device.patchChange(patch);
            return [this, askChannel] { channelKnown_ = channelKnown_ || askChannel; };
        },
        this);
}

void InstrumentPane::onFilesDropped(const QStringList& paths, QTreeWidgetItem* target)
{
    if (!target->data(0, BankTree::ProgramRole).isValid())
        return error(this, tr("Drop the files onto a patch: the first goes there, the next ones after it."),
                     tr("Send to the instrument"));
    sendFiles(paths, static_cast<unsigned short>(target->data(0, BankTree::BankRole).toInt()),
              target->data(0, BankTree::ProgramRole).toInt());
}

void InstrumentPane::sendFiles(const QStringList& paths, unsigned short bank, int program,
                               std::function<void()> done)
{
    const MotifBanks::BankRow* row = MotifBanks::findBank(bank);
    QTreeWidgetItem* bankItem = tree_->bankItem(bank);
    const QString title = tr("Send to the instrument");
    if (!bankItem) return;
    if (!row || !row->user)
        return error(this,
                     tr("%1 is a preset bank: the instrument cannot store into it. Drop onto a user bank "
                        "(USER1, USER2, DR:USR, PERF, MASTER).")
                         .arg(bankItem->text(0)),
                     title);
    if (program + paths.size() > row->programs)
        return error(this,
                     tr("%1 files do not fit from %2 on: %3 holds %4 patches. Drop them onto an earlier "
                        "location.")
                         .arg(paths.size())
                         .arg(BankTree::locationText(bankItem->text(0), program), bankItem->text(0))
                         .arg(row->programs),
                     title);
    QStringList replaced;
    for (int i = 0; i < paths.size(); ++i)
        replaced << tr("%1 \"%2\" by %3")
                        .arg(BankTree::locationText(bankItem->text(0), program + i),
                             tree_->patchItem(bank, program + i)->text(1), QFileInfo(paths[i]).fileName());
    if (!confirm(this, title, tr("Replace on the instrument:\n%1").arg(replaced.join('\n')))) return;
    const QString bankName = bankItem->text(0);
    auto* progress = new TaskProgress(link_, this, title);
    link_.run(
        [=, this](Session& session, const InstrumentLink::Progress& report) -> Continuation {
            Motif& device = session.device();
            Librarian librarian(device);
            std::vector<BankNames::Entry> sent;
            QStringList failures;
            for (int i = 0; i < paths.size(); ++i) {
                const PatchLocation location{Patch(bank, program + i), -1};
                const QString where = PatchNotation::print(location, device);
                if (!report(where, i, int(paths.size()))) break;
                QString failure;
                const LoadedPatch loaded = PatchFile::read(paths[i], device, &failure);
                if (loaded.dump && loaded.dump->type() != row->type)
                    failure = tr("%1 holds a %2 and %3 holds %4s: drop it onto a bank of its type")
                                  .arg(paths[i], PatchFile::typeName(loaded.dump->type()), bankName,
                                       PatchFile::typeName(row->type));
                if (failure.isEmpty()) failure = librarian.sendVerified(location, *loaded.dump);
                if (!failure.isEmpty()) {
                    failures << failure;
                    continue;
                }
                const QJsonObject described = librarian.describe(*loaded.dump);
                sent.push_back({program + i,
                                described["name"].toString().trimmed(),
                                described["category"].toString(),
                                {}});
            }
            return [=, this] {
                delete progress;
                showNames(bank, sent);
                // The instrument has the patches either way; a cache that cannot be written is
                // said, not skipped.
                QStringList problems = failures;
                if (cache_)
                    if (const QString failed = cache_->save(); !failed.isEmpty()) problems << failed;
                if (!problems.isEmpty()) error(this, problems.join('\n'), title);
                if (done) done();
            };
        },
        this);
}

void InstrumentPane::addPatchActions()
{
    // Each works on the current patch, from the context menu or by its key while the tree has the
    // focus.
    const auto add = [this](const QString& text, QKeySequence keys, auto act) {
        auto* action = new QAction(text, tree_);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, act] {
            QTreeWidgetItem* item = tree_->currentItem();
            if (!item || !item->data(0, BankTree::ProgramRole).isValid()) return;
            act(item, static_cast<unsigned short>(item->data(0, BankTree::BankRole).toInt()),
                item->data(0, BankTree::ProgramRole).toInt());
        });
        tree_->addAction(action);
        return action;
    };
    add(tr("Select on the instrument"), QKeySequence(Qt::CTRL | Qt::Key_E),
        [this](QTreeWidgetItem* item, unsigned short, int) { selectOnInstrument(item); });
    add(tr("Show in the patch pane"), QKeySequence(Qt::CTRL | Qt::Key_I),
        [this](QTreeWidgetItem* item, unsigned short, int) {
            emit patchOpened(item->data(0, BankTree::LocationRole).toString());
        });
    copyAction_ = add(tr("Copy into a performance part…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                      [this](QTreeWidgetItem*, unsigned short bank, int program) {
                          if (Motif::isVoiceBank(bank) || Motif::isDrumBank(bank))
                              copyIntoPerformance(bank, program);
                      });
    initAction_ =
        add(tr("Initialise…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I),
            [this](QTreeWidgetItem*, unsigned short bank, int program) { initialise(bank, program); });
}

void InstrumentPane::contextMenu(const QPoint& position)
{
    QTreeWidgetItem* item = tree_->itemAt(position);
    if (!item || !item->data(0, BankTree::ProgramRole).isValid()) return;
    tree_->setCurrentItem(item);
    const auto bank = static_cast<unsigned short>(item->data(0, BankTree::BankRole).toInt());
    for (QAction* action : tree_->actions()) action->setEnabled(link_.isOpen());
    copyAction_->setVisible(Motif::isVoiceBank(bank) || Motif::isDrumBank(bank));
    initAction_->setVisible(MotifBanks::isUserBank(bank));
    QMenu::exec(tree_->actions(), tree_->viewport()->mapToGlobal(position), nullptr, this);
    for (QAction* action : tree_->actions()) action->setVisible(true);
}

void InstrumentPane::copyIntoPerformance(unsigned short bank, int program, std::function<void()> done)
{
    const QString title = tr("Voice Copier");
    // The dialog starts from the settings it saved last, with the voice the user pointed at.
    VoiceCopierInfo info;
    info.fromRegistry(Patch(bank, program));
    info.voice = Patch(bank, program);
    info.toRegistry();
    if (!GetVoiceCopierInfo(info, Motif::PerformanceMode, &tables_, this)) return;
    link_.run(
        [this, info, title, done](Session& session, const InstrumentLink::Progress&) -> Continuation {
            Motif& device = session.device();
            VoiceCopierInfo copy = info;
            const PatchLocation location{info.voice, -1};
            BulkDump bulk;
            QString failure = PatchFetch::fetch(device, location, bulk);
            const auto dump = failure.isEmpty() ? Librarian(device).toDump(bulk) : nullptr;
            if (failure.isEmpty() &&
                (!dump || device.planVoiceCopy(dump.get(), copy, Motif::PerformanceMode).empty()))
                failure = tr("%1 lacks a block the copier reads: nothing was sent")
                              .arg(PatchNotation::print(location, device));
            if (failure.isEmpty()) device.CopyVoiceES(dump.get(), &copy, Motif::PerformanceMode);
            return [this, failure, title, done] {
                if (!failure.isEmpty()) error(this, failure, title);
                if (done) done();
            };
        },
        this);
}

void InstrumentPane::initialise(unsigned short bank, int program, std::function<void()> done)
{
    const QString title = tr("Initialise");
    const QTreeWidgetItem* item = tree_->patchItem(bank, program);
    if (!item || !MotifBanks::isUserBank(bank)) return;
    if (!confirm(this, title,
                 tr("Replace %1 \"%2\" on the instrument by the initial patch of its type?")
                     .arg(item->text(0), item->text(1))))
        return;
    const int type = MotifBanks::bankType(bank);
    link_.run(
        [this, bank, program, type, title, done](Session& session,
                                                 const InstrumentLink::Progress&) -> Continuation {
            Motif& device = session.device();
            std::unique_ptr<PatchDump> dump(device.createPatchDump(type));
            dump->init();
            const QString failure = Librarian(device).sendVerified({Patch(bank, program), -1}, *dump);
            const QString name = dump->name(false).trimmed();
            return [this, bank, program, failure, name, title, done] {
                if (failure.isEmpty()) {
                    showNames(bank, {{program, name, QString(), QString()}});
                    if (cache_)
                        if (const QString failed = cache_->save(); !failed.isEmpty())
                            warning(this, failed, title);
                } else {
                    error(this, failure, title);
                }
                if (done) done();
            };
        },
        this);
}

void InstrumentPane::reveal(const QString& location)
{
    QString failure;
    const auto patch = PatchNotation::parse(location, tables_, &failure);
    QTreeWidgetItem* item = patch ? tree_->patchItem(patch->bank(), patch->program()) : nullptr;
    if (!item)
        return error(this, tr("%1 is not in the tree: connect to the instrument first.").arg(location),
                     tr("Go to"));
    tree_->setCurrentItem(item);
    tree_->scrollToItem(item);
}
