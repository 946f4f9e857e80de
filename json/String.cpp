#include "json/String.h"

#include <QLocale>

namespace json {

bool String::equals(const TZAbstractObject *value) const {
    const auto *other = dynamic_cast<const String *>(value);
    return other && other->fvalue == fvalue;
}

bool String::equalsIgnoreCase(const QString &s) const {
    const QLocale locale;
    return locale.toLower(fvalue) == locale.toLower(s);
}

OwnedValue String::Clone() const {
    return OwnedValue(new String(fvalue));
}

QString String::className() const {
    return QStringLiteral("_String");
}

} // namespace json
