#pragma once

#include "json/Number.h"

namespace json {

class String;

// A signed 32-bit integer value (printed as "_Integer").
class Integer : public Number {
public:
    explicit Integer(int i) : fvalue(i) {}
    // Standard integer conversion; a text it rejects fails with ConvertError.
    explicit Integer(const QString &s);

    // Radix 10: standard integer conversion; 16: the wrap-around hexadecimal routine;
    // 8: only "0" is supported (NotImplmentedFeature otherwise).
    static int parseInt(const QString &s, int radix);
    static int parseInt(const String &s);
    // Upper-case hexadecimal code of c, at least two digits.
    static QString toHexString(QChar c);

    double doubleValue() const override { return fvalue; }
    int intValue() const override { return fvalue; }
    OwnedValue Clone() const override;
    QString toString() const override;
    QString className() const override;

private:
    int fvalue;
};

} // namespace json
