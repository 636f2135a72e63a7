#include "motif/librarian/X0vListing.h"

#include "motif/documents/XS_Chunk.h"
#include "motif/librarian/X0vNames.h"
#include "motif/librarian/X0vWalk.h"

#include <QJsonArray>

#include <charconv>

namespace X0vListing {

namespace {

VoiceRow voiceRow(const X0V_Document& library, const QString& bank, int position, const XS_Voice& voice)
{
    const QString& model = library.model();
    VoiceRow row{
        bank, position, voice.name(), voice.getCategory1(), voice.getCategory2(), voice.waveforms(model),
        {},   {}};
    while (row.name.endsWith(QLatin1Char(' '))) row.name.chop(1); // the instrument's padding
    const int count = voice.elementsInData(model);
    for (int i = 0; i < count; ++i)
        if (voice.isElementUsed(i)) row.elements.push_back({i + 1, X0vNames::elementWave(library, voice, i)});
    for (int n = 0; n < X0vNames::arpeggioCount(model, voice); ++n)
        row.arpeggios << X0vNames::arpeggio(model, voice, n);
    return row;
}

// Appends to a UTF-8 text without a temporary per piece: a library's listing has thousands of
// lines of a dozen pieces each.
class TextOut {
public:
    explicit TextOut(std::size_t capacity) { text_.reserve(capacity); }

    TextOut& operator<<(const char* ascii)
    {
        text_ += ascii;
        return *this;
    }
    TextOut& operator<<(qint64 number)
    {
        char digits[24];
        const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
        text_.append(digits, end);
        return *this;
    }
    TextOut& operator<<(int number) { return *this << qint64(number); }
    TextOut& operator<<(const QString& text)
    {
        const bool ascii =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii) {
            text_ += text.toStdString();
            return *this;
        }
        for (const QChar c : text) text_ += char(c.unicode());
        return *this;
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

} // namespace

Listing list(const X0V_Document& library)
{
    Listing listing{library.model(), library.version, 0, 0, library.estimatedSizeMB(), {}, {}, {},
                    library.damage()};
    // A bank's name is looked up once, not for every slot.
    const XS_VoiceBank* voiceBank = nullptr;
    QString voiceBankName;
    X0vWalk::voices(library, [&](const XS_VoiceBank& bank, int p, const XS_Voice& voice) {
        ++listing.voiceSlots;
        if (!voice.hasData()) return;
        if (&bank != voiceBank) voiceBankName = XS_Voice::BankName(listing.model, (voiceBank = &bank)->id());
        listing.voices.push_back(voiceRow(library, voiceBankName, p, voice));
    });
    const XS_WaveBank* waveBank = nullptr;
    QString waveBankName;
    X0vWalk::waveforms(library, [&](const XS_WaveBank& bank, int p, const XS_Waveform& wave) {
        ++listing.waveformSlots;
        if (!wave.hasData()) return;
        if (&bank != waveBank) waveBankName = XS_Waveform::BankName((waveBank = &bank)->id(), listing.model);
        listing.waveforms.push_back(
            {waveBankName, p, wave.id(), wave.name(), wave.keybanks().count(), wave.totalSize()});
    });
    for (const auto& chunk : library.chunks) listing.chunks.emplace_back(chunk->name, chunk->count);
    return listing;
}

QJsonObject toJson(const Listing& listing)
{
    QJsonArray voices, waves, chunks;
    for (const VoiceRow& row : listing.voices) {
        QJsonArray ids, elements;
        for (int id : row.waveforms) ids.append(id);
        for (const Element& element : row.elements)
            elements.append(QJsonObject{{"element", element.number}, {"plays", element.plays}});
        QJsonObject voice{{"bank", row.bank},           {"program", row.program},     {"name", row.name},
                          {"category1", row.category1}, {"category2", row.category2}, {"waveforms", ids},
                          {"elements", elements}};
        if (!row.arpeggios.isEmpty()) voice.insert("arpeggios", QJsonArray::fromStringList(row.arpeggios));
        voices.append(voice);
    }
    for (const WaveRow& row : listing.waveforms)
        waves.append(QJsonObject{{"bank", row.bank},
                                 {"number", row.number},
                                 {"id", row.id},
                                 {"name", row.name},
                                 {"keybanks", row.keybanks},
                                 {"size", double(row.size)}});
    for (const auto& [id, count] : listing.chunks) chunks.append(QJsonObject{{"id", id}, {"count", count}});
    const int voiceCount = int(listing.voices.size());
    const int waveCount = int(listing.waveforms.size());
    return QJsonObject{{"model", listing.model},
                       {"version", listing.version},
                       {"voiceSlots", listing.voiceSlots},
                       {"emptyVoiceSlots", listing.voiceSlots - voiceCount},
                       {"waveformSlots", listing.waveformSlots},
                       {"emptyWaveformSlots", listing.waveformSlots - waveCount},
                       {"estimatedSizeMB", listing.estimatedSizeMB},
                       {"chunks", chunks},
                       {"voices", voices},
                       {"waveforms", waves},
                       {"damage", damageJson(listing.damage)}};
}

std::string rowsText(const Listing& listing)
{
    TextOut out(listing.voices.size() * 400 + listing.waveforms.size() * 64);
    const char* lineBreak = "";
    for (const VoiceRow& voice : listing.voices) {
        out << lineBreak << "  " << voice.bank << ":" << voice.program << " \"" << voice.name
            << "\" categories " << voice.category1 << "/" << voice.category2 << " waveforms ";
        lineBreak = "\n";
        if (voice.waveforms.empty()) out << "none";
        for (std::size_t i = 0; i < voice.waveforms.size(); ++i) out << (i ? "," : "") << voice.waveforms[i];
        for (std::size_t i = 0; i < voice.elements.size(); ++i)
            out << (i ? ", " : "\n    elements ") << voice.elements[i].number << " "
                << voice.elements[i].plays;
        for (qsizetype i = 0; i < voice.arpeggios.size(); ++i)
            out << (i ? ", " : "\n    arpeggios ") << voice.arpeggios[i];
    }
    for (const WaveRow& wave : listing.waveforms) {
        out << lineBreak << "  " << wave.bank << ":" << wave.number << " id " << wave.id << " \"" << wave.name
            << "\" " << X0V_Document::strKeybanks(wave.keybanks, true) << ", " << wave.size << " bytes";
        lineBreak = "\n";
    }
    return out.take();
}

} // namespace X0vListing
