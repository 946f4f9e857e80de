#include "json/TZAbstractObject.h"

#include "json/Exceptions.h"

#include <functional>

namespace json {

void ValueDeleter::operator()(TZAbstractObject *value) const {
    if (value && !value->isShared())
        delete value;
}

bool TZAbstractObject::equals(const TZAbstractObject *value) const {
    return value == this;
}

OwnedValue TZAbstractObject::Clone() const {
    throw NotImplmentedFeature(QStringLiteral("Rotina Não Implementada"));
}

QString TZAbstractObject::toString() const {
    return QStringLiteral("%1 <0x%2>").arg(className()).arg(quintptr(this), 0, 16);
}

QString TZAbstractObject::className() const {
    return QStringLiteral("TZAbstractObject");
}

int TZAbstractObject::hash() const {
    return static_cast<int>(std::hash<const void *>{}(this));
}

} // namespace json
