#pragma once

#include "ScriptedInterface.h"
#include "motif/documents/X0V_Document.h"
#include "xsvoices/VoiceTestSupport.h"
#include "xswaves/WaveTestSupport.h"
#include "ysfc/YsfcFile.h"

#include <memory>

// Document types: a Motif XS and a Motif XF library with voices, an S90 XS one without.
constexpr int XsType = 1, XfType = 7, S90Type = 4;
constexpr Bank User1 = 0x3F08, User2 = 0x3F09, User3 = 0x3F0A, DrumUser = 0x3F28;

// A new library of the type with all its slots.
inline std::unique_ptr<X0V_Document> library(int type)
{
    auto document = std::make_unique<X0V_Document>();
    document->newDocument(type);
    document->initSlots(type);
    return document;
}

inline XS_Voice* voiceAt(X0V_Document& document, Bank bank, int position)
{
    return document.voices().getBank(bank)->voices().at(position);
}

inline XS_Waveform* waveAt(X0V_Document& document, int bank, int position)
{
    return document.waves().getBank(bank)->waveforms().at(position);
}

// The slots of a waveform bank from `first` to before `end` as "id:name", an empty one as "id:".
inline QString waveSlots(X0V_Document& document, int bank, int end, int first = 0)
{
    QStringList out;
    for (int p = first; p < end; ++p) {
        const XS_Waveform* waveform = waveAt(document, bank, p);
        out << QString::number(waveform->id()) + ':' + (waveform->hasData() ? waveform->name() : QString());
    }
    return out.join(QLatin1Char(' '));
}

// Puts a voice named `name` into the slot whose first elements play the waveforms.
inline XS_Voice* putVoice(X0V_Document& document, Bank bank, int position, const QString& name,
                          const std::vector<int>& waveIds = {})
{
    XS_Voice* voice = voiceAt(document, bank, position);
    voice->setData(blankBlock(document.model(), 8));
    voice->setName(name);
    for (std::size_t i = 0; i < waveIds.size(); ++i) {
        voice->setElementUsed(int(i), true);
        voice->setElementWaveform(document.model(), int(i), waveIds[i]);
    }
    return voice;
}

// The waveform ids that elements 0 to n - 1 play.
inline std::vector<int> elementWaves(const X0V_Document& document, const XS_Voice& voice, int n)
{
    std::vector<int> ids;
    for (int i = 0; i < n; ++i) ids.push_back(voice.elementWaveform(document.model(), i));
    return ids;
}

// Gives the waveform a name and one mono key bank of `frames` frames of `fill`.
inline XS_Waveform* putWave(XS_Waveform* waveform, const QString& name, int frames = 100,
                            std::uint8_t fill = 0x11)
{
    waveform->setName(name);
    waveform->addKeybank(makeKeybank(frames, false, fill));
    return waveform;
}

inline std::vector<std::uint8_t> store(X0V_Document& document)
{
    Archive archive;
    document.storeDocument(archive);
    return archive.bytes();
}
