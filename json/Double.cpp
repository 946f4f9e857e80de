#include "json/Double.h"

#include "json/NumberText.h"
#include "json/String.h"

#include <cmath>

namespace json {

Double::Double(const QString &s) : fvalue(NumberText::toDouble(s)) {}

Double::Double(const String &s) : Double(s.toString()) {}

int Double::intValue() const {
    return NumberText::low32(std::trunc(fvalue));
}

OwnedValue Double::Clone() const {
    return OwnedValue(new Double(fvalue));
}

QString Double::toString() const {
    return QLatin1Char('"') + NumberText::formatFixed2(fvalue) + QLatin1Char('"');
}

QString Double::className() const {
    return QStringLiteral("_Double");
}

} // namespace json
