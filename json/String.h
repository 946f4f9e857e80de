#pragma once

#include "json/TZAbstractObject.h"

namespace json {

// A text value (printed as "_String"). Its toString is the bare text, unquoted.
class String : public TZAbstractObject {
public:
    explicit String(const QString &s) : fvalue(s) {}

    // Same class and exactly the same text.
    bool equals(const TZAbstractObject *value) const override;
    // Both texts lower-cased under the user's locale, then compared exactly.
    bool equalsIgnoreCase(const QString &s) const;

    const QString &value() const { return fvalue; }
    OwnedValue Clone() const override;
    QString toString() const override { return fvalue; }
    QString className() const override;

private:
    QString fvalue;
};

} // namespace json
