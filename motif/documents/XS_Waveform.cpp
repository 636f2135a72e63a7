#include "motif/documents/XS_Waveform.h"

#include "core/Archive.h"
#include "core/Strings.h"
#include "core/VarArgs.h"
#include "zaltor/AudioDevice.h"

#include <QDebug>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>

namespace {
// The wave memories that hold user waveforms, per model. A bank's ids follow those of the banks
// before it.
struct WaveMemory {
    const char* model;
    int bank;
    const char* name;
    int numbers;
    int firstId;
};
constexpr WaveMemory WaveMemories[] = {
    {"Motif XS", 1, "USR", 1024, 1},
    {"Motif XF", 1, "USR", 128, 1},
    {"Motif XF", 2, "FL1", 2048, 129},
    {"Motif XF", 3, "FL2", 2048, 2177},
};

const WaveMemory* memoryOfBank(int bank, const QString& model)
{
    for (const WaveMemory& memory : WaveMemories)
        if (memory.bank == bank && model == QLatin1String(memory.model)) return &memory;
    return nullptr;
}

const WaveMemory* memoryOfId(int id, const QString& model)
{
    for (const WaveMemory& memory : WaveMemories)
        if (model == QLatin1String(memory.model) && id >= memory.firstId &&
            id < memory.firstId + memory.numbers)
            return &memory;
    return nullptr;
}

// The waveform's own serialised form keeps every entry field, which only the XF layout has.
const QString FullEntryModel = QStringLiteral("Motif XF");
const QString NewWaveformName = QStringLiteral("New Waveform");
} // namespace

XS_Waveform::XS_Waveform(const QString& name) { setName(name); }

XS_Waveform::XS_Waveform(const QString& name, int bank, int number, const QString& model) : XS_Waveform(name)
{
    setId(MakeId(bank, number, model));
}

void XS_Waveform::setId(int id)
{
    wfm_.content_number = id;
    wim_.content_number = id;
    // Named for every slot of a library as it opens: joined, not formatted.
    const QString number =
        id >= 0 ? QString::number(id).rightJustified(4, QLatin1Char('0')) : VarArgs("%04d", id).format();
    const QString stem = number + QStringLiteral("-Waveform.");
    wfm_.filename = stem + QStringLiteral("wfm");
    wim_.filename = stem + QStringLiteral("wim");
}

QString XS_Waveform::name() const
{
    const QString& full = wfm_.content_name;
    const qsizetype colon = full.indexOf(QLatin1Char(':'));
    if (colon >= 1 && colon <= 3 && AllDigits(full.left(colon))) return full.mid(colon + 1);
    return full;
}

void XS_Waveform::setName(const QString& name)
{
    wfm_.content_name = name;
    wim_.content_name = name;
}

void XS_Waveform::create()
{
    setName(NewWaveformName);
    // An item that holds only its header marks the waveform as present.
    wfm_.data_size = 4;
    wim_.data_size = 4;
}

bool XS_Waveform::hasData() const
{
    return wfm_.data_size != 0 || wfm_.data_offset != 0 || wim_.data_size != 0 || wim_.data_offset != 0 ||
           !keybanks().isEmpty();
}

void XS_Waveform::deleteData()
{
    setName(QString());
    for (XS_Entry* entry : {&wfm_, &wim_}) {
        entry->data_size = 0;
        entry->data_offset = 0;
    }
    dwfim_.reset();
}

XS_Keybank* XS_Waveform::addKeybank(std::unique_ptr<XS_Keybank> keybank)
{
    XS_Keybank* added = keybanks().append(std::move(keybank));
    if (wfm_.content_name.isEmpty()) setName(NewWaveformName);
    return added;
}

int XS_Waveform::MakeId(int bank, int number, const QString& model)
{
    const WaveMemory* memory = memoryOfBank(bank, model);
    return memory && number >= 1 && number <= memory->numbers ? memory->firstId + number - 1 : 0;
}

int XS_Waveform::NumberOf(int id, const QString& model)
{
    const WaveMemory* memory = memoryOfId(id, model);
    return memory ? id - memory->firstId + 1 : 0;
}

int XS_Waveform::BankOf(int id, const QString& model)
{
    const WaveMemory* memory = memoryOfId(id, model);
    return memory ? memory->bank : 0;
}

QString XS_Waveform::BankName(int bank, const QString& model)
{
    const WaveMemory* memory = memoryOfBank(bank, model);
    return memory ? QString::fromLatin1(memory->name) : VarArgs("%d", bank).format();
}

qint64 XS_Waveform::totalSize() const
{
    qint64 size = 0;
    for (const auto& keybank : keybanks()) size += keybank->sampleSize();
    return size;
}

int XS_Waveform::sampleSizeOf(int i) const
{
    const XS_Keybank* keybank = keybanks().at(i);
    return keybank ? keybank->sampleSize() : 0;
}

void XS_Waveform::CreateSlices(const Vector<XS_Keybank*>& keybanks, int note)
{
    if (keybanks.empty()) return;
    int key = note == -1 ? keybanks.front()->note_center : std::clamp(note, 0, 127);
    for (XS_Keybank* keybank : keybanks) {
        keybank->note_center = keybank->note_lo = keybank->note_hi = static_cast<std::uint8_t>(key);
        key = key == 127 ? 0 : key + 1;
    }
}

void XS_Waveform::createSlices(int note)
{
    Vector<XS_Keybank*> own;
    for (const auto& keybank : keybanks()) own.push_back(keybank.get());
    CreateSlices(own, note);
}

bool XS_Waveform::hasSlices() const
{
    const VectorEx<XS_Keybank>& list = keybanks();
    if (list.count() < 2) return false;
    for (int i = 0; i < list.count(); ++i) {
        const XS_Keybank* keybank = list.at(i);
        if (keybank->note_lo != keybank->note_hi) return false;
        if (i > 0 && std::abs(keybank->note_hi - list.at(i - 1)->note_hi) != 1) return false;
    }
    return true;
}

bool XS_Waveform::playSlices(AudioDevice* device) const
{
    if (!hasSlices() || !device) return false;
    const VectorEx<XS_Keybank>& list = keybanks();
    const int count = list.count();
    // From the lowest key up, whichever way round the slices were laid out.
    const bool rising = list.at(0)->note_hi <= list.at(1)->note_hi;
    // Slices cut from one loop share its format; the first one's stands for all.
    AudioWave joined;
    joined.setFormat(list.at(0)->format());
    for (int i = 0; i < count; ++i) {
        const XS_Keybank* slice = list.at(rising ? i : count - 1 - i);
        joined.left().append(slice->left());
        joined.right().append(slice->right());
    }
    return device->out().play(joined, 0, -1, -1);
}

bool XS_Waveform::pasteKeybanks(int position, const Vector<const XS_Keybank*>& keybanks, X0V_Document*)
{
    std::vector<std::unique_ptr<XS_Keybank>> copies;
    for (const XS_Keybank* source : keybanks) {
        if (!source) continue;
        try {
            copies.push_back(std::make_unique<XS_Keybank>(*source));
        } catch (const std::bad_alloc&) {
            qDebug().noquote() << VarArgs("Out of memory (%s)", "pasteKeybanks").format();
        }
    }
    if (copies.size() < keybanks.size()) return false;
    VectorEx<XS_Keybank>& list = this->keybanks();
    int at = position >= 0 && position <= list.count() ? position : list.count();
    for (auto& copy : copies) list.insert(at++, std::move(copy));
    if (!copies.empty() && wfm_.content_name.isEmpty()) setName(NewWaveformName);
    return true;
}

void XS_Waveform::deleteKeybanks(const Vector<int>& positions, X0V_Document*)
{
    // From the back, so that the positions still name the key banks they named before.
    Vector<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int position : sorted) keybanks().remove(position);
}

bool XS_Waveform::reorganizeKeybanks(int& position, const Vector<int>& positions)
{
    VectorEx<XS_Keybank>& list = keybanks();
    Vector<XS_Keybank*> moving;
    for (int i : positions) {
        XS_Keybank* keybank = list.at(i);
        if (keybank && std::find(moving.begin(), moving.end(), keybank) == moving.end())
            moving.push_back(keybank);
    }
    std::vector<std::unique_ptr<XS_Keybank>> taken;
    for (XS_Keybank* keybank : moving) {
        const int at = list.indexOf(keybank);
        if (at < position) --position;
        taken.push_back(list.take(at));
    }
    position = std::clamp(position, 0, list.count());
    int at = position;
    for (auto& keybank : taken) list.insert(at++, std::move(keybank));
    return true;
}

bool XS_Waveform::fromArchive(Archive& archive)
{
    XS_Entry wfm;
    XS_Entry wim;
    XS_DWFIM dwfim;
    if (!wfm.fromArchive(FullEntryModel, archive) || !wim.fromArchive(FullEntryModel, archive) ||
        !dwfim.readWFM(archive) || !dwfim.readWIM(archive))
        return false;
    wfm_ = std::move(wfm);
    wim_ = std::move(wim);
    dwfim_ = std::move(dwfim);
    return true;
}

void XS_Waveform::toArchive(Archive& archive) const
{
    wfm_.toArchive(FullEntryModel, archive);
    wim_.toArchive(FullEntryModel, archive);
    dwfim_.writeWFM(archive);
    dwfim_.writeWIM(archive);
}

QString XS_Waveform::info() const
{
    return QStringLiteral("EWFM\n") + wfm_.toString() + QStringLiteral("\nEWIM\n") + wim_.toString() +
           QStringLiteral("\nDWFM - DWIM\n") + dwfim_.toString() + QStringLiteral("\n");
}
