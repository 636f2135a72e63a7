#include "emulator/InstrumentSettings.h"

#include <QStringList>

namespace {

QString badValue(const QString& key, const QString& value, const char* wanted)
{
    return QStringLiteral("bad value '%1' for %2: %3").arg(value, key, QLatin1String(wanted));
}

// The value as a whole number in [low, high], or the reason it is none.
QString readInt(const QString& key, const QString& value, int low, int high, int& into)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    if (!ok || number < low || number > high)
        return badValue(key, value,
                        qPrintable(QStringLiteral("a whole number from %1 to %2").arg(low).arg(high)));
    into = number;
    return {};
}

QString readProbability(const QString& key, const QString& value, double& into)
{
    bool ok = false;
    const double p = value.trimmed().toDouble(&ok);
    if (!ok || !(p >= 0 && p <= 1)) return badValue(key, value, "a probability from 0 to 1");
    into = p;
    return {};
}

} // namespace

const std::vector<InstrumentSettings::Key>& InstrumentSettings::keys()
{
    static const std::vector<Key> all{
        {"model", "ES6, ES7, ES8, S90ES, RackES or XS (only ES6/ES7/ES8 answer dumps)"},
        {"device", "SysEx device number 1-16; messages to another device are ignored"},
        {"channel", "Receive channel 1-16; channel messages on others are ignored"},
        {"latency", "Delay of every reply, in ms"},
        {"jitter", "The delay varies by up to this many ms either way"},
        {"drop", "Probability that a reply message is lost"},
        {"corrupt", "Probability that a reply message has one bit flipped"},
        {"duplicate", "Probability that a reply message is sent twice"},
        {"truncate", "Probability that a bulk reply loses one block"},
        {"seed", "Seed of the fault decisions: the same seed gives the same faults"},
        {"die-after", "Stop answering after this many received messages"},
    };
    return all;
}

QString InstrumentSettings::set(const QString& key, const QString& value)
{
    const QString k = key.trimmed();
    if (k == QLatin1String("model")) {
        const auto named = VirtualInstrument::modelFromName(value);
        if (!named) return badValue(k, value, "one of ES6, ES7, ES8, S90ES, RackES, XS");
        model = *named;
        return {};
    }
    if (k == QLatin1String("device")) return readInt(k, value, 1, 16, device);
    if (k == QLatin1String("channel")) return readInt(k, value, 1, 16, channel);
    if (k == QLatin1String("latency")) return readInt(k, value, 0, 600000, faults.latencyMs);
    if (k == QLatin1String("jitter")) return readInt(k, value, 0, 600000, faults.jitterMs);
    if (k == QLatin1String("die-after")) return readInt(k, value, 0, 1 << 30, dieAfter);
    if (k == QLatin1String("drop")) return readProbability(k, value, faults.drop);
    if (k == QLatin1String("corrupt")) return readProbability(k, value, faults.corrupt);
    if (k == QLatin1String("duplicate")) return readProbability(k, value, faults.duplicate);
    if (k == QLatin1String("truncate")) return readProbability(k, value, faults.truncate);
    if (k == QLatin1String("seed")) {
        bool ok = false;
        const qulonglong seed = value.trimmed().toULongLong(&ok);
        if (!ok) return badValue(k, value, "a whole number from 0 up");
        faults.seed = seed;
        return {};
    }
    QStringList names;
    for (const Key& known : keys()) names << QLatin1String(known.name);
    return QStringLiteral("unknown setting '%1' (known: %2)").arg(k, names.join(QStringLiteral(", ")));
}

QString InstrumentSettings::setAll(const QString& list)
{
    for (const QString& pair : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0) return QStringLiteral("'%1' is not key=value").arg(pair.trimmed());
        const QString error = set(pair.left(equals), pair.mid(equals + 1));
        if (!error.isEmpty()) return error;
    }
    return {};
}
