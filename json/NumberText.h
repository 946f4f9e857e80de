#pragma once

#include <QString>
#include <QStringView>

namespace json {

// The library's conversions between texts and numbers; all of them ignore the user's locale.
class NumberText {
public:
    // Standard integer conversion: blanks, an optional sign, then decimal digits in the 32-bit
    // range, or up to eight hexadecimal digits after "$", "x" or "0x" (32-bit pattern).
    static bool tryToInt(QStringView s, int &result);
    static int toInt(QStringView s); // ConvertError when tryToInt fails

    // Decimal-point conversion: optional sign, digits with an optional fraction after '.', an
    // optional exponent; surrounding blanks allowed. Results out of the double range fail.
    static bool tryToDouble(QStringView s, double &result);
    static double toDouble(QStringView s); // ConvertError when tryToDouble fails

    // Hexadecimal routine with 32-bit wrap-around: only the last eight digits count; a leading
    // "$" or "0x" is dropped; an empty text gives 0; a character that is no digit fails.
    static int hexToInt(QStringView s);

    // The value of a hexadecimal digit, or -1.
    static int hexDigit(QChar c);

    // The low 32 bits of an integral double (0 for values that are not finite).
    static int low32(double integral);

    // Two decimals, at least one integer digit, '.' as separator, no grouping or exponent.
    static QString formatFixed2(double d);
};

} // namespace json
