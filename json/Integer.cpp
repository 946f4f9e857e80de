#include "json/Integer.h"

#include "json/Exceptions.h"
#include "json/NumberText.h"
#include "json/String.h"

namespace json {

Integer::Integer(const QString &s) : fvalue(NumberText::toInt(s)) {}

int Integer::parseInt(const QString &s, int radix) {
    switch (radix) {
    case 16:
        return NumberText::hexToInt(s);
    case 8:
        if (s == QLatin1String("0"))
            return 0;
        throw NotImplmentedFeature(QStringLiteral("Rotina Não Implementada"));
    default:
        return NumberText::toInt(s);
    }
}

int Integer::parseInt(const String &s) {
    return parseInt(s.toString(), 10);
}

QString Integer::toHexString(QChar c) {
    return QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}

OwnedValue Integer::Clone() const {
    return OwnedValue(new Integer(fvalue));
}

QString Integer::toString() const {
    return QString::number(fvalue);
}

QString Integer::className() const {
    return QStringLiteral("_Integer");
}

} // namespace json
