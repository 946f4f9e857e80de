#pragma once

#include "json/Number.h"

namespace json {

class String;

// A 64-bit floating-point value (printed as "_Double"). Its text form is a JSON string with
// two decimals, so a written double reads back as a String.
class Double : public Number {
public:
    explicit Double(double d) : fvalue(d) {}
    // Decimal-point conversion, whatever the user's locale; a text it rejects fails with ConvertError.
    explicit Double(const QString &s);
    explicit Double(const String &s);

    // The default of optDouble: 0.0, not an IEEE not-a-number.
    static double NaN() { return 0.0; }

    double doubleValue() const override { return fvalue; }
    // Truncated toward zero, low 32 bits.
    int intValue() const override;
    OwnedValue Clone() const override;
    QString toString() const override;
    QString className() const override;

private:
    double fvalue;
};

} // namespace json
