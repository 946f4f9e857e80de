#include "json/Null.h"

namespace json {

Null *Null::instance() {
    static Null value;
    return &value;
}

bool Null::equals(const TZAbstractObject *value) const {
    return value == nullptr || dynamic_cast<const Null *>(value) != nullptr;
}

QString Null::toString() const {
    return QStringLiteral("null");
}

QString Null::className() const {
    return QStringLiteral("NULL");
}

} // namespace json
