#include "emulator/VirtualInstrument.h"

#include "emulator/DelayLine.h"
#include "emulator/EsWire.h"
#include "emulator/InstrumentSettings.h"
#include "emulator/ShortMessage.h"
#include "emulator/SystemParameter.h"
#include "emulator/WideParameter.h"

namespace {

bool answersDumps(VirtualInstrument::Model model)
{
    using Model = VirtualInstrument::Model;
    return model == Model::ES6 || model == Model::ES7 || model == Model::ES8;
}

// The mode in which selecting a patch of this type loads it into its edit buffer; -1 for none.
int modeFor(PatchType type)
{
    switch (type) {
    case PatchType::Voice:
    case PatchType::DrumKit:
    case PatchType::PlgVoice:
        return 0;
    case PatchType::Performance:
        return 1;
    case PatchType::Master:
        return 4;
    case PatchType::Mix:
        break;
    }
    return -1;
}

constexpr std::uint16_t masterBank = 0x7000;

// What tells a model's name apart: "Motif-Rack ES" and "rackes" both give "rackes".
QString squeezed(const QString& name)
{
    QString text = name.toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
    return text.startsWith(QLatin1String("motif")) ? text.mid(5) : text;
}

QString label(const SystemParameter& p)
{
    return QString::asprintf("%s (0x%06X)", qPrintable(p.name), p.address);
}

// Empty when the parameter accepts value.
QString rangeError(const SystemParameter& p, int value)
{
    if (value >= p.minimum && value <= p.maximum) return {};
    return QString::asprintf("value %d out of range %d-%d for %s", value, p.minimum, p.maximum,
                             qPrintable(label(p)));
}

} // namespace

VirtualInstrument::VirtualInstrument(Model model, PlgBoards boards)
    : VirtualInstrument(
          [model] {
              InstrumentSettings settings;
              settings.model = model;
              return settings;
          }(),
          boards)
{
}

VirtualInstrument::VirtualInstrument(const InstrumentSettings& settings, PlgBoards boards)
    : model_(settings.model), device_(settings.device - 1), dieAfter_(settings.dieAfter), patches_(boards),
      faults_(settings.faults)
{
    // The part volumes are bytes of the mix edit buffer, so that a bulk to it and a parameter
    // change of a volume meet; only settings outside every patch are kept on their own.
    for (const SystemParameter& p : SystemParameter::all()) {
        if (patches_.editBytes(p.address).empty()) image_.define(p.address, std::uint8_t(p.initial));
    }
    image_.setByte(SystemParameter::receiveChannel, std::uint8_t(settings.channel - 1));
    bankMsb_.fill(-1);
    bankLsb_.fill(-1);
    // A late reply must not hold up the port's thread, so delays have a sender of their own.
    if (settings.faults.delays()) {
        delayLine_ = std::make_unique<DelayLine>([this](const MidiBytes& bytes) {
            MidiTransport* output = nullptr;
            std::function<void(const QString&)> sink;
            {
                std::lock_guard lock(mutex_);
                output = output_;
                sink = errorSink_;
            }
            QStringList errors;
            sendNow(output, bytes, errors);
            if (sink) {
                for (const QString& error : errors) sink(error);
            }
        });
    }
}

VirtualInstrument::~VirtualInstrument()
{
    MidiTransport* input = nullptr;
    {
        std::lock_guard lock(mutex_);
        input = input_;
    }
    // Waits for a delivery in progress on a port's thread, and stops further ones reaching us.
    if (input) input->setReceiver({});
    delayLine_.reset();
}

std::optional<VirtualInstrument::Model> VirtualInstrument::modelFromName(const QString& name)
{
    const QString text = squeezed(name);
    for (Model model : {Model::ES6, Model::ES7, Model::ES8, Model::S90ES, Model::RackES, Model::XS}) {
        if (text == squeezed(modelName(model))) return model;
    }
    return std::nullopt;
}

QString VirtualInstrument::modelName(Model model)
{
    switch (model) {
    case Model::ES6:
        return QStringLiteral("Motif ES6");
    case Model::ES7:
        return QStringLiteral("Motif ES7");
    case Model::ES8:
        return QStringLiteral("Motif ES8");
    case Model::S90ES:
        return QStringLiteral("S90 ES");
    case Model::RackES:
        return QStringLiteral("Motif-Rack ES");
    case Model::XS:
        return QStringLiteral("Motif XS");
    }
    return {};
}

std::uint16_t VirtualInstrument::memberCode(Model model)
{
    switch (model) {
    case Model::ES6:
        return 0x0569;
    case Model::ES7:
        return 0x056A;
    case Model::ES8:
        return 0x056B;
    // No public data list we found gives the codes of these three: ours, not the instruments'.
    case Model::S90ES:
        return 0x0570;
    case Model::RackES:
        return 0x0571;
    case Model::XS:
        return 0x0600;
    }
    return 0;
}

void VirtualInstrument::attach(MidiTransport& both) { attach(both, both); }

void VirtualInstrument::attach(MidiTransport& input, MidiTransport& output)
{
    MidiTransport* previous = nullptr;
    {
        std::lock_guard lock(mutex_);
        previous = input_;
        input_ = &input;
        output_ = &output;
    }
    if (previous && previous != &input) previous->setReceiver({});
    input.setReceiver([this](MidiBytes message) { receive(message); });
}

void VirtualInstrument::receive(std::span<const std::uint8_t> message)
{
    Outcome outcome;
    {
        std::lock_guard lock(mutex_);
        handle(message, outcome);
    }
    deliver(std::move(outcome));
}

void VirtualInstrument::handle(std::span<const std::uint8_t> message, Outcome& outcome)
{
    if (dieAfter_ >= 0 && handled_ >= dieAfter_)
        return logEntry(message,
                        QString::asprintf("ignored: stopped answering after %d messages", dieAfter_));
    ++handled_;
    if (!message.empty() && message[0] == 0xF0)
        handleSysex(message, outcome);
    else
        handleShort(message, outcome);
}

void VirtualInstrument::handleSysex(std::span<const std::uint8_t> bytes, Outcome& outcome)
{
    const EsParse parsed = EsWire::parse(bytes);
    if (!parsed.message) return fail(bytes, parsed.error, outcome);
    const EsMessage& message = *parsed.message;

    if (message.kind == EsMessage::Kind::IdentityRequest) {
        if (message.deviceNumber != 0x7F && message.deviceNumber != device_)
            return logEntry(bytes,
                            QString::asprintf("ignored: identity request to device %d, this is device %d",
                                              message.deviceNumber + 1, device_ + 1));
        outcome.replies.push_back(EsWire::identityReply(memberCode(model_)));
        logEntry(bytes, QString::asprintf("identity request (device %02X), answered as %s",
                                          message.deviceNumber, qPrintable(modelName(model_))));
        return;
    }
    if (!answersDumps(model_))
        return logEntry(
            bytes, QStringLiteral("ignored: the %1 answers identity requests only").arg(modelName(model_)));
    if (message.deviceNumber != device_)
        return logEntry(bytes, QString::asprintf("ignored: addressed to device %d, this is device %d",
                                                 message.deviceNumber + 1, device_ + 1));
    if (message.modelId != EsWire::modelId)
        return fail(bytes,
                    QString::asprintf("wrong model id %02X %02X (expected 7F 00)", message.modelId >> 8,
                                      message.modelId & 0xFF),
                    outcome);

    switch (message.kind) {
    case EsMessage::Kind::BulkDump:
        return handleBulk(bytes, bulks_.receive(message), outcome);
    case EsMessage::Kind::DumpRequest:
        return handleBulk(bytes, bulks_.request(message.address), outcome);
    default:
        return handleParameter(bytes, message, outcome);
    }
}

void VirtualInstrument::handleParameter(std::span<const std::uint8_t> bytes, const EsMessage& message,
                                        Outcome& outcome)
{
    const bool change = message.kind == EsMessage::Kind::ParameterChange;
    const SystemParameter* p = SystemParameter::find(message.address);
    if (!p) return handleEditBuffer(bytes, message, outcome);

    if (!change) {
        const int value = parameter(p->address);
        const std::uint8_t data[] = {std::uint8_t(value)};
        outcome.replies.push_back(EsWire::parameterChange(p->address, data));
        logEntry(bytes,
                 QString::asprintf("parameter request: %s, answered %d", qPrintable(label(*p)), value));
        return;
    }
    if (message.data.size() != 1)
        return fail(bytes,
                    QString::asprintf("bad length: %s takes 1 data byte, got %zu", qPrintable(label(*p)),
                                      message.data.size()),
                    outcome);
    const int value = message.data[0];
    const QString error = rangeError(*p, value);
    if (!error.isEmpty()) return fail(bytes, error, outcome);
    setParameter(p->address, value);
    logEntry(bytes, QString::asprintf("parameter change: %s = %d", qPrintable(label(*p)), value));
}

void VirtualInstrument::handleEditBuffer(std::span<const std::uint8_t> bytes, const EsMessage& message,
                                         Outcome& outcome)
{
    const bool change = message.kind == EsMessage::Kind::ParameterChange;
    const std::span<std::uint8_t> target = patches_.editBytes(message.address);
    if (target.empty())
        return fail(bytes,
                    QString::asprintf("unknown address 0x%06X in %s", message.address,
                                      change ? "parameter change" : "parameter request"),
                    outcome);
    const QString where = QString::asprintf("0x%06X in the %s edit buffer", message.address,
                                            qPrintable(PatchLayout::locate(message.address).layout->name()));
    if (!change) {
        // A parameter of two or more bytes is answered whole when asked for by its first byte.
        const std::optional<WideParameter> wide = WideParameter::holding(message.address);
        const std::size_t size = wide && wide->address == message.address ? wide->size : 1;
        outcome.replies.push_back(EsWire::parameterChange(message.address, target.first(size)));
        logEntry(bytes,
                 QStringLiteral("parameter request: %1, answered %2")
                     .arg(where, size == 1 ? QString::number(target[0]) : EsWire::toHex(target.first(size))));
        return;
    }
    if (message.data.size() > target.size())
        return fail(bytes,
                    QString::asprintf("bad length: %zu data bytes at 0x%06X run past the end of its block "
                                      "(%zu bytes left)",
                                      message.data.size(), message.address, target.size()),
                    outcome);
    for (std::size_t i = 0; i < message.data.size(); ++i) {
        const std::optional<WideParameter> wide = WideParameter::holding(message.address + std::uint32_t(i));
        if (wide && (wide->address != message.address || wide->size != message.data.size()))
            return fail(
                bytes,
                QString::asprintf("bad length: 0x%06X is a %zu-byte parameter and changes only whole, "
                                  "got %zu data bytes at 0x%06X",
                                  wide->address, wide->size, message.data.size(), message.address),
                outcome);
    }
    std::copy(message.data.begin(), message.data.end(), target.begin());
    logEntry(bytes, QStringLiteral("parameter change: %1 = %2").arg(where, EsWire::toHex(message.data)));
}

void VirtualInstrument::handleBulk(std::span<const std::uint8_t> bytes, BulkTransfer::Outcome result,
                                   Outcome& outcome)
{
    if (!result.error.isEmpty()) return fail(bytes, result.error, outcome);
    for (MidiBytes& reply : result.replies) outcome.replies.push_back(std::move(reply));
    logEntry(bytes, result.description);
}

void VirtualInstrument::handleShort(std::span<const std::uint8_t> bytes, Outcome& outcome)
{
    const ShortMessage message = ShortMessage::analyse(bytes);
    if (!message.error.isEmpty()) return fail(bytes, message.error, outcome);

    const int channel = bytes[0] & 0x0F;
    if (bytes[0] < 0xF0 && !listensOn(channel))
        return logEntry(bytes, message.description +
                                   QString::asprintf(" (ignored: the instrument receives on channel %d)",
                                                     parameter(SystemParameter::receiveChannel) + 1));
    QString effect;
    switch (bytes[0] & 0xF0) {
    case 0xB0:
        if (bytes[1] == 0) bankMsb_[channel] = bytes[2];
        if (bytes[1] == 32) bankLsb_[channel] = bytes[2];
        break;
    case 0xC0:
        selected_[channel] = {bankMsb_[channel], bankLsb_[channel], bytes[1]};
        effect = select(selected_[channel]);
        break;
    default:
        if (bytes[0] == 0xF3) songSelect_ = bytes[1];
        break;
    }
    logEntry(bytes, message.description + effect);
}

QString VirtualInstrument::select(const Selection& selection)
{
    const std::optional<PatchMemory::Location> location =
        PatchMemory::selectable(selection.msb, selection.lsb, selection.program);
    if (!location || modeFor(location->type) != parameter(SystemParameter::mode)) return {};
    const PatchLayout* layout = patches_.loadEditBuffer(location->control);
    if (!layout) return {};
    return QStringLiteral(", loads %1 into the %2 edit buffer")
        .arg(PatchMemory::label(location->control), layout->name());
}

bool VirtualInstrument::listensOn(int channel) const
{
    // In the song and pattern modes every part listens on a channel of its own.
    const int mode = parameter(SystemParameter::mode);
    return mode == 2 || mode == 3 || mode == 5 || channel == parameter(SystemParameter::receiveChannel);
}

void VirtualInstrument::logEntry(std::span<const std::uint8_t> message, const QString& description)
{
    log_.push_back({MidiBytes(message.begin(), message.end()), description});
}

void VirtualInstrument::fail(std::span<const std::uint8_t> message, const QString& reason, Outcome& outcome)
{
    noteError(message.empty() ? reason : reason + QStringLiteral(": ") + EsWire::toHex(message), outcome);
    logEntry(message, QStringLiteral("error: ") + reason);
}

void VirtualInstrument::noteError(const QString& text, Outcome& outcome)
{
    errors_.append(text);
    outcome.errors.append(text);
}

int VirtualInstrument::parameter(std::uint32_t address) const
{
    const std::span<const std::uint8_t> edited = patches_.editBytes(address);
    return edited.empty() ? image_.byteAt(address).value_or(-1) : edited[0];
}

void VirtualInstrument::setParameter(std::uint32_t address, int value)
{
    const std::span<std::uint8_t> edited = patches_.editBytes(address);
    if (edited.empty())
        image_.setByte(address, std::uint8_t(value));
    else
        edited[0] = std::uint8_t(value);
    // A master is selected by number rather than by program change.
    if (address == SystemParameter::masterSelect &&
        parameter(SystemParameter::mode) == modeFor(PatchType::Master))
        patches_.loadEditBuffer(std::uint16_t(masterBank + value));
}

void VirtualInstrument::pressMode(int mode) { press(SystemParameter::mode, mode); }

void VirtualInstrument::pressMaster(int number) { press(SystemParameter::masterSelect, number); }

void VirtualInstrument::press(std::uint32_t address, int value)
{
    Outcome outcome;
    {
        std::lock_guard lock(mutex_);
        const SystemParameter& p = *SystemParameter::find(address);
        const QString error = rangeError(p, value);
        if (error.isEmpty()) {
            setParameter(address, value);
            const std::uint8_t data[] = {std::uint8_t(value)};
            outcome.replies.push_back(EsWire::parameterChange(address, data));
        } else {
            noteError(QStringLiteral("panel: ") + error, outcome);
        }
    }
    deliver(std::move(outcome));
}

void VirtualInstrument::deliver(Outcome outcome)
{
    MidiTransport* output = nullptr;
    std::function<void(const QString&)> sink;
    std::vector<FaultPlan::Sending> sendings;
    {
        std::lock_guard lock(mutex_);
        output = output_;
        sink = errorSink_;
        // The instrument's own messages carry its device number, as the hardware's do.
        for (MidiBytes& reply : outcome.replies) {
            if (reply.size() > 2 && reply[1] == EsWire::yamaha)
                reply[2] = std::uint8_t((reply[2] & 0x70) | device_);
        }
        sendings = faults_.shape(std::move(outcome.replies));
    }
    for (FaultPlan::Sending& sending : sendings) {
        if (delayLine_)
            delayLine_->post(std::move(sending.bytes), sending.delayMs);
        else
            sendNow(output, sending.bytes, outcome.errors);
    }
    if (sink) {
        for (const QString& error : outcome.errors) sink(error);
    }
}

void VirtualInstrument::sendNow(MidiTransport* output, const MidiBytes& reply, QStringList& errors)
{
    if (!output || output->send(reply)) return;
    const QString text =
        QStringLiteral("could not send on %1 (port closed): %2").arg(output->name(), EsWire::toHex(reply));
    {
        std::lock_guard lock(mutex_);
        errors_.append(text);
    }
    errors.append(text);
}

void VirtualInstrument::setErrorSink(std::function<void(const QString&)> sink)
{
    std::lock_guard lock(mutex_);
    errorSink_ = std::move(sink);
}

int VirtualInstrument::mode() const
{
    std::lock_guard lock(mutex_);
    return parameter(SystemParameter::mode);
}

int VirtualInstrument::master() const
{
    std::lock_guard lock(mutex_);
    return parameter(SystemParameter::masterSelect);
}

bool VirtualInstrument::localOn() const
{
    std::lock_guard lock(mutex_);
    return parameter(SystemParameter::localControl) == 1;
}

int VirtualInstrument::receiveChannel() const
{
    std::lock_guard lock(mutex_);
    return parameter(SystemParameter::receiveChannel);
}

int VirtualInstrument::partVolume(int pp) const
{
    if (!SystemParameter::isPart(pp)) return -1;
    std::lock_guard lock(mutex_);
    return parameter(SystemParameter::partVolume(pp));
}

VirtualInstrument::Selection VirtualInstrument::selected(int channel) const
{
    if (channel < 0 || channel > 15) return {};
    std::lock_guard lock(mutex_);
    return selected_[std::size_t(channel)];
}

int VirtualInstrument::songSelect() const
{
    std::lock_guard lock(mutex_);
    return songSelect_;
}

std::vector<std::uint8_t> VirtualInstrument::block(std::uint16_t control, std::uint32_t address) const
{
    std::lock_guard lock(mutex_);
    const PatchMemory::Patch* patch = patches_.find(control);
    const BlockLayout* block = patch ? patch->layout->block(address) : nullptr;
    if (!block) return {};
    const auto first = patch->bytes.begin() + std::ptrdiff_t(block->offset);
    return {first, first + std::ptrdiff_t(block->size)};
}

int VirtualInstrument::storeCount() const
{
    std::lock_guard lock(mutex_);
    return bulks_.stores();
}

PatchMemory::Snapshot VirtualInstrument::userMemory() const
{
    std::lock_guard lock(mutex_);
    return patches_.snapshot();
}

void VirtualInstrument::resetToFactory()
{
    std::lock_guard lock(mutex_);
    bulks_.abandon();
    patches_.reset();
}

bool VirtualInstrument::stoppedAnswering() const
{
    std::lock_guard lock(mutex_);
    return dieAfter_ >= 0 && handled_ >= dieAfter_;
}

FaultPlan::Counts VirtualInstrument::faultCounts() const
{
    std::lock_guard lock(mutex_);
    return faults_.counts();
}

std::vector<VirtualInstrument::LogEntry> VirtualInstrument::log() const
{
    std::lock_guard lock(mutex_);
    return log_;
}

int VirtualInstrument::errorCount() const
{
    std::lock_guard lock(mutex_);
    return int(errors_.size());
}

QStringList VirtualInstrument::errors() const
{
    std::lock_guard lock(mutex_);
    return errors_;
}
