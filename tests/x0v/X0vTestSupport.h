#pragma once

#include "ScriptedInterface.h"
#include "TestSupport.h"
#include "core/Archive.h"
#include "motif/documents/X0V_Document.h"
// Also teaches the tests to print texts.
#include "ysfc/YsfcFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

inline const QString MotifXS = QStringLiteral("Motif XS");
inline const QString MotifXF = QStringLiteral("Motif XF");

// Document types: a Motif XS and a Motif XF library with voices, an S90 XS one without.
constexpr int XsType = 1;
constexpr int XfType = 7;
constexpr int S90Type = 4;

constexpr Bank User1 = 0x3F08;
constexpr Bank User2 = 0x3F09;
constexpr Bank User3 = 0x3F0A;
constexpr Bank DrumUser = 0x3F28;

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
        out << QStringLiteral("%1:%2")
                   .arg(waveform->id())
                   .arg(waveform->hasData() ? waveform->name() : QString());
    }
    return out.join(QLatin1Char(' '));
}

// A voice block of eight switched-off elements in the model's layout: the element count at 404,
// each element's length field, and 80 closing bytes.
inline Buffer voiceBlock(const QString& model)
{
    Buffer block;
    block.allocate(XS_Voice::elementOffset(model, 8) + 80);
    block.setAt(407, 8);
    for (int i = 0; i < 8; ++i)
        block.setAt(XS_Voice::elementOffset(model, i) + 3, std::uint8_t(XS_Voice::elementSize(model)));
    return block;
}

// Puts a voice named `name` into the slot whose first elements play the waveforms.
inline XS_Voice* putVoice(X0V_Document& document, Bank bank, int position, const QString& name,
                          const std::vector<int>& waveIds = {})
{
    XS_Voice* voice = voiceAt(document, bank, position);
    voice->setData(voiceBlock(document.model()));
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

// A mono 16-bit key bank of `frames` frames of the byte `fill`.
inline std::unique_ptr<XS_Keybank> keybank(int frames, std::uint8_t fill)
{
    auto keybank = std::make_unique<XS_Keybank>();
    keybank->left().allocate(frames * 2, fill);
    keybank->validateKeybank();
    return keybank;
}

// Gives the waveform a name and one key bank.
inline XS_Waveform* putWave(XS_Waveform* waveform, const QString& name, int frames = 100,
                            std::uint8_t fill = 0x11)
{
    waveform->setName(name);
    waveform->addKeybank(keybank(frames, fill));
    return waveform;
}

inline std::vector<std::uint8_t> store(X0V_Document& document)
{
    Archive archive;
    document.storeDocument(archive);
    return archive.bytes();
}

// Where the catalogue says the chunk lies; 0 when it does not name it.
inline std::size_t chunkAt(const std::vector<std::uint8_t>& bytes, const char* id)
{
    const std::size_t chunks = u32At(bytes, 0x20) / 8;
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::size_t entry = 0x40 + 8 * i;
        if (entry + 8 <= bytes.size() && std::equal(id, id + 4, bytes.begin() + std::ptrdiff_t(entry)))
            return u32At(bytes, entry + 4);
    }
    return 0;
}

struct StoredItem {
    std::size_t contents; // where the contents begin, after the tag and the length word
    std::uint32_t length;
};

// The items of the chunk at `chunk`, as far as they lie inside the bytes.
inline std::vector<StoredItem> storedItems(const std::vector<std::uint8_t>& bytes, std::size_t chunk)
{
    std::vector<StoredItem> items;
    const std::uint32_t count = u32At(bytes, chunk + 8);
    std::size_t at = chunk + 12;
    for (std::uint32_t i = 0; i < count && at + 8 <= bytes.size(); ++i) {
        const std::uint32_t length = u32At(bytes, at + 4);
        items.push_back({at + 8, length});
        at += 8 + length;
    }
    return items;
}
