#include "motif/documents/XS_Voice.h"

#include "core/Archive.h"
#include "core/VarArgs.h"
#include "motif/Motif.h"
#include "motif/documents/X0V_Document.h"
#include "motif/documents/XS_Voices.h"
#include "motif/documents/XS_Waveform.h"
#include "motif/documents/XS_Waves.h"

#include <algorithm>
#include <limits>

namespace {

const QString MotifXS = QStringLiteral("Motif XS");
const QString MotifXF = QStringLiteral("Motif XF");
const QString S90XS = QStringLiteral("S90 XS");

constexpr int FirstElementOffset = 408;
constexpr int ElementUsedOffset = 4;
constexpr int ElementMemOffset = 5;

} // namespace

void XS_Voice::initVoice() { data_.fromFile(QStringLiteral(":/motif/data/x0v_voice.bin")); }

void XS_Voice::initDrumKit() { data_.fromFile(QStringLiteral(":/motif/data/x0v_drumkit.bin")); }

QString XS_Voice::name() const { return hasData() ? data_.readText(NameOffset, NameSize) : QString(); }

void XS_Voice::setName(const QString& name)
{
    // The instrument pads its names with blanks.
    if (hasData()) data_.writeText(NameOffset, name.left(NameSize).leftJustified(NameSize), NameSize);
}

void XS_Voice::setId(int id)
{
    content_number = id;
    filename = FileName(id);
}

int XS_Voice::BankType(Bank bank)
{
    switch (bank & 0xFFF0) {
    case 0x3F00:
        return NormalBankType;
    case 0x3F20:
        return DrumBankType;
    default:
        return 0;
    }
}

int XS_Voice::MaxVoiceBanks(const QString& model)
{
    if (model == MotifXF) return 4;
    if (model == MotifXS) return 3;
    return 0;
}

QString XS_Voice::BankName(const QString& model, Bank bank)
{
    if (bank == DrumUserBank) return QStringLiteral("DR:USER");
    const int k = bank - FirstUserBank;
    if (k >= 0 && k < MaxVoiceBanks(model)) return VarArgs("USER%d", k + 1).format();
    return QString();
}

QString XS_Voice::FileName(int id)
{
    return VarArgs("%06X-Voice.vce", static_cast<std::uint32_t>(id)).format();
}

QString XS_Voice::EntryInfo(const XS_Entry& entry, int dataSize)
{
    return entry.toString() + VarArgs("\ndvce size = %d", dataSize).format();
}

int XS_Voice::category(int offset) const
{
    return hasData() ? data_.at(offset) * 128 + data_.at(offset + 1) : -1;
}

void XS_Voice::setCategory(int offset, int value)
{
    if (!hasData()) return;
    data_.setAt(offset, static_cast<std::uint8_t>((value >> 7) & 0x7F));
    data_.setAt(offset + 1, static_cast<std::uint8_t>(value & 0x7F));
}

void XS_Voice::setCategory(const QString& name, Motif* device)
{
    if (!hasData() || !device) return;
    const DeviceTable* table = device->createTable(QStringLiteral("CATEGORIES_FULL"));
    const TableData* row = table ? table->row(table->indexOf(name)) : nullptr;
    if (row) setCategory1(row->data);
}

QString XS_Voice::printCategory(Motif* device) const
{
    if (!hasData() || !device) return QString();
    return device->printCategory(data_.at(CategoryOffset), data_.at(CategoryOffset + 1));
}

int XS_Voice::elementSize(const QString& model) { return model == S90XS || model == MotifXF ? 144 : 140; }

int XS_Voice::arpPartSize(const QString& model) { return model == S90XS || model == MotifXF ? 52 : 48; }

int XS_Voice::elementOffset(const QString& model, int i)
{
    // A wild index lands far outside any block, with room left for the field offsets added to it.
    constexpr long long Far = std::numeric_limits<int>::max() / 2;
    const long long offset = FirstElementOffset + (elementSize(model) + 4LL) * i;
    return static_cast<int>(std::clamp(offset, -Far, Far));
}

int XS_Voice::elementCount(const QString& model) const
{
    if (!hasData()) return -1;
    return static_cast<int>(data_.readValue(elementOffset(model, 0) - 4, 4));
}

int XS_Voice::elementsInData(const QString& model) const
{
    // An element fits when the block reaches past its wave number, the last field read or written.
    const int fit = std::max(data_.size() - FirstElementOffset + 2, 0) / (elementSize(model) + 4);
    return std::clamp(elementCount(model), 0, fit);
}

bool XS_Voice::isElementUsed(int i) const
{
    return data_.at(elementOffset(model_, i) + ElementUsedOffset) != 0;
}

void XS_Voice::setElementUsed(int i, bool used)
{
    data_.setAt(elementOffset(model_, i) + ElementUsedOffset, used ? 1 : 0);
}

int XS_Voice::elementMem(int i) const { return data_.at(elementOffset(model_, i) + ElementMemOffset); }

void XS_Voice::setElementMem(int i, int memory)
{
    data_.setAt(elementOffset(model_, i) + ElementMemOffset, static_cast<std::uint8_t>(memory));
}

int XS_Voice::elementWave(int i) const
{
    return static_cast<int>(data_.readValueR(elementOffset(model_, i) + elementSize(model_), 2));
}

void XS_Voice::setElementWave(int i, int number)
{
    data_.writeValueR(elementOffset(model_, i) + elementSize(model_), 2, static_cast<std::uint32_t>(number));
}

int XS_Voice::elementWaveform(const QString& model, int i) const
{
    const int offset = elementOffset(model, i);
    if (!hasData() || data_.at(offset + ElementUsedOffset) == 0) return 0;
    const int number = static_cast<int>(data_.readValueR(offset + elementSize(model), 2));
    return XS_Waveform::MakeId(data_.at(offset + ElementMemOffset), number, model);
}

void XS_Voice::setElementWaveform(const QString& model, int i, int id)
{
    if (!hasData()) return;
    const int offset = elementOffset(model, i);
    if (id <= 0) {
        data_.setAt(offset + ElementUsedOffset, 0);
        return;
    }
    data_.setAt(offset + ElementMemOffset, static_cast<std::uint8_t>(XS_Waveform::BankOf(id, model)));
    data_.writeValueR(offset + elementSize(model), 2,
                      static_cast<std::uint32_t>(XS_Waveform::NumberOf(id, model)));
}

std::vector<int> XS_Voice::waveforms(const QString& model) const
{
    std::vector<int> ids;
    const int count = elementsInData(model);
    for (int i = 0; i < count; ++i) {
        const int id = elementWaveform(model, i);
        if (id > 0) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

void XS_Voice::updateWaveformInfo(const QString& model)
{
    rel_filenames.clear();
    for (int id : waveforms(model)) rel_filenames.append(VarArgs("%04d-Waveform.wfm", id).format());
}

void XS_Voice::remapWaveforms(const QString& model, const std::vector<int>& from, const std::vector<int>& to)
{
    if (!hasData()) return;
    const int count = elementsInData(model);
    for (int i = 0; i < count; ++i) {
        const int id = elementWaveform(model, i);
        if (id <= 0) continue;
        const auto found = std::find(from.begin(), from.end(), id);
        const auto k = static_cast<std::size_t>(found - from.begin());
        if (found != from.end() && k < to.size()) setElementWaveform(model, i, to[k]);
    }
    updateWaveformInfo(model);
}

QString XS_Voice::waveformInfo(const QString& model, const XS_Waves& waves) const
{
    QStringList items;
    for (int id : waveforms(model)) {
        const XS_Waveform* wave = waves.lookupWave(id);
        const QString name = wave && wave->hasData() ? wave->name() : QStringLiteral("--------");
        items << VarArgs("%s:%d|%s", XS_Waveform::BankNameOf(id, model), XS_Waveform::NumberOf(id, model),
                         name)
                     .format();
    }
    items.sort(Qt::CaseSensitive);
    return items.join(QLatin1Char('|'));
}

bool XS_Voice::removeInvalidWaveforms(const QString& model, const XS_Waves& waves)
{
    bool changed = false;
    const int count = elementsInData(model);
    for (int i = 0; i < count; ++i) {
        const int id = elementWaveform(model, i);
        if (id == 0) continue;
        const XS_Waveform* wave = waves.lookupWave(id);
        if (wave && wave->hasData()) continue;
        setElementWaveform(model, i, 0);
        changed = true;
    }
    if (changed) updateWaveformInfo(model_);
    return changed;
}

bool XS_Voice::readPatch(const XS_Voices& voices, const Patch& patch)
{
    const XS_Voice* source = voices.lookupVoice(static_cast<std::int32_t>(patch.value()));
    if (!source) return false;
    *this = *source;
    return true;
}

QString XS_Voice::waveformInfo(X0V_Document* document) const
{
    return document ? waveformInfo(document->model(), document->waves()) : QString();
}

bool XS_Voice::removeInvalidWaveforms(X0V_Document* document)
{
    return document && removeInvalidWaveforms(document->model(), document->waves());
}

bool XS_Voice::readPatch(X0V_Document* document, const Patch& patch)
{
    return document && readPatch(document->voices(), patch);
}

bool XS_Voice::fromArchive(Archive& archive)
{
    QString model;
    archive >> model;
    if (archive.failed()) return false;
    if (model_.isEmpty()) model_ = model;
    if (model != model_) return false;
    const bool entryRead = XS_Entry::fromArchive(model_, archive);
    return archive.readBuffer(data_) && entryRead;
}

void XS_Voice::toArchive(Archive& archive) const
{
    archive << model_;
    XS_Entry::toArchive(model_, archive);
    archive.writeBuffer(data_);
}
