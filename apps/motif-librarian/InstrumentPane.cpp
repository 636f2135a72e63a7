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
#include "zaltor/RtMidiTransport.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
using Continuation = InstrumentLink::Continuation;
const QString PortsItem = QStringLiteral("MIDI ports");

QString locationText(const QString& bankName, int program)
{
    return QStringLiteral("%1:%2").arg(bankName).arg(program, 3, 10, QLatin1Char('0'));
}
} // namespace

InstrumentPane::InstrumentPane(InstrumentLink& link, Motif& tables, QWidget* parent)
    : QWidget(parent), link_(link), tables_(tables), source_(new QComboBox(this)), in_(new QComboBox(this)),
      out_(new QComboBox(this)), deviceNumber_(new QSpinBox(this)),
      connect_(new QPushButton(tr("&Connect"), this)), readNames_(new QPushButton(tr("&Read names"), this)),
      identity_(new QLabel(tr("Not connected"), this)), tree_(new BankTree(this))
{
    for (const char* model : {"Motif ES6", "Motif ES7", "Motif ES8"})
        source_->addItem(tr("Virtual instrument: %1").arg(model), QString::fromLatin1(model));
    source_->addItem(PortsItem, QString());
    source_->setCurrentIndex(1);
    in_->setPlaceholderText(tr("MIDI input"));
    out_->setPlaceholderText(tr("MIDI output"));
    deviceNumber_->setRange(1, 16);
    deviceNumber_->setPrefix(tr("device "));
    source_->setAccessibleName(tr("Instrument"));
    in_->setAccessibleName(tr("MIDI input port"));
    out_->setAccessibleName(tr("MIDI output port"));
    deviceNumber_->setAccessibleName(tr("SysEx device number"));
    connect_->setAccessibleName(tr("Connect to the instrument"));
    readNames_->setAccessibleName(tr("Read the names of the selected bank"));
    identity_->setAccessibleName(tr("Connected instrument"));
    readNames_->setEnabled(false);

    auto* ports = new QHBoxLayout();
    ports->addWidget(source_, 2);
    ports->addWidget(in_, 2);
    ports->addWidget(out_, 2);
    ports->addWidget(deviceNumber_);
    ports->addWidget(connect_);
    auto* status = new QHBoxLayout();
    status->addWidget(identity_, 1);
    status->addWidget(readNames_);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(ports);
    rows->addLayout(status);
    rows->addWidget(tree_, 1);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    connect(source_, &QComboBox::currentIndexChanged, this, [this] {
        const bool ports = source_->currentData().toString().isEmpty();
        if (ports) refreshPorts();
        in_->setEnabled(ports);
        out_->setEnabled(ports);
    });
    in_->setEnabled(false);
    out_->setEnabled(false);
    connect(connect_, &QPushButton::clicked, this, [this] { connectInstrument(); });
    connect(readNames_, &QPushButton::clicked, this, &InstrumentPane::readSelected);
    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { selectOnInstrument(item); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, BankTree::LocationRole).isValid())
            emit patchOpened(item->data(0, BankTree::LocationRole).toString());
    });
    connect(tree_, &BankTree::filesDropped, this, &InstrumentPane::onFilesDropped);
    addPatchActions();
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this, &InstrumentPane::contextMenu);
}

InstrumentPane::~InstrumentPane() = default;

QString InstrumentPane::identity() const { return link_.identity(); }

void InstrumentPane::refreshPorts()
{
    in_->clear();
    out_->clear();
    // Both systems' ports, each item with its system, so that a JACK port and an ALSA port of
    // the same name stay apart.
    for (const RtMidiTransport::Port& port : RtMidiTransport::listPorts())
        (port.input ? in_ : out_)
            ->addItem(QStringLiteral("%1: %2").arg(RtMidiTransport::apiName(port.api), port.name),
                      QVariantList{port.name, int(port.api)});
}

void InstrumentPane::chooseVirtual(const QString& model)
{
    const int index = source_->findData(model);
    source_->setCurrentIndex(index >= 0 ? index : 1);
}

void InstrumentPane::choosePorts(const QString& in, const QString& out)
{
    source_->setCurrentIndex(source_->findData(QString()));
    refreshPorts();
    // A port named on the command line may not be listed yet: it is matched by part of its name.
    in_->setEditable(true);
    out_->setEditable(true);
    in_->setCurrentText(in);
    out_->setCurrentText(out);
}

SessionOptions InstrumentPane::options() const
{
    SessionOptions options;
    const QString model = source_->currentData().toString();
    if (model.isEmpty()) {
        // A port typed in (or named on the command line) is matched by part of its name.
        const auto chosen = [](const QComboBox* ports) {
            const QVariantList data = ports->currentData().toList();
            const bool listed =
                !data.isEmpty() && ports->currentText() == ports->itemText(ports->currentIndex());
            return listed ? std::pair{data[0].toString(), RtMidiTransport::Api(data[1].toInt())}
                          : std::pair{ports->currentText(), RtMidiTransport::Api::Any};
        };
        const auto [in, inApi] = chosen(in_);
        const auto [out, outApi] = chosen(out_);
        options.inPort = in;
        options.outPort = out;
        options.api = inApi == outApi ? inApi : RtMidiTransport::Api::Any;
    } else {
        options.useVirtual = true;
        options.instrument.set(QStringLiteral("model"), model.mid(model.indexOf(' ') + 1));
        options.instrument.device = deviceNumber_->value();
    }
    options.deviceNumber = deviceNumber_->value();
    return options;
}

void InstrumentPane::connectInstrument(std::function<void(bool)> done)
{
    const SessionOptions chosen = options();
    if (!chosen.useVirtual && (chosen.inPort.isEmpty() || chosen.outPort.isEmpty())) {
        error(this,
              tr("Choose the MIDI input and output ports the instrument is connected to, or the "
                 "virtual instrument."),
              tr("Connect"));
        if (done) done(false);
        return;
    }
    connect_->setEnabled(false);
    identity_->setText(tr("Connecting…"));
    channelKnown_ = false;
    const QString ports = chosen.useVirtual ? source_->currentText() : chosen.inPort + '|' + chosen.outPort;
    link_.open(chosen, this, [this, done, ports](const QString& identity, const QString& failure) {
        connect_->setEnabled(true);
        readNames_->setEnabled(!identity.isEmpty());
        emit connectedChanged(!identity.isEmpty());
        if (identity.isEmpty()) {
            identity_->setText(tr("Not connected"));
            error(
                this,
                tr("Could not connect: %1\nCheck that the instrument is switched on and its cables or ports "
                   "are the ones chosen, or choose the virtual instrument.")
                    .arg(failure),
                tr("Connect"));
            if (done) done(false);
            return;
        }
        identity_->setText(identity);
        cache_ = std::make_unique<NameCache>(identity + '|' + ports);
        link_.run(
            [this, done](Session& session, const InstrumentLink::Progress&) -> Continuation {
                auto banks = BankNames::banks(session.device());
                return [this, banks, done] {
                    fillTree(banks);
                    for (const auto& listing : banks) showNames(listing.bank, listing.names);
                    if (done) done(true);
                };
            },
            this);
    });
}

void InstrumentPane::fillTree(const std::vector<BankNames::Listing>& banks)
{
    tree_->clear();
    auto* user = new QTreeWidgetItem(tree_, {tr("User banks")});
    auto* preset = new QTreeWidgetItem(tree_, {tr("Preset banks")});
    for (const BankNames::Listing& listing : banks) {
        const unsigned short bank = listing.bank;
        const QString& name = listing.name;
        // A PLG board's own banks are not in the device's bank table; they hold its voices.
        const int type = MotifBanks::findBank(bank) ? MotifBanks::bankType(bank) : MotifBanks::PlgVoice;
        auto* bankItem =
            new QTreeWidgetItem(listing.user ? user : preset, {name, MotifBanks::longTypeName(type)});
        bankItem->setData(0, BankTree::BankRole, bank);
        for (int program = 0; program < listing.programs; ++program) {
            auto* item = new QTreeWidgetItem(bankItem, {locationText(name, program)});
            const QString location = QStringLiteral("%1:%2").arg(name).arg(program);
            item->setData(0, BankTree::BankRole, bank);
            item->setData(0, BankTree::ProgramRole, program);
            item->setData(0, BankTree::LocationRole, location);
            const QJsonObject cached = cache_ ? cache_->entry(location) : QJsonObject();
            item->setText(1, cached["name"].toString());
            item->setText(2, cached["category"].toString());
        }
    }
    user->setExpanded(true);
    if (user->childCount() > 0) user->child(0)->setExpanded(true);
}

void InstrumentPane::showNames(unsigned short bank, const std::vector<BankNames::Entry>& names)
{
    for (const BankNames::Entry& entry : names) {
        QTreeWidgetItem* item = tree_->patchItem(bank, entry.program);
        if (!item) continue;
        item->setText(1, entry.error.isEmpty() ? entry.name : tr("(not read)"));
        item->setText(2, entry.category);
        item->setToolTip(1, entry.error);
        if (cache_ && entry.error.isEmpty() && MotifBanks::isUserBank(bank))
            cache_->set(item->data(0, BankTree::LocationRole).toString(), entry.name, entry.category);
    }
}

void InstrumentPane::readSelected()
{
    if (!link_.isOpen()) return error(this, tr("Connect to the instrument first."), tr("Read names"));
    if (tree_->selectedBank() == 0xFFFF)
        return error(this, tr("Select a bank (or a patch of it) in the tree first."), tr("Read names"));
    readNames(tree_->selectedBank());
}

void InstrumentPane::readNames(unsigned short bank, std::function<void()> done)
{
    QTreeWidgetItem* bankItem = tree_->bankItem(bank);
    if (!bankItem) return;
    auto* progress = new TaskProgress(link_, this, tr("Reading the names of %1").arg(bankItem->text(0)));
    link_.run(
        [this, bank, progress, done](Session& session,
                                     const InstrumentLink::Progress& report) -> Continuation {
            auto names = BankNames::read(session.device(), bank, report);
            return [this, bank, names, progress, done] {
                delete progress;
                showNames(bank, names);
                QStringList failures;
                for (const auto& entry : names)
                    if (!entry.error.isEmpty()) failures << entry.error;
                if (cache_) {
                    const QString failed = cache_->save();
                    if (!failed.isEmpty()) failures << failed;
                }
                if (!failures.isEmpty())
                    warning(this, tr("Some names could not be read:\n%1").arg(failures.mid(0, 8).join('\n')),
                            tr("Read names"));
                if (done) done();
            };
        },
        this);
}

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
                         .arg(locationText(bankItem->text(0), program), bankItem->text(0))
                         .arg(row->programs),
                     title);
    QStringList replaced;
    for (int i = 0; i < paths.size(); ++i)
        replaced << tr("%1 \"%2\" by %3")
                        .arg(locationText(bankItem->text(0), program + i),
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
                if (cache_) cache_->save();
                if (!failures.isEmpty()) error(this, failures.join('\n'), title);
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
                if (failure.isEmpty())
                    showNames(bank, {{program, name, QString(), QString()}});
                else
                    error(this, failure, title);
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
