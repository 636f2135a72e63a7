#include "motif/MotifSysex.h"

#include "motif/Motif.h"
#include "zaltor/MidiDevice.h"

#include "core/VarArgs.h"

#include <QStringList>

namespace {
const char* const BulkTemplate = "F0 43 00 %M #2 %A3 %D *5 F7";
const char* const ParameterChangeTemplate = "F0 43 10 %M %A3 %D F7";
const char* const DumpRequestTemplate = "F0 43 20 %M %A3 F7";
const char* const ParameterRequestTemplate = "F0 43 30 %M %A3 F7";

// Name blocks of a normal voice, a drum kit, a PLG voice, a performance and a master.
constexpr std::uint32_t VoiceName = MotifBanks::Types[MotifBanks::NormalVoice].nameBlock;
constexpr std::uint32_t DrumName = MotifBanks::Types[MotifBanks::DrumKit].nameBlock;
constexpr std::uint32_t PlgName = MotifBanks::Types[MotifBanks::PlgVoice].nameBlock;
constexpr std::uint32_t PerformanceName = MotifBanks::Types[MotifBanks::Performance].nameBlock;
constexpr std::uint32_t MasterName = MotifBanks::Types[MotifBanks::Master].nameBlock;

// Parameters whose value travels as two bytes of which the first counts 64, not 128.
bool isSixBitPair(std::uint32_t address)
{
    return address == 0x002100 || address == 0x301100 || address == 0x361100;
}

// Bulk blocks that begin at a low address byte other than 0: base, first and last low byte.
struct SubBlock {
    std::uint32_t base;
    std::uint32_t first;
    std::uint32_t last;
};

void addElementBlocks(std::vector<SubBlock>& blocks, std::uint32_t base, std::uint32_t first,
                      std::uint32_t last)
{
    for (std::uint32_t element = 0; element < 4; ++element)
        blocks.push_back({base + element * 0x100, first, last});
}

const std::vector<SubBlock>& subBlocks()
{
    static const std::vector<SubBlock> blocks = [] {
        std::vector<SubBlock> b{{0x400040, 0x40, 0x43}};
        addElementBlocks(b, 0x410020, 0x20, 0x3D);
        addElementBlocks(b, 0x440040, 0x40, 0x47);
        addElementBlocks(b, 0x440050, 0x50, 0x53);
        b.push_back({0x460040, 0x40, 0x43});
        for (std::uint32_t key = 0; key <= 0x48; ++key) b.push_back({0x470020 + key * 0x100, 0x20, 0x2B});
        return b;
    }();
    return blocks;
}
} // namespace

void MotifSysex::analyse()
{
    if (!isSysex() || at(1) != 0x43) return;
    const int kind = at(2) & 0x70;
    const int n = size();
    auto address = [this](int i) {
        return std::uint32_t(at(i)) << 16 | std::uint32_t(at(i + 1)) << 8 | at(i + 2);
    };
    // A message too short for its kind keeps the previous analysis, like a foreign one.
    switch (kind) {
    case BulkDump:
        if (n >= 12) setAnalysis(kind, address(7), 10, n - 12, 5);
        break;
    case ParameterChange:
        if (n >= 9) setAnalysis(kind, address(5), 8, n - 9, -1);
        break;
    case DumpRequest:
    case ParameterRequest:
        if (n >= 9) setAnalysis(kind, address(5), -1, 0, -1);
        break;
    default:
        break;
    }
}

bool MotifSysex::hasData() const
{
    return kind() == BulkDump || (kind() == ParameterChange && dataSize() > 0);
}

bool MotifSysex::hasCategory() const
{
    const std::uint32_t a = getAddress();
    return a == PlgName || a == PerformanceName || a == VoiceName || a == DrumName;
}

bool MotifSysex::hasName() const
{
    const std::uint32_t a = getAddress();
    return hasData() &&
           (a == VoiceName || a == DrumName || a == PlgName || a == PerformanceName || a == MasterName);
}

QString MotifSysex::readName(MidiDevice* device) const
{
    if (size() < 13) return QString();
    const QString name = readDataText(0, 10);
    if (!hasCategory()) return name;
    auto* motif = qobject_cast<Motif*>(device);
    const QString category = motif ? motif->printCategory(dataAt(12)) : QStringLiteral("??");
    return category + ":" + name;
}

void MotifSysex::setAddress(std::uint32_t address)
{
    // Bytes 7-9 hold a bulk block's address; in a request or a parameter change too short to
    // have them before its F7, writing there would overwrite the F7 and break the message.
    if (!isValid() || size() < 11 || address == getAddress()) return;
    setAt(7, (address >> 16) & 0x7F);
    setAt(8, (address >> 8) & 0x7F);
    setAt(9, address & 0x7F);
    updateChecksum();
    analyse();
}

void MotifSysex::getBulkBaseAndOffset(std::uint32_t address, std::uint32_t& base, std::uint32_t& offset) const
{
    base = 0;
    offset = 0;
    const std::uint32_t low = address & 0xFF;
    for (const SubBlock& block : subBlocks())
        if ((address & 0xFFFF00) == (block.base & 0xFFFF00) && low >= block.first && low <= block.last)
            base = block.base;
    if (base != 0) {
        offset = low - (base & 0xFF);
    } else {
        base = address & 0xFFFF00;
        offset = low;
    }
}

int MotifSysex::getParameterPos(const MidiParam& param) const
{
    if (kind() == BulkDump) {
        std::uint32_t base = 0;
        std::uint32_t offset = 0;
        getBulkBaseAndOffset(param.address(), base, offset);
        if (getAddress() == base && int(offset) < dataSize()) return int(offset);
        return -1;
    }
    if (kind() == ParameterChange && getAddress() == param.address()) return 0;
    return -1;
}

int MotifSysex::getParameterData(const MidiParam& param) const
{
    if (isParameterChange() && isSixBitPair(param.address())) {
        const int p = getParameterPos(param);
        if (p < 0 || p + 1 >= dataSize()) return -1;
        return (dataAt(p) & 0x7F) * 64 + (dataAt(p + 1) & 0x7F);
    }
    return Sysex::getParameterData(param);
}

QString MotifSysex::printAnalysis() const
{
    switch (kind()) {
    case BulkDump:
        return VarArgs("BULK DUMP: %06X : %s", getAddress(), dataToString()).format();
    case ParameterChange:
        return VarArgs("PARAM CHANGE: %06X : %s", getAddress(), dataToString()).format();
    case DumpRequest:
        return VarArgs("BULK REQUEST: %06X", getAddress()).format();
    case ParameterRequest:
        return VarArgs("PARAM REQUEST : %06X", getAddress()).format();
    default:
        return QStringLiteral("invalid");
    }
}

void MotifSysex::prepareParameterRequest(const MidiParam& param)
{
    if (!param.hasAddress()) {
        reset();
        return;
    }
    FormatSysex(ParameterRequestTemplate, param.address());
}

void MotifSysex::prepareParameterChange(const MidiParam& param, int value)
{
    if (!param.hasAddress()) {
        reset();
        return;
    }
    FormatSysex(ParameterChangeTemplate, param.address(), param.printMidiBytes(value));
}

void MotifSysex::prepareBulkDump(std::uint32_t address, const QString& data)
{
    FormatSysex(BulkTemplate, address, data);
}

void MotifSysex::prepareBulkRequest(std::uint32_t control)
{
    FormatSysex(DumpRequestTemplate, 0x0E0000 + control);
}

void MotifSysex::stampDeviceNumber(std::vector<std::uint8_t>& message, int number)
{
    if (message.size() < 6 || message[0] != 0xF0 || message[1] != 0x43 || message[3] != 0x7F ||
        message[4] != 0x00 || message[2] > 0x7F)
        return;
    message[2] = std::uint8_t((message[2] & 0x70) | ((number - 1) & 0x0F));
}
