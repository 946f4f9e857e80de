#pragma once

#include "json/TZAbstractObject.h"

namespace json {

// The JSON null (printed as "NULL"); there is only the one shared instance.
class Null : public TZAbstractObject {
public:
    static Null *instance();

    // True for an absent value or a null value.
    bool equals(const TZAbstractObject *value) const override;
    QString toString() const override;
    QString className() const override;

private:
    Null() : TZAbstractObject(SharedTag{}) {}
};

} // namespace json
