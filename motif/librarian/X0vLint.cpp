#include "motif/librarian/X0vLint.h"

#include "motif/documents/X0V_Document.h"
#include "motif/documents/XS_Chunk.h"
#include "motif/librarian/X0vSlots.h"
#include "motif/librarian/X0vWalk.h"

#include <set>

namespace {

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
    X0vWalk::voices(library, [&](const XS_VoiceBank& bank, int p, const XS_Voice& voice) {
        if (!voice.hasData()) return;
        ++voices;
        const QString name = X0vSlots::voiceLabel(library, bank.id(), p, voice);
        for (int id : voice.waveforms(model)) {
            played.insert(id);
            const XS_Waveform* wave = library.waves().lookupWave(id);
            if (!wave || !wave->hasData())
                problems.push_back(
                    {Dangling, QStringLiteral("%1 plays waveform %2, which the library does not hold")
                                   .arg(name)
                                   .arg(id)});
        }
        if (voice.data_size != int(voice.data().size()))
            problems.push_back({Sizes, QStringLiteral("%1: the entry gives %2 bytes, the data holds %3")
                                           .arg(name)
                                           .arg(voice.data_size)
                                           .arg(voice.data().size())});
    });
    int waves = 0;
    X0vWalk::waveforms(library, [&](const XS_WaveBank&, int, const XS_Waveform& wave) {
        if (!wave.hasData()) return;
        ++waves;
        if (library.hasVoiceChunk() && !played.count(wave.id()))
            problems.push_back(
                {Unused, QStringLiteral("%1 is played by no voice").arg(waveName(library, wave))});
        int wfm = 0, wim = 0;
        wave.dwfim().calcSizes(wfm, wim);
        if (wave.wfmEntry().data_size != wfm || wave.wimEntry().data_size != wim)
            problems.push_back(
                {Sizes, QStringLiteral("%1: the entries give %2 and %3 bytes, the key banks need %4 and %5")
                            .arg(waveName(library, wave))
                            .arg(wave.wfmEntry().data_size)
                            .arg(wave.wimEntry().data_size)
                            .arg(wfm)
                            .arg(wim)});
    });
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
