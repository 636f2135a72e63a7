#include "motif/Motif.h"

#include "core/Clock.h"
#include "motif/MotifDump.h"
#include "motif/MotifResources.h"
#include "motif/MotifSysex.h"

#include <QStringList>

namespace {
constexpr std::uint32_t ModeParameter = 0x0A0001;
constexpr std::uint32_t MasterSelectParameter = 0x0A0000;
constexpr std::uint32_t LocalParameter = 0x000009;
constexpr std::uint32_t ReceiveChannelParameter = 0x00000A;
constexpr std::uint32_t StoreCommand = 0x110000;
constexpr int StoreWaitMs = 2500;
constexpr int ReceiveChannelWaitMs = 500;

MidiParam oneByte(std::uint32_t address) { return MidiParam(address, 1); }
} // namespace

Motif::Motif() : MidiDevice(QStringLiteral("Motif ES"), 10)
{
    registerMotifResources();
    addresses().push_back(0x302000);
    loadIni(QStringLiteral(":/motif/data/data_ES.ini"));
    loadXml(QStringLiteral(":/motif/data/effects_ES.xml"));
    initVoice_ = std::make_unique<VoiceDump>(this);
    initDrum_ = std::make_unique<DrumDump>(this);
    initPlg_ = std::make_unique<PLGDump>(this);
    initPerformance_ = std::make_unique<PerformanceDump>(this);
    initMix_ = std::make_unique<MixDump>(this);
    initMaster_ = std::make_unique<MasterDump>(this);
    MotifDump* const inits[] = {initVoice_.get(),       initDrum_.get(), initPlg_.get(),
                                initPerformance_.get(), initMix_.get(),  initMaster_.get()};
    for (MotifDump* dump : inits) dump->buildInit(QStringLiteral("Motif ES"));
    for (int i = 0; i < 3; ++i) extraParts().push_back(ExtraPart{});
    // Bulks loaded from files keep the device number they were saved with; the ports give every
    // message the number of the instrument this device talks to.
    auto stamp = [this](MidiBytes& message) { MotifSysex::stampDeviceNumber(message, deviceNumber_); };
    mainOut().setStamp(stamp);
    secondaryOut().setStamp(stamp);
}

Motif::~Motif() = default;

// ---- Patch dumps

PatchDump* Motif::createPatchDump(int type)
{
    switch (type) {
    case NormalVoice:
        return new VoiceDump(this);
    case DrumKit:
        return new DrumDump(this);
    case PlgVoice:
        return new PLGDump(this);
    case Performance:
        return new PerformanceDump(this);
    case Mix:
        return new MixDump(this);
    case Master:
        return new MasterDump(this);
    default:
        return nullptr;
    }
}

BulkDump* Motif::getInitVoice() const { return initVoice_.get(); }

BulkDump* Motif::getInitDrumVoice() const { return initDrum_.get(); }

BulkDump* Motif::getInitPlgVoice() const { return initPlg_.get(); }

BulkDump* Motif::getInitPerformance() const { return initPerformance_.get(); }

BulkDump* Motif::getInitMix() const { return initMix_.get(); }

BulkDump* Motif::getInitMaster() const { return initMaster_.get(); }

// ---- Identity

bool Motif::checkId(Sysex* reply)
{
    if (!reply || reply->size() < 10 || reply->at(5) != 0x43) return false;
    if (reply->at(9) != 0x05) return false;
    switch (reply->at(8)) {
    case 0x69:
        setModelName(QStringLiteral("Motif ES6"));
        return true;
    case 0x6A:
        setModelName(QStringLiteral("Motif ES7"));
        return true;
    case 0x6B:
        setModelName(QStringLiteral("Motif ES8"));
        return true;
    default:
        return false;
    }
}

Sysex* Motif::createSysex() { return new MotifSysex(); }

// ---- Modes

void Motif::setMode(int mode)
{
    currentMode_ = mode;
    paramChange(oneByte(ModeParameter), mode);
    Clock::current().sleepMs(ModeChangeWaitMs);
}

void Motif::setModeByType(int type)
{
    int mode = -1;
    switch (type) {
    case NormalVoice:
    case DrumKit:
    case PlgVoice:
        mode = VoiceMode;
        break;
    case Performance:
        mode = PerformanceMode;
        break;
    case Mix:
        mode = SongMode;
        break;
    case Master:
        mode = MasterMode;
        break;
    default:
        return;
    }
    if (mode != currentMode_) setMode(mode);
}

void Motif::setModeByBank(unsigned short bank)
{
    // Mix voices exist only in song mode, and the instrument must be told so even when it is
    // there already, or it keeps showing the song's own voices.
    if (bank == MixVoiceBank)
        setMode(SongMode);
    else
        setModeByType(bankType(bank));
}

int Motif::syncGetMode(int wait) { return syncParamRequest(oneByte(ModeParameter), wait); }

QString Motif::modeName(int mode)
{
    static const char* const names[] = {"Voice", "Performance", "Pattern", "Song", "Master"};
    return mode >= 0 && mode < 5 ? QString::fromLatin1(names[mode]) : QString();
}

// ---- Banks

QString Motif::bankNumber(unsigned short bank)
{
    if ((bank & 0x7F70) == 0x7F70) return QString();
    return MidiDevice::bankNumber(bank);
}

bool Motif::isUserBank(unsigned short bank) { return MotifBanks::isUserBank(bank); }

int Motif::bankType(unsigned short bank) { return MotifBanks::bankType(bank); }

QString Motif::bankTypeName(int type) { return MotifBanks::longTypeName(type); }

bool Motif::isVoiceBank(unsigned short bank)
{
    return bank != MixVoiceBank && MotifBanks::bankType(bank) == NormalVoice;
}

bool Motif::isDrumBank(unsigned short bank) { return MotifBanks::bankType(bank) == DrumKit; }

bool Motif::isPLGBank(unsigned short bank) { return MotifBanks::bankType(bank) == PlgVoice; }

unsigned int Motif::getEditBuffer(int type) const { return MotifBanks::editBuffer(type); }

unsigned int Motif::bulkControlBaseOf(unsigned short bank) const { return MotifBanks::bulkControlBase(bank); }

QString Motif::printCategory(int main)
{
    const DeviceTable* table = createTable(QStringLiteral("CATEGORIES"));
    const TableData* row = table ? table->row(main) : nullptr;
    return row ? row->name : QStringLiteral("??");
}

QString Motif::printCategory(int main, int sub)
{
    const DeviceTable* table = createTable(QStringLiteral("CATEGORIES_FULL"));
    const int index = table ? table->indexOf(main * 128 + sub) : -1;
    return index >= 0 ? table->row(index)->name : printCategory(main);
}

// ---- Patch selection

void Motif::patchChange(Patch patch, int arg)
{
    if (patch.bank() == MasterBank) {
        MotifSysex select;
        select.prepareParameterChange(oneByte(MasterSelectParameter), patch.program());
        mainOut().sendSysex(select);
    } else if (patch.bank() == MixBank) {
        mainOut().sendShort(0xF3, std::uint8_t(patch.program()));
    } else {
        MidiDevice::patchChange(patch, arg);
    }
}

void Motif::patchChangeByType(int type)
{
    const char* table = type == NormalVoice ? "VOICES_USER" : type == DrumKit ? "DRUMS_USER" : nullptr;
    if (!table) return;
    const Patch first = bankSet(QString::fromLatin1(table)).firstPatch();
    if (first.isValid()) patchChange(first);
}

void Motif::setPartVolume(int part, int volume)
{
    if (volume == -1 || part < 0) return;
    if (part < 16)
        paramChange(oneByte(0x37000D | std::uint32_t(part) << 8), volume);
    else if (part < int(extraParts().size()))
        paramChange(oneByte(0x37000D | std::uint32_t(0x60 + part - 16) << 8), volume);
}

void Motif::resetMixVoices()
{
    for (int program = 0; program < 16; ++program)
        updateUserPatchName(Patch(MixVoiceBank, program), QStringLiteral("--"));
}

void Motif::storeAllPatches()
{
    MotifSysex store;
    store.prepareBulkDump(StoreCommand, QString());
    sendSysex(&store);
    Clock::current().sleepMs(StoreWaitMs);
}

// ---- MIDI from the instrument

void Motif::OnMidiMessage(const MidiMessage& message, MidiSource source)
{
    if (message.isSongSelect() && source != SourceSecondary)
        OnPatchChange(Patch(MixBank, message.data1()), source);
    MidiDevice::OnMidiMessage(message, source);
}

void Motif::OnSysex(Sysex* message, MidiSource source)
{
    if (!message) return;
    if (message->hasData() && message->getAddress() == ModeParameter) currentMode_ = message->dataAt(0);
    if (message->hasData() && message->getAddress() == MasterSelectParameter)
        OnPatchChange(Patch(MasterBank, message->dataAt(0)), source);
    // The secondary port echoes the instrument's bulk traffic; only its parameter changes count.
    if (source == SourceSecondary && message->kind() != MotifSysex::ParameterChange) return;
    MidiDevice::OnSysex(message, source);
}

void Motif::OnPatchChange(Patch patch, MidiSource source) { MidiDevice::OnPatchChange(patch, source); }

// ---- Display

QString Motif::displaySysex(Sysex* message)
{
    if (!message || message->kind() != MotifSysex::ParameterChange || message->dataSize() < 1)
        return QString();
    const std::uint32_t address = message->getAddress();
    if (address == 0x0D0000 || address == MasterSelectParameter || address == ModeParameter) return QString();
    const QStringList tokens = message->toString().split(' ');
    QString html;
    for (int i = 0; i < tokens.size(); ++i) {
        const char* colour = "#0000ff";
        if (i == 0 || i == tokens.size() - 1 || i == 1 || i == 3 || i == 4)
            colour = "#808080";
        else if (i == 2)
            colour = "#007800";
        else if (i >= 5 && i <= 7)
            colour = "#b85100";
        html += QString::asprintf("<font color=%s>%s</font> ", colour, qPrintable(tokens[i]));
    }
    return html;
}

// ---- System settings and ports

void Motif::updateRcvChannel()
{
    const int channel = syncGetRcvChannel(ReceiveChannelWaitMs);
    setReceiveChannel(channel < 0 || channel > 15 ? 0 : channel);
}

int Motif::syncGetRcvChannel(int wait) { return syncParamRequest(oneByte(ReceiveChannelParameter), wait); }

void Motif::setDeviceNumber(int number)
{
    if (number >= 1 && number <= 16) deviceNumber_ = number;
}

void Motif::setLocalOn(bool on) { paramChange(oneByte(LocalParameter), on ? 1 : 0); }

void Motif::replacePortNames(const QString& from, const QString& to)
{
    QString in = mainIn().name();
    QString out = mainOut().name();
    if (in.indexOf(from) <= 0 || out.indexOf(from) <= 0) return;
    secondaryIn().setName(in.replace(from, to));
    secondaryOut().setName(out.replace(from, to));
}

// ---- Address scheme

unsigned int VOICE_ELM_PART(int element, int part)
{
    static const unsigned int blocks[] = {0x410000, 0x410020, 0x420000, 0x430000,
                                          0x440000, 0x440040, 0x440050};
    const unsigned int base = part >= 0 && part < 7 ? blocks[part] : 0;
    return unsigned(element) * 256 + base;
}

unsigned int DRUM_KEY_PART(int key, int part)
{
    static const unsigned int blocks[] = {0x470000, 0x470020, 0x480000, 0x490000, 0x4A0000};
    if (part < 0 || part >= 5) return 0xFFFFFFFF;
    return unsigned(key) * 256 + blocks[part];
}
