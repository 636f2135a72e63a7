#include "core/Strings.h"

int StringToInt(const QString& text, bool hex, int def)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, hex ? 16 : 10);
    return ok ? value : def;
}

bool AllDigits(const QString& text)
{
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}
