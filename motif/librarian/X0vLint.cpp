#include "motif/librarian/X0vLint.h"

#include "motif/documents/X0V_Document.h"
#include "motif/documents/XS_Chunk.h"

#include <set>

namespace {

QString voiceName(const X0V_Document& library, const XS_VoiceBank& bank, int position, const XS_Voice& voice)
{
    return QStringLiteral("%1:%2 \"%3\"")
        .arg(XS_Voice::BankName(library.model(), bank.id()))
        .arg(position)
        .arg(voice.name().trimmed());
}

QString waveName(const X0V_Document& library, const XS_Waveform& wave)
{
    return QStringLiteral("%1:%2 (id %3) \"%4\"")
        .arg(wave.bankName(library.model()))
        .arg(wave.number(library.model()) - 1)
        .arg(wave.id())
        .arg(wave.name());
}

} // namespace

QString X0vLint::kindName(Kind kind)
{
    static const char* const Names[] = {"dangling", "unused", "slots", "sizes"};
    return QString::fromLatin1(Names[kind]);
}

std::vector<X0vLint::Finding> X0vLint::check(const X0V_Document& library)
{
    auto entriesRead = [&library](const char* id) {
        const XS_Chunk* chunk = library.getChunk(QString::fromLatin1(id));
        return chunk ? chunk->count : 0;
    };
    const int voiceEntriesRead = entriesRead("EVCE"), waveEntriesRead = entriesRead("EWFM");
    std::vector<Finding> problems;
    const QString model = library.model();
    std::set<int> played;
    int voices = 0;
    const auto& voiceBanks = library.voices().banks();
    for (int b = 0; b < voiceBanks.count(); ++b) {
        const XS_VoiceBank& bank = *voiceBanks.at(b);
        for (int p = 0; p < bank.voices().count(); ++p) {
            const XS_Voice& voice = *bank.voices().at(p);
            if (!voice.hasData()) continue;
            ++voices;
            for (int id : voice.waveforms(model)) {
                played.insert(id);
                const XS_Waveform* wave = library.waves().lookupWave(id);
                if (!wave || !wave->hasData())
                    problems.push_back(
                        {Dangling, QStringLiteral("%1 plays waveform %2, which the library does not hold")
                                       .arg(voiceName(library, bank, p, voice))
                                       .arg(id)});
            }
            if (voice.data_size != int(voice.data().size()))
                problems.push_back({Sizes, QStringLiteral("%1: the entry gives %2 bytes, the data holds %3")
                                               .arg(voiceName(library, bank, p, voice))
                                               .arg(voice.data_size)
                                               .arg(voice.data().size())});
        }
    }
    int waves = 0;
    const auto& waveBanks = library.waves().banks();
    for (int b = 0; b < waveBanks.count(); ++b) {
        const XS_WaveBank& bank = *waveBanks.at(b);
        for (int p = 0; p < bank.waveforms().count(); ++p) {
            const XS_Waveform& wave = *bank.waveforms().at(p);
            if (!wave.hasData()) continue;
            ++waves;
            if (library.hasVoiceChunk() && !played.count(wave.id()))
                problems.push_back(
                    {Unused, QStringLiteral("%1 is played by no voice").arg(waveName(library, wave))});
            int wfm = 0, wim = 0;
            wave.dwfim().calcSizes(wfm, wim);
            if (wave.wfmEntry().data_size != wfm || wave.wimEntry().data_size != wim)
                problems.push_back(
                    {Sizes,
                     QStringLiteral("%1: the entries give %2 and %3 bytes, the key banks need %4 and %5")
                         .arg(waveName(library, wave))
                         .arg(wave.wfmEntry().data_size)
                         .arg(wave.wimEntry().data_size)
                         .arg(wfm)
                         .arg(wim)});
        }
    }
    if (voiceEntriesRead > voices)
        problems.push_back(
            {Slots, QStringLiteral("the file lists %1 voices, %2 of them fit the user slots of the %3")
                        .arg(voiceEntriesRead)
                        .arg(voices)
                        .arg(model.isEmpty() ? QStringLiteral("unknown model") : model)});
    if (waveEntriesRead > waves)
        problems.push_back(
            {Slots, QStringLiteral("the file lists %1 waveforms, %2 of them fit the user slots of the %3")
                        .arg(waveEntriesRead)
                        .arg(waves)
                        .arg(model.isEmpty() ? QStringLiteral("unknown model") : model)});
    return problems;
}
