#pragma once

#include "json/TZAbstractObject.h"

namespace json {

// Base of the two number classes (printed as "_Number").
class Number : public TZAbstractObject {
public:
    virtual double doubleValue() const = 0;
    virtual int intValue() const = 0;
    QString className() const override;
};

} // namespace json
