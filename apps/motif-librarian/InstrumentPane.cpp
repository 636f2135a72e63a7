#include "InstrumentPane.h"

#include "BankTree.h"
#include "InstrumentLink.h"
#include "NameCache.h"
#include "TaskProgress.h"
#include "core/UserInterface.h"
#include "motif/Motif.h"
#include "zaltor/RtMidiTransport.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
using Continuation = InstrumentLink::Continuation;
const QString PortsItem = QStringLiteral("MIDI ports");
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
            auto* item = new QTreeWidgetItem(bankItem, {BankTree::locationText(name, program)});
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
