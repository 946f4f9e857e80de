#include "json/Boolean.h"

namespace json {

Boolean *Boolean::True() {
    static Boolean value(true, SharedTag{});
    return &value;
}

Boolean *Boolean::False() {
    static Boolean value(false, SharedTag{});
    return &value;
}

OwnedValue Boolean::Clone() const {
    return OwnedValue(new Boolean(fvalue));
}

QString Boolean::toString() const {
    return fvalue ? QStringLiteral("true") : QStringLiteral("false");
}

QString Boolean::className() const {
    return QStringLiteral("_Boolean");
}

} // namespace json
