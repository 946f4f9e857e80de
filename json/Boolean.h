#pragma once

#include "json/TZAbstractObject.h"

namespace json {

// A Boolean value (printed as "_Boolean"). The reader and the put operations use the two
// shared objects True() and False(); a fresh one comes only from the constructor or Clone.
class Boolean : public TZAbstractObject {
public:
    explicit Boolean(bool b) : fvalue(b) {}

    static Boolean *True();
    static Boolean *False();
    static Boolean *valueOf(bool b) { return b ? True() : False(); }

    bool value() const { return fvalue; }
    OwnedValue Clone() const override;
    QString toString() const override;
    QString className() const override;

private:
    Boolean(bool b, SharedTag tag) : TZAbstractObject(tag), fvalue(b) {}

    bool fvalue;
};

} // namespace json
