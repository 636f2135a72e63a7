#include "motif/librarian/X0vSlots.h"

#include "motif/documents/X0V_Document.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vWalk.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace X0vSlots {

QString voiceLabel(const X0V_Document& library, Bank bank, int program, const XS_Voice& voice)
{
    return QStringLiteral("%1:%2 \"%3\"")
        .arg(XS_Voice::BankName(library.model(), bank))
        .arg(program)
        .arg(voice.name().trimmed());
}

QStringList voicesPlaying(const X0V_Document& library, int waveId)
{
    QStringList labels;
    X0vWalk::voices(library, [&](const XS_VoiceBank& bank, int p, const XS_Voice& voice) {
        const auto ids = voice.waveforms(library.model());
        if (voice.hasData() && std::find(ids.begin(), ids.end(), waveId) != ids.end())
            labels << voiceLabel(library, bank.id(), p, voice);
    });
    return labels;
}

Import importWave(X0V_Document& library, int bank, int number, const QString& path, bool replace)
{
    // The import fills slots from `number` on, as many as the file yields; what those slots held is
    // kept aside so that a refused import can put it back.
    std::vector<std::unique_ptr<XS_Waveform>> before;
    if (const XS_WaveBank* waves = library.waves().getBank(bank))
        for (int p = std::max(number, 0); p < waves->waveforms().count(); ++p)
            if (waves->waveforms().at(p)->hasData())
                before.push_back(std::make_unique<XS_Waveform>(*waves->waveforms().at(p)));
    const auto heldBefore = [&before](int id) -> const XS_Waveform* {
        for (const auto& wave : before)
            if (wave->id() == id) return wave.get();
        return nullptr;
    };

    Import result;
    result.added = library.importWaveform(bank, number, path);
    QStringList taken;
    for (int i = 0; i < result.added; ++i) {
        const int id = XS_Waveform::MakeId(bank, number + i + 1, library.model());
        const XS_Waveform* old = heldBefore(id);
        if (!old) continue;
        const QStringList voices = voicesPlaying(library, id);
        taken << QStringLiteral("%1:%2 (id %3) \"%4\"")
                     .arg(XS_Waveform::BankNameOf(id, library.model()))
                     .arg(number + i)
                     .arg(id)
                     .arg(old->name());
        result.replaced << QStringLiteral("%1 replaced%2")
                               .arg(taken.last(), voices.isEmpty() ? QString()
                                                                   : QStringLiteral(", now played by ") +
                                                                         voices.join(QStringLiteral(", ")));
    }
    if (taken.isEmpty() || replace) return result;

    for (int i = 0; i < result.added; ++i) {
        const int id = XS_Waveform::MakeId(bank, number + i + 1, library.model());
        if (const XS_Waveform* old = heldBefore(id))
            library.addWave(std::make_unique<XS_Waveform>(*old));
        else if (XS_Waveform* made = library.waves().lookupWave(id))
            made->deleteData();
    }
    result.error = QStringLiteral("the import would overwrite %1; give --replace to overwrite, or choose "
                                  "free slots (nothing was changed)")
                       .arg(taken.join(QStringLiteral(", ")));
    result.added = 0;
    result.replaced.clear();
    return result;
}

namespace {

constexpr int TemplateElementSize = 140;
constexpr int ElementCountOffset = 404;

// The templates are laid out with 140-byte elements; a model with wider elements gets the same
// elements widened, the wave number kept in the last two bytes as that model reads it.
Buffer templateFor(const QString& model, bool drum)
{
    XS_Voice source;
    if (drum)
        source.initDrumKit();
    else
        source.initVoice();
    const int size = XS_Voice::elementSize(model);
    const Buffer& block = source.data();
    if (size == TemplateElementSize || block.size() < ElementCountOffset + 4) return block;
    const int count = int(block.readValue(ElementCountOffset, 4));
    const int first = ElementCountOffset + 4, stride = TemplateElementSize + 4;
    if (first + qint64(count) * stride > block.size()) return block;
    std::vector<std::uint8_t> out(block.data(), block.data() + first);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* element = block.data() + first + i * stride + 4;
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(size >> shift));
        out.insert(out.end(), element, element + TemplateElementSize - 4);
        out.insert(out.end(), std::size_t(size - TemplateElementSize), 0);
        out.insert(out.end(), element + TemplateElementSize - 4, element + TemplateElementSize);
    }
    out.insert(out.end(), block.data() + first + count * stride, block.data() + block.size());
    return Buffer(std::move(out));
}

} // namespace

QString checkVoiceName(const QString& name)
{
    if (name.size() > XS_Voice::NameSize)
        return QStringLiteral("the name \"%1\" is longer than the %2 characters a voice name takes")
            .arg(name)
            .arg(XS_Voice::NameSize);
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() > 0xFF)
            return QStringLiteral("the name \"%1\" holds a character a voice name cannot (Latin-1 "
                                  "letters, digits and signs only)")
                .arg(name);
    return QString();
}

QString newVoice(X0V_Document& library, Bank bank, int program, int waveId, bool drum, const QString& name,
                 bool replace)
{
    const QString model = library.model();
    XS_VoiceBank* voices = library.voices().getBank(bank);
    if (!voices) return QStringLiteral("the library has no such voice bank");
    if ((XS_Voice::BankType(bank) == XS_Voice::DrumBankType) != drum)
        return drum ? QStringLiteral("a drum kit goes into DR:USER")
                    : QStringLiteral("DR:USER takes drum kits (--drum)");
    XS_Voice* voice = voices->voices().at(program);
    if (!voice)
        return QStringLiteral("%1 has no program %2 (0 to %3)")
            .arg(XS_Voice::BankName(model, bank))
            .arg(program)
            .arg(voices->voices().count() - 1);
    const XS_Waveform* wave = library.waves().lookupWave(waveId);
    if (!wave || !wave->hasData()) return QStringLiteral("the library holds no waveform %1").arg(waveId);
    const QString voiceName = name.isNull() ? wave->name().left(XS_Voice::NameSize) : name;
    const QString nameError = checkVoiceName(voiceName);
    if (!nameError.isEmpty()) return nameError;
    if (voice->hasData() && !replace)
        return QStringLiteral("%1 holds a voice; give --replace to overwrite it")
            .arg(voiceLabel(library, bank, program, *voice));

    voice->setModel(model);
    voice->setData(templateFor(model, drum));
    voice->setName(voiceName);
    const int count = voice->elementCount(model);
    for (int i = 1; i < count; ++i) voice->setElementUsed(i, false);
    voice->setElementUsed(0, true);
    voice->setElementWaveform(model, 0, waveId);
    voice->updateWaveformInfo(model);
    return QString();
}

QString renameVoice(X0V_Document& library, const QString& where, const QString& name, QString& label)
{
    const int colon = int(where.lastIndexOf(QLatin1Char(':')));
    bool ok = false;
    const int program = where.mid(colon + 1).toInt(&ok);
    const auto bank = colon > 0 ? X0vLibrary::voiceBank(library, where.left(colon)) : std::nullopt;
    const XS_VoiceBank* voices = bank ? library.voices().getBank(*bank) : nullptr;
    XS_Voice* voice = voices && ok ? voices->voices().at(program) : nullptr;
    if (!voice || !voice->hasData())
        return QStringLiteral("the library holds no voice at '%1' (give BANK:PROGRAM, such as USER1:0)")
            .arg(where);
    if (QString error = checkVoiceName(name); !error.isEmpty()) return error;
    label = voiceLabel(library, *bank, program, *voice);
    voice->setName(name);
    return QString();
}

QString renameWaveform(X0V_Document& library, int id, const QString& name, QString& label)
{
    XS_Waveform* wave = id > 0 ? library.waves().lookupWave(id) : nullptr;
    if (!wave || !wave->hasData()) return QStringLiteral("the library holds no waveform %1").arg(id);
    label = QStringLiteral("waveform %1 \"%2\"").arg(wave->id()).arg(wave->name());
    wave->setName(name);
    return QString();
}

} // namespace X0vSlots
