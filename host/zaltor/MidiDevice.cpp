#include "zaltor/MidiDevice.h"

#include "core/Clock.h"
#include "zaltor/BulkDump.h"
#include "zaltor/Sysex.h"

#include <algorithm>

MidiDevice::MidiDevice(const QString& name, int id, QObject* parent)
    : QObject(parent), name_(name), id_(id), modelName_(name), extraParts_(16)
{
}

MidiDevice::~MidiDevice()
{
    // The transports outlive no device: stop them from pushing into inboxes that are going away.
    if (mainInTransport_) mainInTransport_->setReceiver(nullptr);
    if (secondaryInTransport_) secondaryInTransport_->setReceiver(nullptr);
}

void MidiDevice::connectPorts(MidiTransport* input, MidiTransport* output)
{
    wire(SourceMain, input, output);
}

void MidiDevice::connectSecondaryPorts(MidiTransport* input, MidiTransport* output)
{
    wire(SourceSecondary, input, output);
}

void MidiDevice::wire(MidiSource source, MidiTransport* input, MidiTransport* output)
{
    const bool main = source == SourceMain;
    MidiTransport*& current = main ? mainInTransport_ : secondaryInTransport_;
    if (current) current->setReceiver(nullptr);
    current = input;
    if (input) {
        (main ? mainIn_ : secondaryIn_).setName(input->inputName());
        input->setReceiver([this, source](MidiBytes message) { inbox(source).push(std::move(message)); });
    }
    MidiOutPort& out = main ? mainOut_ : secondaryOut_;
    out.connect(output);
    if (main) {
        mainOutTransport_ = output;
        portError_.clear();
    }
    if (output) out.setName(output->outputName());
}

void MidiDevice::setMonitor(Monitor monitor)
{
    monitor_ = std::move(monitor);
    auto tap = [this](const MidiBytes& message) {
        if (monitor_) monitor_(true, message);
    };
    mainOut_.setTap(tap);
    secondaryOut_.setTap(tap);
}

int MidiDevice::poll()
{
    int handled = 0;
    for (MidiSource source : {SourceMain, SourceSecondary}) {
        for (const MidiBytes& message : inbox(source).drain()) {
            dispatch(message, source);
            ++handled;
        }
    }
    return handled;
}

void MidiDevice::dispatch(const MidiBytes& message, MidiSource source)
{
    if (monitor_) monitor_(false, message);
    if (message.empty()) return;
    if (message.front() == 0xF0)
        OnLongMessage(message, source);
    else
        OnShortMessage(message, source);
}

bool MidiDevice::waitForMessage(const std::function<bool(const MidiBytes&)>& accept, int waitMs,
                                MidiBytes* out)
{
    // What arrived on the secondary port meanwhile is handled first, in order.
    for (const MidiBytes& message : secondaryInbox_.drain()) dispatch(message, SourceSecondary);
    if (portsGone()) return false;
    const bool found = mainInbox_.waitFor(
        [&](const MidiBytes& message) {
            ++receivedWhileWaiting_;
            if (!accept(message)) return false;
            if (monitor_) monitor_(false, message);
            return true;
        },
        waitMs, out, [this](const MidiBytes& message) { dispatch(message, SourceMain); },
        [this] { return portsGone(); });
    return found;
}

void MidiDevice::drainStale()
{
    for (const MidiBytes& message : mainInbox_.drain()) dispatch(message, SourceMain);
}

bool MidiDevice::portsGone()
{
    if (!portError_.isEmpty()) return true;
    for (MidiTransport* transport : {mainInTransport_, mainOutTransport_})
        if (transport && !transport->isOpen())
            portError_ = QStringLiteral("port '%1' is gone").arg(transport->lostPort());
    return !portError_.isEmpty();
}

bool MidiDevice::isIdentityReply(const MidiBytes& bytes)
{
    return bytes.size() >= 6 && bytes[0] == 0xF0 && bytes[1] == 0x7E && bytes[3] == 0x06 &&
           bytes[4] == 0x02 && bytes.back() == 0xF7;
}

bool MidiDevice::identify(int waitMs)
{
    drainStale();
    identityReply_.clear();
    idRequest(&mainOut_);
    // The request is universal: every instrument on the cable answers, so the first reply may
    // be another's. Wait for one that checkId knows; the others go to the handlers.
    auto known = [this](const MidiBytes& bytes) {
        if (!isIdentityReply(bytes)) return false;
        identityReply_ = bytes;
        Sysex reply{std::span<const std::uint8_t>(bytes)};
        return checkId(&reply);
    };
    if (!waitForMessage(known, waitMs, nullptr)) return false;
    emit identified(modelName_);
    return true;
}

bool MidiDevice::loadIni(const QString& path)
{
    tables_.clear();
    return ini_.loadFile(path);
}

DeviceTable* MidiDevice::createTable(const QString& section)
{
    auto found = tables_.find(section);
    if (found != tables_.end()) return found->second.get();
    const IniSection* data = ini_.section(section);
    if (!data) return nullptr;
    auto [it, inserted] = tables_.emplace(section, DeviceTable::fromSection(*data));
    return it->second.get();
}

void MidiDevice::deleteBankSet(const QString& section) { tables_.erase(section); }

void MidiDevice::updateUserPatchName(const Patch& patch, const QString& name)
{
    if (patch.isValid()) userPatchNames_.insert(patch.value(), name);
}

QString MidiDevice::userPatchName(const Patch& patch) const { return userPatchNames_.value(patch.value()); }

void MidiDevice::sendSysex(const Sysex* message)
{
    if (message) mainOut_.sendSysex(*message);
}

std::unique_ptr<Sysex> MidiDevice::makeSysex(const MidiBytes& bytes)
{
    std::unique_ptr<Sysex> message(createSysex());
    message->setBytes(bytes);
    return message;
}

bool MidiDevice::syncBulkRequest(unsigned int control, BulkDump& dump, int waitMs)
{
    dump.clear();
    drainStale();
    bulkRequest(control);
    // Every bulk message is looked at here, ours or not: the wait is short only while a bulk is
    // coming in. Ours begins with a header whose checksum holds and runs to the message that
    // ends the bulk; a header that comes again starts it over, as the instrument sends it whole
    // again. The header or footer of another bulk (a late reply to an earlier request) means that
    // the blocks after it are not ours. Blocks without a header of ours go to the handlers.
    auto bulkMessage = [&](const MidiBytes& bytes) {
        if (bytes.empty() || bytes.front() != 0xF0 || isIdentityReply(bytes)) return false;
        auto message = makeSysex(bytes);
        return message->isValid() &&
               (isReplyTo(control, *message) || message->isHeader() || message->isFooter());
    };
    bool started = false;   // a header of ours came: what follows is our bulk
    bool answering = false; // a bulk is coming in: its next message is due soon
    MidiBytes bytes;
    while (waitForMessage(bulkMessage, answering ? std::min(waitMs, BulkQuietMs) : waitMs, &bytes)) {
        auto message = makeSysex(bytes);
        const bool ours = isReplyTo(control, *message);
        // No other bulk comes between our header and our footer: a footer naming another location
        // there is ours, damaged, and the bulk is over.
        if (started && !ours && message->isFooter()) {
            OnLongMessage(bytes, SourceMain);
            return false;
        }
        const bool header = message->isHeader() && ours && message->checksumValid();
        if (header) dump.clear();
        started = (started && ours) || header;
        // Once another bulk has ended, ours has yet to begin.
        answering = ours || !message->isFooter();
        // A damaged header of ours within the bulk is not one of its blocks.
        if (started && (header || !message->isHeader())) {
            const bool last = message->isLastOfBulk();
            dump.append(std::move(message));
            if (last) return true;
            continue;
        }
        OnLongMessage(bytes, SourceMain);
    }
    return false;
}

int MidiDevice::syncParamRequest(const MidiParam& param, int waitMs)
{
    drainStale();
    paramRequest(param);
    auto accept = [&](const MidiBytes& bytes) {
        if (bytes.empty() || bytes.front() != 0xF0 || isIdentityReply(bytes)) return false;
        return makeSysex(bytes)->getParameterPos(param) >= 0;
    };
    MidiBytes bytes;
    if (!waitForMessage(accept, waitMs, &bytes)) return -1;
    return makeSysex(bytes)->getParameterData(param);
}

// ---- Virtual slots: the framework's general behaviour

void MidiDevice::OnMidiMessage(const MidiMessage& message, MidiSource source)
{
    if (message.channel() == receiveChannel_ && source != SourceHost) {
        if (message.isControlChange() && message.data1() == 0) lastMsb_ = message.data2();
        if (message.isControlChange() && message.data1() == 32) lastLsb_ = message.data2();
        if (message.isProgramChange()) OnPatchChange(Patch(lastMsb_, lastLsb_, message.data1()), source);
    }
    emit shortMessageReceived(message, source);
}

void MidiDevice::OnSysex(Sysex* message, MidiSource source)
{
    if (message) emit sysexReceived(*message, source);
}

void MidiDevice::OnPatchChange(Patch patch, MidiSource source) { emit patchChanged(patch, source); }

void MidiDevice::patchChange(Patch patch, int channel)
{
    if (!patch.isValid()) return;
    const int ch = (channel >= 0 && channel < 16 ? channel : receiveChannel_) & 0x0F;
    mainOut_.sendShort(std::uint8_t(0xB0 | ch), 0, std::uint8_t(patch.msb()));
    mainOut_.sendShort(std::uint8_t(0xB0 | ch), 32, std::uint8_t(patch.lsb()));
    mainOut_.sendShort(std::uint8_t(0xC0 | ch), std::uint8_t(patch.program()));
}

void MidiDevice::patchChangeByType(int) {}

void MidiDevice::idRequest(MidiOutPort* port)
{
    static const Buffer request{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    if (port) port->sendSysex(request);
}

void MidiDevice::paramRequest(MidiParam param)
{
    std::unique_ptr<Sysex> message(createSysex());
    message->prepareParameterRequest(param);
    sendSysex(message.get());
}

void MidiDevice::paramChange(MidiParam param, int value)
{
    std::unique_ptr<Sysex> message(createSysex());
    message->prepareParameterChange(param, value);
    sendSysex(message.get());
}

void MidiDevice::bulkRequest(unsigned int) {}

void MidiDevice::patchRequest(Patch, bool) {}

bool MidiDevice::syncPatchRequest(Patch, BulkDump&, bool) { return false; }

bool MidiDevice::syncEditBufferRequest(int, BulkDump&, int) { return false; }

void MidiDevice::bulkTransmit(unsigned int, BulkDump* dump)
{
    if (dump) dump->sendToSynth(this);
}

void MidiDevice::patchTransmit(Patch, BulkDump* dump, bool)
{
    if (dump) dump->sendToSynth(this);
}

void MidiDevice::toEditBuffer(PatchDump*) {}

void MidiDevice::strip(BulkDump*) {}

QString MidiDevice::displaySysex(Sysex*) { return QString(); }

void MidiDevice::waitRequest() {}

void MidiDevice::waitTransmit() { Clock::current().sleepMs(transmitDelayMs_); }

bool MidiDevice::checkId(Sysex*) { return false; }

Sysex* MidiDevice::createSysex() { return new Sysex(); }

void MidiDevice::setMode(int) {}

void MidiDevice::setModeByType(int) {}

void MidiDevice::setModeByBank(unsigned short) {}

QString MidiDevice::bankNumber(unsigned short bank)
{
    return QString::asprintf("%d/%d", bank >> 8, bank & 0xFF);
}

bool MidiDevice::isUserBank(unsigned short) { return false; }

int MidiDevice::bankType(unsigned short) { return -1; }

QString MidiDevice::bankTypeName(int) { return QString(); }

PatchDump* MidiDevice::createPatchDump(int) { return nullptr; }

unsigned int MidiDevice::getIndexedAddress(unsigned int address, int index)
{
    return address + unsigned(index);
}

void MidiDevice::setPartVolume(int, int) {}

void MidiDevice::storeAllPatches() {}

void MidiDevice::storePatch(Patch) {}

void MidiDevice::storeGlobal() {}

bool MidiDevice::hasDeviceId() { return false; }

bool MidiDevice::hasKeyboard() { return false; }

bool MidiDevice::hasSecondaryPorts() { return false; }

void MidiDevice::setSecondaryPorts() {}

bool MidiDevice::isReplyTo(unsigned int, const Sysex&) { return true; }

void MidiDevice::OnShortMessage(const MidiBytes& message, MidiSource source)
{
    const MidiMessage parsed = MidiMessage::fromBytes(message);
    if (parsed.isValid()) OnMidiMessage(parsed, source);
}

void MidiDevice::OnLongMessage(const MidiBytes& message, MidiSource source)
{
    if (isIdentityReply(message)) {
        Sysex reply{std::span<const std::uint8_t>(message)};
        if (checkId(&reply)) emit identified(modelName_);
        return;
    }
    auto sysex = makeSysex(message);
    OnSysex(sysex.get(), source);
}
