#include "json/NumberText.h"

#include "json/Exceptions.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace json {

namespace {

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// strtod under the "C" locale, for the out-of-range answers of from_chars (under- or overflow).
double strtodC(const std::string &text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text.c_str(), nullptr, c);
}

} // namespace

bool NumberText::tryToInt(QStringView s, int &result) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return false;
    if (hex) {
        std::uint32_t value = 0;
        int significant = 0;
        for (; i < n; ++i) {
            const int d = hexDigit(s[i]);
            if (d < 0)
                return false;
            if (significant > 0 || d != 0)
                ++significant;
            if (significant > 8)
                return false;
            value = value * 16 + std::uint32_t(d);
        }
        result = static_cast<int>(negative ? 0u - value : value);
        return true;
    }
    std::int64_t value = 0;
    for (; i < n; ++i) {
        if (!isDigit(s[i]))
            return false;
        value = value * 10 + (s[i].unicode() - '0');
        if (value > std::int64_t(1) << 31)
            return false;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return false;
    result = static_cast<int>(value);
    return true;
}

int NumberText::toInt(QStringView s) {
    int result = 0;
    if (!tryToInt(s, result))
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return result;
}

bool NumberText::tryToDouble(QStringView s, double &result) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    // Check the grammar here: from_chars would also take "inf", "nan" and hexadecimal forms.
    std::string text;
    text.reserve(std::size_t(end - begin));
    qsizetype i = begin;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            text.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < end && isDigit(s[i]); ++i, ++mantissaDigits)
        text.push_back(char(s[i].unicode()));
    if (i < end && s[i] == u'.') {
        text.push_back('.');
        for (++i; i < end && isDigit(s[i]); ++i, ++mantissaDigits)
            text.push_back(char(s[i].unicode()));
    }
    if (mantissaDigits == 0)
        return false;
    if (i < end && (s[i] == u'e' || s[i] == u'E')) {
        text.push_back('e');
        ++i;
        if (i < end && (s[i] == u'+' || s[i] == u'-'))
            text.push_back(char(s[i++].unicode()));
        int exponentDigits = 0;
        for (; i < end && isDigit(s[i]); ++i, ++exponentDigits)
            text.push_back(char(s[i].unicode()));
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = strtodC(text); // underflow gives 0 or a subnormal; overflow gives infinity
        if (!std::isfinite(value))
            return false;
    } else if (ec != std::errc() || ptr != text.data() + text.size()) {
        return false;
    }
    result = value;
    return true;
}

double NumberText::toDouble(QStringView s) {
    double result = 0;
    if (!tryToDouble(s, result))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return result;
}

int NumberText::hexToInt(QStringView s) {
    QString text = s.toString();
    for (QChar &c : text) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    if (text.startsWith(u'$'))
        text.remove(0, 1);
    if (text.size() >= 2 && text[1] == u'X')
        text.remove(0, 2);
    std::uint32_t result = 0;
    std::uint32_t multiplier = 1;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        std::uint32_t digit;
        if (c.unicode() >= 'A' && c.unicode() <= 'F')
            digit = c.unicode() - 'A' + 10;
        else
            digit = std::uint32_t(toInt(QStringView(&text.constData()[i], 1)));
        result += digit * multiplier;
        multiplier *= 16;
    }
    return static_cast<int>(result);
}

int NumberText::hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

int NumberText::low32(double integral) {
    if (!std::isfinite(integral))
        return 0;
    double m = std::fmod(integral, 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return static_cast<int>(static_cast<std::uint32_t>(m));
}

QString NumberText::formatFixed2(double d) {
    if (std::isnan(d))
        return QStringLiteral("NAN");
    if (std::isinf(d))
        return d < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    QString text = QString::number(d, 'f', 2);
    // A value that rounds to zero is written without a sign.
    if (text == QLatin1String("-0.00"))
        text.remove(0, 1);
    return text;
}

} // namespace json
