#include "json/Number.h"

namespace json {

QString Number::className() const {
    return QStringLiteral("_Number");
}

} // namespace json
