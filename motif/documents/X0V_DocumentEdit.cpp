#include "motif/documents/X0V_Document.h"

#include "core/UserInterface.h"
#include "core/VarArgs.h"

#include <QDebug>
#include <algorithm>
#include <limits>
#include <new>
#include <numeric>
#include <set>

namespace {

// The positions that name objects of a list of `count`, each once, in the order given.
Vector<int> validPositions(const Vector<int>& positions, int count)
{
    Vector<int> valid;
    for (int position : positions)
        if (position >= 0 && position < count &&
            std::find(valid.begin(), valid.end(), position) == valid.end())
            valid.push_back(position);
    return valid;
}

// Takes the objects at the positions out of the list and puts them back, in the order of the
// positions, from `target` on, where `target` counts in the list without them; `target` comes
// back as the position of the first one. Answers whether the list counts it as a change.
template <class T>
bool moveWithin(VectorEx<T>& list, int& target, const Vector<int>& positions)
{
    Vector<int> order(static_cast<std::size_t>(list.count()));
    std::iota(order.begin(), order.end(), 0);
    const Vector<int> moving = validPositions(positions, list.count());
    for (int object : moving) {
        const auto at = std::find(order.begin(), order.end(), object);
        if (target > at - order.begin()) --target;
        order.erase(at);
    }
    target = std::clamp(target, 0, static_cast<int>(order.size()));
    order.insert(order.begin() + target, moving.begin(), moving.end());
    bool changed = false;
    list.reorder(order, &changed);
    return changed;
}

} // namespace

int X0V_Document::idOfSlot(int bank, qint64 position) const
{
    // Past the largest number an id can hold there is no slot, and no id to compute.
    constexpr qint64 Numbers = std::numeric_limits<std::uint16_t>::max();
    return position >= 0 && position < Numbers
               ? XS_Waveform::MakeId(bank, static_cast<int>(position) + 1, model())
               : 0;
}

void X0V_Document::remapVoices(const Vector<int>& oldIds, const Vector<int>& newIds)
{
    const QString libraryModel = model();
    for (const auto& bank : voices_.banks())
        for (const auto& voice : bank->voices())
            if (voice->hasData()) voice->remapWaveforms(libraryModel, oldIds, newIds);
}

void X0V_Document::fixVoiceIndexes(XS_VoiceBank* bank)
{
    const VectorEx<XS_Voice>& list = bank->voices();
    for (int p = 0; p < list.count(); ++p) list.at(p)->setId(bank->id() * 256 + p);
}

void X0V_Document::fixWaveIndexes(XS_WaveBank* bank)
{
    const VectorEx<XS_Waveform>& list = bank->waveforms();
    Vector<int> oldIds;
    Vector<int> newIds;
    for (int p = 0; p < list.count(); ++p) {
        XS_Waveform* waveform = list.at(p);
        oldIds.push_back(waveform->id());
        waveform->setId(idOfSlot(bank->id(), p));
        newIds.push_back(waveform->id());
    }
    remapVoices(oldIds, newIds);
}

void X0V_Document::deleteVoices(Bank bank, const Vector<int>& positions)
{
    XS_VoiceBank* voiceBank = voices_.getBank(bank);
    if (!voiceBank) return;
    for (int position : validPositions(positions, voiceBank->voices().count()))
        voiceBank->voices().at(position)->deleteData();
}

bool X0V_Document::reorganizeVoices(Bank bank, int& target, const Vector<int>& positions)
{
    XS_VoiceBank* voiceBank = voices_.getBank(bank);
    if (!voiceBank || !moveWithin(voiceBank->voices(), target, positions)) return false;
    fixVoiceIndexes(voiceBank);
    return true;
}

bool X0V_Document::reorganizeWaves(int bank, int& target, const Vector<int>& positions)
{
    XS_WaveBank* waveBank = waves_.getBank(bank);
    if (!waveBank || !moveWithin(waveBank->waveforms(), target, positions)) return false;
    fixWaveIndexes(waveBank);
    return true;
}

int X0V_Document::pasteWaves(int bank, int start, const Vector<const XS_Waveform*>& waveforms)
{
    XS_WaveBank* waveBank = waves_.getBank(bank);
    if (waveforms.empty() || !waveBank) return 0;
    WaitCursor busy;
    const int first = std::max(start, 0);
    int pasted = 0;
    try {
        for (const XS_Waveform* source : waveforms) {
            const int position = first + pasted;
            XS_Waveform* target = waveBank->waveforms().at(position);
            const int id = target ? idOfSlot(bank, position) : 0;
            if (id == 0) break;
            target->wfmEntry() = source->wfmEntry();
            target->wimEntry() = source->wimEntry();
            target->dwfim() = source->dwfim();
            target->setId(id);
            ++pasted;
        }
    } catch (const std::bad_alloc&) {
        qDebug().noquote() << VarArgs("Out of memory (%s)", "pasteWaveforms").format();
    }
    return pasted;
}

int X0V_Document::pasteVoices(Bank bank, int start, const Vector<const XS_Voice*>& voices,
                              Vector<const XS_Waveform*> waveforms)
{
    if (voices.empty()) return 0;
    const QString libraryModel = model();
    const QString title = QStringLiteral("Paste Voices");
    if (voices.front()->model() != libraryModel) {
        error(nullptr, QStringLiteral("Model mismatch"), title);
        return 0;
    }
    if (XS_Voice::BankType(bank) != voices.front()->bankType()) {
        error(nullptr, QStringLiteral("Type mismatch"), title);
        return 0;
    }
    // The voices play the library's own copy of a waveform it already holds.
    Vector<int> oldIds;
    Vector<int> newIds;
    Vector<const XS_Waveform*> remaining;
    for (const XS_Waveform* source : waveforms) {
        const int twin = source->hasData() ? waves_.findSimilar(source, nullptr) : 0;
        if (twin == 0) {
            remaining.push_back(source);
            continue;
        }
        oldIds.push_back(source->id());
        newIds.push_back(twin);
    }
    waveforms = std::move(remaining);
    if (!waveforms.empty()) {
        const int needed = static_cast<int>(waveforms.size());
        const auto room =
            std::find_if(waves_.banks().begin(), waves_.banks().end(), [&](const auto& waveBank) {
                return waveBank->lastIndex() + needed < waveBank->waveforms().count();
            });
        if (room == waves_.banks().end()) {
            warning(nullptr, QStringLiteral("Not available space to paste waveforms"),
                    QStringLiteral("Paste Waveforms"));
            return 0;
        }
        const XS_WaveBank* waveBank = room->get();
        const int first = waveBank->lastIndex() + 1;
        for (int i = 0; i < needed; ++i)
            if (waveforms[std::size_t(i)]->hasData()) {
                oldIds.push_back(waveforms[std::size_t(i)]->id());
                newIds.push_back(idOfSlot(waveBank->id(), first + i));
            }
        pasteWaves(waveBank->id(), first, waveforms);
    }
    XS_VoiceBank* voiceBank = voices_.getBank(bank);
    if (!voiceBank) return 0;
    const VectorEx<XS_Voice>& list = voiceBank->voices();
    const qint64 first = std::max(start, 0);
    int pasted = 0;
    for (std::size_t k = 0; k < voices.size(); ++k) {
        const qint64 position = first + static_cast<qint64>(k);
        XS_Voice* target = position < list.count() ? list.at(static_cast<int>(position)) : nullptr;
        if (!target) continue;
        *target = *voices[k];
        target->remapWaveforms(libraryModel, oldIds, newIds);
        ++pasted;
    }
    fixVoiceIndexes(voiceBank);
    return pasted;
}

void X0V_Document::deleteWaves(int bank, const Vector<int>& positions)
{
    XS_WaveBank* waveBank = waves_.getBank(bank);
    if (!waveBank) return;
    Vector<int> deleted;
    for (int position : validPositions(positions, waveBank->waveforms().count()))
        if (const XS_Waveform* waveform = waveBank->waveforms().at(position); waveform->hasData())
            deleted.push_back(waveform->id());
    Vector<int> oldIds;
    Vector<int> newIds;
    for (int id : deleted) {
        XS_Waveform* waveform = waves_.lookupWave(id);
        if (!waveform || !waveform->hasData()) continue;
        if (const int twin = waves_.findSimilar(waveform, &deleted)) {
            oldIds.push_back(id);
            newIds.push_back(twin);
        }
        waveform->deleteData();
    }
    remapVoices(oldIds, newIds);
}

bool X0V_Document::moveWaves(const Vector<int>& positions, int fromBank, int toBank)
{
    XS_WaveBank* source = waves_.getBank(fromBank);
    XS_WaveBank* destination = waves_.getBank(toBank);
    if (!source || !destination || source == destination) return false;
    const Vector<int> moving = validPositions(positions, source->waveforms().count());
    const int first = destination->lastIndex() + 1;
    if (first + static_cast<int>(moving.size()) > destination->waveforms().count()) {
        error(nullptr, QStringLiteral("Not available space in destination bank"),
              QStringLiteral("Move Waveforms"));
        return false;
    }
    VectorEx<XS_Waveform>& from = source->waveforms();
    VectorEx<XS_Waveform>& to = destination->waveforms();
    for (std::size_t i = 0; i < moving.size(); ++i) {
        const int s = moving[i];
        const int d = first + static_cast<int>(i);
        std::unique_ptr<XS_Waveform> moved = from.take(s);
        std::unique_ptr<XS_Waveform> emptied = to.take(d);
        emptied->deleteData();
        from.insert(s, std::move(emptied));
        to.insert(d, std::move(moved));
    }
    fixWaveIndexes(source);
    fixWaveIndexes(destination);
    return true;
}

int X0V_Document::removeUnusedWaveforms()
{
    WaitCursor busy;
    const QString libraryModel = model();
    std::set<int> played;
    for (const auto& bank : voices_.banks())
        for (const auto& voice : bank->voices())
            if (voice->hasData())
                for (int id : voice->waveforms(libraryModel)) played.insert(id);
    int removed = 0;
    for (const auto& bank : waves_.banks())
        for (const auto& waveform : bank->waveforms())
            if (waveform->hasData() && !played.contains(waveform->id())) {
                waveform->deleteData();
                ++removed;
            }
    return removed;
}
