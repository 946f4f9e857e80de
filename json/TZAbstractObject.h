#pragma once

#include "json/OwnedValue.h"

#include <QString>

namespace json {

// Root of every value class of the library. Classes are held through pointers to this root;
// the containers own their values, except the three shared values (see isShared()).
class TZAbstractObject {
public:
    TZAbstractObject() = default;
    TZAbstractObject(const TZAbstractObject &) = delete;
    TZAbstractObject &operator=(const TZAbstractObject &) = delete;
    virtual ~TZAbstractObject() = default;

    // Identity, unless a class compares contents; an absent value gives false.
    virtual bool equals(const TZAbstractObject *value) const;
    // A new copy owned by the caller; fails with NotImplmentedFeature for classes without one.
    virtual OwnedValue Clone() const;
    // The class name and an identity token, "TZAbstractObject <0x...>".
    virtual QString toString() const;
    // The class name as messages print it ("_String", "TJSONArray", ...).
    virtual QString className() const;

    int hash() const;
    bool instanceOf(const TZAbstractObject *value) const { return value != nullptr; }

    // True for the shared true, false and null values, which nothing ever destroys.
    bool isShared() const { return m_shared; }

protected:
    struct SharedTag {};
    explicit TZAbstractObject(SharedTag) : m_shared(true) {}

private:
    bool m_shared = false;
};

} // namespace json
