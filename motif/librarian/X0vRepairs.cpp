#include "motif/librarian/X0vRepairs.h"

#include "motif/documents/X0V_Document.h"
#include "motif/librarian/X0vSlots.h"
#include "motif/librarian/X0vWalk.h"

namespace X0vRepairs {

std::vector<Reference> dangling(const X0V_Document& library)
{
    std::vector<Reference> found;
    const QString model = library.model();
    X0vWalk::voices(library, [&](const XS_VoiceBank& bank, int p, const XS_Voice& voice) {
        if (!voice.hasData()) return;
        // A copy shows which elements validation switches off, the same rule by the same code.
        XS_Voice repaired(voice);
        if (!repaired.removeInvalidWaveforms(model, library.waves())) return;
        const QString name = X0vSlots::voiceLabel(library, bank.id(), p, voice);
        const int count = voice.elementsInData(model);
        for (int i = 0; i < count; ++i)
            if (voice.elementWaveform(model, i) != repaired.elementWaveform(model, i))
                found.push_back({name, i + 1, voice.elementWaveform(model, i)});
    });
    return found;
}

QString describe(const Reference& reference)
{
    return QStringLiteral("%1 element %2 (waveform %3)")
        .arg(reference.voice)
        .arg(reference.element)
        .arg(reference.waveform);
}

void repair(X0V_Document& library)
{
    X0vWalk::voices(library, [&](XS_VoiceBank&, int, XS_Voice& voice) {
        if (voice.hasData()) voice.removeInvalidWaveforms(library.model(), library.waves());
    });
}

} // namespace X0vRepairs
