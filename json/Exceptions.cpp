#include "json/Exceptions.h"

namespace json {

ParseException::ParseException(const QString &message, int index)
    : ::Exception(message + QStringLiteral("\n\r erro no caracter : ") + QString::number(index)) {}

} // namespace json
