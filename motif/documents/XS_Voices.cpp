#include "motif/documents/XS_Voices.h"

int XS_Voices::count() const
{
    int total = 0;
    for (const auto& bank : banks_) total += bank->count();
    return total;
}

void XS_Voices::deleteData()
{
    for (const auto& bank : banks_)
        for (const auto& voice : bank->voices())
            if (voice) voice->deleteData();
}

XS_VoiceBank* XS_Voices::getBank(Bank bank) const
{
    for (const auto& held : banks_)
        if (held->id() == bank) return held.get();
    return nullptr;
}

XS_VoiceBank* XS_Voices::createBank(Bank bank)
{
    if (XS_VoiceBank* held = getBank(bank)) return held;
    return banks_.append(std::make_unique<XS_VoiceBank>(bank));
}

XS_Voice* XS_Voices::lookupVoice(int id) const
{
    for (const auto& bank : banks_)
        for (const auto& voice : bank->voices())
            if (voice && voice->id() == id) return voice.get();
    return nullptr;
}

XS_Voice* XS_Voices::getByIndex(int n) const
{
    if (n < 0) return nullptr;
    for (const auto& bank : banks_)
        for (const auto& voice : bank->voices())
            if (voice && voice->hasData() && n-- == 0) return voice.get();
    return nullptr;
}

XS_Voice* XS_Voices::addVoice(std::unique_ptr<XS_Voice> voice)
{
    if (!voice || voice->id() == 0) return nullptr;
    if (XS_Voice* held = lookupVoice(voice->id())) {
        *held = *voice;
        return held;
    }
    return createBank(voice->bank())->voices().append(std::move(voice));
}
