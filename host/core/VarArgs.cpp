#include "core/VarArgs.h"

#include <QChar>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

namespace {

constexpr int maxField = 4096;

struct Conversion {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    int width = 0;
    int precision = -1;
    char letter = 0;
};

// A sign and a magnitude, so that signed and unsigned arguments print their true value.
struct Integer {
    bool negative = false;
    unsigned long long magnitude = 0;
};

Integer toInteger(const VarArgs::Arg& arg)
{
    if (const auto* v = std::get_if<long long>(&arg)) {
        const bool negative = *v < 0;
        const auto magnitude =
            negative ? 0ULL - static_cast<unsigned long long>(*v) : static_cast<unsigned long long>(*v);
        return {negative, magnitude};
    }
    if (const auto* v = std::get_if<unsigned long long>(&arg)) return {false, *v};
    if (const auto* v = std::get_if<double>(&arg)) {
        const double t = std::trunc(*v);
        if (std::isnan(t)) return {};
        const double limit = static_cast<double>(std::numeric_limits<unsigned long long>::max());
        const double magnitude = std::min(std::fabs(t), limit);
        return {t < 0, magnitude >= limit ? std::numeric_limits<unsigned long long>::max()
                                          : static_cast<unsigned long long>(magnitude)};
    }
    return {};
}

// The bits an unsigned conversion shows: a negative number that fits in 32 bits shows as the
// 32-bit two's complement, as it would for the int it usually was.
unsigned long long toBits(const Integer& n)
{
    if (!n.negative) return n.magnitude;
    if (n.magnitude <= 0x80000000ULL) return static_cast<std::uint32_t>(0U - n.magnitude);
    return 0ULL - n.magnitude;
}

double toDouble(const VarArgs::Arg& arg)
{
    if (const auto* v = std::get_if<long long>(&arg)) return static_cast<double>(*v);
    if (const auto* v = std::get_if<unsigned long long>(&arg)) return static_cast<double>(*v);
    if (const auto* v = std::get_if<double>(&arg)) return *v;
    return 0.0;
}

QString toText(const VarArgs::Arg& arg)
{
    if (const auto* v = std::get_if<long long>(&arg)) return QString::number(*v);
    if (const auto* v = std::get_if<unsigned long long>(&arg)) return QString::number(*v);
    if (const auto* v = std::get_if<double>(&arg))
        return QString::number(*v, 'g', QLocale::FloatingPointShortest);
    return std::get<QString>(arg);
}

QString digits(unsigned long long value, int base, bool upper)
{
    if (value == 0) return QStringLiteral("0");
    QString text;
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    while (value) {
        text.prepend(QLatin1Char(symbols[value % static_cast<unsigned>(base)]));
        value /= static_cast<unsigned>(base);
    }
    return text;
}

QString pad(const Conversion& conversion, const QString& head, QString body)
{
    const qsizetype fill = conversion.width - head.size() - body.size();
    if (fill <= 0) return head + body;
    if (conversion.left) return head + body + QString(fill, QLatin1Char(' '));
    if (conversion.zero) return head + QString(fill, QLatin1Char('0')) + body;
    return QString(fill, QLatin1Char(' ')) + head + body;
}

QString formatInteger(const Conversion& conversion, const VarArgs::Arg& arg)
{
    const Integer n = toInteger(arg);
    const char c = conversion.letter;
    QString head;
    QString body;
    if (c == 'd' || c == 'i') {
        head = n.negative         ? QStringLiteral("-")
               : conversion.plus  ? QStringLiteral("+")
               : conversion.space ? QStringLiteral(" ")
                                  : QString();
        body = digits(n.magnitude, 10, false);
    } else {
        const unsigned long long bits = toBits(n);
        const int base = c == 'u' ? 10 : c == 'o' ? 8 : c == 'b' ? 2 : 16;
        body = digits(bits, base, c == 'X');
        if (conversion.alt && bits != 0) {
            if (c == 'x') head = QStringLiteral("0x");
            if (c == 'X') head = QStringLiteral("0X");
            if (c == 'b') head = QStringLiteral("0b");
        }
        if (conversion.alt && c == 'o' && body.front() != QLatin1Char('0')) body.prepend(QLatin1Char('0'));
    }
    Conversion layout = conversion;
    if (conversion.precision >= 0) {
        // An explicit precision is the least number of digits; zero prints nothing for 0.
        layout.zero = false;
        if (conversion.precision == 0 && body == QLatin1String("0") && !(conversion.alt && c == 'o'))
            body.clear();
        if (body.size() < conversion.precision)
            body.prepend(QString(conversion.precision - body.size(), QLatin1Char('0')));
    }
    return pad(layout, head, body);
}

QString formatFloat(const Conversion& conversion, double value)
{
    // The C library formats floating point best; the format handed to it is built here from
    // checked parts only.
    char fmt[32];
    std::snprintf(fmt, sizeof fmt, "%%%s%s%s%s%s*.*%c", conversion.left ? "-" : "",
                  conversion.zero ? "0" : "", conversion.plus ? "+" : "", conversion.space ? " " : "",
                  conversion.alt ? "#" : "", conversion.letter);
    const int precision = conversion.precision < 0 ? 6 : conversion.precision;
    const int length = std::snprintf(nullptr, 0, fmt, conversion.width, precision, value);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), fmt, conversion.width, precision, value);
    text.resize(static_cast<std::size_t>(length));
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString formatChar(const Conversion& conversion, const VarArgs::Arg& arg)
{
    QString body;
    if (const auto* text = std::get_if<QString>(&arg)) {
        if (!text->isEmpty()) body = text->left(text->front().isHighSurrogate() ? 2 : 1);
    } else {
        const Integer n = toInteger(arg);
        if (!n.negative && n.magnitude > 0 && n.magnitude <= 0x10FFFF &&
            !QChar::isSurrogate(static_cast<char32_t>(n.magnitude))) {
            const char32_t code = static_cast<char32_t>(n.magnitude);
            body = QString::fromUcs4(&code, 1);
        }
    }
    Conversion layout = conversion;
    layout.zero = false;
    return pad(layout, {}, body);
}

QString formatText(const Conversion& conversion, const VarArgs::Arg& arg)
{
    QString body = toText(arg);
    if (conversion.precision >= 0 && body.size() > conversion.precision) body.truncate(conversion.precision);
    Conversion layout = conversion;
    layout.zero = false;
    return pad(layout, {}, body);
}

QString formatOne(const Conversion& conversion, const VarArgs::Arg& arg)
{
    switch (conversion.letter) {
    case 'c':
        return formatChar(conversion, arg);
    case 's':
        return formatText(conversion, arg);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
        return formatFloat(conversion, toDouble(arg));
    default:
        return formatInteger(conversion, arg);
    }
}

int readNumber(const std::string& fmt, std::size_t& i)
{
    int value = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        value = std::min(value * 10 + (fmt[i] - '0'), maxField);
        ++i;
    }
    return value;
}

} // namespace

QString VarArgs::format() const
{
    QString out;
    std::size_t next = 0;
    std::size_t i = 0;
    std::size_t literal = 0;
    const auto flushLiteral = [&](std::size_t end) {
        if (end > literal)
            out += QString::fromUtf8(fmt_.data() + literal, static_cast<qsizetype>(end - literal));
    };
    while (i < fmt_.size()) {
        if (fmt_[i] != '%') {
            ++i;
            continue;
        }
        const std::size_t specStart = i;
        flushLiteral(specStart);
        ++i;
        Conversion conversion;
        for (; i < fmt_.size(); ++i) {
            const char f = fmt_[i];
            if (f == '-')
                conversion.left = true;
            else if (f == '0')
                conversion.zero = true;
            else if (f == '+')
                conversion.plus = true;
            else if (f == ' ')
                conversion.space = true;
            else if (f == '#')
                conversion.alt = true;
            else
                break;
        }
        conversion.width = readNumber(fmt_, i);
        if (i < fmt_.size() && fmt_[i] == '.') {
            ++i;
            conversion.precision = readNumber(fmt_, i);
        }
        while (i < fmt_.size() && std::string_view("hlLqjzt").find(fmt_[i]) != std::string_view::npos) ++i;
        if (i >= fmt_.size()) {
            literal = specStart;
            break;
        }
        conversion.letter = fmt_[i++];
        literal = i;
        if (conversion.letter == '%') {
            out += QLatin1Char('%');
        } else if (std::string_view("diuxXocsfFeEgGb").find(conversion.letter) == std::string_view::npos) {
            literal = specStart; // not a conversion: printed as it stands
        } else if (next < args_.size()) {
            out += formatOne(conversion, args_[next++]);
        }
    }
    flushLiteral(fmt_.size());
    return out;
}
