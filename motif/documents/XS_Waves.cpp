#include "motif/documents/XS_Waves.h"

#include <algorithm>
#include <new>

int XS_Waves::count() const
{
    int count = 0;
    for (const auto& bank : banks_) count += bank->count();
    return count;
}

void XS_Waves::deleteData()
{
    for (const auto& bank : banks_)
        for (const auto& waveform : bank->waveforms())
            if (waveform) waveform->deleteData();
}

XS_WaveBank* XS_Waves::getBank(int id) const
{
    for (const auto& bank : banks_)
        if (bank->id() == id) return bank.get();
    return nullptr;
}

XS_WaveBank* XS_Waves::createBank(int id)
{
    XS_WaveBank* bank = getBank(id);
    return bank ? bank : banks_.append(std::make_unique<XS_WaveBank>(id));
}

XS_Waveform* XS_Waves::lookupWave(int id) const
{
    // Ids count up through a bank's places, so the slot is found straight away unless the bank
    // is out of order or missing places; only then is the bank searched.
    for (const auto& bank : banks_) {
        const auto& places = bank->waveforms();
        if (places.isEmpty() || !places.at(0)) continue;
        const qint64 slot = qint64(id) - places.at(0)->id();
        if (slot >= 0 && slot < places.count() && places.at(int(slot)) && places.at(int(slot))->id() == id)
            return places.at(int(slot));
    }
    for (const auto& bank : banks_)
        for (const auto& waveform : bank->waveforms())
            if (waveform && waveform->id() == id) return waveform.get();
    return nullptr;
}

XS_Waveform* XS_Waves::getByIndex(int n) const
{
    for (const auto& bank : banks_)
        for (const auto& waveform : bank->waveforms())
            if (waveform && waveform->hasData() && n-- == 0) return waveform.get();
    return nullptr;
}

int XS_Waves::findSimilar(const XS_Waveform* wave, const Vector<int>* excluded) const
{
    if (!wave) return 0;
    const QString name = wave->name();
    const qint64 size = wave->totalSize();
    for (const auto& bank : banks_)
        for (const auto& waveform : bank->waveforms()) {
            if (!waveform || !waveform->hasData() || waveform->name() != name ||
                waveform->totalSize() != size)
                continue;
            if (!excluded || std::find(excluded->begin(), excluded->end(), waveform->id()) == excluded->end())
                return waveform->id();
        }
    return 0;
}

bool XS_Waves::addWave(const QString& model, std::unique_ptr<XS_Waveform> wave)
{
    if (!wave || wave->id() == 0) return false;
    if (XS_Waveform* existing = lookupWave(wave->id())) {
        try {
            // The new waveform is ours to take: its samples move, uncopied.
            *existing = std::move(*wave);
        } catch (const std::bad_alloc&) {
            existing->deleteData();
            return false;
        }
        return true;
    }
    const int bank = wave->bank(model);
    createBank(bank)->waveforms().append(std::move(wave));
    return true;
}
