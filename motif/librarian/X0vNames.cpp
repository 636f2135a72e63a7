#include "motif/librarian/X0vNames.h"

#include "motif/documents/X0V_Document.h"

#include <QFile>
#include <charconv>
#include <iterator>
#include <unordered_map>

namespace X0vNames {

namespace {

const QString MotifXF = QStringLiteral("Motif XF");

// One preset list: the Motif XF's numbers and names, and the Motif XS's where it has the entry.
struct PresetList {
    std::unordered_map<int, QString> xf;
    std::unordered_map<int, QString> xs;

    // Lines of "XF number, categories..., XF name, XS number (-1 for none), categories..., XS name";
    // the columns of the names differ between the lists.
    PresetList(const QString& path, int xfName, int xsNumber, int xsName)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return;
        while (!file.atEnd()) {
            const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(','));
            if (fields.size() <= std::max(xfName, xsName)) continue;
            bool ok = false;
            if (const int number = fields[0].toInt(&ok); ok) xf.emplace(number, fields[xfName]);
            if (const int number = fields[xsNumber].toInt(&ok); ok && number > 0)
                xs.emplace(number, fields[xsName]);
        }
    }

    QString name(const QString& model, int number) const
    {
        const auto& names = model == MotifXF ? xf : xs;
        const auto found = names.find(number);
        return found == names.end() ? QString() : found->second;
    }
};

const PresetList& waveforms()
{
    static const PresetList list(QStringLiteral(":/motif/data/motifxf_xf_xs_waveforms.csv"), 3, 4, 6);
    return list;
}

const PresetList& arpeggios()
{
    static const PresetList list(QStringLiteral(":/motif/data/motifxf_xf_xs_arpeggios.csv"), 3, 4, 7);
    return list;
}

QString numbered(const QString& bank, int number, const QString& name)
{
    // Thousands of these make a library's listing: appended in place, not formatted.
    char digits[16];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    QString text;
    text.reserve(bank.size() + (end - digits) + name.size() + 4);
    text += bank;
    text += QLatin1Char(':');
    text += QLatin1String(digits, end - digits);
    if (name.isEmpty()) return text;
    text += QLatin1String(" \"");
    text += name;
    text += QLatin1Char('"');
    return text;
}

// The Motif XF keeps a voice's five arpeggio numbers, 16 bits low byte first, at a fixed place
// of the block: one for normal voices, another for drum kits. Where the other models keep them
// is not known.
constexpr int ArpeggioSlots = 5;
constexpr int NormalArpeggioOffset = 0x658;
constexpr int DrumArpeggioOffset = 0x2BE8;
constexpr int UserArpeggioBase = 0x2000;

int arpeggioOffset(const QString& model, const XS_Voice& voice)
{
    if (model != MotifXF || !voice.hasData()) return -1;
    const int offset = voice.bankType() == XS_Voice::DrumBankType ? DrumArpeggioOffset : NormalArpeggioOffset;
    return voice.data().size() >= offset + 2 * ArpeggioSlots ? offset : -1;
}

} // namespace

QString presetWaveform(const QString& model, int number) { return waveforms().name(model, number); }

QString presetArpeggio(const QString& model, int number) { return arpeggios().name(model, number); }

QString elementWave(const X0V_Document& library, const XS_Voice& voice, int element)
{
    const QString model = library.model();
    if (const int id = voice.elementWaveform(model, element); id > 0) {
        const XS_Waveform* wave = library.waves().lookupWave(id);
        return numbered(XS_Waveform::BankNameOf(id, model), XS_Waveform::NumberOf(id, model),
                        wave && wave->hasData() ? wave->name() : QString());
    }
    const int memory = voice.elementMem(element), number = voice.elementWave(element);
    if (memory == 0) return numbered(QStringLiteral("PRE"), number, presetWaveform(model, number));
    return QStringLiteral("%1:%2").arg(memory).arg(number);
}

int arpeggioCount(const QString& model, const XS_Voice& voice)
{
    return arpeggioOffset(model, voice) < 0 ? 0 : ArpeggioSlots;
}

QString arpeggio(const QString& model, const XS_Voice& voice, int n)
{
    const int offset = arpeggioOffset(model, voice);
    if (offset < 0 || n < 0 || n >= ArpeggioSlots) return QString();
    const int value = int(voice.data().readValueR(offset + 2 * n, 2));
    if (value == 0) return QStringLiteral("off");
    if (value >= UserArpeggioBase) return QStringLiteral("USR:%1").arg(value - UserArpeggioBase + 1);
    return numbered(QStringLiteral("PRE"), value, presetArpeggio(model, value));
}

} // namespace X0vNames
