#pragma once

#include <QString>
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

// A printf-style formatter that cannot misbehave: the arguments are captured by value with their
// kind, so a template that does not match its arguments prints something sensible instead of
// reading the wrong thing off the stack.
//
// Conversions d i u x X o c s f F e E g G b (binary digits) and %%; flags - 0 + space #; width
// and precision as digits (for texts the precision is the most characters printed); length
// modifiers (h, l, ll, z, ...) are accepted and ignored. A number printed with %s gives its
// decimal text, a text printed as a number gives 0, and a conversion without an argument prints
// nothing. Width and precision are capped at 4096.
class VarArgs {
public:
    using Arg = std::variant<long long, unsigned long long, double, QString>;

    template <class... A>
    explicit VarArgs(const char* fmt, const A&... args) : fmt_(fmt ? fmt : "")
    {
        args_.reserve(sizeof...(A));
        (args_.push_back(toArg(args)), ...);
    }

    QString format() const;

private:
    template <class T>
    static Arg toArg(const T& value)
    {
        if constexpr (std::is_enum_v<T>) {
            return toArg(static_cast<std::underlying_type_t<T>>(value));
        } else if constexpr (std::is_same_v<T, bool>) {
            return static_cast<long long>(value ? 1 : 0);
        } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
            return static_cast<long long>(value);
        } else if constexpr (std::is_integral_v<T>) {
            return static_cast<unsigned long long>(value);
        } else if constexpr (std::is_floating_point_v<T>) {
            return static_cast<double>(value);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
            return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
        } else if constexpr (std::is_array_v<T>) {
            static_assert(std::is_same_v<std::remove_cv_t<std::remove_extent_t<T>>, char>,
                          "VarArgs takes character arrays only");
            // A fixed field need not hold a zero byte.
            const char* end = std::find(std::begin(value), std::end(value), '\0');
            return QString::fromUtf8(value, static_cast<qsizetype>(end - value));
        } else {
            // QString, QChar, QLatin1String, const char* (UTF-8; null prints nothing).
            static_assert(std::is_convertible_v<const T&, QString>, "VarArgs cannot print this type");
            return QString(value);
        }
    }

    std::string fmt_;
    std::vector<Arg> args_;
};
